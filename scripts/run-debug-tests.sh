#!/bin/sh
# The x64 suite on a debug build (preset mingw-debug, tree ./build-debug), where
# the invariants' asserts are on: an assert that fires prints "Assertion failed"
# and ends the test's process, so its test fails. Installs nothing. The tests of
# the installed layout and of the x86 DLL's image read the x86 release tree, which
# needs the x64 release tree's type library writer: those two are built first.
# Arguments go to ctest.
set -e
cd "$(dirname "$0")/.."
for preset in mingw mingw-x86 mingw-debug; do
    tree=build
    [ "$preset" = mingw-x86 ] && tree=build-x86
    [ "$preset" = mingw-debug ] && tree=build-debug
    [ -f "$tree/build.ninja" ] || cmake --preset "$preset" >/dev/null
done
cmake --build --preset mingw --target write_type_library
cmake --build --preset mingw-x86 --target K1MrgRls
cmake --build --preset mingw-debug
status=0
ctest --preset mingw-debug "$@" || status=$?
for prefix in build-debug/wineprefix build-debug/tests/registration_free/wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX="$PWD/$prefix" wineserver -k 2>/dev/null || true
done
exit $status
