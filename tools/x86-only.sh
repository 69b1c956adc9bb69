#!/usr/bin/env bash
# Runs a test that executes 32-bit Windows code: x86-only.sh COMMAND [ARGS...]
# Where the test bed found that this host cannot run such programs, it runs nothing and exits
# with 77, which CTest reports as a skip; otherwise the command's exit code is the test's. A bed
# that could not answer fails the test: a skip is never the way a fault goes unseen.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
answer="$(bash "$here/winebed.sh" x86 2>&1)"
case "$?:$answer" in
  0:*) exec "$@" ;;
  "1:test bed: this host cannot run"*) echo "SKIP: $answer"; exit 77 ;;
  *) echo "the test bed could not tell whether this host runs 32-bit programs: $answer"; exit 1 ;;
esac
