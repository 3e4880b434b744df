#!/usr/bin/env bash
# The Win32 realisation of the form model, under Xvfb and Wine: ui-smoke.exe
# shows one control of each kind; ui-driver.exe clicks them from outside and
# the handlers' log and the controls' state show both directions work.
# Leaves a screenshot in build/win64/ui-smoke.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${UI_SMOKE_BUILD:-$PWD/build/win64}"
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
  echo "skipped: no Xvfb"
  exit 0
fi
[ -x "$build/bin/ui-smoke.exe" ] || { echo "FAIL: $build/bin/ui-smoke.exe not built" >&2; exit 1; }

export WINEPREFIX="$build/wineprefix-ui"
export BUILD="$build"
log="$build/ui-smoke.log"
rm -f "$log"
export LOG="$log" WINLOG="Z:${log//\//\\}"

xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  fail() { echo "FAIL: $*" >&2; exit 1; }
  drive() { timeout 60 scripts/wine-run "$BUILD/bin/ui-driver.exe" "$@" 2>/dev/null | tr -d "\r"; }
  timeout 120 scripts/wine-run "$BUILD/bin/ui-smoke.exe" "$WINLOG" >/dev/null 2>&1 &
  app=$!
  drive wait TUiSmoke >/dev/null || fail "the window did not appear"
  sleep 1
  if command -v import >/dev/null; then import -window root "$BUILD/ui-smoke.png"; fi
  [ "$(drive checked TUiSmoke Bookmarks)" = 0 ] || fail "Bookmarks starts checked"
  drive click TUiSmoke "Next >"
  [ "$(drive checked TUiSmoke Bookmarks)" = 1 ] || fail "the check box did not follow the model"
  [ "$(drive visible TUiSmoke Finish)" = 1 ] || fail "Finish not shown"
  drive click TUiSmoke Bookmarks
  drive close TUiSmoke
  wait "$app" || fail "ui-smoke.exe did not end cleanly"
'
expected=$'FormActivate\nTimer1Timer\nButton2Click\nCheckBox1Click 1\nCheckBox1Click 0\nFormClose\nend'
actual="$(tr -d '\r' < "$log")"
[ "$actual" = "$expected" ] || { echo "FAIL: handler log:"; echo "$actual"; exit 1; } >&2
echo "ok: ui-smoke.exe driven through its controls"
