#!/bin/sh
# Checks a built K1MrgRls.dll on Linux, without Wine: its machine type, that it
# exports exactly the four entry points under their plain names (a 32-bit build
# must not export stdcall-decorated names such as DllGetClassObject@12), that it
# carries the type library and version resources, and that it imports only
# system DLLs (the runtime is linked in). Also checks that the type library the
# DLL embeds was made for its platform (SYS_WIN32 = 1, SYS_WIN64 = 3).
#   dll-image.sh <objdump> <dll> <file format: pei-i386|pei-x86-64> <type library file>
objdump=$1
dll=$2
format=$3
tlb=$4
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
[ -f "$dll" ] || { echo "FAIL: no $dll (build its tree first)"; exit 1; }
headers=$("$objdump" -p "$dll") || { echo "FAIL: $objdump cannot read $dll"; exit 1; }

echo "$headers" | grep -q "file format $format\$" || fail "not $format: $(echo "$headers" | grep 'file format')"

# The export name table lists "[ n] Name" rows after its heading.
exports=$(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
[ "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ] ||
    fail "exports: $exports"

# Resources: number 1 of the named type TYPELIB, and number 1 of the version
# type (16). In objdump's listing a type's entries follow it, indented further.
resources=$(echo "$headers" | sed -n '/The .rsrc Resource Directory section/,$p')
first_of() {
    echo "$resources" | awk -v type="$1" '
        index($0, type) && /^[0-9a-f]+   Entry:/ { found = 1; next }
        found && /^[0-9a-f]+     Entry: ID:/ { print $4; exit }'
}
[ "$(first_of ': TYPELIB,')" = "0x000001," ] || fail "no TYPELIB resource 1"
[ "$(first_of 'ID: 0x000010,')" = "0x000001," ] || fail "no version resource 1"

imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
for name in $imports; do
    case "$name" in
    kernel32.dll | user32.dll | advapi32.dll | ole32.dll | oleaut32.dll | msvcrt.dll | shlwapi.dll | api-ms-win-*) ;;
    *) fail "imports $name" ;;
    esac
done

# The library header's flags word (offset 20) holds the platform in its low bits.
case "$format" in
pei-i386) syskind=1 ;;
*) syskind=3 ;;
esac
flags=$(od -An -t u4 -j 20 -N 4 "$tlb" 2>/dev/null | tr -d ' ')
[ -n "$flags" ] && [ $((flags & 15)) -eq "$syskind" ] || fail "type library $tlb: platform $((${flags:-0} & 15)), not $syskind"

if [ "$failures" -eq 0 ]; then
    echo "PASS image $format"
    exit 0
fi
exit 1
