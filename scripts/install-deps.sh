#!/bin/sh
# Installs the Debian packages the build and the tests need, if any is missing.
# Runs as root (apt-get).
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
if [ -n "$missing" ]; then
    echo "installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq $missing >/dev/null
fi
