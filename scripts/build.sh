#!/usr/bin/env bash
# Builds everything: native Linux (build/linux), Windows x86_64 (build/win64),
# Windows i686 (build/win32) and, with --sanitize, the native
# logic under AddressSanitizer and UndefinedBehaviorSanitizer (build/asan).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# ccache, where installed, keeps rebuilds of several work trees cheap.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
fi

configure() {  # folder, extra cmake arguments...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
}

configure build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo
configure build/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
configure build/win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
ninja -C build/linux -j"$jobs"
ninja -C build/win64 -j"$jobs"
ninja -C build/win32 -j"$jobs"
if [ "${1:-}" = "--sanitize" ]; then
  configure build/asan -DCMAKE_BUILD_TYPE=Debug -DBZ_SANITIZE=ON
  ninja -C build/asan -j"$jobs"
fi
