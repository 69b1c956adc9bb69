#!/usr/bin/env bash
# Fuzzes the portable code: tools/fuzz.sh [seconds-per-target] (default 60).
# Installs what it needs (clang and its fuzzer runtime come with the setup step), builds the
# fuzz preset, runs every target in turn from its seed corpus and prints, per target, the
# executions, the coverage and the crashes. What a run finds stays in build/fuzz/tests/fuzz/work/.
# Exits non-zero when any target crashed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds="${1:-60}"
bash tools/setup.sh || exit 1
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz || { echo "build of the fuzz preset failed" >&2; exit 1; }

work="$root/build/fuzz/tests/fuzz/work"
status=0
summary=()
for target in registration stored_defaults syslog_send client_core; do
  seeds=("tests/fuzz/corpus/$target")
  [ "$target" = registration ] && seeds+=(component/win32/Pendrake.rgs)
  line="$(tests/fuzz/run_target.sh "build/fuzz/tests/fuzz/fuzz_$target" "$seconds" "$work/$target" "${seeds[@]}")" || status=1
  echo "$line"
  summary+=("$(head -n 1 <<<"$line")")
done
echo "---"
printf '%s\n' "${summary[@]}"
exit "$status"
