#!/bin/sh
# The whole test suite on a fresh Debian machine: installs what is missing (and
# tries to add 32-bit Wine), builds both bitnesses, creates the Wine prefixes and
# runs every test under Wine: the x64 suite always, the x86 suite when 32-bit
# Wine is present. Arguments go to both ctest runs.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh --wine32
scripts/build.sh
status=0
ctest --preset mingw "$@" || status=$?
if scripts/wine32.sh; then
    ctest --preset mingw-x86 "$@" || status=$?
else
    echo "The x86 suite did not run: 32-bit Wine (wine32:i386) is not installed; the x86 DLL's image was checked (dll_image_x86)."
fi
for prefix in build/wineprefix build-x86/wineprefix build/tests/registration_free/wineprefix \
    build-x86/tests/registration_free/wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX="$PWD/$prefix" wineserver -k 2>/dev/null || true
done
exit $status
