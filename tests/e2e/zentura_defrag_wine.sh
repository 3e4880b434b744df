#!/usr/bin/env bash
# The Game Defrag page of Zentura.exe under Xvfb and Wine: a game planted in
# the uninstall keys and the user's "My Games" folder are listed; analysing
# the game's folder shows the "nothing found" item (Wine's file system
# reports no fragments) and Back returns to the games; the report window is
# shown with a sample run; zentura-defrag.exe analyze runs on the folder.
# Usage: zentura_defrag_wine.sh [BUILD] (default build/win64). Screenshots
# land in BUILD/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-${BUILD:-build/win64}}")
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
  echo "skipped: no Xvfb"
  exit 0
fi
for exe in Zentura.exe ui-driver.exe zentura-defrag.exe report-window.exe; do
  [ -x "$build/bin/$exe" ] || { echo "FAIL: $build/bin/$exe not built" >&2; exit 1; }
done

export WINEPREFIX="$build/wineprefix-defrag"
export BUILD="$build"
export APP="$build/zentura-defrag-e2e"
export SHOTS="$build/screenshots"
mkdir -p "$SHOTS"
rm -rf "$APP"
mkdir -p "$APP/Language"
cp "$build/bin/Zentura.exe" "$build/bin/zentura-defrag.exe" "$build/bin/report-window.exe" "$APP/"
cp "$build/bin/Language/"*.lng "$APP/Language/"
printf "[Main]\r\nLanguage=English\r\nAutoMinimize=0\r\n\r\n[servicelist_xp]\r\n" > "$APP/Zentura.ini"

cleanup() {
  [ -s "$APP/driver.log" ] && cat "$APP/driver.log" >&2
  timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1024x768x24" bash ${GUI_TRACE:+-x} -euo pipefail -c '
  fail() { echo "FAIL: $*" >&2; shot defrag-failure "Zentura by Veltrane" 2>/dev/null || true; exit 1; }
  wine() { timeout 60 scripts/wine-run "$@" 2>/dev/null | tr -d "\r"; }
  drive() { timeout 60 scripts/wine-run "$BUILD/bin/ui-driver.exe" "$@" 2>>"$APP/driver.log" | tr -d "\r"; }
  until_true() {  # seconds, what, condition...
    local seconds=$1 what=$2; shift 2
    for _ in $(seq $((seconds * 2))); do "$@" && return 0; sleep 0.5; done
    fail "$what"
  }
  shot() {  # name, window title
    command -v import >/dev/null || return 0
    sleep 1
    local id=""
    if command -v xdotool >/dev/null; then id=$(xdotool search --name "^$2\$" 2>/dev/null | head -1 || true); fi
    import -window "${id:-root}" "$SHOTS/$1.png"
  }
  items() { drive lvitems TFormMain; }
  lists() { items | grep -qxF "$1"; }

  # Windows XP: the games come from the uninstall keys.
  scripts/wine-run reg add "HKCU\\Software\\Wine" /v Version /d winxp /f >/dev/null 2>&1
  export WINE_RUN_KEEP_SESSION=1
  drive_c="$WINEPREFIX/drive_c"
  mkdir -p "$drive_c/Games/Test Game/data"
  cp "$BUILD/bin/ui-driver.exe" "$drive_c/Games/Test Game/game.exe"
  head -c 300000 /dev/urandom > "$drive_c/Games/Test Game/data/level1.pak"
  head -c 5000 /dev/urandom > "$drive_c/Games/Test Game/data/level2.pak"
  key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZenturaTestGame"
  wine reg add "$key" /v DisplayName /d "Test Game" /f >/dev/null
  wine reg add "$key" /v UninstallString /d "\"C:\\Games\\Test Game\\unins000.exe\"" /f >/dev/null
  wine reg add "$key" /v InstallLocation /d "C:\\Games\\Test Game" /f >/dev/null
  wine reg add "$key" /v DisplayIcon /d "C:\\Games\\Test Game\\game.exe,0" /f >/dev/null
  # A Windows update entry is never a game.
  wine reg add "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KB123456" /v DisplayName /d "Update" /f >/dev/null
  wine reg add "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KB123456" /v UninstallString /d "x.exe" /f >/dev/null
  wine reg add "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KB123456" /v InstallLocation /d "C:\\windows" /f >/dev/null
  docs=$(/usr/lib/wine/wine64 winepath -u "$(wine cmd /c echo %USERPROFILE% | tail -1)\\My Documents" 2>/dev/null | tr -d "\r")
  [ -d "$docs" ] || docs=$(/usr/lib/wine/wine64 winepath -u "$(wine cmd /c echo %USERPROFILE% | tail -1)\\Documents" 2>/dev/null | tr -d "\r")
  mkdir -p "$docs/My Games"

  timeout 300 scripts/wine-run "$APP/Zentura.exe" >/dev/null 2>&1 &
  app=$!
  drive wait TFormMain >/dev/null || fail "the main window did not appear"
  drive tab TFormMain 1 || fail "the Game Defrag tab could not be chosen"
  until_true 20 "the planted game is not listed" lists "Test Game"
  lists "My Games" || fail "\"My Games\" is not listed"
  ! lists "Update" || fail "an update entry is listed as a game"
  [ "$(items | tail -1)" = "My Games" ] || fail "\"My Games\" is not the last item"
  shot defrag-games "Zentura by Veltrane"

  index=$(items | grep -nxF "Test Game" | cut -d: -f1)
  drive lvselect TFormMain $((index - 1)) || fail "the game could not be selected"
  drive click TFormMain Defrag || fail "no Defrag button"
  until_true 30 "the analysis did not show its result" lists "No fragmented files were found."
  [ "$(drive visible TFormMain "<< Back")" = 1 ] || fail "no Back button in the results view"
  shot defrag-results "Zentura by Veltrane"
  drive click TFormMain "<< Back"
  until_true 10 "Back did not return to the games" lists "Test Game"
  drive close TFormMain
  wait "$app" || fail "Zentura.exe did not end"

  timeout 60 scripts/wine-run "$APP/report-window.exe" >/dev/null 2>&1 &
  report=$!
  drive wait TFormReport >/dev/null || fail "the report window did not appear"
  [ "$(drive visible TFormReport "Complete Defragmentation At:")" = 1 ] || fail "the report window lacks its rows"
  shot defrag-report "Report"
  drive click TFormReport OK
  wait "$report" || fail "the report window did not end"

  out=$(wine "$APP/zentura-defrag.exe" analyze "C:\\Games\\Test Game")
  echo "$out" | grep -qx "Total files: 3" || fail "zentura-defrag.exe analyze: $out"
  echo "$out" | grep -qx "Fragmented files: 0" || fail "zentura-defrag.exe analyze: $out"
'
echo "zentura_defrag_wine: OK (screenshots in $SHOTS)"
