#!/usr/bin/env bash
# The Wine test bed: a private prefix and a persistent wineserver for the length of a run.
#   winebed.sh start   create the prefix if missing (from a shared template), start wineserver
#   winebed.sh stop    stop the wineserver this bed started, and every Wine process of the prefix
#   winebed.sh fresh   throw the prefix away and start again from the template
#   winebed.sh fonts   link the Greek font into Tahoma again (after code page changes)
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
template="${PENDRAKE_WINE_TEMPLATE:-$(dirname "$WINEPREFIX")/../wine-template}"
pidfile="$WINEPREFIX.wineserver.pid"

# Wine's Tahoma has no Greek letters: menus and title bars borrow them from DejaVu Sans. Wine
# writes its own font links again whenever a program starts under another ANSI code page, so
# windows tests set this link once more right before they start.
link_greek_font() {
  "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1
}

make_template() {
  local dir="$1" tmp="$1.tmp.$$"
  rm -rf "$tmp"
  mkdir -p "$tmp"
  WINEPREFIX="$tmp" "$WINE64" wineboot -i >/dev/null 2>&1
  WINEPREFIX="$tmp" "$WINESERVER" -w
  # Fonts for real windows: Liberation for Arial/Times/Courier metrics, Wine's own for
  # MS Sans Serif and Marlett, DejaVu for Greek in system dialogs.
  local fonts="$tmp/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/fonts/truetype/liberation/*.ttf "$fonts/" 2>/dev/null || true
  cp /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  cp /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf "$fonts/" 2>/dev/null || true
  cat > "$tmp/bed.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"
REG
  mv "$tmp/bed.reg" "$tmp/drive_c/bed.reg"
  WINEPREFIX="$tmp" "$WINE64" regedit /S 'C:\bed.reg' >/dev/null 2>&1
  WINEPREFIX="$tmp" link_greek_font
  WINEPREFIX="$tmp" "$WINESERVER" -w
  rm -f "$tmp/drive_c/bed.reg"
  mkdir -p "$(dirname "$dir")"
  rm -rf "$dir"
  mv "$tmp" "$dir"
}

# A prefix made before Wine's 32-bit half was installed has an empty syswow64 and cannot run
# x86 programs; with the 32-bit loader present such a prefix is made again.
usable() {
  [ -f "$1/system.reg" ] || return 1
  [ -x /usr/lib/wine/wine ] || return 0
  [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ]
}

ensure_prefix() {
  usable "$WINEPREFIX" && return 0
  # Two beds may build the template at once; a lock keeps it to one, and no bed copies a
  # template that another is replacing.
  mkdir -p "$(dirname "$template")"
  (
    flock 9
    usable "$template" || make_template "$template"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    cp -a "$template" "$WINEPREFIX"
  ) 9>"$template.lock"
}

start() {
  usable "$WINEPREFIX" || stop
  ensure_prefix
  if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    return 0
  fi
  "$WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
  echo $! > "$pidfile"
  # Let the server come up before the first client races it. The desktop process stays out of
  # this: started here, without DISPLAY, it would tie the persistent server's desktop to no
  # graphics driver, and every later window of the run would fail to appear.
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;explorer.exe=d" "$WINE64" cmd /c exit 0 >/dev/null 2>&1 || true
}

stop() {
  if [ -d "$WINEPREFIX" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
  fi
  if [ -f "$pidfile" ]; then
    local pid; pid="$(cat "$pidfile")"
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
      kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$pidfile"
  fi
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  fresh) stop; rm -rf "$WINEPREFIX"; start ;;
  fonts) link_greek_font ;;
  *) echo "usage: $0 start|stop|fresh|fonts" >&2; exit 2 ;;
esac
