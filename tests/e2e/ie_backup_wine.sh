#!/usr/bin/env bash
# brantle-cli.exe backs up and restores Internet Explorer's data under Wine
# set to Windows XP and to Windows 7: values planted with `reg add` in
# several of its keys, Cookies and Favorites files, the marker file with a
# Recovery folder. Selective and full backups must hold the hive files
# (Wine writes them as text, so the planted values can be read in them)
# and the folders; after the files are deleted, the restores bring them
# back byte for byte. Wine's RegRestoreKeyW is a stub that reports
# success without changing the key, so the registry half of a restore is
# checked on the simulation only (tests/unit/ie_wizard_test.cpp).
# BUILD names the Windows build folder (default build/win64).
set -euo pipefail
cd "$(dirname "$0")/../.."
prefix_name=wineprefix-ie
source tests/tools/wine_e2e.sh
unixpath() { /usr/lib/wine/wine64 winepath -u "$1" 2>/dev/null | tr -d '\r'; }
env_of() { scripts/wine-run cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }

ie='HKCU\Software\Microsoft\Internet Explorer'
plant_keys() {
  scripts/wine-run reg add "$ie\\Main" /v "Start Page" /d "http://planted.example/start" /f >/dev/null 2>&1
  scripts/wine-run reg add "$ie\\TypedURLs" /v url1 /d "http://planted.example/typed" /f >/dev/null 2>&1
  scripts/wine-run reg add "$ie\\IntelliForms" /v PlantedForm /t REG_DWORD /d 7 /f >/dev/null 2>&1
  scripts/wine-run reg add "$ie\\LinksBar" /v PlantedLink /d "planted-link" /f >/dev/null 2>&1
}
# The planted values, as the hive files of the archive must hold them.
check_hives() {  # extracted folder, label
  grep -q 'planted.example/start' "$1/set.reg" || fail "$2: set.reg lacks the start page"
  grep -q 'planted.example/typed' "$1/hist.reg" || fail "$2: hist.reg lacks the typed URL"
  grep -qi 'PlantedForm' "$1/autocomplete.reg" || fail "$2: autocomplete.reg lacks the form value"
  grep -q 'planted-link' "$1/links.reg" || fail "$2: links.reg lacks the link"
}

work=$(mktemp -d "$build/ie-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT

for version in winxp64 win7; do
  scripts/wine-run winecfg -v "$version" >/dev/null 2>&1
  user=$(env_of USERNAME)
  appdata=$(unixpath "$(env_of APPDATA)")
  data="$appdata/Microsoft/Internet Explorer"
  if [ $version = win7 ]; then
    cookies=$(unixpath "C:\\Users\\$user\\AppData\\Roaming\\Microsoft\\Windows")/Cookies
    favorites=$(unixpath "C:\\Users\\$user")/Favorites
  else
    cookies=$(unixpath "C:\\Documents and Settings\\$user")/Cookies
    favorites=$(unixpath "C:\\Documents and Settings\\$user")/Favorites
  fi
  rm -rf "$data" "$cookies" "$favorites"
  mkdir -p "$data/Recovery/Active" "$cookies" "$favorites/Links"
  echo "ie log" >"$data/brndlog.txt"
  head -c 3000 /dev/urandom >"$data/Recovery/Active/{tab-1}.dat"
  echo "cookie of $version" >"$cookies/$user@planted.txt"
  printf '[InternetShortcut]\r\nURL=http://planted.example/\r\n' >"$favorites/Links/Planted.url"
  plant_keys
  saved="$work/saved-$version"; mkdir -p "$saved"
  cp -r "$data/Recovery" "$cookies" "$favorites" "$saved/"

  out=$(run profiles ie) || fail "$version profiles: $out"
  echo "$out" | grep -qF "Data folder: " || fail "$version profiles: $out"
  echo "$out" | grep -q "not found" && fail "$version: data folder not found: $out"

  bk="$work/$version"; mkdir -p "$bk"; wbk=$(winpath "$bk")
  # Selective: some items, then all; full.
  out=$(run backup ie --to "$wbk" --items "History,Favorites") || fail "$version backup: $out"
  diff <(run list "$wbk\\backup_ie.dat" | tr '\\' / | sort) <(printf '%s\n' Favorites/Links/Planted.url hist.reg) \
    || fail "$version: History,Favorites archive"
  out=$(run backup ie --to "$wbk") || fail "$version backup all: $out"
  [ ! -e "$bk/backup_ie" ] || fail "$version: staging folder left behind"
  out=$(run backup ie --full --to "$wbk") || fail "$version full backup: $out"
  [ ! -e "$bk/fbackup_ie" ] || fail "$version: full staging folder left behind"
  for archive in backup_ie fbackup_ie; do
    x="$work/x-$version-$archive"
    out=$(run unpack "$wbk\\$archive.dat" "$(winpath "$x")") || fail "$version unpack $archive: $out"
    for f in autocomplete.reg hist.reg links.reg set.reg; do [ -s "$x/$f" ] || fail "$version $archive: no $f"; done
    check_hives "$x" "$version $archive"
    diff -r "$saved/Cookies" "$x/Cookies" || fail "$version $archive: Cookies"
    diff -r "$saved/Favorites" "$x/Favorites" || fail "$version $archive: Favorites"
    diff -r "$saved/Recovery" "$x/Recovery" || fail "$version $archive: Recovery"
  done

  # The planted files deleted, then restored: selective, then full.
  for kind in selective full; do
    rm -rf "$cookies"/* "$favorites"/* "$data/Recovery"/*
    if [ $kind = full ]; then out=$(run restore ie --full --from "$wbk"); else out=$(run restore ie --from "$wbk"); fi \
      || fail "$version $kind restore: $out"
    diff -r "$saved/Cookies" "$cookies" || fail "$version $kind restore: Cookies"
    diff -r "$saved/Favorites" "$favorites" || fail "$version $kind restore: Favorites"
    diff -r "$saved/Recovery" "$data/Recovery" || fail "$version $kind restore: Recovery"
    [ ! -e "$bk/backup_ie" ] && [ ! -e "$bk/fbackup_ie" ] || fail "$version $kind: staging folder left behind"
  done

  # A missing Cookies folder unticks the item and says so.
  rm -rf "$cookies"
  out=$(run backup ie --to "$wbk" --items Cookies,History) || fail "$version backup without cookies: $out"
  echo "$out" | grep -qF "Skipped Cookies: its folder is missing" || fail "$version: $out"
  # A left-over staging folder stops the backup and stays.
  mkdir -p "$bk/backup_ie"; echo mine >"$bk/backup_ie/mine.txt"
  if out=$(run backup ie --to "$wbk"); then fail "$version: backup over a left-over staging folder passed"; fi
  echo "$out" | grep -qF "already exists" || fail "$version: $out"
  [ "$(cat "$bk/backup_ie/mine.txt")" = mine ] || fail "$version: left-over staging folder changed"
  echo "ok: $version selective and full backups and restores of Internet Explorer"
done
scripts/wine-run winecfg -v win7 >/dev/null 2>&1
