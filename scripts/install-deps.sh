#!/bin/sh
# Installs the Debian packages the build and the tests need, if any is missing.
# Runs as root (apt-get). With --wine32 it also tries to add 32-bit Wine, which
# the x86 test suite needs; that attempt never fails the script.
set -e
# The x64 and x86 cross compilers, the IDL compiler, Wine, the build tools and
# the header-only libraries; chromium for the report's browser test,
# python3-jsonschema for the plan schema's test, clang with libFuzzer and the
# sanitizers for the plan reader's fuzzer.
packages="g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev wine wine64
 cmake ninja-build googletest nlohmann-json3-dev rapidjson-dev chromium python3-jsonschema clang libclang-rt-14-dev"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
export DEBIAN_FRONTEND=noninteractive
if [ -n "$missing" ]; then
    echo "installing:$missing"
    apt-get update -qq
    apt-get install -y -qq $missing >/dev/null
fi

[ "$1" = "--wine32" ] || exit 0
scripts_dir=$(dirname "$0")
"$scripts_dir/wine32.sh" && exit 0

# 32-bit Wine needs the i386 architecture. Its package index can fail to
# download, or its libraries can lag behind the installed amd64 ones; then the
# architecture is removed again, so that apt-get update keeps working.
log=$(mktemp)
added=""
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 && added=yes
fi
if apt-get update -qq -o Acquire::http::Timeout=30 >"$log" 2>&1 &&
    apt-get install -y -qq wine32:i386 >>"$log" 2>&1; then
    echo "32-bit Wine installed: the x86 suite will run"
else
    reason=$(grep -E '^(E|W):' "$log" | head -1 | cut -c1-200)
    if [ -n "$added" ]; then
        dpkg --remove-architecture i386 2>>"$log" || reason="$reason; and the i386 architecture could not be removed"
    fi
    echo "The x86 suite will not run: 32-bit Wine (wine32:i386) could not be installed (${reason:-see apt-get})"
fi
rm -f "$log"
exit 0
