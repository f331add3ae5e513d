#!/bin/sh
# Registers and unregisters the component with regsvr32, twice each, and compares
# the registry as exported before registering with the registry exported after
# unregistering: no line that mentions the component's identifiers, ProgIDs or
# file may differ, nor any line of the host interfaces it implements. Leaves the
# component registered, as the other tests expect.
#   registry-roundtrip.sh <K1MrgRls.dll> <source dir> <work dir>
dll=$(winepath -w "$1")
source_dir=$2
work=$3
mkdir -p "$work"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# The x86 component is registered in the 32-bit view, which the 32-bit reg exports.
reg=reg
[ "$K1MRGRLS_ARCH" = x86 ] && reg=$WINEPREFIX/drive_c/windows/syswow64/reg.exe
trap 'wine regsvr32 /s "$dll" >/dev/null 2>&1' EXIT

# What identifies the component: every identifier of its IDL and of the host
# library whose interfaces it implements, its ProgID prefix and its file name.
patterns=$work/patterns
{
    grep -oh 'uuid([0-9A-Fa-f-]*)' "$source_dir/server/K1MrgRls.idl" "$source_dir/host/idl/K1TypLib.idl" |
        sed 's/uuid(\(.*\))/\1/'
    echo K1MrgRls
} >"$patterns"

# The export, one line per value with its key in front, only lines that mention
# the component.
snapshot() {
    wine "$reg" export HKCR "$(winepath -w "$work/$1.reg")" /y >/dev/null 2>&1 || fail "reg export ($1)"
    iconv -f UTF-16LE -t UTF-8 "$work/$1.reg" | tr -d '\r' |
        awk '/^\[/ { key = $0; print key; next } /^$/ { next } { print key "|" $0 }' |
        grep -i -F -f "$patterns" | sort >"$work/$1.lines"
}

regsvr() {
    wine regsvr32 /s "$@" "$dll" || fail "regsvr32 $* returned $?"
}

regsvr /u
snapshot before
regsvr /u # what was never registered
snapshot never
regsvr
snapshot once
regsvr # twice
snapshot twice
regsvr /u
regsvr /u # twice
snapshot after

for name in K1MrgRls.CMergeRules K1MrgRls.CFolderRuleIterator 99E70215-5C2C-11D5-BEB1-00C04F4F041C \
    18A9634E-5D66-4DEB-94C4-F6666ADAC92B InprocServer32; do
    grep -q -i -F "$name" "$work/once.lines" || fail "the registration writes nothing about $name"
done
cmp -s "$work/before.lines" "$work/never.lines" || fail "unregistering what was never registered changed: $(diff "$work/before.lines" "$work/never.lines" | head -5)"
cmp -s "$work/once.lines" "$work/twice.lines" || fail "registering twice changed: $(diff "$work/once.lines" "$work/twice.lines" | head -5)"
if ! cmp -s "$work/before.lines" "$work/after.lines"; then
    fail "left behind or removed: $(diff "$work/before.lines" "$work/after.lines" | head -20)"
fi
echo "$(wc -l <"$work/once.lines") registry lines of the component, $(wc -l <"$work/before.lines") before and after"

if [ "$failures" -eq 0 ]; then
    echo "PASS registry round trip"
    exit 0
fi
exit 1
