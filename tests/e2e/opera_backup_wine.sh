#!/usr/bin/env bash
# brantle-cli.exe backs up and restores a synthetic Opera 10 root under Wine
# set to Windows XP and to Windows 7: the profile "Opera" in the flat layout
# with its local mail folder, a second profile in the "profile" sub-layout,
# selective and full round trips compared byte for byte, a renamed profile
# folder found by a typed folder name, and `convert opera` on a planted
# operaprefs.ini and on every case of the converter's fixture table.
# BUILD names the Windows build folder (default build/win64).
set -euo pipefail
cd "$(dirname "$0")/../.."
prefix_name=wineprefix-opera
source tests/tools/wine_e2e.sh
fixtures=tests/fixtures/opera

# The items' files and folders in a profile (a trailing slash marks a folder).
declare -A items=(
  [Bookmarks]="opera6.adr bookmarks.adr" [Sessions]="sessions/" [Skins]="skin/"
  [Toolbar configuration]="toolbar/" [Keyboard configuration]="keyboard/" [Mail and feeds]="mail/"
  [Menu configuration]="menu/" [Mouse configuration]="mouse/" [Certificate data]="opcacrt6.dat opcert6.dat"
  [Contacts]="contacts.adr" [Cookies]="cookies4.dat"
  [History]="download.dat global.dat global_history.dat typed_history.xml" [Notes]="notes.adr"
  [Preferences]="adprefs.ini opera6.ini operaprefs.ini override_downloaded.ini search.ini speeddial.ini urlfilter.ini dictionaries/"
  [Visited links]="vlink4.dat" [Wand data (passwords)]="wand.dat")
all_items="$(printf '%s,' "${!items[@]}")"; all_items=${all_items%,}

