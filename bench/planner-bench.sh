#!/bin/sh
# The merge planner on generated plans (bench/generate-plan.sh) of 10,000,
# 100,000 and 1,000,000 objects: wall time per phase and in all, peak working
# set, growth per tenfold step. Each size is the best (least total) of ROUNDS
# runs (default 3; 1 for 1,000,000). Run it with the servers registered, e.g.
#   scripts/with-servers.sh bench/planner-bench.sh [SIZE...]
root=$(cd "$(dirname "$0")/.." && pwd)
planner="$root/build/planner/K1MrgPlan.exe"
work=$(mktemp -d)
sizes=${*:-10000 100000 1000000}
printf '%-9s %8s %8s %8s %8s %8s %8s %8s %9s %7s %9s\n' objects reading inventory rules folders walk lookups report total x10 "peak MB"
previous=""
for n in $sizes; do
    "$root/bench/generate-plan.sh" "$n" 1 >"$work/plan.json"
    rounds=${ROUNDS:-3}
    [ "$n" -ge 1000000 ] && rounds=${ROUNDS:-1}
    best=""
    i=0
    while [ $i -lt "$rounds" ]; do
        wine "$planner" --timings "$work/plan.json" 2>"$work/timings" >/dev/null
        total=$(awk '/^timing: total/ { print $3 }' "$work/timings")
        if [ -z "$best" ] || awk -v a="$total" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$total
            cp "$work/timings" "$work/best"
        fi
        i=$((i + 1))
    done
    awk -v n="$n" -v previous="$previous" '
        /^timing: reading/ { r = $3 } /^timing: building/ { b = $5 } /^timing: rules/ { u = $5 }
        /^timing: folder/ { f = $4 } /^timing: object-rule/ { w = $4 } /^timing: lookups/ { l = $3 }
        /^timing: report/ { p = $3 } /^timing: total/ { t = $3 } /^timing: peak/ { m = $5 }
        END {
            growth = previous == "" ? "" : sprintf("x%.2f", t / previous)
            printf "%-9s %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f %9.3f %7s %9.1f (%.2f KB/object)\n",
                   n, r, b, u, f, w, l, p, t, growth, m, m * 1024 / n
        }' "$work/best"
    previous=$(awk '/^timing: total/ { print $3 }' "$work/best")
done
rm -rf "$work"
