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
skip() {
    echo "The x86 suite will not run: 32-bit Wine (wine32:i386) $*"
    exit 0
}

# 32-bit Wine is of no use where the kernel refuses 32-bit programs, and once
# installed the wine launcher would use its loader for 64-bit programs too. A
# 93-byte i386 program that only exits tells.
probe=$(mktemp)
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
chmod +x "$probe"
if ! "$probe" 2>/dev/null; then
    rm -f "$probe"
    skip "cannot run here: the kernel does not run 32-bit programs (Exec format error)"
fi
rm -f "$probe"

# 32-bit Wine needs the i386 architecture. Its package index can fail to
# download, or its libraries can lag behind the installed amd64 ones; then the
# architecture is removed again, so that apt-get update keeps working.
log=$(mktemp)
added=""
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 && added=yes
fi
remove_i386() {
    [ -n "$added" ] || return 0
    i386=$(dpkg-query -W -f='${binary:Package} ${Status}\n' | grep ':i386 .*installed' | cut -d' ' -f1)
    # Only i386 packages go; libc6:i386 and libgcc-s1:i386 count as essential.
    [ -z "$i386" ] || apt-get purge -y -qq --allow-remove-essential $i386 >>"$log" 2>&1
    dpkg --remove-architecture i386 >>"$log" 2>&1
}
if ! apt-get update -qq -o Acquire::http::Timeout=30 >"$log" 2>&1; then
    reason=$(grep -E '^(E|W):' "$log" | head -1 | cut -c1-160)
    remove_i386 || reason="$reason; the i386 architecture could not be removed"
    rm -f "$log"
    skip "could not be installed: apt-get update failed with i386 added (${reason:-see apt-get})"
fi
if ! apt-get install -y -qq wine32:i386 >>"$log" 2>&1; then
    reason=$(grep -E '^(E|W):' "$log" | head -1 | cut -c1-160)
    remove_i386 || reason="$reason; the i386 architecture could not be removed"
    rm -f "$log"
    skip "could not be installed (${reason:-see apt-get})"
fi
if ! "$scripts_dir/wine32.sh"; then
    remove_i386
    rm -f "$log"
    skip "was installed but its loader does not start; removed again"
fi
rm -f "$log"
echo "32-bit Wine installed: the x86 suite will run"
