#!/usr/bin/env bash
# Runs the high-DPI window tests and the read-only line's wrapping with the prefix's screen at
# 120 dots per inch (125 %, common on laptops, where a twips minimum falls between two pixels)
# and at 144, and puts it back to 96 on every path, so later window tests see the prefix as
# before.
#   PENDRAKE_KEYBOARD_DRIVER  the test program (Windows exe)
set -euo pipefail
# A step that stops the script says which one it was: most of them are quiet Wine calls.
trap 'echo "${0##*/}: line $LINENO: \"$BASH_COMMAND\" ended with $?" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
tools="$here/../../tools"
trap '"$tools/winebed.sh" dpi 96' EXIT
for dpi in 120 144; do
  "$tools/winebed.sh" dpi "$dpi"
  "$tools/wine-run.sh" "${PENDRAKE_KEYBOARD_DRIVER:?}" --gtest_filter='*AtHighDpi*:*SaveRefusedLineIsWhole*'
done
