#!/usr/bin/env bash
# The installers under Wine: each installs silently into Program Files with
# its shortcuts and uninstall entry, the programs start from there, and the
# silent uninstall removes them. Zentura's uninstaller refuses while its
# game-mode record says services are still stopped. The 64-bit installers
# always; the 32-bit ones where this machine can run 32-bit programs (a
# kernel without 32-bit support cannot, whatever Wine is installed).
set -euo pipefail
cd "$(dirname "$0")/../.."
grep -q '^set(BRANTLE_VERSION ' CMakeLists.txt || { echo "skipped: no versions in CMakeLists.txt to package"; exit 0; }
ls build/packages/Brantle-*-x64-setup.exe build/packages/Zentura-*-x64-setup.exe >/dev/null 2>&1 \
  || scripts/package.sh >/dev/null
fail() { echo "FAIL: $*" >&2; exit 1; }
run() { timeout 300 scripts/wine-run "$@" </dev/null 2>/dev/null | tr -d '\r'; }
unix() { /usr/lib/wine/wine64 winepath -u "$1" 2>/dev/null | tr -d '\r'; }
gone() {  # path: waits for it to go (the uninstaller runs on from a copy of itself)
  for _ in $(seq 100); do [ ! -e "$1" ] && return 0; sleep 0.2; done
  return 1
}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
echo hello >"$tree/a.txt"

variants=(x64)
if /usr/lib/wine/wine --version >/dev/null 2>&1; then variants+=(x86); else echo "skipped: 32-bit installers (this machine cannot run 32-bit programs)"; fi

for variant in "${variants[@]}"; do
  export WINEPREFIX="$PWD/build/win64/wineprefix-installer-$variant"
  rm -rf "$WINEPREFIX"
  if [ $variant = x64 ]; then
    suffix=-x64 folder='%ProgramFiles%' key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  else
    suffix= folder='%ProgramFiles(x86)%' key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
  fi
  programs=$(unix "$(run cmd /c "echo $folder")")
  menu="$(unix "$(run cmd /c 'echo %ProgramData%')")/Microsoft/Windows/Start Menu/Programs"
  [ -d "$programs" ] || fail "$variant: no Program Files folder"

  for product in Brantle Zentura; do
    setup=$(ls build/packages/$product-*-setup.exe | grep -e "-x64-setup" $([ -n "$suffix" ] || echo -v) | head -1)
    version=$(basename "$setup" | sed "s/^$product-\([0-9.]*\).*/\1/")
    run "$(/usr/lib/wine/wine64 winepath -w "$setup" 2>/dev/null | tr -d '\r')" /S >/dev/null
    dir="$programs/$product"
    [ -f "$dir/$product.exe" ] && [ -f "$dir/uninstall.exe" ] || fail "$variant $product: not installed into $dir"
    [ -f "$menu/$product/$product.lnk" ] || fail "$variant $product: no Start-menu shortcut"
    run reg query "$key\\$product" /v DisplayVersion | grep -q "$version" \
      || fail "$variant $product: no uninstall entry with version $version"
    echo "ok: $variant $product $version installs silently"
  done
  for f in Zentura.ini zentray.exe Language/English.lng; do
    [ -f "$programs/Zentura/$f" ] || fail "$variant Zentura: $f not installed"
  done

  # The programs start from their installed place.
  wtree=$(/usr/lib/wine/wine64 winepath -w "$tree" 2>/dev/null | tr -d '\r')
  rm -f "$tree/a.dat"
  run "$programs/Brantle/brantle-cli.exe" pack "$wtree" "$wtree\\a.dat" >/dev/null
  [ "$(run "$programs/Brantle/brantle-cli.exe" list "$wtree\\a.dat")" = a.txt ] \
    || fail "$variant: the installed brantle-cli.exe does not work"
  if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    for product in Brantle Zentura; do
      # A window needs a Wine session begun inside the X server.
      timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
      shown=$(xvfb-run -a bash -c '
        "$0" "$1" >/dev/null 2>&1 & app=$!
        for _ in $(seq 100); do xdotool search --name "^$2" >/dev/null 2>&1 && break; sleep 0.2; done
        xdotool search --name "^$2" >/dev/null 2>&1 && echo shown
        /usr/lib/wine/wineserver64 -k >/dev/null 2>&1; wait' scripts/wine-run "$programs/$product/$product.exe" "$product" || true)
      [ "$shown" = shown ] || fail "$variant: the installed $product.exe showed no window"
      echo "ok: $variant installed $product.exe starts"
    done
  fi

  # In game mode the uninstaller refuses silently and keeps everything.
  echo "[Services]" >"$programs/Zentura/temp.ini"
  run "$programs/Zentura/uninstall.exe" /S >/dev/null || true
  sleep 3
  [ -f "$programs/Zentura/Zentura.exe" ] && [ -f "$programs/Zentura/temp.ini" ] \
    || fail "$variant: Zentura's uninstaller in game mode removed the program or its record"
  echo "ok: $variant Zentura's uninstaller refuses in game mode"
  rm "$programs/Zentura/temp.ini"

  for product in Brantle Zentura; do
    run "$programs/$product/uninstall.exe" /S >/dev/null || true
    gone "$programs/$product" || fail "$variant $product: uninstall left $(ls -A "$programs/$product")"
    [ ! -e "$menu/$product" ] || fail "$variant $product: uninstall left the Start-menu folder"
    if run reg query "$key\\$product" >/dev/null 2>&1; then fail "$variant $product: uninstall entry left"; fi
    echo "ok: $variant $product uninstalls silently and completely"
  done
  timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
done
