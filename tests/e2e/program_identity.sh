#!/usr/bin/env bash
# Every Windows program of both builds carries its own icon (16 to 256
# pixels) and a version resource whose FileVersion is the build's version;
# Zentura.exe also carries the logo and the busy wheel its window shows.
set -euo pipefail
cd "$(dirname "$0")/../.."
command -v wrestool >/dev/null && command -v icotool >/dev/null || { echo "skipped: no icoutils"; exit 0; }
fail() { echo "FAIL: $*" >&2; exit 1; }
version_of() { sed -n "s/^set($1 \([0-9.]*\))/\1/p" CMakeLists.txt; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
checked=0
for build in build/win64 build/win32; do
  [ -d "$build/bin" ] || continue
  for entry in Brantle:BRANTLE brantle-cli:BRANTLE Zentura:ZENTURA zentray:ZENTURA; do
    exe=$build/bin/${entry%%:*}.exe version=$(version_of "${entry#*:}_VERSION")
    [ -f "$exe" ] || fail "$exe not built"
    wrestool -x --type=14 --name=MAINICON "$exe" >"$work/icon.ico" 2>/dev/null || true
    [ -s "$work/icon.ico" ] || fail "$exe has no icon MAINICON"
    sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | tr '\n' ' ')
    [ "$sizes" = "16 24 32 48 64 128 256 " ] || fail "$exe: icon sizes are '$sizes'"
    wrestool -x --raw --type=16 "$exe" 2>/dev/null | iconv -f UTF-16LE -t UTF-8 -c | tr '\0' '\n' >"$work/version.txt"
    grep -q "FileVersion" "$work/version.txt" || fail "$exe has no version resource"
    grep -qx "$version" "$work/version.txt" || fail "$exe: FileVersion is not $version"
    checked=$((checked + 1))
  done
  zentura=$build/bin/Zentura.exe
  for name in ZENTURA_LOGO BUSY0 BUSY7 PROMO0 SPARKLE5; do
    wrestool -l --type=2 --name="$name" "$zentura" | grep -q . || fail "$zentura has no bitmap $name"
  done
done
[ "$checked" -gt 0 ] || fail "no Windows build to check"
echo "ok: $checked programs carry their icon and version resource"
