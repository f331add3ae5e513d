#!/bin/sh
# The whole test suite on a fresh Debian machine: installs what is missing,
# builds, creates the Wine prefix and runs every test under Wine.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
status=0
ctest --preset mingw "$@" || status=$?
WINEPREFIX="$PWD/build/wineprefix" wineserver -k 2>/dev/null || true
exit $status
