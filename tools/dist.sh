#!/usr/bin/env bash
# Builds the 32-bit product and packs dist/PokoSw-2.0.0.zip with the DLL and
# the user's guide (Japanese and English, UTF-8 with a byte-order mark).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
. "$root/tools/build-lib.sh"
poko_build 32 PokoSw
rm -rf "$root/dist"; mkdir -p "$root/dist/PokoSw"
cp "$root/build32/plugin/PokoSw.dll" "$root/dist-files/README.txt" "$root/dist/PokoSw/"
(cd "$root/dist" && zip -q -X -r PokoSw-2.0.0.zip PokoSw)
/usr/bin/python3 "$root/tests/pe/check_pe.py" --bits 32 "$root/dist/PokoSw/PokoSw.dll" | tail -1
echo "dist: $root/dist/PokoSw-2.0.0.zip"
