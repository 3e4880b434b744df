#!/usr/bin/env bash
# brantle-cli update against a local update server, natively and under Wine:
# newer, equal and older versions, redirects, redirect loops, and installers
# that are broken or fine.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
server_pid=
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX="$PWD/build/win64/wineprefix"

fail() { echo "FAIL: $*" >&2; exit 1; }

python3 tests/e2e/update_server.py "$work/www" "$work/port" &
server_pid=$!
mkdir -p "$work/www"
echo '{}' >"$work/www/routes.json"
for _ in $(seq 50); do [ -f "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
server="127.0.0.1:$port"

page() {  # file version [client-name] [run-parameters]
  cat >"$work/www/$1" <<PAGE
<html><head>
<META NAME="wuProduct" CONTENT="Brantle">
<META NAME="wuVersion" CONTENT="$2">
<META NAME="wuDownload" CONTENT="http://$server/setup.exe">
<META NAME="wuClientSideName" CONTENT="${3:-Update.exe}">
<META NAME="wuRunParameters" CONTENT="${4:-/S}">
</head><body>Changes</body></html>
PAGE
}
routes() { echo "$1" >"$work/www/routes.json"; }

# expect label code text cli...: exit code and a line of the output.
expect() {
  local label=$1 code=$2 text=$3; shift 3
  local got=0
  (cd "$work/run" && timeout 60 "$@" >"$work/out" 2>&1) || got=$?
  [ "$got" -eq "$code" ] || { cat "$work/out"; fail "$label: exit $got, expected $code"; }
  tr -d '\r' <"$work/out" | grep -qxF -- "$text" || { cat "$work/out"; fail "$label: no '$text'"; }
  echo "ok: $label"
}

none="There is no update available!"
error="Cannot download data from the web"
cp build/win64/bin/brantle-cli.exe "$work/www/cli.exe"
for flavour in linux win64; do
  if [ $flavour = linux ]; then cli=("$PWD/build/linux/bin/brantle-cli"); else cli=("$PWD/scripts/wine-run" "$PWD/build/win64/bin/brantle-cli.exe"); fi
  rm -rf "$work/run"; mkdir -p "$work/run"
  for v in "2.1:10" "2.0.10:10" "3:10" "2.0.2.1:10" "2.0.2:0" "2.0.1:0" "2:0" "1.9.9:0"; do
    page p.html "${v%%:*}"
    routes '{"/update.html": {"file": "p.html"}}'
    if [ "${v##*:}" = 10 ]; then text="You are using version 2.0.2, but version ${v%%:*} is available."; else text=$none; fi
    expect "$flavour version ${v%%:*}" "${v##*:}" "$text" "${cli[@]}" update --check --server "$server"
  done

  page p.html 2.1
  routes '{"/update.html": {"redirect": "/moved.html"}, "/moved.html": {"redirect": "http://'"$server"'/p.html"}, "/p.html": {"file": "p.html"}}'
  expect "$flavour redirects" 10 "You are using version 2.0.2, but version 2.1 is available." "${cli[@]}" update --check --server "$server"
  routes '{"/update.html": {"redirect": "/update.html"}}'
  expect "$flavour redirect loop" 1 "$error" "${cli[@]}" update --check --server "$server"
  printf '<META NAME="wuRedirection" CONTENT="http://%s/update.html">\n' "$server" >"$work/www/self.html"
  routes '{"/update.html": {"file": "self.html"}}'
  expect "$flavour page redirecting to itself" 1 "$error" "${cli[@]}" update --check --server "$server"
  routes '{"/update.html": {"file": "p.html", "status": 404}}'
  expect "$flavour page with status 404" 1 "$error" "${cli[@]}" update --check --server "$server"
  expect "$flavour no server" 1 "$error" "${cli[@]}" update --check --server "127.0.0.1:1"

  # Installers that must not be kept: an error page, a short body, no length.
  for bad in '"status": 404' '"length": "99999999"' '"length": null' '"length": "12abc"'; do
    routes '{"/update.html": {"file": "p.html"}, "/setup.exe": {"file": "cli.exe", '"$bad"'}}'
    expect "$flavour installer with $bad" 1 "$error" "${cli[@]}" update --install --server "$server"
    [ ! -e "$work/run/Update.exe" ] || fail "$flavour: installer with $bad was kept"
  done
  page p.html 2.1 '..\evil.exe'
  routes '{"/update.html": {"file": "p.html"}, "/setup.exe": {"file": "cli.exe"}}'
  expect "$flavour client name with a folder" 1 "$error" "${cli[@]}" update --install --server "$server"
  [ ! -e "$work/evil.exe" ] || fail "$flavour: wrote outside the folder"
done

# A good installer is downloaded into the current folder and started with
# its run parameters: here brantle-cli.exe itself, which packs a folder.
mkdir -p "$work/tree" && echo hello >"$work/tree/a.txt"
tree=$(scripts/wine-run winepath -w "$work/tree" 2>/dev/null | tr -d '\r')
proof=$(scripts/wine-run winepath -w "$work/proof.dat" 2>/dev/null | tr -d '\r')
page p.html 2.1 Update.exe "pack $tree $proof"
routes '{"/update.html": {"file": "p.html"}, "/setup.exe": {"file": "cli.exe"}}'
rm -rf "$work/run"; mkdir -p "$work/run"
expect "win64 install" 10 "You are using version 2.0.2, but version 2.1 is available." \
  "$PWD/scripts/wine-run" "$PWD/build/win64/bin/brantle-cli.exe" update --install --server "$server"
cmp -s "$work/www/cli.exe" "$work/run/Update.exe" || fail "installer not downloaded whole"
for _ in $(seq 100); do [ -s "$work/proof.dat" ] && break; sleep 0.2; done
[ -s "$work/proof.dat" ] || fail "installer was not started with its parameters"
echo "ok: win64 install downloads and starts the installer"
