#!/usr/bin/env bash
# Brantle.exe under Xvfb and Wine: the main window in each colour scheme
# (chosen through Brantle.ini before each start), a command's hint tooltip,
# the key tips (Alt, B, F) opening the Firefox backup wizard, which is then
# driven through its controls (the default profile chosen in its list), its
# archive compared with the one brantle-cli.exe makes of the same profile,
# the Chrome backup wizard (Alt, B, C) backing up the profile it preselects,
# the Opera converter (Alt, C, O) converting a planted operaprefs.ini, the
# Opera backup wizard (Alt, B, O), and Exit from the application menu.
# Screenshots land in BUILD/screenshots/ (BUILD defaults to build/win64).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${BUILD:-build/win64}")
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "skipped: no Xvfb or xdotool"
  exit 0
fi
for exe in Brantle.exe brantle-cli.exe ui-driver.exe; do
  [ -x "$build/bin/$exe" ] || { echo "FAIL: $build/bin/$exe not built" >&2; exit 1; }
done
export WINEPREFIX="$build/wineprefix-gui"
export BUILD="$build"
shots="$build/screenshots"
mkdir -p "$shots"
work=$(mktemp -d "$build/gui-e2e.XXXXXX")
trap '[ -s "$work/driver.log" ] && cat "$work/driver.log" >&2; rm -rf "$work"; rm -f "$build/bin/Brantle.ini"' EXIT
export WORK="$work" SHOTS="$shots"

