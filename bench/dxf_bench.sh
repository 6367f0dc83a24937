#!/usr/bin/env bash
# DXF import and export of vorla-cli against dxflib, assimp and the floor (reading the file in
# 1 MiB blocks and finding its lines), all in one run on the same generated file.
# usage: bash bench/dxf_bench.sh [FACES]     (default 1000000 faces, about 240 MB of DXF)
# Results: medians and ratios on stdout and in bench/out/dxf-bench.csv; peak memory from
# /usr/bin/time -v. RUNS=N sets the number of timed runs per command (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
faces=${1:-1000000}
runs=${RUNS:-5}

need=(libdxflib-dev libassimp-dev hyperfine time bc pkg-config cmake ninja-build)
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
args=()
for ((i = 0; i < ${#commands[@]}; i += 2)); do args+=(-n "${commands[i]}" "${commands[i + 1]}"); done
hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$out/dxf-bench.csv" "${args[@]}" >"$out/dxf-bench.log" 2>&1 ||
  { cat "$out/dxf-bench.log"; exit 1; }

declare -A median peak
while IFS=, read -r name _mean _sd med _rest; do
  [ "$name" = command ] || median[$name]=$med
done <"$out/dxf-bench.csv"
for ((i = 0; i < ${#commands[@]}; i += 2)); do
  peak[${commands[i]}]=$(/usr/bin/time -v ${commands[i + 1]} 2>&1 >/dev/null | awk -F': ' '/Maximum resident/ {print $2}')
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
ratio() { echo "${median[$1]} / ${median[$2]}" | bc -l; }
echo
printf 'assimp / vorla-import        %6.2f  (target 4 or more)\n' "$(ratio assimp vorla-import)"
printf 'dxflib / vorla-import        %6.2f  (target 14 or more)\n' "$(ratio dxflib vorla-import)"
printf 'vorla-import / floor         %6.2f  (target 3 or less)\n' "$(ratio vorla-import floor)"
printf 'vorla-import-only / floor    %6.2f\n' "$(ratio vorla-import-only floor)"
printf 'export MB/s (disk, fsync)    %6.0f  (target 200 or more)\n' "$(echo "$size_out / ${median[vorla-export]} / 1000000" | bc -l)"
printf 'export MB/s (tmpfs)          %6.0f\n' "$(echo "$size_out / ${median[vorla-export-tmpfs]} / 1000000" | bc -l)"
