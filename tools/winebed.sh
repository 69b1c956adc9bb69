#!/usr/bin/env bash
# The Wine test bed: a private prefix and a persistent wineserver for the length of a run.
#   winebed.sh start   create the prefix if missing (from a shared template), start the bed's
#                      X display (xvfb.sh) and wineserver
#   winebed.sh stop    stop the wineserver this bed started, every Wine process of the prefix, and
#                      the display
#   winebed.sh fresh   throw the prefix away and start again from the template
#   winebed.sh fonts   link the Greek font into Tahoma again (after code page changes), give
#                      title bars a caption font with Greek letters and links the colour
#                      of Windows' standard scheme
#   winebed.sh dpi N   make the prefix's screen N dots per inch (96 is the prefix's own)
#   winebed.sh x86     say whether this host runs 32-bit Windows programs: exit 0 if it does, 1
#                      only where the kernel cannot execute them at all, 2 where the probe failed
#                      (a fault of the bed, never a reason to skip)
#
# PENDRAKE_FORCE_X86=yes|no makes the bed take that answer instead of probing (to try the other
# kind of host's verdicts); PENDRAKE_X86_PROBE_FAILS=N makes the first N starts of each probe
# fail, as a busy Wine sometimes does (to try the retry and the red verdict). Nothing outside the
# bed reads them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
template="${PENDRAKE_WINE_TEMPLATE:-$bed_dir/../wine-template}"
pidfile="$WINEPREFIX.wineserver.pid"
# The answer of this bed's probe, kept from its start to its stop: "yes ..." or "no ...".
x86_answer="$WINEPREFIX.x86"

# Wine's Tahoma has no Greek letters: menus and title bars borrow them from DejaVu Sans. Wine
# writes its own font links again whenever a program starts under another ANSI code page, so
# windows tests set this link once more right before they start.
link_greek_font() {
  "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1
  caption_font
  link_colour
}

# Wine's own colour scheme has the hot-light colour (the colour of links) at 224 224 224, which
# hardly shows on a window's face; the bed takes the colour of Windows' standard scheme.
link_colour() {
  "$WINE64" reg add 'HKCU\Control Panel\Colors' /v HotTrackingColor /t REG_SZ /d '0 102 204' /f >/dev/null 2>&1
}

