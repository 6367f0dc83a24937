#!/usr/bin/env bash
# DXF import and export of vorla-cli against dxflib, assimp and the floor (reading the file in
# 1 MiB blocks and finding its lines), all in one run on the same generated file.
# usage: bash bench/dxf_bench.sh [FACES]     (default 1000000 faces, about 240 MB of DXF)
# Results: medians and ratios on stdout and in bench/out/dxf-bench.csv; peak memory from
# /usr/bin/time. RUNS=N sets the number of timed rounds (default 5). BASE_CLI=PATH adds the
# import and the convert of another vorla-cli (e.g. a build of an earlier commit) to every
# round, with its ratios to the floor and to this build.
set -euo pipefail
cd "$(dirname "$0")/.."
faces=${1:-1000000}
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
cmake --build --preset release -j2 --target vorla-cli make-big-dxf dxf-floor
cmake -S bench/peers -B build/peers -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/peers -j2

out=bench/out
mkdir -p "$out"
cli=build/release/src/cli/vorla-cli
dxf=$out/big-$faces.dxf
vrl=$out/big-$faces.vrl
[ -s "$dxf" ] || build/release/bench/make-big-dxf "$dxf" "$faces"
"$cli" convert "$dxf" "$vrl"
tmp=$out
[ -d /dev/shm ] && tmp=$(mktemp -d /dev/shm/vorla-bench.XXXXXX)
trap '[ "$tmp" != "$out" ] && rm -rf "$tmp"' EXIT

commands=(
  floor "build/release/bench/dxf-floor $dxf"
  vorla-import "$cli convert $dxf $out/out.vrl"
  vorla-import-only "$cli info $dxf"
  assimp "build/peers/peer_assimp $dxf"
  dxflib "build/peers/peer_dxflib $dxf"
  vorla-export "$cli convert $vrl $out/out.dxf"
  vorla-export-tmpfs "$cli convert $vrl $tmp/out.dxf"
)
base=${BASE_CLI:-}
if [ -n "$base" ]; then
  commands+=(base-import "$base convert $dxf $out/out-base.vrl" base-import-only "$base info $dxf")
fi
# Round robin: every command once per round, so that a change in the machine's load falls on all
# of them alike; round 0 warms the page cache and is not counted.
declare -A times peak median
for ((r = 0; r <= runs; r++)); do
  for ((i = 0; i < ${#commands[@]}; i += 2)); do
    name=${commands[i]}
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$out/rss.tmp" ${commands[i + 1]} >/dev/null 2>&1 || { echo "$name failed"; exit 1; }
    end=$(date +%s%N)
    [ "$r" -eq 0 ] && continue
    times[$name]+="$(((end - start) / 1000)) "
    rss=$(tail -1 "$out/rss.tmp")
    [ "$rss" -gt "${peak[$name]:-0}" ] && peak[$name]=$rss
  done
done
rm -f "$out/rss.tmp"
echo "command,median_s,peak_rss_kb,runs_us" >"$out/dxf-bench.csv"
for ((i = 0; i < ${#commands[@]}; i += 2)); do
  n=${commands[i]}
  median[$n]=$(tr ' ' '\n' <<<"${times[$n]}" | grep . | sort -n |
    awk '{a[NR] = $1} END {printf "%.6f", (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2) / 1e6}')
  echo "$n,${median[$n]},${peak[$n]},${times[$n]}" >>"$out/dxf-bench.csv"
done

size_dxf=$(stat -c %s "$dxf")
size_out=$(stat -c %s "$out/out.dxf")
echo
echo "DXF import and export, $faces faces, $size_dxf bytes of DXF, $runs runs, medians:"
printf '%-20s %10s %14s\n' command "median s" "peak RSS MB"
for ((i = 0; i < ${#commands[@]}; i += 2)); do
  n=${commands[i]}
  printf '%-20s %10.3f %14.1f\n' "$n" "${median[$n]}" "$(echo "${peak[$n]} / 1024" | bc -l)"
done
# Ratios are the medians of the ratios within each round, which a drifting load disturbs least.
ratio() {
  paste -d' ' <(tr ' ' '\n' <<<"${times[$1]}" | grep .) <(tr ' ' '\n' <<<"${times[$2]}" | grep .) |
    awk '{print $1 / $2}' | sort -g | awk '{a[NR] = $1} END {print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2)}'
}
echo
echo "ratios (median of the per-round ratios):"
printf 'assimp / vorla-import        %6.2f  (target 4 or more)\n' "$(ratio assimp vorla-import)"
printf 'assimp / vorla-import-only   %6.2f\n' "$(ratio assimp vorla-import-only)"
printf 'dxflib / vorla-import        %6.2f  (target 14 or more)\n' "$(ratio dxflib vorla-import)"
printf 'dxflib / vorla-import-only   %6.2f\n' "$(ratio dxflib vorla-import-only)"
printf 'vorla-import / floor         %6.2f  (target 2 or less)\n' "$(ratio vorla-import floor)"
printf 'vorla-import-only / floor    %6.2f\n' "$(ratio vorla-import-only floor)"
if [ -n "$base" ]; then
  printf 'base-import / floor          %6.2f\n' "$(ratio base-import floor)"
  printf 'base-import-only / floor     %6.2f\n' "$(ratio base-import-only floor)"
  printf 'base-import / vorla-import   %6.2f\n' "$(ratio base-import vorla-import)"
  printf 'base-import-only / vorla-import-only %6.2f\n' "$(ratio base-import-only vorla-import-only)"
  cmp -s "$out/out.vrl" "$out/out-base.vrl" && echo "the two builds' .vrl files are identical" ||
    echo "THE TWO BUILDS' .vrl FILES DIFFER"
fi
printf 'export MB/s (disk, fsync)    %6.0f  (target 200 or more)\n' "$(echo "$size_out / ${median[vorla-export]} / 1000000" | bc -l)"
printf 'export MB/s (tmpfs)          %6.0f\n' "$(echo "$size_out / ${median[vorla-export-tmpfs]} / 1000000" | bc -l)"
