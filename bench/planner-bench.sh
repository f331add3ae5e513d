#!/bin/sh
# The merge planner on generated plans (bench/generate-plan.sh) of 10,000,
# 100,000 and 1,000,000 objects, beside its floors and the Python model of the
# same rules (bench/planner_model.py), all measured in this run:
#   - reading: the planner's reading phase, against reading the file's bytes;
#   - lookups: against FindAction alone for the same objects;
#   - total: against the Python model's total on the same plan;
#   - peak working set per object.
# Each figure is the best of ROUNDS runs (default 3; 1 for 1,000,000). The
# planner's and the model's action counts are compared once per size. Run it
# with the servers registered, e.g.
#   scripts/with-servers.sh bench/planner-bench.sh [SIZE...]
root=$(cd "$(dirname "$0")/.." && pwd)
# PLANNER names another build of K1MrgPlan.exe, e.g. one kept from before a change.
planner=${PLANNER:-"$root/build/planner/K1MrgPlan.exe"}
model="$root/bench/planner_model.py"
work=$(mktemp -d)
sizes=${*:-10000 100000 1000000}
best_of() { # best_of FILE_WITH_ONE_NUMBER_PER_LINE
    sort -g "$1" | head -n 1
}
printf '%-9s %7s | %8s %8s %6s %6s | %8s %8s %5s | %8s %8s %8s %8s %7s | %9s %8s %5s | %8s %6s | %s\n' \
    objects MB reading bytes MB/s x inventory folders walk lookups FindAct x rules report total Python x "peak MB" KB/obj actions
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
for n in $sizes; do
    "$root/bench/generate-plan.sh" "$n" 1 >"$work/plan.json"
    rounds=${ROUNDS:-3}
    [ "$n" -ge 1000000 ] && rounds=${ROUNDS:-1}
    : >"$work/all"
    : >"$work/python"
    i=0
    while [ $i -lt "$rounds" ]; do
        wine "$planner" --timings --floors "$work/plan.json" 2>"$work/timings" >"$work/report"
        awk -v run=$i '
            /^timing: floor file bytes/ { f = $5 } /^timing: floor FindAction/ { a = $4 }
            /^timing: reading/ { r = $3 } /^timing: building/ { b = $5 } /^timing: rules/ { u = $5 }
            /^timing: folder/ { x = $4 } /^timing: object-rule/ { w = $4 } /^timing: lookups/ { l = $3 }
            /^timing: report/ { p = $3 } /^timing: total/ { t = $3 } /^timing: peak/ { m = $5 }
            END { print r, f, b, x, w, l, a, u, p, t, m }' "$work/timings" >>"$work/all"
        python3 "$model" "$work/plan.json" 2>&1 >/dev/null | awk '/^timing: total/ { print $3 }' >>"$work/python"
        i=$((i + 1))
    done
    # The model's and the planner's action counts, from the last round.
    python3 "$model" "$work/plan.json" --actions 2>/dev/null >"$work/model-actions"
    awk '/^Actions:/ { on = 1; next } on && /^$/ { on = 0 } on { sub(/^ +/, ""); split($0, a, /[ :]/); print a[1] ": " $(NF - 1) }' \
        "$work/report" >"$work/planner-actions"
    if cmp -s "$work/model-actions" "$work/planner-actions"; then agree=same; else agree=DIFFER; fi
    python=$(best_of "$work/python")
    size=$(wc -c <"$work/plan.json")
    # Each column is its own best over the rounds.
    awk -v n="$n" -v size="$size" -v python="$python" -v agree="$agree" '
        function keep(i, v) { if (!(i in best) || v < best[i]) best[i] = v }
        { for (i = 1; i <= NF; i++) keep(i, $i) }
        END {
            mb = size / 1048576
            printf "%-9s %7.1f | %8.3f %8.3f %6.0f %6.1f | %8.3f %8.3f %5.3f | %8.3f %8.3f %8.2f %8.3f %7.3f | %9.3f %8.3f %5.2f | %8.1f %6.2f | %s\n",
                   n, mb, best[1], best[2], mb / best[1], best[1] / best[2], best[3], best[4], best[5],
                   best[6], best[7], best[6] / best[7], best[8], best[9], best[10], python, best[10] / python,
                   best[11], best[11] * 1024 / n, agree
        }' "$work/all"
done
rm -rf "$work"
