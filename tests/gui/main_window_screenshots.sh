#!/usr/bin/env bash
# Screenshots of the main window's two tabs in English, German and Greek, saved as
#   $PENDRAKE_SCREENSHOT_DIR/main_<test|defaults>_<en|de|gr>.png
# and in English with the screen at 144 DPI, as main_<test|defaults>_en_144dpi.png (the prefix
# goes back to 96 DPI on every path).
# The client key's szLanguage and the component settings key are put back as they were.
set -euo pipefail
# A step that stops the script says which one it was: most of them are quiet Wine calls.
trap 'echo "${0##*/}: line $LINENO: \"$BASH_COMMAND\" ended with $?" >&2' ERR
tools="$PENDRAKE_SOURCE_DIR/tools"
out="${PENDRAKE_SCREENSHOT_DIR:?}"
client="${PENDRAKE_CLIENT_EXE:?}"
ctl="$PENDRAKE_BUILD_DIR/tests/gui/driver/gui_ctl.exe"
mkdir -p "$out"
wine() { "$tools/wine-run.sh" "$@"; }
# 0 when the key is there, 1 when reg says it is not; a reg that gives no answer stops the script
# (a key taken for absent would be deleted, not put back, at the end).
key_state() { local rc=0; python3 "$tools/wine_reg.py" "$@" || rc=$?; [ "$rc" -le 1 ] || exit 1; return "$rc"; }

client_key='HKCU\SOFTWARE\Orvelle\Pendrake\Client'
settings_key='HKLM\SOFTWARE\Orvelle\Pendrake'
old_language=""
if key_state "$client_key" /v szLanguage; then
  old_language="$(wine reg query "$client_key" /v szLanguage | tr -d '\r' | awk '$1 == "szLanguage" { print $3 }')"
fi
had_client_key=0; key_state "$client_key" && had_client_key=1
# The pictures show a first start: the settings key is put aside (exported) and removed.
settings_backup="$PENDRAKE_BUILD_DIR/screenshots-settings.reg"
rm -f "$settings_backup"
had_settings_key=0
if key_state "$settings_key"; then
  wine reg export "$settings_key" 'Z:'"$(tr / '\\' <<<"$settings_backup")" /y >/dev/null 2>&1
  had_settings_key=1
  wine reg delete "$settings_key" /f >/dev/null 2>&1
fi

client_pid=""
dpi_changed=0
cleanup() {
  if [ "$dpi_changed" = 1 ]; then "$tools/winebed.sh" dpi 96 || true; fi
  if [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; then
    kill "$client_pid" 2>/dev/null || true
    wait "$client_pid" 2>/dev/null || true
  fi
  if [ -n "$old_language" ]; then
    wine reg add "$client_key" /v szLanguage /t REG_SZ /d "$old_language" /f >/dev/null 2>&1 || true
  elif [ "$had_client_key" = 1 ]; then
    wine reg delete "$client_key" /v szLanguage /f >/dev/null 2>&1 || true
  else
    wine reg delete "$client_key" /f >/dev/null 2>&1 || true
  fi
  wine reg delete "$settings_key" /f >/dev/null 2>&1 || true
  if [ "$had_settings_key" = 1 ]; then
    wine reg import 'Z:'"$(tr / '\\' <<<"$settings_backup")" >/dev/null 2>&1 || true
    rm -f "$settings_backup"
  fi
}
trap cleanup EXIT

shoot() {  # shoot FILE: the main window's rectangle from the screen
  local rect x y w h
  rect="$(wine "$ctl" rect PendrakeClientMain | tr -d '\r')"
  read -r x y w h <<<"$rect"
  import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$1"
  echo "saved $out/$1 (${w}x${h})"
}

shoot_language() {  # shoot_language EN|DE|GR SUFFIX: both tabs, then Cancel
  local language="$1" suffix="$2" lower
  lower="$(tr 'A-Z' 'a-z' <<<"$language")"
  wine reg add "$client_key" /v szLanguage /t REG_SZ /d "$language" /f >/dev/null 2>&1
  wine "$client" >/dev/null 2>&1 &
  client_pid=$!
  wine "$ctl" wait PendrakeClientMain 20000 >/dev/null
  shoot "main_test_${lower}${suffix}.png"
  wine "$ctl" tab PendrakeClientMain 1
  shoot "main_defaults_${lower}${suffix}.png"
  wine "$ctl" command PendrakeClientMain 1012   # Cancel: ends the program, saves nothing
  local rc=0
  wait "$client_pid" || rc=$?
  client_pid=""
  if [ "$rc" -ne 0 ]; then echo "PendrakeClient.exe ($language$suffix) exited with $rc" >&2; exit 1; fi
}

for language in EN DE GR; do shoot_language "$language" ""; done
dpi_changed=1
"$tools/winebed.sh" dpi 144
shoot_language EN _144dpi
"$tools/winebed.sh" dpi 96
dpi_changed=0
