#!/usr/bin/env bash
# Builds the installers and portable zips of both programs into
# build/packages: from the 32-bit builds, which run on every supported
# Windows,
#   Brantle-<version>-setup.exe   Brantle-<version>-portable.zip
#   Zentura-<version>-setup.exe   Zentura-<version>-portable.zip
# and the same with "-x64" from the 64-bit builds (a 64-bit installer that
# installs into the 64-bit Program Files; also what a machine without 32-bit
# support, such as a 64-bit-only Wine, can run).
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/packages
[ -f build/win32/build.ninja ] && [ -f build/win64/build.ninja ] || scripts/build.sh
for b in win32 win64; do ninja -C build/$b Brantle brantle-cli Zentura zentray zentura_data >/dev/null; done
# The versions are set once, in the top CMakeLists.txt (BRANTLE_VERSION,
# ZENTURA_VERSION, four parts); the environment may override them.
version_of() {  # name
  local v=${!1:-}
  [ -n "$v" ] || v=$(sed -n "s/^set($1 \([0-9.]*\))/\1/p" CMakeLists.txt)
  [ -n "$v" ] || { echo "package.sh: no $1 in CMakeLists.txt" >&2; exit 1; }
  echo "$v"
}
# Brantle's packages are named after its three-part version, Zentura's after all four.
brantle_version=$(version_of BRANTLE_VERSION | cut -d. -f1-3)
zentura_version=$(version_of ZENTURA_VERSION)
rm -rf "$out"
mkdir -p "$out"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

package() {  # build folder, NSIS architecture, name suffix
  local bin=$PWD/build/$1/bin arch=$2 suffix=$3
  makensis -V2 -DARCH="$arch" -DVERSION="$brantle_version" -DSOURCE="$bin" \
    -DOUTFILE="$PWD/$out/Brantle-$brantle_version$suffix-setup.exe" installer/brantle.nsi
  makensis -V2 -DARCH="$arch" -DVERSION="$zentura_version" -DSOURCE="$bin" -DDATA="$bin" \
    -DOUTFILE="$PWD/$out/Zentura-$zentura_version$suffix-setup.exe" installer/zentura.nsi
  rm -rf "$stage"/*
  mkdir -p "$stage/Brantle" "$stage/Zentura/Language"
  cp "$bin/Brantle.exe" "$bin/brantle-cli.exe" "$stage/Brantle/"
  cp "$bin/Zentura.exe" "$bin/zentray.exe" "$bin/Zentura.ini" "$stage/Zentura/"
  cp "$bin"/Language/*.lng "$stage/Zentura/Language/"
  (cd "$stage" && zip -qr -X "$OLDPWD/$out/Brantle-$brantle_version$suffix-portable.zip" Brantle)
  (cd "$stage" && zip -qr -X "$OLDPWD/$out/Zentura-$zentura_version$suffix-portable.zip" Zentura)
}
package win32 x86 ""
package win64 x64 -x64
ls -1 "$out"
