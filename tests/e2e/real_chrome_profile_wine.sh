#!/usr/bin/env bash
# A Chrome profile made by a real browser: Debian's chromium, run headless
# with a "User Data" folder of its own, visits a page served from 127.0.0.1.
# The folder is laid out where Chrome keeps it on Windows (the local
# application-data folder), and brantle-cli.exe backs it up and restores it
# under Wine set to Windows XP and to Windows 7, selective and full,
# compared byte for byte.
# BUILD names the Windows build folder (default build/win64).
set -euo pipefail
cd "$(dirname "$0")/../.."
prefix_name=wineprefix-real-chrome
source tests/tools/wine_e2e.sh
command -v chromium >/dev/null || fail "chromium is not installed (scripts/deps.sh installs it)"

# The items' files and folders (a trailing slash marks a folder).
item_sep='|'
declare -A items=(
  [Extensions]="Extensions/" [Plugin data]="Plugin Data/" [Bookmarks]="Bookmarks"
  [Cookies]="Cookies" [Current session]="Current Session" [Current tabs]="Current Tabs"
  [Extension cookies]="Extension Cookies" [History]="History" [Last session]="Last Session"
  [Last tabs]="Last Tabs" [Preferences]="Preferences" [Thumbnails]="Thumbnails"
  [Visited links]="Visited Links" [Login Data]="Login Data" [Web data]="Web Data")
all_items="$(printf '%s,' "${!items[@]}")"; all_items=${all_items%,}

work=$(mktemp -d "$build/real-chrome.XXXXXX")
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT

# The page, served by a server of this test's own on a free local port.
mkdir -p "$work/site"
cat >"$work/site/page.html" <<'HTML'
<html><head><title>Local page</title></head><body><p>Hello</p>
<script>document.cookie = "visit=1; max-age=86400";</script></body></html>
HTML
python3 - "$work/site" "$work/port" <<'PY' &
import functools, http.server, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass
handler = functools.partial(Quiet, directory=sys.argv[1])
with http.server.HTTPServer(("127.0.0.1", 0), handler) as httpd:
    open(sys.argv[2], "w").write(str(httpd.server_address[1]))
    httpd.serve_forever()
PY
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the local page server did not start"
url="http://127.0.0.1:$(cat "$work/port")/page.html"

# A new profile holds no bookmarks file until the user bookmarks a page, so
# the page is bookmarked beforehand; the browser reads and rewrites the file.
user_data="$work/User Data"
mkdir -p "$user_data/Default"
cat >"$user_data/Default/Bookmarks" <<JSON
{ "roots": {
    "bookmark_bar": { "children": [ { "id": "4", "name": "Local page", "type": "url", "url": "$url",
                                      "date_added": "13390000000000000" } ],
                      "id": "1", "name": "Bookmarks bar", "type": "folder",
                      "date_added": "13390000000000000", "date_modified": "0" },
    "other": { "children": [], "id": "2", "name": "Other bookmarks", "type": "folder",
               "date_added": "13390000000000000", "date_modified": "0" },
    "synced": { "children": [], "id": "3", "name": "Mobile bookmarks", "type": "folder",
                "date_added": "13390000000000000", "date_modified": "0" } },
  "version": 1 }
JSON
seeded=$(md5sum <"$user_data/Default/Bookmarks")
HOME="$work/home" timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic \
  --no-first-run --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$user_data" --screenshot="$work/shot.png" "$url" >"$work/chromium.log" 2>&1 \
  || fail "chromium could not open the page: $(tail -3 "$work/chromium.log")"
kill "$server"; server=
for f in Bookmarks History Preferences; do
  [ -s "$user_data/Default/$f" ] || fail "chromium wrote no $f"
done
[ "$(md5sum <"$user_data/Default/Bookmarks")" != "$seeded" ] || fail "chromium did not rewrite Bookmarks"
# The lock links of a running browser on Linux are no part of a profile at rest.
find "$user_data" -maxdepth 1 -name 'Singleton*' -exec rm -f {} +
[ -z "$(find "$user_data" -type l)" ] || fail "symbolic links in the profile: $(find "$user_data" -type l)"

# Laid out as on Windows: "...\Google\Chrome\User Data\Default".
local_appdata=$(wine_folder LOCALAPPDATA)
root="$local_appdata/Google/Chrome/User Data"
profile="$root/Default"
sample="$work/sample"
cp -r "$user_data" "$sample"
fresh_profile() { rm -rf "$local_appdata/Google"; mkdir -p "$local_appdata/Google/Chrome"; cp -r "$sample" "$root"; }
taken=$(expected_files "$sample/Default" "$all_items")
for f in Bookmarks History Preferences "Login Data" "Web Data"; do
  grep -qxF "$f" <<<"$taken" || fail "the profile has no $f for the items to take"
done

for version in winxp64 win7; do
  set_windows_version "$version"
  bk="$work/$version"; mkdir -p "$bk"; wbk=$(winpath "$bk")
  fresh_profile

  # Every subfolder of "User Data" is listed; the profile that holds the
  # bookmarks is the one taken when none is named.
  out=$(run profiles chrome) || fail "$version profiles: $out"
  for folder in Default "Safe Browsing"; do
    grep -qxF "$folder" <<<"$out" || fail "$version: $folder not listed: $out"
  done

  # Selective, every item: the archive holds exactly the files the profile has.
  out=$(run backup chrome --to "$wbk" --items all) || fail "$version backup: $out"
  [ -f "$bk/Default.dat" ] || fail "$version: no Default.dat: $out"
  [ ! -e "$bk/Default" ] || fail "$version: staging folder left behind"
  diff <(stored_files "$wbk\\Default.dat") <(echo "$taken") \
    || fail "$version: the archive holds other files than the ticked items'"

  # Restored into the emptied profile; its bookmarks file, damaged, stays
  # as the marker by which the profile is found.
  find "$profile" -mindepth 1 -maxdepth 1 ! -name Bookmarks -exec rm -rf {} +
  echo damaged >"$profile/Bookmarks"
  out=$(run restore chrome --from "$wbk" --archive Default.dat --profile Default) \
    || fail "$version restore: $out"
  [ ! -e "$bk/Default" ] || fail "$version: extraction folder left behind"
  diff <(cd "$profile" && find . -type f | sed 's|^\./||' | sort) <(echo "$taken") \
    || fail "$version: the restored profile holds other files"
  while read -r f; do
    cmp "$sample/Default/$f" "$profile/$f" || fail "$version: $f differs after the restore"
  done <<<"$taken"

  # Full: the whole "User Data" folder; one file lost and one added since.
  fresh_profile
  out=$(run backup chrome --full --to "$wbk") || fail "$version full backup: $out"
  [ -f "$bk/fbackup_chrome.dat" ] || fail "$version: no fbackup_chrome.dat: $out"
  rm -f "$profile/History"; echo mine >"$profile/Added"
  out=$(run restore chrome --full --from "$wbk") || fail "$version full restore: $out"
  [ "$(cat "$profile/Added")" = mine ] || fail "$version: the full restore took the added file"
  rm "$profile/Added"
  # The archive keeps no empty files or folders, so those are not compared.
  (cd "$sample" && find . -type f -size +0 | sort) >"$work/want"
  (cd "$root" && find . -type f -size +0 | sort) >"$work/got"
  diff "$work/want" "$work/got" || fail "$version: full restore has other files"
  while read -r f; do cmp "$sample/$f" "$root/$f" || fail "$version: $f differs after the full restore"; done <"$work/want"
  echo "ok: $version Chrome profile made by chromium ($(echo "$taken" | wc -l) item files), selective and full round trips"
done
set_windows_version win7
