#!/bin/sh
# Fuzzes the plan reader for SECONDS (default 60) with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, built natively with clang (not the MinGW build):
#   scripts/fuzz.sh [SECONDS]
# The corpus grows in build-fuzz/corpus (seeded with the test plans and the
# sample); a crashing input is written to build-fuzz/crashes/ and the status is
# non-zero. The whole log goes to build-fuzz/fuzz.log; the figures printed are
# the executions and the coverage (cov: edges, ft: features) at the end.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out="$root/build-fuzz"
cxx=${FUZZ_CXX:-clang++-14}
command -v "$cxx" >/dev/null 2>&1 || cxx=clang++
mkdir -p "$out/corpus" "$out/crashes"
fuzzer="$out/plan_reader_fuzz"
sources="$root/tests/fuzz/plan_reader_fuzz.cpp $root/planner/plan_reader.cpp $root/planner/json_scan.cpp $root/planner/merge_option.cpp"
newest=$(ls -t $sources "$root/tests/fuzz/ubsan-ignore.txt" "$root/planner/plan_reader.h" "$root/planner/json_scan.h" "$root/planner/plan.h" "$root/planner/merge_option.h" "$fuzzer" 2>/dev/null | head -n 1)
if [ ! -x "$fuzzer" ] || [ "$newest" != "$fuzzer" ]; then
    # shellcheck disable=SC2086
    "$cxx" -std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
        -fno-sanitize-recover=undefined -fsanitize-ignorelist="$root/tests/fuzz/ubsan-ignore.txt" \
        -I"$root/planner" $sources -o "$fuzzer"
fi
cp "$root"/tests/planner/plans/*.json "$root/examples/sample-plan.json" "$out/corpus/"
cd "$out"
status=0
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -dict="$root/tests/fuzz/plan.dict" \
    -artifact_prefix="$out/crashes/" -max_len=65536 "$out/corpus" >"$out/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    tail -n 60 "$out/fuzz.log"
    echo "fuzz: the plan reader failed (status $status); the input is in $out/crashes/" >&2
    exit "$status"
fi
grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$out/fuzz.log" | tail -n 1
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$out/fuzz.log"
