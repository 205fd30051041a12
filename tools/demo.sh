#!/usr/bin/env bash
# The demo: three stand-in hosts under Wine, the plug-in chosen in one of them.
# With a DISPLAY (and POKO_DEMO_HEADLESS unset) the list appears there for you
# to use; otherwise it runs on the private Xvfb and writes a PNG screenshot of
# the list window to demo-out/list-window.png.
#   POKO_DEMO_BITS=32 runs the 32-bit product instead of the 64-bit build (slow).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bits=${POKO_DEMO_BITS:-64}
interactive=""
if [ -n "${DISPLAY:-}" ] && [ -z "${POKO_DEMO_HEADLESS:-}" ] && [ -z "${CI:-}" ]; then
  export POKO_USE_DISPLAY=$DISPLAY; interactive=--interactive
fi
. "$root/tools/wine-env.sh" 2>/dev/null
wine_env_up
out="$root/demo-out"; rm -rf "$out"; mkdir -p "$out"
cp "$root/build$bits/plugin/PokoSw.dll" "$out/PokoSw.dll"
win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
"$WINE64" "$root/build64/demo/demo.exe" "$(win "$root/build$bits/standin_host/standin_host.exe")" \
  "$(win "$out/PokoSw.dll")" "$(win "$out")" $interactive </dev/null >"$out/demo.log" 2>&1 &
demo=$!
if [ -n "$interactive" ]; then
  echo "demo: the list window opens on $DISPLAY; choose an instance or press Escape"
  wait $demo; cat "$out/demo.log"; exit 0
fi
for _ in $(seq 600); do [ -f "$out/ready" ] || ! kill -0 $demo 2>/dev/null && break; sleep 0.5; done
if [ ! -f "$out/ready" ]; then cat "$out/demo.log"; echo "demo: the list did not appear" >&2; exit 1; fi
sleep 0.5
read -r x y w h <"$out/list-rect.txt"
import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/list-window.png"
touch "$out/done"
wait $demo || true
cat "$out/demo.log"
echo "demo: screenshot of the list window: $out/list-window.png"
