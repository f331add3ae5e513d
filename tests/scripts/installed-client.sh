#!/bin/sh
# Installs the component into an empty folder, as a host developer gets it, checks
# the layout and the CPack zip, builds a small client against that folder only and
# runs it with the installed DLL registered. Registers the build's DLL again at
# the end, as the other tests expect.
#   installed-client.sh <build dir> <work dir> <C compiler> <C++ compiler> <client source> <build's K1MrgRls.dll>
#                       "<bitnesses>"
# The bitnesses (x64, x86) are those the layout holds, the build's own first: the
# client is built and run with that one.
build=$1
work=$2
cc=$3
cxx=$4
client=$5
build_dll=$(winepath -w "$6")
arches=$7
own=${arches%% *}
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
rm -rf "$work"
mkdir -p "$work"
prefix=$work/K1MrgRls
trap 'wine regsvr32 /s "$build_dll" >/dev/null 2>&1' EXIT

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "cmake --install"
expected="README.md include/K1MrgRls.h include/K1TypLib.h include/K5TYPLIB.h
src/K1MrgRls_i.c src/K1TypLib_i.c src/K5TYPLIB_i.c"
for arch in $arches; do
    expected="$expected bin/$arch/K1MrgRls.dll bin/$arch/Korvath.K1MrgRls.manifest lib/$arch/K1MrgRls.tlb"
done
for file in $expected; do
    [ -f "$prefix/$file" ] || fail "missing $file"
done
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')
[ "$installed" = "$(echo $expected | tr ' ' '\n' | sort | tr '\n' ' ')" ] || fail "unexpected layout: $installed"

# The zip holds the same files under one top folder.
(cd "$build" && cpack -G ZIP -B "$work/package" >"$work/cpack.log" 2>&1) || fail "cpack: $(tail -3 "$work/cpack.log")"
zip=$(ls "$work"/package/*.zip 2>/dev/null | head -1)
if [ -n "$zip" ]; then
    for file in $expected; do
        cmake -E tar tf "$zip" | grep -q "^K1MrgRls-[^/]*/$file\$" || fail "the zip lacks $file"
    done
else
    fail "no zip"
fi

# Built with nothing but the installed folder and the platform's libraries.
objects=""
for source in "$prefix"/src/*_i.c; do
    object=$work/$(basename "$source" .c).o
    "$cc" -c -I"$prefix/include" "$source" -o "$object" || fail "compiling $(basename "$source")"
    objects="$objects $object"
done
"$cxx" -std=c++20 -Wall -Wextra -I"$prefix/include" "$client" $objects -lole32 -loleaut32 -luuid -static \
    -o "$work/client.exe" || fail "building the client"

wine regsvr32 /s "$(winepath -w "$prefix/bin/$own/K1MrgRls.dll")" || fail "regsvr32 of the installed DLL"
wine "$work/client.exe" || fail "the client"
wine regsvr32 /u /s "$(winepath -w "$prefix/bin/$own/K1MrgRls.dll")" || fail "regsvr32 /u of the installed DLL"

if [ "$failures" -eq 0 ]; then
    echo "PASS installed layout"
    exit 0
fi
exit 1
