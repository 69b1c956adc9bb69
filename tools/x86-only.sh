#!/usr/bin/env bash
# Runs a test that executes 32-bit Windows code: x86-only.sh COMMAND [ARGS...]
# Only where the kernel cannot execute 32-bit programs at all does it run nothing and exit with
# 77, which CTest reports as a skip. A bed that could not answer fails the test, and so does a
# command that itself ends with 77 (a Windows exit code's low byte can be anything): the skip
# signal is this script's alone, so a skip is never the way a fault goes unseen.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
answer="$(bash "$here/winebed.sh" x86 2>&1)"
case "$?:$answer" in
  0:*) ;;
  "1:test bed: this host cannot run"*) echo "SKIP: $answer"; exit 77 ;;
  *) echo "the test bed could not tell whether this host runs 32-bit programs: $answer"; exit 1 ;;
esac
"$@"
rc=$?
if [ "$rc" -eq 77 ]; then
  echo "x86-only.sh: the test ended with 77, which must not read as a skip: failed"
  exit 1
fi
exit "$rc"
