#!/usr/bin/env bash
# The Pendrake demo: builds the Windows binaries, registers Pendrake.dll in a Wine prefix,
# runs examples/demo.vbs under Wine's script host against a syslog receiver on 127.0.0.1,
# and shows what arrived on the wire and what the event log was given.
# Then it lays out the configuration client beside the component and the manual and starts it:
# on your X display with --client (you use it, the demo waits until you close it), otherwise
# on a private Xvfb display for a screenshot.
# Exit status 0 only when the datagram and the event log entry are exactly the expected ones.
set -uo pipefail
interactive=0
[ "${1:-}" = "--client" ] && interactive=1
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build="$root/build/mingw64"
export PENDRAKE_WINEPREFIX="$build/wineprefix"
work="$(mktemp -d "${TMPDIR:-/tmp}/pendrake-demo.XXXXXX")"
receiver_pid=""
client_pid=""
xvfb_started=0
bed_started=0

cleanup() {
  local status=$?
  if [ -n "$receiver_pid" ] && kill -0 "$receiver_pid" 2>/dev/null; then
    kill "$receiver_pid" 2>/dev/null
    wait "$receiver_pid" 2>/dev/null
  fi
  if [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; then
    kill "$client_pid" 2>/dev/null
    wait "$client_pid" 2>/dev/null
  fi
  if [ "$xvfb_started" -eq 1 ]; then
    PENDRAKE_BUILD_DIR="$work" bash "$root/tools/xvfb.sh" stop >/dev/null 2>&1
  fi
  if [ "$bed_started" -eq 1 ]; then
    bash "$root/tools/winebed.sh" stop >/dev/null 2>&1
  fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

section() { printf '\n=== %s\n' "$*"; }
fail() { printf '\ndemo: FAILED: %s\n' "$*"; exit 1; }

section "1. Packages"
bash tools/setup.sh || fail "tools/setup.sh could not install the packages"
echo "all packages present"

section "2. Build (preset mingw64)"
echo "building; a first build takes several minutes, the log is shown only on failure"
cmake --preset mingw64 >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "configure failed"; }
cmake --build --preset mingw64 -j 2 >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; fail "build failed"; }
tail -n 1 "$work/build.log"
dll="$build/component/win32/Pendrake.dll"
[ -f "$dll" ] || fail "the build made no $dll"
echo "component: $dll"

section "3. Wine test bed ($PENDRAKE_WINEPREFIX)"
# Wine binds its desktop to the display of the first program that needs one, so the display
# the client will use is chosen before anything runs in the prefix.
if [ "$interactive" -eq 0 ] || [ -z "${DISPLAY:-}" ]; then
  interactive=0
  PENDRAKE_BUILD_DIR="$work" bash tools/xvfb.sh start >/dev/null || fail "Xvfb did not start"
  xvfb_started=1
  DISPLAY="$(cat "$work/xvfb.display")"
  export DISPLAY
fi
# A bed someone else already runs on this prefix is used and left running; ours is stopped.
bed_pidfile="$PENDRAKE_WINEPREFIX.wineserver.pid"
if ! { [ -f "$bed_pidfile" ] && kill -0 "$(cat "$bed_pidfile")" 2>/dev/null; }; then
  bed_started=1
