#!/usr/bin/env bash
# Installs what building and testing need on Debian 12; does nothing when all is there.
set -euo pipefail
packages=(
  cmake ninja-build g++ python3 time ccache
  libgtest-dev googletest libbenchmark-dev zlib1g-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 libz-mingw-w64-dev
  wine64
  xvfb xauth xdotool imagemagick
  firefox-esr chromium  # make real browser profiles for the backup round trips
  libcli11-dev nlohmann-json3-dev  # header-only, used by the native and the mingw builds
  clang-15 libfuzzer-15-dev        # the fuzzing build
  librsvg2-bin icoutils            # program icons from their drawings
  nsis                             # installers
  zip                              # portable archives
  wine32:i386                      # 32-bit programs in the same prefix (where the kernel runs them)
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
