#!/bin/sh
# Runs a command with the simulated host and the component registered in the
# build's Wine prefix (created if needed), then unregisters them and shuts the
# prefix's wineserver down. WINEPREFIX and WINEDEBUG are set for the command.
# K1MRGRLS_BUILD selects the build tree: build (x64, the default) or build-x86
# (which needs 32-bit Wine).
cd "$(dirname "$0")/.."
build=${K1MRGRLS_BUILD:-build}
prefix="$PWD/$build/wineprefix"
fixture=tests/scripts/wine-prefix.sh
servers="$build/simhost/KSimHost.dll $build/server/K1MrgRls.dll"
$fixture create "$prefix" && $fixture register "$prefix" $servers || exit 1
status=0
WINEPREFIX="$prefix" WINEDEBUG=-all "$@" || status=$?
$fixture unregister "$prefix" $servers || true
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
exit $status
