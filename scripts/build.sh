#!/bin/sh
# Configures and builds with the MinGW-w64 preset (build tree: ./build).
set -e
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw
