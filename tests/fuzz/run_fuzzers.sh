#!/usr/bin/env bash
# Builds the byte routines natively with libFuzzer and AddressSanitizer and runs
# each for a bounded number of inputs:  run_fuzzers.sh BUILD_DIR [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:?build folder}; runs=${2:-300000}
mkdir -p "$out"
flags=(-g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$here/shim" -I"$root")
fail=0
for target in reply_copy folder_name; do
  case $target in
    reply_copy) src=$root/exchange/reply_copy.cpp ;;
    folder_name) src=$root/listwindow/folder_name.cpp ;;
  esac
  clang++ "${flags[@]}" "$here/${target}_fuzz.cpp" "$src" -o "$out/${target}_fuzz"
  mkdir -p "$out/corpus-$target"
  if "$out/${target}_fuzz" -runs="$runs" -seed=1 -max_len=1200 "$out/corpus-$target" \
       >"$out/$target.log" 2>&1; then
    echo "$target: $(grep -E '^Done' "$out/$target.log" || echo done)"
  else
    echo "$target: FAILED, see $out/$target.log"; tail -30 "$out/$target.log"; fail=1
  fi
done
exit $fail
