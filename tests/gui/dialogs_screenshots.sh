#!/usr/bin/env bash
# Runs the dialog tests that photograph the first-run window, the Options dialog and the About
# box, then turns their BMPs into PNGs in the screenshot folder.
#   PENDRAKE_DIALOGS_DRIVER  the test program (Windows exe), PENDRAKE_SCREENSHOT_DIR  the folder
set -euo pipefail
# A step that stops the script says which one it was: most of them are quiet Wine calls.
trap 'echo "${0##*/}: line $LINENO: \"$BASH_COMMAND\" ended with $?" >&2' ERR
here="$(cd "$(dirname "$0")" && pwd)"
tools="$here/../../tools"
shots="${PENDRAKE_SCREENSHOT_DIR:?}"
mkdir -p "$shots"
rm -f "$shots"/first_run.bmp "$shots"/options_*.bmp "$shots"/about_*.bmp
"$tools/wine-run.sh" "${PENDRAKE_DIALOGS_DRIVER:?}" \
  --gtest_filter='Dialogs.FirstStart*:Dialogs.OptionsShows*:Dialogs.AboutShows*'
status=0
for name in first_run options_en options_de options_gr about_en about_de about_gr; do
  if [ -s "$shots/$name.bmp" ]; then
    convert "$shots/$name.bmp" "$shots/$name.png"
    rm -f "$shots/$name.bmp"
  else
    echo "dialogs_screenshots.sh: no screenshot $name" >&2
    status=1
  fi
done
exit "$status"
