#!/usr/bin/env bash
# The full DXF import against the default import (1,000,000 3DFACEs) and against assimp and the
# floor of reading the lines (1,000 polyface meshes of 32 x 32 quads), all in one run.
# usage: bash bench/dxf_full_bench.sh      (RUNS=N timed rounds, default 5)
# Results: medians, ratios and peak memory on stdout and in bench/out/dxf-full-bench.csv.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}

need=(libdxflib-dev libassimp-dev time bc pkg-config cmake ninja-build)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake --preset release >/dev/null
cmake --build --preset release -j2 --target vorla-cli make-big-dxf make-big-polyface dxf-floor
cmake -S bench/peers -B build/peers -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/peers -j2

out=bench/out
mkdir -p "$out"
cli=build/release/src/cli/vorla-cli
faces=$out/big-1000000.dxf
pface=$out/pface-1000.dxf
[ -s "$faces" ] || build/release/bench/make-big-dxf "$faces" 1000000
[ -s "$pface" ] || build/release/bench/make-big-polyface "$pface" 1000

commands=(
  floor-3dface "build/release/bench/dxf-floor $faces"
  default-3dface "$cli info $faces"
  full-3dface "$cli info --dxf-full $faces"
  floor-pface "build/release/bench/dxf-floor $pface"
  full-pface "$cli info --dxf-full $pface"
  assimp-pface "build/peers/peer_assimp $pface"
)
# Round robin: every command once per round, so that a change in the machine's load falls on all
# of them alike; round 0 warms the page cache and is not counted.
declare -A times peak median cpu
for ((r = 0; r <= runs; r++)); do
  for ((i = 0; i < ${#commands[@]}; i += 2)); do
    name=${commands[i]}
    start=$(date +%s%N)
    /usr/bin/time -f '%M %e %U %S' -o "$out/rss.tmp" ${commands[i + 1]} >/dev/null 2>&1 || { echo "$name failed"; exit 1; }
    end=$(date +%s%N)
    [ "$r" -eq 0 ] && continue
    times[$name]+="$(((end - start) / 1000)) "
    read -r rss wall user sys < <(tail -1 "$out/rss.tmp")
    [ "$rss" -gt "${peak[$name]:-0}" ] && peak[$name]=$rss
    # Processor time per wall time: above 1 when an import took its worker thread (it does
    # only when a core is free as it starts).
    cpu[$name]+="$(echo "($user + $sys) / ($wall + 0.001)" | bc -l | cut -c1-4) "
  done
done
rm -f "$out/rss.tmp"
echo "command,median_s,peak_rss_kb,runs_us" >"$out/dxf-full-bench.csv"
for ((i = 0; i < ${#commands[@]}; i += 2)); do
  n=${commands[i]}
  median[$n]=$(tr ' ' '\n' <<<"${times[$n]}" | grep . | sort -n |
    awk '{a[NR] = $1} END {printf "%.6f", (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2) / 1e6}')
  echo "$n,${median[$n]},${peak[$n]},${times[$n]}" >>"$out/dxf-full-bench.csv"
done

echo
echo "Full DXF import, $runs runs, medians ($(stat -c %s "$faces") and $(stat -c %s "$pface") bytes):"
printf '%-16s %10s %14s  %s\n' command "median s" "peak RSS MB" "processor/wall time per round"
for ((i = 0; i < ${#commands[@]}; i += 2)); do
  n=${commands[i]}
  printf '%-16s %10.3f %14.1f  %s\n' "$n" "${median[$n]}" "$(echo "${peak[$n]} / 1024" | bc -l)" "${cpu[$n]}"
done
# Ratios are the medians of the ratios within each round, which a drifting load disturbs least.
ratio() {
  paste -d' ' <(tr ' ' '\n' <<<"${times[$1]}" | grep .) <(tr ' ' '\n' <<<"${times[$2]}" | grep .) |
    awk '{print $1 / $2}' | sort -g | awk '{a[NR] = $1} END {print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2)}'
}
echo
echo "ratios (median of the per-round ratios):"
printf 'full-3dface / default-3dface  %6.2f  (target 1.25 or less)\n' "$(ratio full-3dface default-3dface)"
printf 'full-pface / assimp-pface     %6.2f  (target 0.35 or less)\n' "$(ratio full-pface assimp-pface)"
printf 'full-pface / floor-pface      %6.2f  (target 3 or less)\n' "$(ratio full-pface floor-pface)"
printf 'peak memory of full-pface     %6.0f MB (target 300 or less)\n' "$(echo "${peak[full-pface]} / 1024" | bc -l)"
