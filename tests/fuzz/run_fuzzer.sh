#!/usr/bin/env bash
# Runs the fuzz target for a bounded time from the seeds, on a scratch corpus, and says how many
# cases it tried. Usage: run_fuzzer.sh FUZZER SEEDS SECONDS [DICTIONARY]
set -u
fuzzer=$1 seeds=$2 seconds=$3 dictionary=${4:-$(dirname "$0")/numbers.dict}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
  -dict="$dictionary" "$work" "$seeds" >"$work/log" 2>&1
status=$?
runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$work/log")
if [ "$status" -ne 0 ]; then
  tail -n 40 "$work/log"
  echo "fuzzing failed after ${runs:-an unknown number of} cases"
  exit "$status"
fi
outcomes=$(sed -n 's/^fuzzing outcomes: //p' "$work/log" | tail -n 1)
echo "fuzzing: ${runs} cases in ${seconds} s (${outcomes}), no finding"
