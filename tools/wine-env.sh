# Sourced by the Wine scripts: the environment every Wine call of the project runs with.
# PENDRAKE_WINEPREFIX names the private prefix; it defaults to the x64 build tree's.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${PENDRAKE_WINEPREFIX:-${WINEPREFIX:-$here/../build/mingw64/wineprefix}}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
# While the bed runs, every Wine process sees its X display, so the one desktop of the bed's
# server always has a graphics driver, whichever process begins it (see winebed.sh start).
bed_dir="$(dirname "$WINEPREFIX")"
use_bed_display() {
  if [ -s "$bed_dir/xvfb.display" ]; then
    DISPLAY="$(cat "$bed_dir/xvfb.display")"
    export DISPLAY
  fi
}
use_bed_display
export LANG="${LANG:-C.UTF-8}"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
