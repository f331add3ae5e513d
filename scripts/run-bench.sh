#!/bin/sh
# Builds, registers the simulated host and the component in the build's Wine
# prefix, and runs the benchmark programs named (default: all of them).
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >/dev/null
prefix="$PWD/build/wineprefix"
fixture=tests/scripts/wine-prefix.sh
servers="build/simhost/KSimHost.dll build/server/K1MrgRls.dll"
$fixture create "$prefix"
$fixture register "$prefix" $servers
status=0
for bench in ${*:-$(ls build/bench/*.exe)}; do
    WINEPREFIX="$prefix" WINEDEBUG=-all wine "$bench" || status=$?
done
$fixture unregister "$prefix" $servers || true
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
exit $status
