#!/usr/bin/env bash
# Runs the main window's event log test with Wine's event log trace on. Wine keeps no event
# log: what the component reported shows only in this trace, which the test reads back.
set -euo pipefail
# A step that stops the script says which one it was: most of them are quiet Wine calls.
trap 'echo "${0##*/}: line $LINENO: \"$BASH_COMMAND\" ended with $?" >&2' ERR
trace="$PENDRAKE_BUILD_DIR/gui-event-trace.log"
rm -f "$trace"
status=0
WINEDEBUG=-all,fixme+advapi,trace+eventlog,warn+eventlog,err+eventlog \
PENDRAKE_EVENT_TRACE="$trace" \
  "$PENDRAKE_SOURCE_DIR/tools/wine-run.sh" "${PENDRAKE_GUI_DRIVER:?}" \
  --gtest_filter=MainWindow.EventTestReportsThePageValues 2>"$trace" || status=$?
grep -E "ReportEvent|RegisterEventSource" "$trace" || true
exit "$status"
