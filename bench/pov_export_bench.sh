#!/usr/bin/env bash
# POV-Ray scene export benchmark: vorla-cli convert big.vrl out.pov against the same scene
# written with fprintf("%f") (pov-fprintf-export), alternating, in one run. Prints medians.
# Then the two writers alone, into memory and /dev/null (pov-writer-speed).
# usage: bench/pov_export_bench.sh [BUILD_DIR] [ROUNDS]     (BUILD_DIR default build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
rounds=${2:-5}
out=$root/bench/out
mkdir -p "$out"
[ -f "$out/big.vrl" ] || "$build/bench/make-big-vrl" "$out/big.vrl"

seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null; t1=$(date +%s.%N); LC_ALL=C awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

cli=() base=() load=()
for ((i = 0; i < rounds; i++)); do
  cli+=("$(seconds "$build/src/cli/vorla-cli" convert "$out/big.vrl" "$out/out.pov")")
  base+=("$(seconds "$build/bench/pov-fprintf-export" "$out/big.vrl" "$out/base.pov")")
  load+=("$(seconds "$build/src/cli/vorla-cli" info "$out/big.vrl")")
done
echo "rounds (s): convert ${cli[*]}; fprintf ${base[*]}; read ${load[*]}"
cmp -s "$out/out.pov" "$out/base.pov" || { echo "the two scenes differ"; exit 1; }
bytes=$(stat -c %s "$out/out.pov")
c=$(printf '%s\n' "${cli[@]}" | median)
b=$(printf '%s\n' "${base[@]}" | median)
l=$(printf '%s\n' "${load[@]}" | median)
LC_ALL=C awk -v bytes="$bytes" -v c="$c" -v b="$b" -v l="$l" -v n="$rounds" 'BEGIN {
  mb = bytes / 1e6
  printf "scene text: %.1f MB, medians of %d rounds\n", mb, n
  printf "vorla-cli convert big.vrl out.pov  %6.2f s  %6.0f MB/s\n", c, mb / c
  printf "fprintf(\"%%f\") baseline            %6.2f s  %6.0f MB/s\n", b, mb / b
  printf "reading big.vrl alone (info)       %6.2f s\n", l
  printf "speed-up over the baseline         %6.1fx (whole command), %.1fx (without the read)\n", b / c, (b - l) / (c - l)
}'
echo
"$build/bench/pov-writer-speed" "$out/big.vrl" "$rounds"
