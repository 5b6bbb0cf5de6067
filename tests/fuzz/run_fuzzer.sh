#!/usr/bin/env bash
# Runs the fuzz target over its committed corpus for a fixed number of cases from a fixed seed,
# so that the same tree gives the same outcome on every machine, however fast; new inputs go to a
# scratch folder, never into the corpus. Says how many cases it tried.
# Usage: run_fuzzer.sh FUZZER CORPUS RUNS [DICTIONARY]
# The open-ended search, at random and for as long as asked, is scripts/fuzz.
set -u
fuzzer=$1 corpus=$2 runs=$3 dictionary=${4:-$(dirname "$0")/numbers.dict}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# No schedule by execution time, no feedback from the comparisons of uninstrumented code, no
# leak probe counted by mallocs: what steers the search is the inputs and the target's coverage.
"$fuzzer" -seed=1 -runs="$runs" -reload=0 -entropic=0 -use_cmp=0 -use_memmem=0 -detect_leaks=0 \
  -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$work/" \
  -dict="$dictionary" "$work" "$corpus" >"$work/log" 2>&1
status=$?
done_runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$work/log")
if [ "$status" -ne 0 ]; then
  tail -n 40 "$work/log"
  for found in "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-*; do
    [ -e "$found" ] || continue
    echo "the input that failed ($(basename "$found")), as bytes:"
    od -c "$found" | head -n 20
  done
  echo "fuzzing failed after ${done_runs:-an unknown number of} cases; add the input above to $corpus"
  exit "$status"
fi
outcomes=$(sed -n 's/^fuzzing outcomes: //p' "$work/log" | tail -n 1)
echo "fuzzing: ${done_runs} cases from seed 1 over $(ls "$corpus" | wc -l) corpus inputs (${outcomes}), no finding"
