#!/usr/bin/env bash
# The benchmark: time from choosing the plug-in to seeing the list, with N other
# instances, against its floors, under wine64 with stand-in hosts. Writes the
# table to docs/benchmark.md and a plot to docs/benchmark.png.
#   tools/benchmark.sh [RUNS]      (medians of RUNS invocations, default 15)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-15}
bash "$root/tools/setup.sh"
if ! command -v gnuplot >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends gnuplot-nox >/dev/null
fi
. "$root/tools/build-lib.sh"
poko_build 64 PokoSw standin_host benchmark
. "$root/tools/wine-env.sh" 2>/dev/null
wine_env_up
out="$root/build64/benchmark-run"; rm -rf "$out"; mkdir -p "$out"
cp "$root/build64/plugin/PokoSw.dll" "$out/"
win() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
"$WINE64" "$root/build64/benchmark/benchmark.exe" "$(win "$root/build64/standin_host/standin_host.exe")" \
  "$(win "$out/PokoSw.dll")" "$runs" </dev/null >"$out/table.md" 2>"$out/stderr.log" || { cat "$out/stderr.log"; exit 1; }
tr -d '\r' <"$out/table.md" >"$out/table.txt"
cat "$out/table.txt"

machine="$(nproc) cores, $(awk -F': ' '/model name/{print $2; exit}' /proc/cpuinfo), $(free -g | awk '/Mem:/{print $2}') GiB;"
machine="$machine $(. /etc/os-release; echo "$PRETTY_NAME"), $(/usr/lib/wine/wine64 --version 2>/dev/null), 64-bit build"
{
  echo "Measured $(date -u +%Y-%m-%d) by \`bash tools/benchmark.sh $runs\` on: $machine."
  echo "Times are medians of $runs invocations, taken inside the caller's host process."
  echo
  cat "$out/table.txt"
} >"$root/docs/benchmark.md"

awk -F'|' '/^\| [0-9]+ \|/{print $2, $3, $4, $5, $7, $8}' "$out/table.txt" >"$out/plot.dat"
gnuplot <<PLOT
set terminal pngcairo size 800,480
set output "$root/docs/benchmark.png"
set title "Choosing the plug-in to seeing the list (wine64)"
set xlabel "other instances N"; set ylabel "ms"; set logscale x 2; set key left top
plot "$out/plot.dat" using 1:2 with linespoints title "total", \
     "" using 1:3 with linespoints title "query phase", \
     "" using 1:4 with linespoints title "query floor", \
     "" using 1:5 with linespoints title "rest", \
     "" using 1:6 with linespoints title "rest floor"
PLOT
echo "benchmark: docs/benchmark.md, docs/benchmark.png"
