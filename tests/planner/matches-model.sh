#!/bin/sh
# The planner and the Python model of its rules (bench/planner_model.py), which
# the benchmark compares it with, give the same number of objects each action:
#   matches-model.sh PLANNER PLAN
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wine "$1" "$2" >"$work/report" 2>/dev/null
python3 "$root/bench/planner_model.py" "$2" --actions >"$work/model" 2>/dev/null || exit 1
# "  3 merge: 1564 objects" or "  3: 1564 objects" becomes "3: 1564".
awk '/^Actions:/ { on = 1; next } on && /^$/ { on = 0 } on { sub(/^ +/, ""); split($0, a, /[ :]/); print a[1] ": " $(NF - 1) }' \
    "$work/report" >"$work/planner"
if ! cmp -s "$work/model" "$work/planner"; then
    echo "FAIL: objects per action differ (model, then planner)"
    paste "$work/model" "$work/planner"
    exit 1
fi
echo "same objects per action: $(tr '\n' ' ' <"$work/model")"
