#!/bin/sh
# The main job on a fresh Debian machine: installs what is missing, builds,
# registers the simulated host and the component in a private Wine prefix, and
# runs the sample client that shows the component at work.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
prefix="$PWD/build/wineprefix"
fixture=tests/scripts/wine-prefix.sh
servers="build/simhost/KSimHost.dll build/server/K1MrgRls.dll"
$fixture create "$prefix"
$fixture register "$prefix" $servers
status=0
WINEPREFIX="$prefix" WINEDEBUG=-all wine build/examples/show_component.exe || status=$?
$fixture unregister "$prefix" $servers || true
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
exit $status
