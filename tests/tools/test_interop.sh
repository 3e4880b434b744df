#!/usr/bin/env bash
# Archives written by brantle-cli read with the independent Python reader and
# the other way round; crafted archives whose entries point outside the target
# folder must write nothing.
# usage: tests/tools/test_interop.sh [path/to/brantle-cli]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cli="${1:-$here/../../build/linux/bin/brantle-cli}"
datfile="$here/datfile.py"
[ -x "$cli" ] || { echo "brantle-cli not found: $cli" >&2; exit 2; }
cli="$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A tree with text, random bytes, nesting, a cp1252 name and a file larger
# than the codec's buffers.
src="$work/src"
mkdir -p "$src/profile/bookmarkbackups" "$src/café" "$src/Zeta/deep/er"
printf 'user_pref("a", 1);\n%.0s' $(seq 1 5000) > "$src/profile/prefs.js"
head -c 300000 /dev/urandom > "$src/profile/places.sqlite"
head -c 1 /dev/urandom > "$src/café/one.bin"
mkdir -p "$src/Избранное"
echo "beyond the code page" > "$src/Избранное/中文.url"
printf 'x%.0s' $(seq 1 1024) > "$src/Zeta/deep/er/exactly1024.txt"
seq 1 40000 > "$src/Zeta/numbers.txt"
echo "{}" > "$src/profile/bookmarkbackups/bookmarks-2010.json"
echo "root file" > "$src/Root.TXT"
# Neither empty files nor empty folders are stored.
: > "$src/profile/empty.txt"
mkdir -p "$src/profile/emptydir"
expected="$work/expected"
cp -r "$src" "$expected"
rm -rf "$expected/profile/empty.txt" "$expected/profile/emptydir"

echo "== brantle-cli pack, Python extract"
"$cli" pack "$src" "$work/cli.dat"
python3 "$datfile" extract "$work/cli.dat" "$work/py-out"
diff -r "$expected" "$work/py-out" || fail "Python extraction of brantle-cli archive differs"

echo "== same tree packed by both is byte-identical"
python3 "$datfile" pack "$src" "$work/py.dat"
cmp "$work/cli.dat" "$work/py.dat" || fail "brantle-cli and Python archives differ"

echo "== Python pack, brantle-cli unpack"
"$cli" unpack "$work/py.dat" "$work/cli-out"
diff -r "$expected" "$work/cli-out" || fail "brantle-cli extraction of Python archive differs"

echo "== listings agree"
diff <("$cli" list "$work/py.dat") <(python3 "$datfile" list "$work/py.dat") ||
  fail "listings differ"
"$cli" verify "$work/py.dat" > /dev/null || fail "verify rejects a good archive"
head -c -1 "$work/py.dat" > "$work/cut.dat"
if "$cli" verify "$work/cut.dat" > /dev/null 2>&1; then fail "verify accepts a truncated archive"; fi

echo "== escaping entries write nothing"
box="$work/box"
mkdir -p "$box/target"
cases=(
  '..\|x.txt' '|..\x.txt' 'a\..\..\|x.txt' 'a/../../|x.txt' '...\|x.txt'
  'C:\|x.txt' '|C:x.txt' '\|x.txt' '\tmp\|x.txt' '/tmp/|x.txt' '|/x.txt' 'sub\|' '|sub\'
)
for case in "${cases[@]}"; do
  dir="${case%%|*}" name="${case#*|}"
  PYTHONPATH="$here" python3 - "$work/evil.dat" "$dir" "$name" <<'EOF'
import sys, datfile
with open(sys.argv[1], "wb") as f:
    datfile.write_entry(f, sys.argv[2].encode("cp1252"), sys.argv[3].encode("cp1252"), b"escaped")
EOF
  before="$(cd "$work" && find . ! -name evil.dat ! -name log | sort)"
  if (cd "$box/target" && "$cli" unpack "$work/evil.dat" "$box/target") > "$work/log" 2>&1; then
    fail "unpack accepted entry dir='$dir' name='$name'"
  elif ! grep -q "Unsafe path in archive" "$work/log"; then
    fail "entry dir='$dir' name='$name': $(cat "$work/log")"
  fi
  after="$(cd "$work" && find . ! -name evil.dat ! -name log | sort)"
  [ "$before" = "$after" ] || fail "entry dir='$dir' name='$name' changed the file tree"
  [ -z "$(find "$work" /tmp/x.txt -name x.txt 2>/dev/null)" ] || fail "x.txt written for '$case'"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures interop check(s) failed" >&2
  exit 1
fi
echo "all interop checks passed"
