#!/bin/sh
# Installs the Debian packages the build and the tests need, if any is missing.
# Runs as root (apt-get).
set -e
packages="g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev wine wine64 cmake ninja-build googletest nlohmann-json3-dev"
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
