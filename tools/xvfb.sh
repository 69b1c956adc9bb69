#!/usr/bin/env bash
# A private X display for the window tests.
#   xvfb.sh start         start Xvfb on a free display; pid and display go beside the build dir
#   xvfb.sh stop          stop the Xvfb that start began (by its recorded pid)
#   xvfb.sh exec CMD...   run CMD with DISPLAY set to that display
# The state files live in $PENDRAKE_BUILD_DIR (default: the current directory).
set -euo pipefail
state="${PENDRAKE_BUILD_DIR:-$PWD}"
pidfile="$state/xvfb.pid"
displayfile="$state/xvfb.display"

running() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

start() {
  if running && [ -s "$displayfile" ]; then return 0; fi
  rm -f "$pidfile" "$displayfile"
  mkdir -p "$state"
  local fifo; fifo="$(mktemp -u "$state/xvfb.fifo.XXXXXX")"
  mkfifo "$fifo"
  # Xvfb writes the display number it chose to descriptor 5 once it accepts clients.
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$fifo" </dev/null >/dev/null 2>&1 &
  local pid=$!
  echo "$pid" > "$pidfile"
  local number=""
  read -r -t 20 number < "$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ] || ! kill -0 "$pid" 2>/dev/null; then
    echo "xvfb.sh: Xvfb did not start" >&2
    stop
    return 1
  fi
  echo ":$number" > "$displayfile"
  echo "xvfb.sh: display :$number (pid $pid)"
}

stop() {
  if [ -f "$pidfile" ]; then
    local pid; pid="$(cat "$pidfile")"
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 1 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
      kill -9 "$pid" 2>/dev/null || true
    fi
  fi
  rm -f "$pidfile" "$displayfile"
}

run() {
  if ! [ -s "$displayfile" ]; then echo "xvfb.sh: no display; run 'xvfb.sh start' first" >&2; exit 1; fi
  DISPLAY="$(cat "$displayfile")"
  export DISPLAY
  exec "$@"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  exec) shift; run "$@" ;;
  *) echo "usage: $0 start|stop|exec CMD..." >&2; exit 2 ;;
esac
