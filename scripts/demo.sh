#!/usr/bin/env bash
# Runs brantle-cli on the sample profile: pack, verify, list, unpack
# elsewhere and compare; natively, then the Windows program under Wine,
# which also finds the sample as the Firefox profile of the Wine user and
# backs it up and restores it as the Firefox wizards do.
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

firefox="$unix_appdata/Mozilla/Firefox"
profile="$firefox/Profiles/x7k2m9qa.default"
backups="$work/backups"
mkdir -p "$backups"
wbackups="$(/usr/lib/wine/wine64 winepath -w "$backups" 2>/dev/null | tr -d '\r')"

echo "== win64: backup firefox (all items of the default profile)"
"${wine[@]}" backup firefox --to "$wbackups" --profile x7k2m9qa.default
"${wine[@]}" list "$wbackups\\default.dat"
echo "== win64: restore firefox into the emptied profile"
rm -rf "$profile" && mkdir "$profile"
"${wine[@]}" restore firefox --from "$wbackups" --archive default.dat --profile x7k2m9qa.default
diff -r "$sample/Profiles/x7k2m9qa.default" "$profile"
echo "win64: restored profile matches the sample"

echo "== win64: full backup and restore of the Firefox profile root"
"${wine[@]}" backup firefox --full --to "$wbackups"
rm -rf "$firefox/Profiles"
"${wine[@]}" restore firefox --full --from "$wbackups"
diff -r "$sample" "$firefox"
echo "win64: restored profile root matches the sample"
