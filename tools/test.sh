#!/usr/bin/env bash
# Runs every test: the portable code natively (with sanitizers) and under the fuzzer, then the
# Windows binaries under the Wine test bed. Prints one summary line at the end; exits non-zero on any failure.
# Tests that execute x86 code are skipped, not failed, on a host that cannot run 32-bit
# programs; the bed says which kind of host this is before the Windows tests start.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/setup.sh || exit 1

# Whatever happens, the bed's wineserver and Wine processes do not outlive the run.
trap 'PENDRAKE_WINEPREFIX="$root/build/mingw64/wineprefix" bash tools/winebed.sh stop >/dev/null 2>&1' EXIT

passed=0; failed=0; skipped=0; status=0
# run_suite PRESET [COMMAND...]: builds, runs COMMAND (if any) and then the preset's tests.
run_suite() {
  local preset="$1" log; shift
  log="$(mktemp)"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
    echo "build of $preset failed" >&2
    status=1; failed=$((failed + 1)); return
  fi
  if [ $# -gt 0 ] && ! "$@"; then
    echo "$* failed" >&2
    status=1; failed=$((failed + 1)); return
  fi
  ctest --preset "$preset" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  local line total bad skip
  line="$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)"
  total="$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")"
  bad="$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")"
  skip="$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped' "$log")"
  passed=$((passed + ${total:-0} - ${bad:-0} - skip)); failed=$((failed + ${bad:-0})); skipped=$((skipped + skip))
  rm -f "$log"
}

# The bed starts before CTest's own fixture does, so that its answer heads the Windows tests.
start_bed() {
  bash tools/winebed.sh start >/dev/null || return 1
  bash tools/winebed.sh x86 || [ $? -eq 1 ]
}

run_suite native
# The fuzz targets, each for a short smoke from its seed corpus.
run_suite fuzz
run_suite mingw64 start_bed
echo "all suites: $passed passed, $failed failed, $skipped skipped"
exit "$status"
