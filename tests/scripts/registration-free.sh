#!/bin/sh
# Deploys the component beside a client program without registering it and runs
# the client, whose application manifest names the component's assembly. The
# client runs in its own Wine prefix (kept in the work folder), where the
# component is never registered and only the simulated host is, as a host's own
# classes would be.
#   registration-free.sh <work dir> <client exe> <K1MrgRls.dll> <assembly manifest> <KSimHost.dll>
work=$1
client=$2
dll=$3
manifest=$4
simhost=$5
fixture=$(dirname "$0")/wine-prefix.sh
WINEPREFIX=$work/wineprefix
export WINEPREFIX WINEDEBUG=-all

fail() {
    echo "FAIL: $*"
    wineserver -k 2>/dev/null
    exit 1
}

app=$work/app
rm -rf "$app"
mkdir -p "$app"
cp "$client" "$dll" "$manifest" "$app/" || fail "laying out the program folder"
"$fixture" create "$WINEPREFIX" || fail "creating the prefix"
# A prefix that once saw the component registered is no proof: start again.
if wine reg query 'HKCR\CLSID\{99E70217-5C2C-11D5-BEB1-00C04F4F041C}' >/dev/null 2>&1; then
    wineserver -k 2>/dev/null
    rm -rf "$WINEPREFIX"
    "$fixture" create "$WINEPREFIX" || fail "creating the prefix again"
fi
"$fixture" register "$WINEPREFIX" "$simhost" || fail "registering the simulated host"
wine "$app/$(basename "$client")"
status=$?
wineserver -k 2>/dev/null
[ "$status" -eq 0 ] || fail "the client (status $status)"
echo "PASS registration-free"
