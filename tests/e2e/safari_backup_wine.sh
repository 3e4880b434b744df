#!/usr/bin/env bash
# brantle-cli.exe backs up and restores a Safari "Apple Computer" folder
# (the profile "Safari" with the items' files, its Cookies and PubSub
# folders, the shared Preferences folder beside it, and a folder of another
# program) under Wine set to Windows XP and to Windows 7: selective and full
# round trips compared byte for byte.
# BUILD names the Windows build folder (default build/win64).
set -euo pipefail
cd "$(dirname "$0")/../.."
prefix_name=wineprefix-safari
source tests/tools/wine_e2e.sh

# The items' files and folders in the profile (a trailing slash marks a
# folder); "Preferences" is the shared folder beside the profile.
item_sep='|'
declare -A items=(
  [Bookmarks]="Bookmarks.plist" [Cookies]="Cookies/" [Downloads]="Downloads.plist"
  [Feeds]="PubSub/" [Form values]="Form Values.plist" [History]="History.plist"
  [Last session]="LastSession.plist" [Top sites]="TopSites.plist")
profile_items="$(printf '%s,' "${!items[@]}")"; profile_items=${profile_items%,}

work=$(mktemp -d "$build/safari-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
sample="$work/Apple Computer"
mkdir -p "$sample/Safari/Cookies" "$sample/Safari/PubSub/Database" "$sample/Preferences" "$sample/Logs"
for f in Bookmarks Downloads "Form Values" History LastSession TopSites; do
  printf '<?xml version="1.0"?>\n<plist version="1.0"><dict><key>%s</key></dict></plist>\n' "$f" \
    >"$sample/Safari/$f.plist"
done
echo cookies >"$sample/Safari/Cookies/Cookies.plist"
head -c 3000 /dev/urandom >"$sample/Safari/PubSub/Database/Database.sqlite3"
echo icons >"$sample/Safari/WebpageIcons.db"  # no item takes it
echo prefs >"$sample/Preferences/com.apple.Safari.plist"
echo other >"$sample/Preferences/com.apple.QuickTime.plist"
echo log >"$sample/Logs/update.log"
expected() {
  expected_files "$sample/Safari" "$profile_items"
  (cd "$sample" && find Preferences -type f)
}
taken=$(expected | sort)

appdata=$(wine_folder APPDATA)
root="$appdata/Apple Computer"
profile="$root/Safari"
fresh_profile() { rm -rf "$root"; cp -r "$sample" "$root"; }

for version in winxp64 win7; do
  set_windows_version "$version"
  bk="$work/$version"; mkdir -p "$bk"; wbk=$(winpath "$bk")
  fresh_profile

  out=$(run profiles safari) || fail "$version profiles: $out"
  grep -qx Safari <<<"$out" && grep -qx Logs <<<"$out" || fail "$version: profiles not listed: $out"
  ! grep -qx Preferences <<<"$out" || fail "$version: the shared Preferences folder is listed: $out"

  # Selective, every item, from the profile taken when none is named.
  out=$(run backup safari --to "$wbk" --items all) || fail "$version backup: $out"
  [ -f "$bk/Safari.dat" ] || fail "$version: no Safari.dat: $out"
  [ ! -e "$bk/Safari" ] || fail "$version: staging folder left behind"
  diff <(stored_files "$wbk\\Safari.dat") <(echo "$taken") \
    || fail "$version: the archive holds other files than the ticked items'"

  # Restored into the emptied profile and Preferences folder; the damaged
  # bookmarks file stays as the marker by which the profile is found.
  find "$profile" -mindepth 1 -maxdepth 1 ! -name Bookmarks.plist -exec rm -rf {} +
  echo damaged >"$profile/Bookmarks.plist"
  rm -f "$root/Preferences"/*
  out=$(run restore safari --from "$wbk" --archive Safari.dat --profile Safari) \
    || fail "$version restore: $out"
  [ ! -e "$bk/Safari" ] || fail "$version: extraction folder left behind"
  diff <( (cd "$profile" && find . -type f | sed 's|^\./||'; cd "$root" && find Preferences -type f) | sort) \
       <(echo "$taken") || fail "$version: the restore wrote other files"
  diff -r "$sample/Preferences" "$root/Preferences" || fail "$version: Preferences differ after the restore"
  while read -r f; do
    cmp "$sample/Safari/$f" "$profile/$f" || fail "$version: $f differs after the restore"
  done < <(expected_files "$sample/Safari" "$profile_items")

  # Full: the whole "Apple Computer" folder; one file lost and one added since.
  fresh_profile
  out=$(run backup safari --full --to "$wbk") || fail "$version full backup: $out"
  [ -f "$bk/fbackup_safari.dat" ] || fail "$version: no fbackup_safari.dat: $out"
  rm -f "$profile/History.plist"; echo mine >"$profile/Added"
  out=$(run restore safari --full --from "$wbk") || fail "$version full restore: $out"
  [ "$(cat "$profile/Added")" = mine ] || fail "$version: the full restore took the added file"
  rm "$profile/Added"
  diff -r "$sample" "$root" || fail "$version: full restore differs"
  echo "ok: $version Safari selective and full round trips"
done
set_windows_version win7
