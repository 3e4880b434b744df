#!/usr/bin/env bash
# Zentura.exe and zentray.exe under Xvfb and Wine, with a test service in the
# settings' service lists: without Zentura.ini a message and the end; the
# chooser opened from "Configure"; "-gm" stops the service and records it in
# temp.ini; closing in game mode hands over to zentray.exe, and starting
# Zentura.exe then brings the window back through it; a second instance
# leaves the first alone; the switch button restarts the service and removes
# temp.ini. Last, messages with broken format strings must not bring the
# program down. And set to Windows 10 (which reports 6.2 to the program),
# "-gm" stops the service listed in the section for Windows 8 to 11.
# Usage: zentura_wine.sh [BUILD] (default build/win64). Screenshots land in
# BUILD/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-${BUILD:-build/win64}}")
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
  echo "skipped: no Xvfb"
  exit 0
fi
for exe in Zentura.exe zentray.exe ui-driver.exe zentura_test_service.exe; do
  [ -x "$build/bin/$exe" ] || { echo "FAIL: $build/bin/$exe not built" >&2; exit 1; }
done
[ -f "$build/bin/Language/English.lng" ] || { echo "FAIL: $build/bin/Language not copied" >&2; exit 1; }

export WINEPREFIX="$build/wineprefix-zentura"
export BUILD="$build"
export APP="$build/zentura-e2e"  # the program folder
export SHOTS="$build/screenshots"
mkdir -p "$SHOTS"
rm -rf "$APP"
mkdir -p "$APP/Language"
cp "$build/bin/Zentura.exe" "$build/bin/zentray.exe" "$build/bin/zentura_test_service.exe" "$APP/"
cp "$build/bin/Language/"*.lng "$APP/Language/"

