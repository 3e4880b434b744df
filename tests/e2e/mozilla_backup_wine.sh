#!/usr/bin/env bash
# brantle-cli.exe backs up and restores the sample Firefox profile (and a
# Flock copy of it) under Wine set to Windows XP and to Windows 7:
# selective and full round trips compared byte for byte, and each archive
# holding exactly the ticked items' files that the profile has.
# BUILD names the Windows build folder (default build/win64).
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
prefix_name=wineprefix-mozilla
source tests/tools/wine_e2e.sh
source tests/tools/mozilla_items.sh
sample=samples/firefox/Mozilla/Firefox
unix_appdata=$(wine_folder APPDATA)
firefox_root="$unix_appdata/Mozilla/Firefox"
flock_root="$unix_appdata/Flock/Browser"
fresh_profiles() {
  rm -rf "$unix_appdata/Mozilla" "$unix_appdata/Flock"
  mkdir -p "$unix_appdata/Mozilla" "$unix_appdata/Flock"
  cp -r "$sample" "$firefox_root"
  cp -r "$sample" "$flock_root"
}

work=$(mktemp -d "$build/mozilla-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
all_items="$(printf '%s,' "${!items[@]}")"; all_items=${all_items%,}
firefox_items="${all_items//Flock specific data,/}"; firefox_items="${firefox_items//,Flock specific data/}"
firefox_items="${firefox_items//Feed data,/}"; firefox_items="${firefox_items//,Feed data/}"

for version in winxp64 win7; do
  set_windows_version "$version"
  for browser in firefox flock; do
    root=$firefox_root; [ $browser = flock ] && root=$flock_root
    known=$firefox_items; [ $browser = flock ] && known=$all_items
    default="$root/Profiles/x7k2m9qa.default"
    bk="$work/$version-$browser"; mkdir -p "$bk"; wbk=$(winpath "$bk")
    fresh_profiles

    # Selective: a few items, then all, from the first listed profile.
    for choice in "Bookmarks,Extensions" "cookies,User set preferences,Sessions" "all"; do
      ticked=$choice; [ "$choice" = all ] && ticked=$known
      out=$(run backup $browser --to "$wbk" --profile x7k2m9qa.default --items "$choice") || fail "$version $browser backup $choice: $out"
      [ -f "$bk/default.dat" ] || fail "$version $browser: no default.dat after $choice: $out"
      [ ! -e "$bk/default" ] || fail "$version $browser: staging folder left behind"
      diff <(stored_files "$wbk\\default.dat") \
           <(expected_files "$default" "$(echo "$ticked" | sed 's/cookies/Cookies/')") \
        || fail "$version $browser: archive of $choice holds other files"
    done

    # Selective restore into the profile after its files were lost.
    rm -rf "$default"; mkdir "$default"
    out=$(run restore $browser --from "$wbk" --profile X7K2M9QA.default) || fail "$version $browser restore: $out"
    diff -r "$sample/Profiles/x7k2m9qa.default" "$default" || fail "$version $browser: restore differs"
    [ ! -e "$bk/default" ] || fail "$version $browser: restore staging folder left behind"

    # A custom profile folder gives ff_custom.dat and restores into another one.
    mkdir -p "$work/custom-$version-$browser"
    out=$(run backup $browser --to "$wbk" --custom-profile "$(winpath "$default")" --items Bookmarks,Saved\ passwords) \
      || fail "$version $browser custom backup: $out"
    diff <(stored_files "$wbk\\ff_custom.dat") <(printf '%s\n' bookmarks.html key3.db places.sqlite) \
      || fail "$version $browser: ff_custom.dat content"
    out=$(run restore $browser --from "$wbk" --archive ff_custom.dat \
          --custom-profile "$(winpath "$work/custom-$version-$browser")") || fail "$version $browser: $out"
    for f in bookmarks.html key3.db places.sqlite; do
      cmp "$default/$f" "$work/custom-$version-$browser/$f" || fail "$version $browser: custom $f"
    done

    # Full: the whole root, restored over a damaged one.
    out=$(run backup $browser --full --to "$wbk") || fail "$version $browser full backup: $out"
    [ -f "$bk/fbackup_$browser.dat" ] || fail "$version $browser: no fbackup_$browser.dat"
    rm -f "$default/key3.db"; echo damaged >"$default/prefs.js"; rm -rf "$root/Profiles/p3n8w1zt.work"
    out=$(run restore $browser --full --from "$wbk") || fail "$version $browser full restore: $out"
    diff -r "$sample" "$root" || fail "$version $browser: full restore differs"
    echo "ok: $version $browser selective and full round trips"
  done

  # Messages a window would show, as failures.
  empty="$work/empty-$version"; mkdir -p "$empty"
  if out=$(run restore firefox --full --from "$(winpath "$empty")"); then fail "restore from empty folder passed"; fi
  echo "$out" | grep -qF 'Backup File "fbackup_firefox.dat" Not Found' || fail "$version: $out"
  if out=$(run restore firefox --from "$(winpath "$empty")"); then fail "selective restore from empty folder passed"; fi
  echo "$out" | grep -qF 'No Backup File (*.dat) Found' || fail "$version: $out"
  rm -rf "$unix_appdata/Flock"
  if out=$(run backup flock --to "$(winpath "$empty")"); then fail "flock backup without a profile passed"; fi
  echo "$out" | grep -qF 'Settings Files Not Found. Select Custom Profile.' || fail "$version: $out"
  [ -z "$(ls -A "$empty")" ] || fail "$version: a stopped backup left files"

  # "Delete backup file when finished": the archive goes once the restore is done.
  out=$(run restore firefox --from "$(winpath "$work/$version-firefox")" --archive default.dat --delete-backup-file) \
    || fail "$version delete-backup-file: $out"
  [ ! -e "$work/$version-firefox/default.dat" ] || fail "$version: archive not deleted"
  echo "ok: $version messages and backup-file deletion"
done
set_windows_version win7
