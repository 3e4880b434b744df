#!/usr/bin/env bash
# The independent reader and writer against brantle-cli, natively and as the
# Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/../.."
tests/tools/test_interop.sh build/linux/bin/brantle-cli

wrapper=$(mktemp)
trap 'rm -f "$wrapper"' EXIT
cat >"$wrapper" <<WRAP
#!/usr/bin/env bash
# brantle-cli.exe under Wine, with the console's line ends made plain.
set -o pipefail
export WINEPREFIX="$PWD/build/win64/wineprefix"
"$PWD/scripts/wine-run" "$PWD/build/win64/bin/brantle-cli.exe" "\$@" | tr -d '\r'
WRAP
chmod +x "$wrapper"
tests/tools/test_interop.sh "$wrapper"
