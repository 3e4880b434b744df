#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: logic and
# contract tests natively, again under the sanitizers, the Windows programs
# under Wine, and the end-to-end checks of the programs and their installers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh --sanitize
# The installers and portable zips of both programs (build/packages), once
# the versions are set in CMakeLists.txt.
if grep -q '^set(BRANTLE_VERSION ' CMakeLists.txt; then scripts/package.sh; fi

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/linux --output-on-failure -j2
ctest --test-dir build/asan --output-on-failure -j2
ctest --test-dir build/win64 --output-on-failure
# Each fuzz target for a minute (longer runs: scripts/fuzz.sh SECONDS).
scripts/fuzz.sh 60
# The 32-bit programs, as users of 32-bit Windows get them: the contract
# suites and one end-to-end round trip, where this machine runs 32-bit code.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  ctest --test-dir build/win32 --output-on-failure -R contract
  BUILD=build/win32 bash tests/e2e/ie_backup_wine.sh
else
  echo "skipped: the 32-bit tests (this machine cannot run 32-bit programs)"
fi
passed=0 failed=0
for t in tests/e2e/*.sh; do
  echo "== $t"
  if bash "$t"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $t"; fi
done
echo "end-to-end: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
