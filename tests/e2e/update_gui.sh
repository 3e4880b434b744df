#!/usr/bin/env bash
# The update round trip through the windows under Xvfb and Wine, against a
# local update server: Brantle.exe's Help tab, Updates, Yes to the update,
# No to the changelog; the server's installer is the project's own Brantle
# setup (the 64-bit one, as the Brantle.exe under test is) with "/S", which
# is downloaded, started, installs Brantle into Program Files, and Brantle
# ends. Then Zentura.exe, started with a newer version announced, asks
# "Zentura Update"; No leaves no file. Uses the packages (scripts/package.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
grep -q '^set(BRANTLE_VERSION ' CMakeLists.txt || { echo "skipped: no versions in CMakeLists.txt to package"; exit 0; }
build=$(realpath "${BUILD:-build/win64}")
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "skipped: no Xvfb or xdotool"
  exit 0
fi
ls build/packages/Brantle-*-x64-setup.exe >/dev/null 2>&1 || scripts/package.sh >/dev/null
setup=$(ls build/packages/Brantle-*-x64-setup.exe | head -1)

export WINEPREFIX="$build/wineprefix-update"
work=$(mktemp -d "$build/update-e2e.XXXXXX")
server_pid=
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  [ -s "$work/driver.log" ] && cat "$work/driver.log" >&2
  rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$WINEPREFIX"

mkdir -p "$work/www"
echo '{}' >"$work/www/routes.json"
python3 tests/e2e/update_server.py "$work/www" "$work/port" &
server_pid=$!
for _ in $(seq 50); do [ -f "$work/port" ] && break; sleep 0.1; done
server="127.0.0.1:$(cat "$work/port")"
cp "$setup" "$work/www/setup.exe"
cat >"$work/www/update.html" <<PAGE
<html><head>
<META NAME="wuProduct" CONTENT="Brantle">
<META NAME="wuVersion" CONTENT="2.1">
<META NAME="wuDownload" CONTENT="http://$server/setup.exe">
<META NAME="wuClientSideName" CONTENT="Update.exe">
<META NAME="wuRunParameters" CONTENT="/S">
</head></html>
PAGE
printf '[Zentura]\r\nnewVersion=99.0.0.0\r\nURL=http://%s/zentura.html\r\n' "$server" >"$work/www/zenupdate.upt"
echo '{"/update.html": {"file": "update.html"}, "/setup.exe": {"file": "setup.exe"},
       "/infofiles/zenupdate.upt": {"file": "zenupdate.upt"}}' >"$work/www/routes.json"

# The programs run from a folder of their own with their settings beside them.
mkdir -p "$work/brantle" "$work/zentura"
cp "$build/bin/Brantle.exe" "$work/brantle/"
printf '[Servers]\r\nUpdate=%s\r\n' "$server" >"$work/brantle/Brantle.ini"
cp -r "$build/bin/Zentura.exe" "$build/bin/Language" "$work/zentura/"
{ tr -d '\r' <"$build/bin/Zentura.ini"; printf '\n[Servers]\nUpdate=%s\n' "$server"; } >"$work/zentura/Zentura.ini"
export WORK="$work" BUILD="$build"

timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  fail() { echo "FAIL: $*" >&2; import -window root "$BUILD/screenshots/update-failure.png" 2>/dev/null || true; exit 1; }
  drive() { timeout 60 scripts/wine-run "$BUILD/bin/ui-driver.exe" "$@" 2>>"$WORK/driver.log" | tr -d "\r"; }
  mkdir -p "$BUILD/screenshots"
  unix() { /usr/lib/wine/wine64 winepath -u "$1" 2>/dev/null | tr -d "\r"; }
  programs=$(unix "$(scripts/wine-run cmd /c echo %ProgramFiles% 2>/dev/null | tr -d "\r")")
  [ -d "$programs" ] || fail "no Program Files folder in the prefix"

  (cd "$WORK/brantle" && timeout 180 "$OLDPWD/scripts/wine-run" Brantle.exe >/dev/null 2>&1) &
  app=$!
  drive wait TForm1 >/dev/null || fail "the main window did not appear"
  sleep 1
  id=$(xdotool search --name "^Brantle 2.0.2\$" | head -1)
  key() { xdotool windowfocus --sync "$id" 2>/dev/null || true; xdotool key "$@"; sleep 0.5; }
  key alt; key h; key u   # the Help tab, Updates
  drive wait "#32770" >/dev/null || fail "no update question"
  import -window root "$BUILD/screenshots/update-question.png" 2>/dev/null || true
  drive click "#32770" "&Yes" || fail "no Yes in the update question"
  sleep 1
  drive wait "#32770" >/dev/null || fail "no changelog question"
  drive click "#32770" "&No" || fail "no No in the changelog question"
  for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
  wait "$app" || fail "Brantle.exe did not end after starting the installer"
  for _ in $(seq 150); do [ -f "$programs/Brantle/uninstall.exe" ] && break; sleep 0.2; done
  [ -f "$programs/Brantle/Brantle.exe" ] || fail "the installer did not install Brantle into Program Files"
  cmp -s "$WORK/www/setup.exe" "$WORK/brantle/Update.exe" || fail "the installer was not downloaded whole"
  echo "ok: Brantle.exe downloaded the installer, which installed Brantle into Program Files"

  (cd "$WORK/zentura" && timeout 120 "$OLDPWD/scripts/wine-run" Zentura.exe >/dev/null 2>&1) &
  app=$!
  for _ in $(seq 150); do xdotool search --name "^Zentura Update\$" >/dev/null 2>&1 && break; sleep 0.2; done
  xdotool search --name "^Zentura Update\$" >/dev/null 2>&1 || fail "Zentura did not ask \"Zentura Update\""
  import -window root "$BUILD/screenshots/zentura-update-question.png" 2>/dev/null || true
  drive click "#32770" "&No" || fail "no No in the Zentura question"
  sleep 1
  [ ! -e "$WORK/zentura/zenupdate.upt" ] || fail "the update file was left in the program folder"
  drive close TFormMain
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
  echo "ok: Zentura.exe asked about the newer version; No left no file"
'
