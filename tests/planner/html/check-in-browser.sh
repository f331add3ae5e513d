#!/bin/sh
# Runs the planner under Wine on PLAN, writing its JSON report and its HTML
# report into OUTPUT as NAME.json and NAME.html, then checks the HTML in
# chromium against the JSON (check-report.js); screenshots go beside them as
# NAME-*.png.
#   check-in-browser.sh PLANNER PLAYWRIGHT_FOLDER OUTPUT NAME PLAN STATUS
here=$(cd "$(dirname "$0")" && pwd)
planner=$1 modules=$2/node_modules output=$3 name=$4 plan=$5 expected=$6
mkdir -p "$output" || exit 1
rm -f "$output/$name".* "$output/$name"-*.png
wine "$planner" --json --html "$output/$name.html" "$plan" >"$output/$name.json" 2>"$output/$name.err"
status=$?
if [ "$status" != "$expected" ]; then
    echo "FAIL: the planner's exit status is $status, expected $expected"
    cat "$output/$name.err"
    exit 1
fi
exec node "$here/check-report.js" "$modules" "$plan" "$output/$name.json" "$output/$name.html" "$output/$name"
