#!/usr/bin/env bash
# Load and save of a 1,000,000-face model with `vorla-cli convert big.vrl out.vrl`, against
# `cp big.vrl out.vrl` in the same run; medians of RUNS runs and the peak memory of one convert.
# usage: bench/vrl_bench.sh [RUNS]    (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
cmake --preset release >/dev/null
cmake --build --preset release --target vorla-cli make-big-vrl >/dev/null
out=bench/out
mkdir -p "$out"
cli=build/release/src/cli/vorla-cli
[ -f "$out/big.vrl" ] || build/release/bench/make-big-vrl "$out/big.vrl" 1000000
size=$(stat -c %s "$out/big.vrl")

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
time_one() { local s e; s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N); echo "$e - $s" | bc -l; }

cp_times=() cv_times=()
for ((i = 0; i < runs; i++)); do
  # Alternate the two so drift on a noisy machine hits both alike.
  cp_times+=("$(time_one cp "$out/big.vrl" "$out/copy.vrl")")
  cv_times+=("$(time_one "$cli" convert "$out/big.vrl" "$out/out.vrl")")
done
cmp -s "$out/big.vrl" "$out/out.vrl" || { echo "convert changed the bytes"; exit 1; }
cp_med=$(printf '%s\n' "${cp_times[@]}" | median)
cv_med=$(printf '%s\n' "${cv_times[@]}" | median)
peak=$( { /usr/bin/time -f %M "$cli" convert "$out/big.vrl" "$out/out.vrl"; } 2>&1 | tail -1)
printf 'file: %d bytes, 1000000 faces, %d runs\n' "$size" "$runs"
printf 'cp median:      %.3f s\n' "$cp_med"
printf 'convert median: %.3f s\n' "$cv_med"
printf 'ratio convert/cp: %.2f (target <= 3)\n' "$(echo "$cv_med / $cp_med" | bc -l)"
printf 'peak memory of convert: %d MB (target < 300)\n' "$((peak / 1024))"
rm -f "$out/copy.vrl" "$out/out.vrl"
