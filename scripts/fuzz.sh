#!/usr/bin/env bash
# Runs every fuzzing harness of a fuzzing build (or only the NAMEs given) for
# SECONDS each, one after the other, and prints one line per harness:
# executions, coverage (edges) and findings. The search corpus grows in BUILD/fuzz/corpus/NAME, starting from the
# committed one; findings land in BUILD/fuzz/findings/NAME. Exits 1 on a finding.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
only=" ${*:3} "
source_dir=$(cd "$(dirname "$0")/.." && pwd)
fuzz_dir=$source_dir/tests/fuzz
out=$build/fuzz

printf '%-14s %12s %9s %9s\n' harness executions coverage findings
total=0
while read -r name max_len dict; do
    case $name in '' | '#'*) continue ;; esac
    [ "$only" = "  " ] || [[ $only == *" $name "* ]] || continue
    corpus=$out/corpus/$name
    findings=$out/findings/$name
    log=$out/$name.log
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings"
    # A page that takes seconds is a finding too: readers are linear in their input.
    "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -dict="$fuzz_dir/dict/$dict" -artifact_prefix="$findings/" -print_final_stats=1 \
        "$corpus" "$fuzz_dir/corpus/$name" >"$log" 2>&1 || true
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(sed -n 's/.* cov: \([0-9]*\) .*/\1/p' "$log" | tail -1)
    found=$(find "$findings" -type f | wc -l)
    total=$((total + found))
    printf '%-14s %12s %9s %9s\n' "$name" "${executions:-?}" "${coverage:-?}" "$found"
done <"$fuzz_dir/harnesses.txt"
[ "$total" -eq 0 ] || { echo "findings in $out/findings (logs in $out/*.log)" >&2; exit 1; }