work=$(mktemp -d "$build/opera-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A profile folder with a file for every item, in each of its folders, and
# files no item takes.
make_profile() {  # folder tag
  local d=$1 f
  mkdir -p "$d"/{sessions,skin,toolbar,keyboard,mail/store,menu,mouse,dictionaries,cache}
  for f in opera6.adr bookmarks.adr opcacrt6.dat opcert6.dat contacts.adr cookies4.dat download.dat \
           global.dat global_history.dat typed_history.xml notes.adr adprefs.ini opera6.ini operaprefs.ini \
           override_downloaded.ini search.ini urlfilter.ini vlink4.dat wand.dat; do
    printf '%s %s\n' "$2" "$f" >"$d/$f"
  done
  printf '[Speed Dial 1]\nTitle=%s\n' "$2" >"$d/speeddial.ini"
  head -c 2000 /dev/urandom >"$d/sessions/autosave.win"
  echo skin >"$d/skin/standard_skin.zip"; echo tb >"$d/toolbar/standard_toolbar.ini"
  echo kb >"$d/keyboard/standard_keyboard.ini"; echo menu >"$d/menu/standard_menu.ini"
  echo mouse >"$d/mouse/standard_mouse.ini"; echo dict >"$d/dictionaries/en.dic"
  head -c 5000 /dev/urandom >"$d/mail/store/index.dat"
  echo cache >"$d/cache/dcache4.url"
}
sample="$work/sample"
make_profile "$sample/root/Opera" opera
make_profile "$sample/root/Second/profile" second
mkdir -p "$sample/local/Opera/mail/store/account1"
head -c 7000 /dev/urandom >"$sample/local/Opera/mail/store/account1/1.mbs"
echo 'Opera Preferences version 2.1' >"$sample/local/Opera/mail/accounts.ini"

appdata=$(wine_folder APPDATA)
localdata=$(wine_folder LOCALAPPDATA)
root="$appdata/Opera"
local="$localdata/Opera"
fresh() { rm -rf "$root" "$local"; cp -r "$sample/root" "$root"; cp -r "$sample/local" "$local"; }
mail_files() { (cd "$sample/local/Opera" && find mail -type f | sed 's|^|loc/|'); }

for version in winxp64 win7; do
  set_windows_version "$version"
  bk="$work/$version"; mkdir -p "$bk"; wbk=$(winpath "$bk")
  fresh

  out=$(run profiles opera) || fail "$version profiles: $out"
  grep -qx Opera <<<"$out" && grep -qx Second <<<"$out" || fail "$version: profiles not listed: $out"

  # Selective, flat layout, with the local mail folder.
  taken=$( (expected_files "$sample/root/Opera" "$all_items"; mail_files) | sort)
  out=$(run backup opera --to "$wbk" --items all --profile Opera) || fail "$version backup: $out"
  [ ! -e "$bk/Opera" ] || fail "$version: staging folder left behind"
  diff <(stored_files "$wbk\\Opera.dat") <(echo "$taken") || fail "$version: Opera.dat holds other files"
  find "$root/Opera" -mindepth 1 ! -name speeddial.ini -delete
  echo damaged >"$root/Opera/speeddial.ini"
  rm -rf "$local/Opera"
  out=$(run restore opera --from "$wbk" --archive Opera.dat --profile Opera) || fail "$version restore: $out"
  while read -r f; do
    cmp "$sample/root/Opera/$f" "$root/Opera/$f" || fail "$version: $f differs after the restore"
  done < <(expected_files "$sample/root/Opera" "$all_items")
  diff -r "$sample/local/Opera" "$local/Opera" || fail "$version: the local mail differs after the restore"

  # Selective, the second profile in the "profile" sub-layout.
  out=$(run backup opera --to "$wbk" --profile Second) || fail "$version backup Second: $out"
  diff <(stored_files "$wbk\\Second.dat") <(expected_files "$sample/root/Second/profile" "$all_items") \
    || fail "$version: Second.dat holds other files"
  rm -f "$root/Second/profile/wand.dat" "$root/Second/profile/cookies4.dat"
  out=$(run restore opera --from "$wbk" --archive Second.dat --profile Second --items "Cookies,Wand data (passwords)") \
    || fail "$version restore Second: $out"
  diff -r "$sample/root/Second" "$root/Second" || fail "$version: Second differs after the restore"
  [ ! -e "$root/Second/wand.dat" ] || fail "$version: the restore wrote beside the sub-layout"

  # Full: the whole root and the local mail, one file lost and one added since.
  fresh
  out=$(run backup opera --full --to "$wbk") || fail "$version full backup: $out"
  [ -f "$bk/fbackup_opera.dat" ] && [ -f "$bk/fbackup_opera2.dat" ] || fail "$version: not both archives: $out"
  rm -f "$root/Second/profile/notes.adr" "$local/Opera/mail/store/account1/1.mbs"
  echo mine >"$root/Opera/added.txt"
  out=$(run restore opera --full --from "$wbk") || fail "$version full restore: $out"
  [ "$(cat "$root/Opera/added.txt")" = mine ] || fail "$version: the full restore took the added file"
  rm "$root/Opera/added.txt"
  diff -r "$sample/root" "$root" || fail "$version: the root differs after the full restore"
  diff -r "$sample/local" "$local" || fail "$version: the local mail differs after the full restore"

  # A renamed profile folder: found only by its typed name.
  mv "$root/Opera" "$root/Opera 10"; mv "$local/Opera" "$local/Opera 10"
  rm -rf "$root/Second"
  rm -f "$bk"/fbackup_opera*.dat
  ! out=$(run backup opera --full --to "$wbk") || fail "$version: a full backup without a profile folder: $out"
  grep -q 'Please Type Folder Name' <<<"$out" || fail "$version: $out"
  ! out=$(run backup opera --full --to "$wbk" --folder-name "Opera 9") || fail "$version: Opera 9 found: $out"
  grep -q 'Please Re-Check Folder Name' <<<"$out" || fail "$version: $out"
  [ ! -e "$bk/fbackup_opera.dat" ] || fail "$version: an archive without a profile folder"
  out=$(run backup opera --full --to "$wbk" --folder-name "Opera 10") || fail "$version typed backup: $out"
  diff <(stored_files "$wbk\\fbackup_opera2.dat") <(cd "$sample/local/Opera/mail" && find . -type f | sed 's|^\./||' | sort) \
    || fail "$version: fbackup_opera2.dat is not the mail of Opera 10"
  rm -rf "$root/Opera 10/mail" "$local/Opera 10"
  out=$(run restore opera --full --from "$wbk" --folder-name "Opera 10") || fail "$version typed restore: $out"
  diff -r "$sample/root/Opera" "$root/Opera 10" || fail "$version: Opera 10 differs after the restore"
  diff -r "$sample/local/Opera" "$local/Opera 10" || fail "$version: the mail of Opera 10 differs"
  echo "ok: $version Opera selective, sub-layout, full and typed-name round trips"
done

# The converter on the operaprefs.ini the search finds.
fresh
cp "$fixtures/xp_paths.ini" "$root/Opera/operaprefs.ini"
out=$(run convert opera --method 1 --user tester) || fail "convert: $out"
grep -qx 'Windows Name: 7/Vista' <<<"$out" || fail "convert: no Windows name line: $out"
grep -qx 'Windows Type: 64 bit\|Windows Type: 32 bit' <<<"$out" || fail "convert: no Windows type line: $out"
grep -q '^Windows User: ' <<<"$out" || fail "convert: no Windows user line: $out"
cmp "$root/Opera/operaprefs.ini" "$fixtures/xp_paths.to7_64.ini" || fail "convert: the planted file differs"
# By caption, a second time: nothing changes.
out=$(run convert opera --method "XP 32 bit -> 7/Vista 64 bit" --user tester) || fail "convert again: $out"
cmp "$root/Opera/operaprefs.ini" "$fixtures/xp_paths.to7_64.ini" || fail "convert: a second run changed the file"

# Every method of the fixture table, on a file named by --file.
target="$work/prefs/operaprefs.ini"; mkdir -p "$work/prefs"; wtarget=$(winpath "$target")
while read -r input method expected old user; do
  cp "$fixtures/$input" "$target"
  out=$(run convert opera --method "$method" --file "$wtarget" --user "$user" --drive C: --old-user "$old" \
        --old-drive 'D:\') || fail "convert $input by $method: $out"
  cmp "$target" "$fixtures/$expected" || fail "convert $input by $method differs from $expected"
done <<'TABLE'
xp_paths.ini 0 xp_paths.to7.ini Olduser tester
xp_paths.ini 1 xp_paths.to7_64.ini Olduser tester
xp_paths.ini 2 xp_paths.to7_32.ini Olduser tester
xp_paths.ini 3 xp_paths.to7.ini Olduser tester
vista_paths.ini 4 vista_paths.to64.ini Olduser tester
vista_paths.ini 5 vista_paths.to32.ini Olduser tester
vista_paths.ini 6 vista_paths.toxp.ini Olduser tester
vista_paths.ini 7 vista_paths.toxp_32.ini Olduser tester
vista_paths.ini 8 vista_paths.toxp_64.ini Olduser tester
vista_paths.ini 9 vista_paths.toxp.ini Olduser tester
drive.ini 10 drive.toC.ini Olduser tester
olduser.ini 11 olduser.totester.ini Olduser tester
marc.ini 11 marc.totester.ini Marc tester
utf8_user.ini 11 utf8_user.tojurgen.ini Jörg Jürgen
mark.ini 4 mark.to64.ini Olduser tester
TABLE

# Refused and failed runs leave the file as it was.
cp "$fixtures/olduser.ini" "$target"
! out=$(run convert opera --method 11 --file "$wtarget" --old-user "") || fail "an empty old user was taken: $out"
grep -q 'Please Enter Old Username' <<<"$out" || fail "empty old user: $out"
cmp "$target" "$fixtures/olduser.ini" || fail "a refused run changed the file"
! out=$(run convert opera --method 0 --file "$wtarget.missing") || fail "a missing file converted: $out"
[ ! -e "$target.missing" ] || fail "a missing file was created"
echo "ok: convert opera, every method byte for byte"
