#!/usr/bin/env bash
# Peak resident memory of `brantle-cli pack` and `unpack` on a generated tree of
# about 1 GB (PEAK_MEMORY_MB to change it); both should stay under 64 MB
# whatever the tree's size, since archives are streamed to and from disk.
# usage: bench/peak_memory.sh [path/to/brantle-cli]      (needs /usr/bin/time: apt package "time")
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cli="${1:-$here/../build/linux/bin/brantle-cli}"
size_mb="${PEAK_MEMORY_MB:-1024}"
limit_kb=$((64 * 1024))
[ -x "$cli" ] || { echo "brantle-cli not found: $cli" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time missing (apt-get install time)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "generating ${size_mb} MB in $work/tree"
python3 - "$work/tree" "$size_mb" <<'EOF'
import os, random, sys
root, total = sys.argv[1], int(sys.argv[2]) << 20
rng = random.Random(7)
words = b"bookmark history cookie session profile password search engine places".split()
text = b" ".join(rng.choice(words) + str(rng.randrange(10**6)).encode() for _ in range(400000))
def put(path, size, compressible):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        while size > 0:
            n = min(size, 1 << 22)
            f.write(text[:n] if compressible else os.urandom(n))
            size -= n
# Two large files (a third of the tree each) and many small and middle ones.
large = total // 3
put(os.path.join(root, "large", "places.sqlite"), large, True)
put(os.path.join(root, "large", "cache.bin"), large, False)
rest, i = total - 2 * large, 0
while rest > 0:
    n = min(rest, rng.randrange(1024, 4 << 20))
    put(os.path.join(root, "p%d" % (i % 7), "f%d.dat" % i), n, i % 3 != 0)
    rest -= n
    i += 1
EOF

peak() {  # command... -> peak RSS in KB
  /usr/bin/time -v "$@" 2> "$work/time.log" > /dev/null
  awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.log"
}

status=0
pack_kb="$(peak "$cli" pack "$work/tree" "$work/tree.dat")"
echo "pack:   peak RSS $((pack_kb / 1024)) MB (archive $(($(stat -c %s "$work/tree.dat") >> 20)) MB)"
unpack_kb="$(peak "$cli" unpack "$work/tree.dat" "$work/out")"
echo "unpack: peak RSS $((unpack_kb / 1024)) MB"
diff -rq "$work/tree" "$work/out" > /dev/null || { echo "unpacked tree differs" >&2; status=1; }
for kb in "$pack_kb" "$unpack_kb"; do
  [ "$kb" -lt "$limit_kb" ] || { echo "peak RSS over 64 MB" >&2; status=1; }
done
exit $status
