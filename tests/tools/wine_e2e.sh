# Sourced by the end-to-end tests that run brantle-cli.exe under Wine, from
# the repository folder. Set prefix_name first: each test has a prefix of
# its own in the build folder (BUILD, default build/win64).
build=$(realpath "${BUILD:-build/win64}")
export WINEPREFIX="$build/${prefix_name:?}"
cli=(scripts/wine-run "$build/bin/brantle-cli.exe")
fail() { echo "FAIL: $*" >&2; exit 1; }
# winepath has been seen to print nothing now and then on a busy machine;
# an empty path would point the command at the current folder instead.
winpath() {
  local p i
  for i in 1 2 3 4 5; do
    p=$(/usr/lib/wine/wine64 winepath -w "$1" 2>/dev/null | tr -d '\r')
    [ -z "$p" ] || { echo "$p"; return 0; }
    sleep 1
  done
  echo "FAIL: winepath gave no Windows path for $1" >&2
  return 1
}
# brantle-cli prints a line for every failure; a failure with no output at
# all means the program did not get to run (seen rarely on a loaded machine),
# so that one is tried once more, and said on stderr.
run() {
  local out rc=0
  out=$("${cli[@]}" "$@" 2>&1 | tr -d '\r'; exit "${PIPESTATUS[0]}") || rc=$?
  if [ "$rc" -ne 0 ] && [ -z "$out" ]; then
    echo "note: brantle-cli $1 exited $rc with no output; running it again" >&2
    rc=0
    out=$("${cli[@]}" "$@" 2>&1 | tr -d '\r'; exit "${PIPESTATUS[0]}") || rc=$?
    [ -n "$out" ] || [ "$rc" -eq 0 ] || out="(exit $rc, no output)"
  fi
  [ -z "$out" ] || printf '%s\n' "$out"
  return "$rc"
}
stored_files() { run list "$1" | tr '\\' / | sort; }
set_windows_version() { scripts/wine-run winecfg -v "$1" >/dev/null 2>&1; }

# The Unix path of one of the prefix user's folders, named by its variable
# (APPDATA, LOCALAPPDATA).
wine_folder() {
  local windows unix
  windows=$(scripts/wine-run cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')
  unix=$(/usr/lib/wine/wine64 winepath -u "$windows" 2>/dev/null | tr -d '\r')
  [ -d "$unix" ] || fail "no folder %$1% in the prefix ($windows)"
  echo "$unix"
}

# The files of a profile folder that the comma-separated items take, one per
# line, sorted, from the caller's table `items` (caption -> entries separated
# by item_sep, default a blank; a trailing slash marks a folder). The archive
# keeps no empty files, so they are not expected.
expected_files() {  # profile-dir items
  local dir=$1 caption entry
  local -a captions entries
  IFS=, read -ra captions <<<"$2"
  for caption in "${captions[@]}"; do
    IFS=${item_sep:- } read -ra entries <<<"${items[$caption]}"
    for entry in "${entries[@]}"; do
      if [[ $entry == */ ]]; then
        if [ -d "$dir/$entry" ]; then (cd "$dir" && find "${entry%/}" -type f -size +0); fi
      elif [ -s "$dir/$entry" ]; then
        echo "$entry"
      fi
    done
  done | sort -u
}
