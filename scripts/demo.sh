#!/usr/bin/env bash
# Runs brantle-cli on the sample profile: pack, verify, list, unpack
# elsewhere and compare; natively, then the Windows program under Wine,
# which also finds the sample as the Firefox profile of the Wine user.
set -euo pipefail
cd "$(dirname "$0")/.."
sample=samples/firefox/Mozilla/Firefox
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_round_trip() {  # label, cli command...
  local label=$1; shift
  echo "== $label: pack, verify, list, unpack, compare"
  "$@" pack "$sample" "$work/$label.dat"
  "$@" verify "$work/$label.dat"
  "$@" list "$work/$label.dat"
  "$@" unpack "$work/$label.dat" "$work/$label-restored"
  diff -r "$sample" "$work/$label-restored"
  echo "$label: restored tree matches the sample"
}

run_round_trip linux build/linux/bin/brantle-cli

export WINEPREFIX="$PWD/build/win64/wineprefix-demo"
wine=(scripts/wine-run build/win64/bin/brantle-cli.exe)
run_round_trip win64 "${wine[@]}"

appdata="$(scripts/wine-run cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')"
unix_appdata="$(/usr/lib/wine/wine64 winepath -u "$appdata" 2>/dev/null | tr -d '\r')"
mkdir -p "$unix_appdata/Mozilla"
rm -rf "$unix_appdata/Mozilla/Firefox"
cp -r "$sample" "$unix_appdata/Mozilla/Firefox"
echo "== win64: profiles firefox"
"${wine[@]}" profiles firefox
