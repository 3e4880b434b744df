#!/usr/bin/env bash
# brantle-cli's failures, natively and under Wine: each prints one line on
# stderr, exits non-zero and leaves nothing half-written behind.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="$PWD/build/win64/wineprefix"

fail() { echo "FAIL: $*" >&2; exit 1; }

# expect_failure label expected-text cli...: the command must fail with exactly
# one stderr line holding the text.
expect_failure() {
  local label=$1 text=$2; shift 2
  if "$@" >"$work/out" 2>"$work/err"; then fail "$label: succeeded"; fi
  tr -d '\r' <"$work/err" | grep -v '^$' >"$work/err.lines" || true
  [ "$(wc -l <"$work/err.lines")" -eq 1 ] || { cat "$work/err"; fail "$label: not one line on stderr"; }
  grep -qF -- "$text" "$work/err.lines" || { cat "$work/err"; fail "$label: no '$text'"; }
  echo "ok: $label"
}

mkdir -p "$work/tree/sub"
head -c 300000 /dev/urandom >"$work/tree/sub/random.bin"
seq 1 50000 >"$work/tree/numbers.txt"

for flavour in linux win64; do
  if [ $flavour = linux ]; then cli=(build/linux/bin/brantle-cli); else cli=(scripts/wine-run build/win64/bin/brantle-cli.exe); fi
  good="$work/$flavour-good.dat"
  "${cli[@]}" pack "$work/tree" "$good" 2>/dev/null

  # Cut inside the last entry's data, and flip bytes inside the first entry's data.
  size=$(stat -c %s "$good")
  head -c $((size - 100)) "$good" >"$work/$flavour-cut.dat"
  cp "$good" "$work/$flavour-bad.dat"
  printf '\xff\xff\xff\xff\xff\xff\xff\xff' | dd of="$work/$flavour-bad.dat" bs=1 seek=60 conv=notrunc status=none

  expect_failure "$flavour verify truncated" "Stream read error" "${cli[@]}" verify "$work/$flavour-cut.dat"
  expect_failure "$flavour verify corrupted" "zlib returned: data error" "${cli[@]}" verify "$work/$flavour-bad.dat"
  expect_failure "$flavour unpack truncated" "Stream read error" "${cli[@]}" unpack "$work/$flavour-cut.dat" "$work/$flavour-out"
  [ ! -e "$work/$flavour-out" ] || fail "$flavour: unpack left $work/$flavour-out behind"
  expect_failure "$flavour missing archive" "archive not found" "${cli[@]}" list "$work/none.dat"
  expect_failure "$flavour missing folder" "folder not found" "${cli[@]}" pack "$work/none" "$work/x.dat"
  [ ! -e "$work/x.dat" ] || fail "$flavour: pack of a missing folder wrote an archive"

  # A failed pack into an unwritable place leaves an older archive of that name untouched.
  cp "$good" "$work/$flavour-keep.dat"
  "${cli[@]}" verify "$work/$flavour-keep.dat" >/dev/null
  if "${cli[@]}" pack "$work/none" "$work/$flavour-keep.dat" 2>/dev/null; then fail "$flavour: pack of missing folder"; fi
  cmp -s "$good" "$work/$flavour-keep.dat" || fail "$flavour: older archive changed"
done
echo "cli failures: all ok"