# Wine draws title bars in the caption font, bold "MS Shell Dlg" (Tahoma Bold), which the link
# above does not reach: Greek titles showed boxes. The caption font becomes DejaVu Sans Bold at
# the same height (8 points, lfHeight -11), a LOGFONTW of 92 bytes.
caption_font() {
  local face="440065006A006100560075002000530061006E0073"  # "DejaVu Sans" in UTF-16LE
  local logfont="F5FFFFFF000000000000000000000000BC0200000000000000000022$face"
  while [ ${#logfont} -lt 184 ]; do logfont+="00"; done
  "$WINE64" reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v CaptionFont /t REG_BINARY \
    /d "$logfont" /f >/dev/null 2>&1
}

# Wine 8 takes the screen's DPI from HKCU\Control Panel\Desktop LogPixels, and from the machine's
# font profile where the user has none (measured: the user's value wins). Both are set, so they
# agree; a program started afterwards sees it in GetDeviceCaps(LOGPIXELSY) and GetDpiForSystem.
set_dpi() {
  case "${1:-}" in
    ''|*[!0-9]*) echo "winebed.sh dpi: a number of dots per inch, not '${1:-}'" >&2; return 2 ;;
  esac
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  "$WINE64" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
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

# Where the kernel executes Wine's 32-bit loader, wineboot fills syswow64, and a prefix made
# before that half was installed is made again. Where it cannot, syswow64 stays empty in every
# prefix, and such a prefix is as good as any.
usable() {
  [ -f "$1/system.reg" ] || return 1
  i386_loader_runs || return 0
  [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ]
}

i386_loader_runs() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The one reason to skip x86 tests: the kernel refuses Wine's 32-bit loader outright. Anything
# else that stops a 32-bit program (a time-out, a crash, a server not ready yet) is a fault.
i386_refused_by_kernel() {
  local out
  [ -e /usr/lib/wine/wine ] || return 1
  out="$(/usr/lib/wine/wine --version 2>&1)" && return 1
  grep -q 'Exec format error' <<<"$out"
}

# Starts a 32-bit program in the prefix, a few times if it must, and keeps a verdict only when
# there is one: a failed probe is not remembered, so the next question probes again. The program
# is built here, so the probe needs nothing from the project's build.
probe_x86() {
  case "${PENDRAKE_FORCE_X86:-}" in
    yes|no) echo "$PENDRAKE_FORCE_X86 (forced by PENDRAKE_FORCE_X86)" > "$x86_answer"; return ;;
    "") ;;
    *) echo "PENDRAKE_FORCE_X86 must be yes or no, not '$PENDRAKE_FORCE_X86'" >&2; return 2 ;;
  esac
  if i386_refused_by_kernel; then
    echo "no (the kernel refuses Wine's 32-bit loader: Exec format error)" > "$x86_answer"
    return
  fi
  local exe out rc attempt forced="${PENDRAKE_X86_PROBE_FAILS:-0}"
  exe="$bed_dir/x86_probe.exe"
  if [ ! -f "$exe" ] || [ "$here/x86_probe.c" -nt "$exe" ]; then
    i686-w64-mingw32-gcc -O2 -s -o "$exe" "$here/x86_probe.c" || return 2
  fi
  for attempt in 1 2 3; do
    rc=0
    if [ "$attempt" -le "$forced" ]; then
      out="failure forced by PENDRAKE_X86_PROBE_FAILS"; rc=1
    else
      out="$(WINEDLLOVERRIDES="$WINEDLLOVERRIDES;explorer.exe=d" timeout 60 "$WINE64" "$exe" 2>&1)" || rc=$?
    fi
    if [ "$rc" -eq 0 ] && grep -q 'pendrake x86 probe: running' <<<"$out"; then
      echo "yes (x86_probe.exe ran in the prefix, attempt $attempt)" > "$x86_answer"
      return 0
    fi
    out="$(grep -v '^$' <<<"$out" | head -n 1)"
    echo "test bed: x86_probe.exe attempt $attempt exited $rc: ${out:-no output}" >&2
    [ "$attempt" -lt 3 ] && sleep 2
  done
  return 2
}

say_x86() {
  if [ ! -f "$x86_answer" ]; then
    probe_x86 || {
      echo "test bed: x86_probe.exe failed three times although the kernel runs Wine's 32-bit loader; a fault of the bed"
      return 2
    }
  fi
  local answer; answer="$(cat "$x86_answer")"
  case "$answer" in
    yes*) echo "test bed: this host runs 32-bit Windows programs ${answer#yes }"; return 0 ;;
    *) echo "test bed: this host cannot run 32-bit Windows programs ${answer#no }; tests that execute x86 code are skipped"
       return 1 ;;
  esac
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
    mkdir -p "$bed_dir"
    cp -a "$template" "$WINEPREFIX"
  ) 9>"$template.lock"
}

start() {
  usable "$WINEPREFIX" || stop
  ensure_prefix
  if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    return 0
  fi
  # The persistent server keeps one desktop for as long as any process uses it, and the first
  # Wine process that needs it (a regsvr32 or a reg run of a console test will do) ties it to the
  # display that process sees. So the bed's own X display comes first, and every Wine process of
  # the bed sees it (wine-env.sh): otherwise a desktop begun without a display would leave every
  # later window of the run without a graphics driver.
  PENDRAKE_BUILD_DIR="$bed_dir" bash "$here/xvfb.sh" start >/dev/null
  use_bed_display
  "$WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
  echo $! > "$pidfile"
  # Let the server come up before the first client races it.
  "$WINE64" cmd /c exit 0 >/dev/null 2>&1 || true
  # A failed probe does not stop the bed: the x64 tests can run, and every x86 test asks again.
  probe_x86 || true
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
  rm -f "$x86_answer"
  PENDRAKE_BUILD_DIR="$bed_dir" bash "$here/xvfb.sh" stop
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  fresh) stop; rm -rf "$WINEPREFIX"; start ;;
  fonts) link_greek_font ;;
  dpi) set_dpi "${2:-}" ;;
  x86) say_x86 ;;
  *) echo "usage: $0 start|stop|fresh|fonts|dpi N|x86" >&2; exit 2 ;;
esac