fi
bash tools/winebed.sh start || fail "the Wine bed did not start"
bash tools/winebed.sh fonts  # Greek menus, should the user choose Greek
source tools/wine-env.sh
winpath() { "$WINE64" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
dll_win="$(winpath "$dll")"
script_win="$(winpath "$root/examples/demo.vbs")"
echo "prefix ready, wineserver running"

section "4. Register the component: regsvr32 /s $dll_win"
"$WINE64" regsvr32 /s "$dll_win" >/dev/null 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "regsvr32 exited with $rc"
"$WINE64" reg query 'HKCR\Orvelle.Pendrake\CLSID' 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p' |
  sed 's/^/Orvelle.Pendrake -> CLSID /'

section "5. Syslog receiver on 127.0.0.1"
python3 tools/udp_receiver.py --bind 127.0.0.1 --port 0 --count 1 --timeout 60 \
  --port-file "$work/port" >"$work/receiver.log" 2>&1 &
receiver_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/port" ] && break
  kill -0 "$receiver_pid" 2>/dev/null || break
  sleep 0.05
done
[ -s "$work/port" ] || { cat "$work/receiver.log"; fail "the receiver did not start"; }
port="$(cat "$work/port")"
echo "receiver pid $receiver_pid listening on 127.0.0.1 port $port"

section "6. cscript //nologo demo.vbs 127.0.0.1 $port"
WINEDEBUG="-all,fixme+advapi,trace+eventlog,warn+eventlog,err+eventlog" \
  "$WINE64" cscript //nologo "$script_win" 127.0.0.1 "$port" >"$work/script.log" 2>"$work/trace.log"
script_rc=$?
tr -d '\r' <"$work/script.log"
echo "(script exit code $script_rc)"

section "7. What the receiver got"
for _ in $(seq 1 100); do kill -0 "$receiver_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$receiver_pid" 2>/dev/null; then
  kill "$receiver_pid" 2>/dev/null
fi
wait "$receiver_pid" 2>/dev/null
receiver_pid=""
cat "$work/receiver.log"

section "8. What the event log was given (Wine's event log trace)"
python3 tools/eventlog_trace.py "$work/trace.log"

section "Result"
expected_text='<142>Pendrake demo: hello, syslog'
expected_line="datagram 1: ${#expected_text} bytes from 127.0.0.1 port [0-9]*: \"$expected_text\"\$"
verdict=0
if grep -q "^$expected_line" "$work/receiver.log"; then
  echo "syslog:    ok, \"$expected_text\" from an ephemeral port (facility 17 local1, severity 6 informational)"
else
  echo "syslog:    expected \"$expected_text\", ${#expected_text} bytes"; verdict=1
fi
expected_entry='source "Orvelle Pendrake" on the local computer: type 4 (information), category 0, id 1000, 2 string(s) ["Pendrake demo: hello, event log", ""], data 0 byte(s)'
# Read whole before matching: grep -q stops reading at the first match, and with pipefail
# the writer's broken pipe would fail the check.
entries="$(python3 tools/eventlog_trace.py "$work/trace.log")"
if grep -qxF "entry 1: $expected_entry" <<<"$entries"; then
  echo "event log: ok, information entry 1000 with \"Pendrake demo: hello, event log\""
else
  echo "event log: expected $expected_entry"; verdict=1
fi
[ "$script_rc" -eq 0 ] || { echo "script:    exit code $script_rc"; verdict=1; }
[ "$verdict" -eq 0 ] || fail "see above"

section "9. The configuration client"
# The About box reads the component beside the program, and Help > Manual opens manual.htm
# from the working directory: the client runs from a folder laid out as the installer does.
app="$build/app"
mkdir -p "$app"
cp "$build/client/win32/PendrakeClient.exe" "$dll" "$root/docs/manual.htm" "$app/"
echo "client folder: $app"
if [ "$interactive" -eq 1 ]; then
  echo "PendrakeClient runs on $DISPLAY; close it to end the demo"
  (cd "$app" && "$WINE64" PendrakeClient.exe) >/dev/null 2>&1
else
  (cd "$app" && exec "$WINE64" PendrakeClient.exe) >/dev/null 2>&1 &
  client_pid=$!
  shot="$app/PendrakeClient.png"
  rm -f "$shot"
  for _ in $(seq 1 60); do
    sleep 0.5
    import -display "$DISPLAY" -window root "$shot" 2>/dev/null || continue
    # An all-black root window means nothing is drawn yet.
    [ "$(convert "$shot" -format '%[fx:mean>0.05]' info: 2>/dev/null)" = 1 ] && break
  done
  kill -0 "$client_pid" 2>/dev/null || fail "PendrakeClient.exe did not keep running"
  echo "PendrakeClient started (pid $client_pid); screenshot: $shot"
  echo "(run 'tools/demo.sh --client' on a desktop to use it)"
fi
echo
echo "demo: OK"
