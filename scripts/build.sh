#!/bin/sh
# Configures and builds both bitnesses from the same sources: x64 (preset mingw,
# tree ./build) and x86 (preset mingw-x86, tree ./build-x86). x64 comes first:
# the x86 tree runs its build-time programs. With WARNINGS_AS_ERRORS=ON in the
# environment (CI), any compiler warning fails the build.
set -e
cd "$(dirname "$0")/.."
for preset in mingw mingw-x86; do
    tree=build
    [ "$preset" = mingw-x86 ] && tree=build-x86
    if [ ! -f "$tree/build.ninja" ] || [ -n "$WARNINGS_AS_ERRORS" ]; then
        cmake --preset "$preset" -DWARNINGS_AS_ERRORS="${WARNINGS_AS_ERRORS:-OFF}" >/dev/null
    fi
    cmake --build --preset "$preset"
done
