#!/usr/bin/env bash
# Runs the libFuzzer targets under ASan and UBSan: each for SECONDS (60 by
# default), all of them or the NAMEs given (as in fuzz/CMakeLists.txt).
# Seeds come from fuzz/corpus/<name>; what the run adds stays in
# build/fuzz/corpus/<name>, and a crashing input lands in
# build/fuzz/artifacts/<name>/ (add it to fuzz/corpus/<name> once fixed).
# usage: scripts/fuzz.sh [SECONDS] [NAME...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
fi
[ -f build/fuzz/build.ninja ] || cmake -S . -B build/fuzz -G Ninja "${launcher[@]}" \
  -DCMAKE_C_COMPILER=clang-15 -DCMAKE_CXX_COMPILER=clang++-15 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBZ_FUZZ=ON -DBZ_TESTS=OFF -DBZ_BENCHMARKS=OFF >/dev/null

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for dir in fuzz/corpus/*/; do names+=("$(basename "$dir")"); done
fi
targets=()
for name in "${names[@]}"; do targets+=("fuzz_$name"); done
ninja -C build/fuzz -j2 "${targets[@]}" >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for name in "${names[@]}"; do
  corpus=build/fuzz/corpus/$name artifacts=build/fuzz/artifacts/$name/
  mkdir -p "$corpus" "$artifacts"
  log=build/fuzz/$name.log
  echo "== $name: ${seconds}s"
  if build/fuzz/bin/fuzz_"$name" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=1024 \
      -timeout=10 -artifact_prefix="$artifacts" "$corpus" "fuzz/corpus/$name" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "ok: $name, $runs executions, corpus $(ls "$corpus" | wc -l) inputs"
  else
    failed=$((failed + 1))
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 || true
    echo "FINDING: $name (log $log, input in $artifacts)"
  fi
done
[ "$failed" -eq 0 ]
