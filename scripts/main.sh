#!/usr/bin/env bash
# The main job: builds everything, then runs brantle-cli on the sample
# profile shipped in the repository: pack, verify, list, unpack elsewhere and
# compare, natively and as the Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
bash scripts/demo.sh