# The Wine session must start inside the X server: a session begun without a
# display has no window driver.
timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1024x768x24" bash ${GUI_TRACE:+-x} -euo pipefail -c '
  fail() { echo "FAIL: $*" >&2; command -v import >/dev/null && import -window root "$SHOTS/failure.png"; exit 1; }
  drive() { timeout 60 scripts/wine-run "$BUILD/bin/ui-driver.exe" "$@" 2>>"$WORK/driver.log" | tr -d "\r"; }
  start() {
    timeout 120 scripts/wine-run "$BUILD/bin/Brantle.exe" >/dev/null 2>&1 &
    app=$!
    drive wait TForm1 >/dev/null || fail "the main window did not appear"
    sleep 1
  }
  window_id() { command -v xdotool >/dev/null && xdotool search --name "^Brantle 2.0.2\$" 2>/dev/null | head -1 || true; }
  shot() {  # name: the screen where the main window is, with the menus and tooltips over it
    command -v import >/dev/null || return 0
    local id X Y WIDTH HEIGHT; id=$(window_id)
    [ -n "$id" ] || { import -window root "$SHOTS/$1.png"; return 0; }
    eval "$(xdotool getwindowgeometry --shell "$id")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$SHOTS/$1.png"
  }
  # Windows 7: the profile is found under the roaming application-data folder.
  scripts/wine-run reg add "HKCU\\Software\\Wine" /v Version /d win7 /f >/dev/null 2>&1
  appdata="$(scripts/wine-run cmd /c echo %APPDATA% 2>/dev/null | tr -d "\r")"
  unix_appdata="$(/usr/lib/wine/wine64 winepath -u "$appdata" 2>/dev/null | tr -d "\r")"
  [ -d "$unix_appdata" ] || fail "no application-data folder in the prefix"
  rm -rf "$unix_appdata/Mozilla"; mkdir -p "$unix_appdata/Mozilla"
  cp -r samples/firefox/Mozilla/Firefox "$unix_appdata/Mozilla/Firefox"
  mkdir -p "$WORK/gui" "$WORK/cli"
  winpath() { /usr/lib/wine/wine64 winepath -w "$1" 2>/dev/null | tr -d "\r"; }
  WGUI=$(winpath "$WORK/gui"); WCLI=$(winpath "$WORK/cli")
  echo "$WGUI" > "$WORK/wgui"; echo "$WCLI" > "$WORK/wcli"
  for scheme in Luna Silver Obsidian; do
    printf "[Preferences]\r\nLayout=%s\r\n" "$scheme" > "$BUILD/bin/Brantle.ini"
    start
    shot "main-$scheme"
    drive click TForm1 Cancel   # the start page ends the program
    wait "$app" || fail "Brantle.exe did not end after Cancel ($scheme)"
  done

  rm -f "$BUILD/bin/Brantle.ini"
  start
  id=$(window_id)
  [ -n "$id" ] || fail "no X window for the main window"
  key() { xdotool windowfocus --sync "$id" 2>/dev/null || true; xdotool key "$@"; sleep 0.5; }

  # A command'"'"'s hint shows as a tooltip when the mouse rests on it.
  read -r x y <<<"$(drive locate TForm1 "&Firefox" || true)"
  [ -n "$x" ] || fail "no Firefox command to point at"
  xdotool mousemove "$x" "$y"
  sleep 2
  [ "$(drive tooltip TForm1)" = "Backup Firefox web browser." ] || fail "no hint tooltip over the Firefox command"
  shot main-tooltip
  xdotool mousemove 0 0

  # Key tips: Alt shows the letters of the tabs, B those of the Backup
  # tab'"'"'s commands, F opens the Firefox backup wizard.
  key alt
  [ "$(drive visible TForm1 B)" = 1 ] || fail "Alt did not show the key tips"
  shot main-keytips-tabs
  key b
  [ "$(drive visible TForm1 B)" = 0 ] || fail "B did not move on to the Backup commands"
  shot main-keytips
  key f
  [ "$(drive visible TForm1 "Next >")" = 1 ] || fail "the key tips did not open the Firefox backup wizard"
  drive settext TForm1 "Backup location:" "$WGUI"
  # The user picks the default profile; the click sends the focus to Next.
  drive select TForm1 x7k2m9qa.default || fail "the default profile is not listed"
  [ "$(drive focused TForm1)" = "Next >" ] || fail "the profile click left the focus on $(drive focused TForm1)"
  sleep 0.5
  shot wizard-firefox-backup
  drive click TForm1 "Next >"
  for i in $(seq 1 100); do
    [ "$(drive visible TForm1 Finish)" = 1 ] && break
    sleep 0.2
  done
  [ "$(drive visible TForm1 Finish)" = 1 ] || fail "Finish did not appear"
  shot wizard-firefox-finished
  drive click TForm1 Finish
  wait "$app" || fail "Brantle.exe did not end after Finish"

  # The Chrome backup wizard (Alt, B, C) on a profile beside another
  # folder of "User Data": the profile with the bookmarks is chosen.
  local_appdata="$(/usr/lib/wine/wine64 winepath -u "$(scripts/wine-run cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d "\r")" 2>/dev/null | tr -d "\r")"
  user_data="$local_appdata/Google/Chrome/User Data"
  rm -rf "$local_appdata/Google"; mkdir -p "$user_data/Default" "$user_data/Crashpad"
  echo "{}" > "$user_data/Default/Bookmarks"; echo history > "$user_data/Default/History"
  echo dump > "$user_data/Crashpad/settings.dat"
  mkdir -p "$WORK/chrome"; WCHROME=$(winpath "$WORK/chrome")
  start
  id=$(window_id)
  key alt
  key b
  key c
  [ "$(drive visible TForm1 "Login Data")" = 1 ] || fail "the key tips did not open the Chrome backup wizard"
  drive settext TForm1 "Backup location:" "$WCHROME"
  sleep 0.5
  shot wizard-chrome-backup
  drive click TForm1 "Next >"
  for i in $(seq 1 100); do
    [ "$(drive visible TForm1 Finish)" = 1 ] && break
    sleep 0.2
  done
  [ "$(drive visible TForm1 Finish)" = 1 ] || fail "Finish did not appear in the Chrome wizard"
  [ -f "$WORK/chrome/Default.dat" ] || fail "the Chrome wizard made $(ls "$WORK/chrome"), not Default.dat"
  drive click TForm1 Finish
  wait "$app" || fail "Brantle.exe did not end after Finish"

  # The Opera converter (Alt, C, O) on the preferences file of the profile
  # "Opera": XP paths of the prefix user turned into Vista/7 ones.
  wine_user="$(scripts/wine-run cmd /c echo %USERNAME% 2>/dev/null | tr -d "\r")"
  opera="$unix_appdata/Opera/Opera"
  rm -rf "$unix_appdata/Opera"; mkdir -p "$opera/mail"
  sed "s/tester/$wine_user/gI" tests/fixtures/opera/xp_paths.ini > "$opera/operaprefs.ini"
  sed "s/tester/$wine_user/gI" tests/fixtures/opera/xp_paths.to7.ini > "$WORK/operaprefs.expected"
  printf "[Speed Dial 1]\r\nTitle=start\r\n" > "$opera/speeddial.ini"
  echo bookmarks > "$opera/bookmarks.adr"; echo mail > "$opera/mail/index.ini"
  start
  id=$(window_id)
  key alt
  key c
  key o
  [ "$(drive visible TForm1 "Enter old username (if changing):")" = 1 ] || fail "the key tips did not open the converter"
  sleep 0.5
  shot converter-opened
  fit=$(drive extent TForm1 || true)
  grep -q " 0 fault(s)" <<<"$fit" || fail "the converter'"'"'s captions do not fit: $fit"
  drive click TForm1 "XP 32 bit -> 7/Vista 32 bit" || fail "no method to choose"
  drive click TForm1 "Next >"
  for i in $(seq 1 50); do
    [ "$(drive visible TForm1 Finish)" = 1 ] && break
    sleep 0.2
  done
  [ "$(drive visible TForm1 Finish)" = 1 ] || fail "Finish did not appear in the converter"
  shot converter-finished
  cmp "$opera/operaprefs.ini" "$WORK/operaprefs.expected" || fail "the converter wrote another file"
  drive click TForm1 Finish
  wait "$app" || fail "Brantle.exe did not end after the converter'"'"'s Finish"

  # The Opera backup wizard (Alt, B, O) on the profile "Opera".
  mkdir -p "$WORK/opera"; WOPERA=$(winpath "$WORK/opera")
  start
  id=$(window_id)
  key alt
  key b
  key o
  [ "$(drive visible TForm1 "Wand data (passwords)")" = 1 ] || fail "the key tips did not open the Opera backup wizard"
  drive settext TForm1 "Backup location:" "$WOPERA"
  drive select TForm1 Opera || fail "the profile Opera is not listed"
  sleep 0.5
  shot wizard-opera-backup
  fit=$(drive extent TForm1 || true)
  grep -q " 0 fault(s)" <<<"$fit" || fail "the Opera wizard'"'"'s captions do not fit: $fit"
  drive click TForm1 "Next >"
  for i in $(seq 1 100); do
    [ "$(drive visible TForm1 Finish)" = 1 ] && break
    sleep 0.2
  done
  [ "$(drive visible TForm1 Finish)" = 1 ] || fail "Finish did not appear in the Opera wizard"
  [ -f "$WORK/opera/Opera.dat" ] || fail "the Opera wizard made $(ls "$WORK/opera"), not Opera.dat"
  drive click TForm1 Finish
  wait "$app" || fail "Brantle.exe did not end after Finish"

  # The application menu (Alt, then F) holds Exit, which ends the program.
  start
  id=$(window_id)
  key alt
  key f
  shot main-appmenu
  key e
  for i in $(seq 1 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
  wait "$app" || fail "Brantle.exe did not end after Exit"
'
WGUI=$(cat "$work/wgui"); WCLI=$(cat "$work/wcli")
# The window backed up the profile chosen in its list: the default one.
archives=$(cd "$work/gui" && ls)
[ "$(echo "$archives" | wc -l)" = 1 ] && [[ $archives == *.dat ]] \
  || { echo "FAIL: the wizard left other than one archive: $archives" >&2; exit 1; }
cli() { timeout 120 scripts/wine-run "$build/bin/brantle-cli.exe" "$@" 2>&1 | tr -d '\r'; }
[ "$archives" = default.dat ] || { echo "FAIL: the wizard made $archives, not default.dat" >&2; exit 1; }
cli backup firefox --profile x7k2m9qa.default --to "$WCLI" >/dev/null
[ -f "$work/cli/$archives" ] || { echo "FAIL: brantle-cli made $(ls "$work/cli"), not $archives" >&2; exit 1; }
listing() { cli list "$1" | sort; }
gui_list=$(listing "$WGUI\\$archives")
cli_list=$(listing "$WCLI\\$archives")
[ -n "$gui_list" ] || { echo "FAIL: empty archive" >&2; exit 1; }
[ "$gui_list" = "$cli_list" ] || { echo "FAIL: the wizard's archive differs:"; diff <(echo "$gui_list") <(echo "$cli_list"); exit 1; } >&2
echo "ok: Brantle.exe in three schemes, hint tooltips, key tips, Exit; the Firefox backup wizard's $archives of the chosen profile equals brantle-cli's ($(echo "$gui_list" | wc -l) files)"
