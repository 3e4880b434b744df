#!/usr/bin/env bash
# Both programs' windows at 96, 120 and 144 DPI (125 % and 150 %) under Xvfb
# and Wine: Brantle's main window with its start page, a selective backup, a
# selective restore and a full backup wizard, the Opera converter, then all
# wizards open at once, the About dialog; Zentura's main window in normal
# mode (both pages) and in game mode, and the chooser. At each DPI every
# window is shot into BUILD/screenshots/dpi<N>-<name>.png and its captions
# are checked against their controls' room (ui-driver extent).
# Usage: dpi_gui.sh [BUILD] (default build/win64); DPIS="96 144" for fewer.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-${BUILD:-build/win64}}")
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "skipped: no Xvfb or xdotool"
  exit 0
fi
for exe in Brantle.exe Zentura.exe ui-driver.exe; do
  [ -x "$build/bin/$exe" ] || { echo "FAIL: $build/bin/$exe not built" >&2; exit 1; }
done
export WINEPREFIX="$build/wineprefix-dpi"
export BUILD="$build"
export SHOTS="$build/screenshots"
export APP="$build/dpi-e2e"  # Zentura's program folder
export DPIS="${DPIS:-96 120 144}"
mkdir -p "$SHOTS"
rm -rf "$APP"
mkdir -p "$APP/Language"
cp "$build/bin/Zentura.exe" "$APP/"
cp "$build/bin/Language/"*.lng "$APP/Language/"
printf "[Main]\r\nCountdown=5\r\nLanguage=English\r\nAutoMinimize=0\r\nRememberApps=1\r\n" > "$APP/Zentura.ini"
for list in servicelist_xp servicelist_vista servicelist_win7; do printf "\r\n[%s]\r\n" "$list" >> "$APP/Zentura.ini"; done
cleanup() {
  [ -s "$APP/driver.log" ] && cat "$APP/driver.log" >&2
  rm -f "$build/bin/Brantle.ini"
  timeout 60 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

# The Wine session must start inside the X server; the screen is large
# enough for the main windows at 150 %.
timeout 60 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1600x1200x24" bash ${GUI_TRACE:+-x} -euo pipefail -c '
  faults=0
  fail() { echo "FAIL: $*" >&2; import -window root "$SHOTS/dpi-failure.png" 2>/dev/null || true; exit 1; }
  drive() { timeout 120 scripts/wine-run "$BUILD/bin/ui-driver.exe" "$@" 2>>"$APP/driver.log" | tr -d "\r"; }
  wine() { timeout 120 scripts/wine-run "$@" 2>/dev/null | tr -d "\r"; }
  until_true() {  # seconds, what, condition...
    local seconds=$1 what=$2; shift 2
    for _ in $(seq $((seconds * 2))); do "$@" && return 0; sleep 0.5; done
    fail "$what"
  }
  shot() {  # name, window title
    sleep 1.5
    local id; id=$(xdotool search --name "^$2\$" 2>/dev/null | head -1 || true)
    import -window "${id:-root}" "$SHOTS/dpi$dpi-$1.png"
  }
  # The captions of a window (class) must fit: the faults are listed, and
  # counted for the end so that every window is still shot.
  extent() {  # name, class
    local out; out=$(drive extent "$2" || true)
    echo "dpi $dpi $1: $(echo "$out" | tail -1)"
    if ! grep -q " 0 fault(s)" <<<"$out"; then
      echo "$out" | grep -v "captions checked" | sed "s/^/  dpi $dpi $1: /" >&2
      faults=$((faults + 1))
    fi
  }
  key() { xdotool windowfocus --sync "$1" 2>/dev/null || true; xdotool key "$2"; sleep 1; }

  scripts/wine-run reg add "HKCU\\Software\\Wine" /v Version /d win7 /f >/dev/null 2>&1
  appdata="$(wine cmd /c echo %APPDATA%)"
  unix_appdata="$(/usr/lib/wine/wine64 winepath -u "$appdata" 2>/dev/null | tr -d "\r")"
  [ -d "$unix_appdata" ] || fail "no application-data folder in the prefix"
  rm -rf "$unix_appdata/Mozilla"; mkdir -p "$unix_appdata/Mozilla"
  cp -r samples/firefox/Mozilla/Firefox "$unix_appdata/Mozilla/Firefox"
  # A preferences file for the Opera converter to find.
  rm -rf "$unix_appdata/Opera"; mkdir -p "$unix_appdata/Opera/Opera"
  printf "Opera Preferences version 2.1\r\n" > "$unix_appdata/Opera/Opera/operaprefs.ini"
  mkdir -p "$APP/backups"; : > "$APP/backups/default.dat"
  backups=$(/usr/lib/wine/wine64 winepath -w "$APP/backups" 2>/dev/null | tr -d "\r")

  for dpi in $DPIS; do
    # The DPI is read when the session starts.
    wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    timeout 60 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
    sleep 1

    # Brantle: the start page, then wizards opened by their shortcuts.
    rm -f "$BUILD/bin/Brantle.ini"
    timeout 600 scripts/wine-run "$BUILD/bin/Brantle.exe" >/dev/null 2>&1 &
    app=$!
    drive wait TForm1 >/dev/null || fail "Brantle.exe did not appear at $dpi DPI"
    sleep 2
    id=$(xdotool search --name "^Brantle 2.0.2\$" | head -1)
    [ -n "$id" ] || fail "no X window for Brantle at $dpi DPI"
    [ "$(drive taskbar TForm1)" = "Brantle 2.0.2" ] || fail "the task bar shows \"$(drive taskbar TForm1)\" for Brantle"
    shot brantle-main "Brantle 2.0.2"
    extent brantle-main TForm1
    key "$id" ctrl+f
    [ "$(drive visible TForm1 "Select All")" = 1 ] || fail "Ctrl+F did not open the Firefox backup wizard"
    shot brantle-backup "Brantle 2.0.2"
    extent brantle-backup TForm1
    key "$id" alt+f
    drive settext TForm1 "Backup location:" "$backups"
    shot brantle-restore "Brantle 2.0.2"
    extent brantle-restore TForm1
    key "$id" shift+ctrl+f
    [ "$(drive visible TForm1 "Progress:")" = 1 ] || fail "Shift+Ctrl+F did not open the full backup wizard"
    shot brantle-full-backup "Brantle 2.0.2"
    extent brantle-full-backup TForm1
    key "$id" alt; key "$id" c; key "$id" o
    [ "$(drive visible TForm1 "Enter old username (if changing):")" = 1 ] || fail "Alt, C, O did not open the Opera converter"
    shot brantle-opera-convert "Brantle 2.0.2"
    extent brantle-opera-convert TForm1
    # Every other wizard, open together: their captions are checked at once.
    for k in ctrl+i ctrl+c ctrl+o ctrl+s ctrl+l alt+i alt+c alt+o alt+s alt+l \
             shift+ctrl+i shift+ctrl+c shift+ctrl+o shift+ctrl+s shift+ctrl+l \
             shift+alt+i shift+alt+f shift+alt+c shift+alt+o shift+alt+s shift+alt+l; do
      key "$id" "$k"
      # A browser without a profile here says so when its wizard opens.
      for _ in 1 2 3; do
        [ "$(drive exists "#32770")" = 1 ] || break
        drive click "#32770" OK; sleep 0.5
      done
    done
    shot brantle-all-wizards "Brantle 2.0.2"
    extent brantle-all-wizards TForm1
    key "$id" alt; key "$id" h; key "$id" a
    drive wait Tf_About >/dev/null || fail "Alt, H, A did not open the About dialog"
    shot brantle-about "About Brantle"
    extent brantle-about Tf_About
    drive click Tf_About OK
    drive click TForm1 Cancel
    wait "$app" || fail "Brantle.exe did not end after Cancel at $dpi DPI"

    # Zentura: normal mode, the chooser, game mode (no services listed, so
    # the switch only measures memory), back to normal mode.
    rm -f "$APP/temp.ini"
    timeout 600 scripts/wine-run "$APP/Zentura.exe" >/dev/null 2>&1 &
    app=$!
    drive wait TFormMain >/dev/null || fail "Zentura.exe did not appear at $dpi DPI"
    [ "$(drive taskbar TFormMain)" = Zentura ] || fail "the task bar shows \"$(drive taskbar TFormMain)\" for Zentura"
    shot zentura-normal "Zentura by Veltrane"
    extent zentura-normal TFormMain
    drive tab TFormMain 1
    sleep 2
    shot zentura-defrag "Zentura by Veltrane"
    extent zentura-defrag TFormMain
    drive tab TFormMain 0
    drive click TFormMain Configure
    drive wait TForm2 >/dev/null || fail "the chooser did not open at $dpi DPI"
    shot zentura-chooser "Close Startup Application"
    extent zentura-chooser TForm2
    drive click TForm2 Cancel
    drive click TFormMain "Switch to Gaming Mode!"
    until_true 180 "the switch to game mode did not finish at $dpi DPI" \
      sh -c "[ -f \"$APP/temp.ini\" ] && tr -d \"\\0\\r\" < \"$APP/temp.ini\" | grep -qi \"^Mem=\""
    until_true 60 "the switch button did not come back" sh -c "[ \"\$(timeout 60 scripts/wine-run \"$BUILD/bin/ui-driver.exe\" visible TFormMain \"Switch to Normal Mode!\" 2>/dev/null | tr -d \"\\r\")\" = 1 ]"
    shot zentura-gamemode "Zentura by Veltrane"
    extent zentura-gamemode TFormMain
    drive click TFormMain "Switch to Normal Mode!"
    until_true 180 "the switch back did not finish at $dpi DPI" sh -c "[ ! -f \"$APP/temp.ini\" ]"
    sleep 1
    drive close TFormMain
    wait "$app" || fail "Zentura.exe did not end at $dpi DPI"
  done
  [ "$faults" = 0 ] || fail "$faults window(s) with clipped or overlapping captions"
'
echo "ok: Brantle's and Zentura's windows at ${DPIS// /, } DPI, every caption within its control; screenshots in $SHOTS/dpi*.png"
