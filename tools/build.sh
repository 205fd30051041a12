#!/usr/bin/env bash
# Builds PokoSw.dll (32-bit product and 64-bit test build) with the stand-in
# host, then runs the demo: three host instances under Wine with the plug-in
# chosen in one of them. Installs what is missing on a Debian machine first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
. "$root/tools/build-lib.sh"
poko_build 32 PokoSw standin_host
poko_build 64
echo "built: $root/build32/plugin/PokoSw.dll (the product), $root/build64/plugin/PokoSw.dll"
if [ -f "$root/tools/demo.sh" ] && [ -z "${POKO_NO_DEMO:-}" ]; then
  bash "$root/tools/demo.sh"
fi