# Every Wine process of the prefix (programs, zentray.exe, the service) ends
# with its session.
cleanup() {
  [ -s "$APP/driver.log" ] && cat "$APP/driver.log" >&2
  timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

# The Wine session must start inside the X server: a session begun without a
# display has no window driver.
timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1024x768x24" bash ${GUI_TRACE:+-x} -euo pipefail -c '
  fail() { echo "FAIL: $*" >&2; shot failure "Zentura by Veltrane" 2>/dev/null || true; echo "service: $(service_state)" >&2; exit 1; }
  wine() { timeout 60 scripts/wine-run "$@" 2>/dev/null | tr -d "\r"; }
  drive() { timeout 60 scripts/wine-run "$BUILD/bin/ui-driver.exe" "$@" 2>>"$APP/driver.log" | tr -d "\r"; }
  service_state() { wine sc query ZenturaTestSvc | sed -n "s/.*STATE *: *[0-9]* *\([A-Z_]*\).*/\1/p"; }
  # The record file as text, whatever encoding the profile functions chose.
  record() { [ -f "$APP/temp.ini" ] && tr -d "\0\r" < "$APP/temp.ini" || true; }
  until_true() {  # seconds, what, condition...
    local seconds=$1 what=$2; shift 2
    for _ in $(seq $((seconds * 2))); do "$@" && return 0; sleep 0.5; done
    fail "$what"
  }
  shot() {  # name
    command -v import >/dev/null || return 0
    sleep 1
    local id=""
    if command -v xdotool >/dev/null; then id=$(xdotool search --name "^$2\$" 2>/dev/null | head -1 || true); fi
    import -window "${id:-root}" "$SHOTS/$1.png"
  }
  settings() {  # language [service lists]
    printf "[Main]\r\nCountdown=5\r\nLanguage=%s\r\nAutoMinimize=0\r\nRememberApps=1\r\n" "$1" > "$APP/Zentura.ini"
    for list in ${2:-servicelist_xp servicelist_vista servicelist_win7}; do
      printf "\r\n[%s]\r\nZenturaTestSvc=1\r\n" "$list" >> "$APP/Zentura.ini"
    done
  }
  start() { timeout 300 scripts/wine-run "$APP/Zentura.exe" "$@" >/dev/null 2>&1 & }
  stopped_and_recorded() {
    [ "$(service_state)" = STOPPED ] && record | grep -qi "^ZenturaTestSvc" && record | grep -qi "^Mem="
  }
  service_running() { [ "$(service_state)" = RUNNING ]; }
  restored() { [ ! -f "$APP/temp.ini" ] && [ "$(service_state)" = RUNNING ]; }
  window_gone() { [ "$(drive exists TFormMain)" = 0 ]; }
  tray_running() { [ "$(drive exists zentray)" = 1 ]; }
  tray_gone() { [ "$(drive exists zentray)" = 0 ]; }

  scripts/wine-run reg add "HKCU\\Software\\Wine" /v Version /d win7 /f >/dev/null 2>&1
  # The session is up now: later runs must not act as a restart, which would
  # delete temp.ini (queued for deletion at the next restart) mid-test.
  export WINE_RUN_KEEP_SESSION=1
  wine sc delete ZenturaTestSvc >/dev/null || true
  wine sc create ZenturaTestSvc binpath= "$(/usr/lib/wine/wine64 winepath -w "$APP/zentura_test_service.exe" 2>/dev/null | tr -d "\r")" >/dev/null
  wine sc start ZenturaTestSvc >/dev/null
  until_true 30 "the test service did not start" service_running
  # Two running startup programs for the chooser to list (none is chosen,
  # so game mode closes neither).
  run="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
  wine reg add "$run" /v ZenturaTestSvc /d "$(/usr/lib/wine/wine64 winepath -w "$APP/zentura_test_service.exe" 2>/dev/null | tr -d "\r")" /f >/dev/null
  wine reg add "$run" /v Desktop /d "C:\\windows\\explorer.exe /desktop" /f >/dev/null
  settings English

  # Without its settings file the program says so and ends, with no window.
  mv "$APP/Zentura.ini" "$APP/Zentura.ini.away"
  start
  app=$!
  drive wait "#32770" >/dev/null || fail "no message without Zentura.ini"
  [ "$(drive visible "#32770" "Cannot find file Zentura.ini. Click OK to exit.")" = 1 ] \
    || fail "the message without Zentura.ini is not the expected one"
  [ "$(drive exists TFormMain)" = 0 ] || fail "a main window opened without Zentura.ini"
  drive click "#32770" OK
  wait "$app" || fail "Zentura.exe without Zentura.ini did not end with exit code 0"
  mv "$APP/Zentura.ini.away" "$APP/Zentura.ini"

  # Normal mode, and the chooser opened from "Configure".
  start
  app=$!
  drive wait TFormMain >/dev/null || fail "the main window did not appear"
  shot zentura-normal "Zentura by Veltrane"
  drive click TFormMain Configure
  drive wait TForm2 >/dev/null || fail "the chooser did not open"
  shot zentura-chooser "Close Startup Application"
  drive click TForm2 Cancel
  drive close TFormMain
  wait "$app" || fail "Zentura.exe did not end in normal mode"
  [ "$(service_state)" = RUNNING ] || fail "normal mode touched the service"

  # "-gm": the service stops and is recorded.
  start -gm
  app=$!
  until_true 120 "-gm did not stop and record the service" stopped_and_recorded
  shot zentura-gamemode "Zentura by Veltrane"

  # Closed in game mode: zentray.exe stands in for it...
  drive close TFormMain
  wait "$app" || fail "Zentura.exe did not end when closed in game mode"
  until_true 30 "zentray.exe did not start" tray_running
  # Its notification icon, wherever the session shows the notification area.
  sleep 2
  ! command -v import >/dev/null || import -window root "$SHOTS/zentura-tray.png"
  # ...and a new start goes through it: that start ends, zentray.exe starts
  # the program and ends.
  timeout 60 scripts/wine-run "$APP/Zentura.exe" >/dev/null 2>&1 || fail "the start through zentray.exe failed"
  drive wait TFormMain >/dev/null || fail "zentray.exe did not start Zentura.exe again"
  until_true 30 "zentray.exe did not end" tray_gone
  [ "$(service_state)" = STOPPED ] && [ -f "$APP/temp.ini" ] || fail "game mode was lost on the way"
  shot zentura-gamemode-again "Zentura by Veltrane"

  # A second instance ends at once and leaves the first running.
  timeout 30 scripts/wine-run "$APP/Zentura.exe" >/dev/null 2>&1 || fail "the second instance did not end quickly"
  [ "$(drive exists TFormMain)" = 1 ] || fail "the first instance is gone"

  # The switch button ends game mode.
  drive click TFormMain "Switch to Normal Mode!"
  until_true 120 "the switch back did not restart the service and remove temp.ini" restored
  drive close TFormMain
  until_true 30 "Zentura.exe did not end in normal mode" window_gone
  # Its process outlives the window by a while (its update check waits on
  # the network); a start meanwhile would only find the running instance.
  until_true 120 "Zentura.exe did not end after its window" sh -c "! pgrep -f \"zentura-e2e.Zentura[.]exe\" >/dev/null"

  # Messages from a language file are formats anyone can edit.
  sed -e "s/^Msg11=.*/Msg11=%n/" -e "s/^Msg12=.*/Msg12=%s%s%s%d/" \
      -e "s/^Msg13=.*/Msg13=%999999999d/" -e "s/^Msg15=.*/Msg15=%.99999s/" \
      "$APP/Language/English.lng" > "$APP/Language/Broken.lng"
  settings Broken
  start -gm
  app=$!
  until_true 120 "-gm with broken formats did not finish the switch" stopped_and_recorded
  kill -0 "$app" 2>/dev/null && [ "$(drive exists TFormMain)" = 1 ] || fail "broken formats ended the program"
  drive click TFormMain "Switch to Normal Mode!"
  until_true 120 "the switch back with broken formats did not finish" restored
  drive close TFormMain
  wait "$app" || fail "Zentura.exe did not end after the broken-format run"
  # Wine starts the Run entries at each session start.
  wine reg delete "$run" /v ZenturaTestSvc /f >/dev/null || true
  wine reg delete "$run" /v Desktop /f >/dev/null || true

  # Windows 10: only its own section names the service.
  wine reg add "HKCU\\Software\\Wine" /v Version /d win10 /f >/dev/null
  settings English servicelist_win10
  start -gm
  app=$!
  until_true 120 "-gm under Windows 10 did not stop and record the service" stopped_and_recorded
  shot zentura-gamemode-win10 "Zentura by Veltrane"
  drive click TFormMain "Switch to Normal Mode!"
  until_true 120 "the switch back under Windows 10 did not restart the service" restored
  drive close TFormMain
  wait "$app" || fail "Zentura.exe did not end after the Windows 10 run"
  wine reg add "HKCU\\Software\\Wine" /v Version /d win7 /f >/dev/null
  wine sc delete ZenturaTestSvc >/dev/null || true
'
echo "ok: Zentura.exe and zentray.exe through normal mode, game mode, the tray companion and back"
