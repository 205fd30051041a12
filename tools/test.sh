#!/usr/bin/env bash
# Runs every test: the full suite on the 64-bit build under wine64, then the
# 32-bit product's table checks and its end-to-end run under the emulated
# 32-bit Wine. Installs what is missing on a Debian machine first.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh" || exit 1
. "$root/tools/build-lib.sh"
. "$root/tools/wine-env.sh" 2>/dev/null
poko_build 32 || exit 1
poko_build 64 || exit 1
wine_env_up || exit 1
trap wine_env_down EXIT

status=0
echo "== 64-bit suite (wine64)"
(cd "$root/build64" && ctest --output-on-failure --timeout 300 -LE product32) || status=1
echo "== 32-bit product: tables and end-to-end run (qemu, about a minute per process)"
(cd "$root/build64" && ctest --output-on-failure --timeout 1500 -L product32) || status=1
exit $status
