#!/usr/bin/env bash
# run_target.sh FUZZER SECONDS WORKDIR SEED... : runs one libFuzzer target for SECONDS from a
# working corpus in WORKDIR (filled from the seeds: files or folders), keeps what it finds
# there, and prints one line: target, executions, coverage, crashes. Exits 1 on a crash.
set -uo pipefail
fuzzer="$1" seconds="$2" work="$3"; shift 3
name="$(basename "$fuzzer")"
rm -rf "$work/crashes"
mkdir -p "$work/corpus" "$work/crashes"
for seed in "$@"; do
  if [ -d "$seed" ]; then cp -n "$seed"/* "$work/corpus/" 2>/dev/null; else cp -n "$seed" "$work/corpus/"; fi
done
log="$work/last_run.log"
# FUZZ_RUNS=N stops a target after N executions instead (SECONDS is then the limit).
"$fuzzer" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
  -artifact_prefix="$work/crashes/" "$work/corpus" >"$log" 2>&1
rc=$?
runs="$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -n 1)"
cov="$(grep -aoE 'cov: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2)"
crashes="$(find "$work/crashes" -type f | wc -l)"
took="$(sed -nE 's/^Done [0-9]+ runs in ([0-9]+) second.*/\1/p' "$log" | tail -n 1)"
echo "$name: ${runs:-0} executions, coverage ${cov:-0} edges, $crashes crashes (${took:-$seconds}s)"
if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ]; then
  grep -E 'invariant broken|ERROR: |SUMMARY: |runtime error' "$log" | head -n 20
  echo "inputs kept in $work/crashes/; log $log"
  exit 1
fi
