#!/usr/bin/env bash
# brantle-cli pack and unpack killed at random moments (natively 20 times
# each, pack once under Wine): the previous archive and every file that was
# there before stay byte for byte as they were, or (unpack) are the new copy,
# and a run to the end leaves no temporaries behind.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cli=build/linux/bin/brantle-cli
kills=${KILLS:-20}

# A tree that takes a moment to pack: a 5 MB file among smaller ones.
mkdir -p "$work/tree/sub"
head -c 5000000 /dev/urandom >"$work/tree/big.bin"
for i in $(seq 1 40); do head -c 200000 /dev/urandom | base64 >"$work/tree/sub/f$i.txt"; done
"$cli" pack "$work/tree" "$work/old.dat"
cp "$work/old.dat" "$work/a.dat"

# kill_at COMMAND...: starts it, kills it after a random part of a run's length.
run_length() { local s; s=$(date +%s%N); "$@" >/dev/null 2>&1 || true; echo $(( ($(date +%s%N) - s) / 1000000 )); }
kill_at() {
  local ms=$1; shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep "$(awk -v r="$RANDOM" -v ms="$ms" 'BEGIN { printf "%.3f", r / 32768 * ms / 1000 }')"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# pack: the archive of that name stays the previous one until a run completes.
echo "changed" >"$work/tree/sub/f1.txt"
ms=$(run_length "$cli" pack "$work/tree" "$work/probe.dat")
for n in $(seq 1 "$kills"); do
  kill_at "$ms" "$cli" pack "$work/tree" "$work/a.dat"
  cmp -s "$work/a.dat" "$work/old.dat" || { "$cli" verify "$work/a.dat" >/dev/null || fail "pack kill $n: archive damaged"; }
done
"$cli" pack "$work/tree" "$work/a.dat"
ls "$work" | grep -q '^a\.dat\.tmp' && fail "pack: temporaries left after a complete run"
echo "ok: pack killed $kills times, previous archive intact, temporaries cleaned"

# unpack over an older copy of the tree: each file is the old or the new copy.
mkdir -p "$work/old-tree"
"$cli" unpack "$work/old.dat" "$work/old-tree"
cp -r "$work/old-tree" "$work/out"
"$cli" pack "$work/tree" "$work/new.dat"
ms=$(run_length "$cli" unpack "$work/new.dat" "$work/probe-out")
for n in $(seq 1 "$kills"); do
  kill_at "$ms" "$cli" unpack "$work/new.dat" "$work/out"
  (cd "$work/old-tree" && find . -type f) | while read -r f; do
    cmp -s "$work/out/$f" "$work/old-tree/$f" || cmp -s "$work/out/$f" "$work/tree/$f" \
      || fail "unpack kill $n: $f is neither the old nor the new copy"
  done
done
"$cli" unpack "$work/new.dat" "$work/out"
diff -r "$work/tree" "$work/out" >/dev/null || fail "unpack: complete run differs from the tree"
echo "ok: unpack killed $kills times, every file old or new, never torn"

# unpack into an empty folder: a file that is there is complete (a partial
# one is only ever a NAME.brtmp, which the next run replaces).
for n in $(seq 1 "$kills"); do
  rm -rf "$work/fresh"
  kill_at "$ms" "$cli" unpack "$work/new.dat" "$work/fresh"
  [ -d "$work/fresh" ] || continue
  (cd "$work/fresh" && find . -type f ! -name '*.brtmp') | while read -r f; do
    cmp -s "$work/fresh/$f" "$work/tree/$f" || fail "unpack kill $n into an empty folder: $f is torn"
  done
done
"$cli" unpack "$work/new.dat" "$work/fresh"
diff -r "$work/tree" "$work/fresh" >/dev/null || fail "unpack: complete run after kills differs from the tree"
echo "ok: unpack into an empty folder killed $kills times, no file torn"

# pack under Wine, once: the program itself is killed, not the wrapper.
export WINEPREFIX="$PWD/build/win64/wineprefix"
# A first run sets up the prefix, which may take longer than the pack.
scripts/wine-run build/win64/bin/brantle-cli.exe --help >/dev/null 2>&1 || true
cp "$work/old.dat" "$work/w.dat"
scripts/wine-run build/win64/bin/brantle-cli.exe pack "$work/tree" "$work/w.dat" >/dev/null 2>&1 &
pid=$!
for i in $(seq 1 100); do
  ls "$work" | grep -q '^w\.dat\.tmp' && break
  sleep 0.1
done
WINEPREFIX="$WINEPREFIX" /usr/lib/wine/wineserver64 -k || true
wait "$pid" 2>/dev/null || true
cmp -s "$work/w.dat" "$work/old.dat" || fail "Wine pack kill: previous archive changed"
scripts/wine-run build/win64/bin/brantle-cli.exe pack "$work/tree" "$work/w.dat" >/dev/null
ls "$work" | grep -q '^w\.dat\.tmp' && fail "Wine pack: temporaries left after a complete run"
scripts/wine-run build/win64/bin/brantle-cli.exe verify "$work/w.dat" >/dev/null || fail "Wine pack: archive does not verify"
echo "ok: Wine pack killed, previous archive intact, temporaries cleaned"
