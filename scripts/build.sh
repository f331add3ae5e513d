#!/bin/sh
# Configures and builds with the MinGW-w64 preset (build tree: ./build). With
# WARNINGS_AS_ERRORS=ON in the environment (CI), any compiler warning fails the
# build.
set -e
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ] || [ -n "$WARNINGS_AS_ERRORS" ]; then
    cmake --preset mingw -DWARNINGS_AS_ERRORS="${WARNINGS_AS_ERRORS:-OFF}" >/dev/null
fi
cmake --build --preset mingw
