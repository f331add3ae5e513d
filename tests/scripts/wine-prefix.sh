#!/bin/sh
# Test fixtures: create the private Wine prefix, register or unregister servers in it.
#   wine-prefix.sh create <prefix>
#   wine-prefix.sh register|unregister <prefix> <dll>...
set -e
action=$1
WINEPREFIX=$2
export WINEPREFIX WINEDEBUG=-all
shift 2
case "$action" in
create)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        # No .NET or HTML engine: nothing here needs them, and a fresh machine
        # would otherwise offer to download them.
        WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot -i >/dev/null 2>&1
    fi
    ;;
register)
    for dll in "$@"; do wine regsvr32 /s "$(winepath -w "$dll")"; done
    ;;
unregister)
    status=0
    for dll in "$@"; do wine regsvr32 /u /s "$(winepath -w "$dll")" || status=$?; done
    exit $status
    ;;
*)
    echo "usage: $0 create|register|unregister <prefix> [dll...]" >&2
    exit 2
    ;;
esac
