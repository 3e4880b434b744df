#!/usr/bin/env bash
# brantle-cli.exe finds a Firefox profile in a Wine prefix set to Windows XP
# and to Windows 7, and reports a missing Flock profile.
set -euo pipefail
cd "$(dirname "$0")/../.."
export WINEPREFIX="$PWD/build/win64/wineprefix-profiles"
cli=(scripts/wine-run build/win64/bin/brantle-cli.exe)
fail() { echo "FAIL: $*" >&2; exit 1; }

appdata="$(scripts/wine-run cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')"
unix_appdata="$(/usr/lib/wine/wine64 winepath -u "$appdata" 2>/dev/null | tr -d '\r')"
[ -d "$unix_appdata" ] || fail "no application-data folder in the prefix ($appdata)"
rm -rf "$unix_appdata/Mozilla" "$unix_appdata/Flock"
mkdir -p "$unix_appdata/Mozilla"
cp -r samples/firefox/Mozilla/Firefox "$unix_appdata/Mozilla/Firefox"

for case in winxp64:5.2 win7:6.1; do
  version=${case%%:*}
  scripts/wine-run winecfg -v "$version" >/dev/null 2>&1
  out=$("${cli[@]}" profiles firefox | tr -d '\r')
  echo "$out" | grep -qx "Windows version: ${case#*:}" || fail "$version: wrong version in: $out"
  echo "$out" | grep -q '^Profile root: .*\\Mozilla\\Firefox\\$' || fail "$version: no root in: $out"
  echo "$out" | grep -qx 'x7k2m9qa.default' || fail "$version: default profile missing: $out"
  echo "$out" | grep -qx 'p3n8w1zt.work' || fail "$version: work profile missing: $out"
  if err=$("${cli[@]}" profiles flock 2>&1 >/dev/null); then fail "$version: flock found"; fi
  echo "$err" | grep -qF "Settings Files Not Found. Select Custom Profile." || fail "$version: $err"
  echo "ok: $version finds the Firefox profiles"
done
scripts/wine-run winecfg -v win7 >/dev/null 2>&1
