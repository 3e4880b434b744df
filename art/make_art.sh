#!/usr/bin/env bash
# Makes the programs' icons and pictures from the drawings in this folder:
#   make_art.sh OUTDIR
# OUTDIR gets brantle.ico, brantle-cli.ico, zentura.ico, zentray.ico (16 to
# 256 pixels) and the 32-bit bitmaps with alpha that the windows show:
# zentura_logo.bmp (48), busy0..7.bmp (16), promo0..2.bmp and sparkle0..5.bmp (24).
# Needs rsvg-convert (librsvg2-bin), icotool (icoutils) and ImageMagick.
set -euo pipefail
art=$(cd "$(dirname "$0")" && pwd)
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

png() {  # svg, size, png
  rsvg-convert -w "$2" -h "$2" -o "$3" "$1"
}
bmp() {  # png, bmp: 32 bits per pixel, straight alpha, bottom-up rows as LoadImage expects
  convert "$1" -define bmp3:alpha=true "BMP3:$2"
}
icon() {  # name, base svg, [badge svg]
  local name=$1 base=$2 badge=${3:-} files=() size
  for size in 16 24 32 48 64 128 256; do
    png "$art/$base" $size "$work/$name-$size.png"
    if [ -n "$badge" ]; then
      png "$art/$badge" $size "$work/badge-$size.png"
      convert "$work/$name-$size.png" "$work/badge-$size.png" -composite "PNG32:$work/$name-$size.png"
    fi
    files+=("$work/$name-$size.png")
  done
  # The 256-pixel image is stored as PNG, as the shell expects at that size.
  icotool -c -o "$out/$name.ico" "${files[@]:0:6}" -r "${files[6]}"
}
icon brantle brantle.svg
icon brantle-cli brantle.svg badge_cli.svg
icon zentura zentura.svg
icon zentray zentura.svg badge_tray.svg

png "$art/zentura.svg" 48 "$work/logo.png"
bmp "$work/logo.png" "$out/zentura_logo.bmp"
for i in 0 1 2 3 4 5 6 7; do
  sed "s/@ANGLE@/$((i * 45))/" "$art/busy.svg" >"$work/busy$i.svg"
  png "$work/busy$i.svg" 16 "$work/busy$i.png"
  bmp "$work/busy$i.png" "$out/busy$i.bmp"
done
# Promotion picture: normal, mouse over, pressed.
fills=("#4f8fe0" "#76aef0" "#2b64b0")
for i in 0 1 2; do
  sed "s/@FILL@/${fills[$i]}/" "$art/promo.svg" >"$work/promo$i.svg"
  png "$work/promo$i.svg" 24 "$work/promo$i.png"
  bmp "$work/promo$i.png" "$out/promo$i.bmp"
done
scales=(0.45 0.6 0.8 1.0 0.8 0.6)
for i in 0 1 2 3 4 5; do
  sed -e "s/@ANGLE@/$((i * 15))/" -e "s/@SCALE@/${scales[$i]}/" "$art/sparkle.svg" >"$work/sparkle$i.svg"
  png "$work/sparkle$i.svg" 24 "$work/sparkle$i.png"
  bmp "$work/sparkle$i.png" "$out/sparkle$i.bmp"
done
