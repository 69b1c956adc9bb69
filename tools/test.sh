#!/usr/bin/env bash
# Runs every test: the portable code natively (with sanitizers) and under the fuzzer, then the
# Windows binaries under the Wine test bed. Prints one summary line at the end; exits non-zero on any failure.
# Tests that execute x86 code are skipped, not failed, only on a host whose kernel cannot run
# 32-bit programs; the bed says which kind of host this is before the Windows tests start.
#
# Every skip counts in the summary line: the tests CTest reports as skipped, and each check
# skipped inside a test that ran. Such a check is named on a line of its own in the test's
# output, beginning "SKIP " (tests/wine/ship/tally.py prints them), or is a case gtest reports as
# "[  SKIPPED ] Suite.Case (N ms)". A test that cannot run at all exits with its SKIP_RETURN_CODE
# (tools/x86-only.sh: 77).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/setup.sh || exit 1

# Whatever happens, the bed's wineserver and Wine processes do not outlive the run.
trap 'PENDRAKE_WINEPREFIX="$root/build/mingw64/wineprefix" bash tools/winebed.sh stop >/dev/null 2>&1' EXIT

passed=0; failed=0; skipped=0; inner_skipped=0; status=0
skip_lines='^(SKIP |\[  SKIPPED \] [^ ]+ \([0-9]+ ms\)[[:space:]]*$)'  # checks skipped inside a test
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
  # Passed tests' output is kept whole in the log, where the skipped checks are counted.
  ctest --preset "$preset" --test-output-size-passed 4000000 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  local line total bad skip inner
  inner="$(grep -cE "$skip_lines" "build/$preset/Testing/Temporary/LastTest.log" 2>/dev/null)"
  line="$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)"
  total="$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")"
  bad="$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")"
  skip="$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped' "$log")"
  passed=$((passed + ${total:-0} - ${bad:-0} - skip)); failed=$((failed + ${bad:-0}))
  skipped=$((skipped + skip)); inner_skipped=$((inner_skipped + ${inner:-0}))
  rm -f "$log"
}

# The bed starts before CTest's own fixture does, so that its answer heads the Windows tests. A
# probe that failed does not stop the run: the x86 tests ask again and fail on their own.
start_bed() {
  bash tools/winebed.sh start >/dev/null || return 1
  bash tools/winebed.sh x86 || true
}

run_suite native
# The fuzz targets, each for a short smoke from its seed corpus.
run_suite fuzz
run_suite mingw64 start_bed
echo "all suites: $passed passed, $failed failed, $((skipped + inner_skipped)) skipped" \
     "($skipped tests, $inner_skipped checks inside tests that ran)"
[ "$inner_skipped" -eq 0 ] || grep -hE "$skip_lines" build/*/Testing/Temporary/LastTest.log
exit "$status"
