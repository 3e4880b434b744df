#!/usr/bin/env bash
# A profile made by a real browser: firefox-esr creates one and opens a page
# in it, the profile is laid out as Firefox lays it out on Windows, and
# brantle-cli.exe backs it up and restores it under Wine set to Windows XP
# and to Windows 7, selective and full, compared byte for byte.
# BUILD names the Windows build folder (default build/win64).
set -euo pipefail
cd "$(dirname "$0")/../.."
prefix_name=wineprefix-real-firefox
source tests/tools/wine_e2e.sh
source tests/tools/mozilla_items.sh
command -v firefox-esr >/dev/null || fail "firefox-esr is not installed (scripts/deps.sh installs it)"

work=$(mktemp -d "$build/real-firefox.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The browser makes the profile: a home of its own, a profile created by
# name, then one headless visit to a local page (history, cookies, prefs).
home="$work/home"; mkdir -p "$home"
echo '<html><head><title>Local page</title></head><body><p>Hello</p></body></html>' >"$work/page.html"
HOME=$home timeout 120 firefox-esr --headless -CreateProfile default >"$work/ff.log" 2>&1 \
  || fail "firefox-esr could not create a profile: $(tail -3 "$work/ff.log")"
ini=$(find "$home/.mozilla" "$home/.config/mozilla" -name profiles.ini 2>/dev/null | head -1 || true)
[ -n "$ini" ] || fail "the browser wrote no profiles.ini under $home"
linux_root=$(dirname "$ini")
profile_dir=$(find "$linux_root" -maxdepth 1 -type d -name '*.default' | head -1)
[ -d "$profile_dir" ] || fail "no profile folder under $linux_root"
HOME=$home timeout 120 firefox-esr --headless --no-remote --profile "$profile_dir" \
  --screenshot "$work/shot.png" "file://$work/page.html" >>"$work/ff.log" 2>&1 \
  || fail "firefox-esr could not open the page: $(tail -3 "$work/ff.log")"
name=$(basename "$profile_dir")
[ -f "$profile_dir/prefs.js" ] && [ -f "$profile_dir/places.sqlite" ] || fail "the browser wrote no prefs.js/places.sqlite"
# The lock files of a running browser are no part of a profile at rest.
rm -f "$profile_dir/lock" "$profile_dir/.parentlock"

# Laid out as on Windows: profiles under "Profiles", named so in profiles.ini.
unix_appdata=$(wine_folder APPDATA)
sample="$work/sample"
mkdir -p "$sample/Profiles"
cp -r "$profile_dir" "$sample/Profiles/$name"
sed "s|^Path=.*|Path=Profiles/$name|" "$linux_root/profiles.ini" >"$sample/profiles.ini"
[ -f "$linux_root/installs.ini" ] && cp "$linux_root/installs.ini" "$sample/"
root="$unix_appdata/Mozilla/Firefox"
fresh_profile() { rm -rf "$unix_appdata/Mozilla"; mkdir -p "$unix_appdata/Mozilla"; cp -r "$sample" "$root"; }

firefox_items="$(printf '%s,' "${!items[@]}")"
firefox_items="${firefox_items//Flock specific data,/}"; firefox_items="${firefox_items//Feed data,/}"
firefox_items=${firefox_items%,}
staging=${name:9}  # the folder and archive name: the profile name without its first 9 characters

for version in winxp64 win7; do
  set_windows_version "$version"
  bk="$work/$version"; mkdir -p "$bk"; wbk=$(winpath "$bk")
  fresh_profile
  profile="$root/Profiles/$name"

  out=$(run profiles firefox) || fail "$version profiles: $out"
  echo "$out" | grep -qF "$name" || fail "$version: profile $name not listed: $out"

  # Selective, every item: the archive holds exactly the files the profile has.
  out=$(run backup firefox --to "$wbk" --profile "$name" --items all) || fail "$version backup: $out"
  [ -f "$bk/$staging.dat" ] || fail "$version: no $staging.dat: $out"
  diff <(stored_files "$wbk\\$staging.dat") <(expected_files "$profile" "$firefox_items") \
    || fail "$version: the archive holds other files than the ticked items'"
  expected_files "$profile" "$firefox_items" | grep -qx prefs.js || fail "$version: prefs.js not taken"

  # The profile's taken files lost, restored from the archive.
  expected_files "$profile" "$firefox_items" | while read -r f; do rm -f "$profile/$f"; done
  out=$(run restore firefox --from "$wbk" --archive "$staging.dat" --profile "$name") || fail "$version restore: $out"
  diff -r "$sample/Profiles/$name" "$profile" || fail "$version: selective restore differs"

  # Full: the whole root, restored over a damaged one.
  out=$(run backup firefox --full --to "$wbk") || fail "$version full backup: $out"
  echo damaged >"$profile/prefs.js"; rm -f "$profile/places.sqlite"; rm -rf "$profile/storage"
  out=$(run restore firefox --full --from "$wbk") || fail "$version full restore: $out"
  # The archive keeps no empty files or folders, so those are not compared.
  (cd "$sample" && find . -type f -size +0 | sort) >"$work/want"
  (cd "$root" && find . -type f -size +0 | sort) >"$work/got"
  diff "$work/want" "$work/got" || fail "$version: full restore has other files"
  while read -r f; do cmp "$sample/$f" "$root/$f" || fail "$version: $f differs after the full restore"; done <"$work/want"
  echo "ok: $version real browser profile $name, selective and full round trips"
done
set_windows_version win7
