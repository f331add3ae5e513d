#!/bin/sh
# Runs the planner under Wine and checks its exit status and what it wrote.
#   expect.sh STATUS PLANNER [CHECK]... -- [ARGUMENT]...
# Checks: --out-has TEXT, --out-lacks TEXT, --err-has TEXT, --err-lacks TEXT, --out-is FILE,
#         --file-has FILE TEXT (a file the run wrote), --file-is FILE EXPECTED (byte for byte).
expected=$1
planner=$2
shift 2
checks=$(mktemp)
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    case "$1" in
    --file-has | --file-is) printf '%s\n%s\n%s\n' "$1" "$2" "$3" >>"$checks"; shift 3 ;;
    *) printf '%s\n%s\n' "$1" "$2" >>"$checks"; shift 2 ;;
    esac
done
shift
out=$(mktemp)
err=$(mktemp)
wine "$planner" "$@" >"$out" 2>"$err"
status=$?
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
[ "$status" = "$expected" ] || fail "exit status $status, expected $expected"
while IFS= read -r check; do
    IFS= read -r what
    case "$check" in
    --out-has) grep -qF -- "$what" "$out" || fail "stdout lacks: $what" ;;
    --out-lacks) grep -qF -- "$what" "$out" && fail "stdout has: $what" ;;
    --err-lacks) grep -qF -- "$what" "$err" && fail "stderr has: $what" ;;
    --err-has) grep -qF -- "$what" "$err" || fail "stderr lacks: $what" ;;
    --out-is) tr -d '\r' <"$out" | diff -u "$what" - || fail "stdout differs from $what" ;;
    --file-has) IFS= read -r text; grep -qF -- "$text" "$what" || fail "$what lacks: $text" ;;
    --file-is) IFS= read -r text; cmp -s "$what" "$text" || { fail "$what differs from $text"; diff "$text" "$what"; } ;;
    esac
done <"$checks"
if [ $failed = 1 ]; then
    echo "---- stdout"; cat "$out"; echo "---- stderr"; cat "$err"
fi
rm -f "$checks" "$out" "$err"
exit $failed
