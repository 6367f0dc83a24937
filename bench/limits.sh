#!/usr/bin/env bash
# Resource limits of the readers, measured: peak resident memory and time of vorla-cli on
# inputs of several GB, on inputs that claim more than they hold, and on inputs that never
# end. Each large input is generated in bench/out/limits, measured and deleted at once, so at
# most one of them (about 3.5 GB) is on the disk at a time.
# usage: bash bench/limits.sh [BIG_GB=3.5]
set -euo pipefail
cd "$(dirname "$0")/.."
big_gb=${1:-3.5}
big_bytes=$(awk -v g="$big_gb" 'BEGIN { printf "%.0f", g * 1024 * 1024 * 1024 }')

free_kb=$(df -Pk bench | awk 'NR == 2 { print $4 }')
if [ "$free_kb" -lt $((big_bytes / 1024 + 2 * 1024 * 1024)) ]; then
  echo "bench/limits.sh: needs $big_gb GB and 2 GB to spare on the disk" >&2
  exit 1
fi
cmake --preset release >/dev/null
cmake --build --preset release --target vorla-cli make-big-dxf make-big-vrl >/dev/null
cli=build/release/src/cli/vorla-cli
out=bench/out/limits
mkdir -p "$out"
trap 'rm -f "$out"/*.dxf "$out"/*.vrl "$out"/pipe' EXIT

# Runs a command under /usr/bin/time and prints: name, exit status, seconds, peak MB, and the
# last line the command printed on stderr.
measure() {
  local name=$1
  shift
  local status=0
  /usr/bin/time -v -o "$out/time" "$@" >"$out/stdout" 2>"$out/stderr" || status=$?
  local rss secs
  rss=$(awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$out/time")
  secs=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; ++i) s = s * 60 + t[i]; printf "%.1f", s }' "$out/time")
  printf '%-34s exit %s  %7s s  %6s MB  %s\n' "$name" "$status" "$secs" "$rss" "$(tail -n 1 "$out/stderr" | cut -c1-110)"
}

# Prints the pattern and a line feed, repeated, in whole copies up to N bytes (yes ends on
# SIGPIPE, which is not a failure here).
repeat() {
  local one=$((${#2} + 1))
  yes "$2" | head -c $(($1 / one * one)) || true
}

# A file's size in MB.
size() { echo "$(($(stat -c %s "$1") / 1000000)) MB"; }

echo "== DXF of $big_gb GB, nearly all of it read past (comments in HEADER, CIRCLEs in ENTITIES)"
{
  printf '0\nSECTION\n2\nHEADER\n'
  repeat $((big_bytes / 2)) $'999\nA comment line of a CAD program, kept in the header'
  printf '0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\n3DFACE\n8\nA\n10\n0\n20\n0\n11\n5\n12\n5\n22\n5\n'
  repeat $((big_bytes / 2)) $'0\nCIRCLE\n8\nB\n10\n12.5\n20\n-3.25\n30\n0\n40\n100'
  printf '0\n3DFACE\n8\nB\n10\n0\n20\n0\n11\n5\n12\n5\n22\n5\n0\nENDSEC\n0\nEOF\n'
} >"$out/skipped.dxf"
measure "info skipped.dxf ($(size "$out/skipped.dxf"))" "$cli" info "$out/skipped.dxf"
rm -f "$out/skipped.dxf"

echo "== DXF of $big_gb GB that is one line"
{ printf '0\nSECTION\n2\nENTITIES\n'; head -c "$big_bytes" /dev/zero | tr '\0' 7; } >"$out/one-line.dxf"
measure "info one-line.dxf" "$cli" info "$out/one-line.dxf"
rm -f "$out/one-line.dxf"

for faces in 1000000 4000000; do
  echo "== DXF of $faces faces as CAD programs write them"
  build/release/bench/make-big-dxf "$out/faces.dxf" "$faces"
  measure "info faces.dxf ($(size "$out/faces.dxf"), $faces faces)" "$cli" info "$out/faces.dxf"
  measure "convert to .vrl" "$cli" convert "$out/faces.dxf" "$out/faces.vrl"
  measure "info faces.vrl ($(size "$out/faces.vrl"))" "$cli" info "$out/faces.vrl"
  rm -f "$out/faces.dxf" "$out/faces.vrl"
done

echo "== Model file of 14,000,000 faces"
build/release/bench/make-big-vrl "$out/big.vrl" 14000000
measure "info big.vrl ($(size "$out/big.vrl"))" "$cli" info "$out/big.vrl"
measure "the same, address space 1 GB" bash -c "ulimit -v 1048576 && exec $cli info $out/big.vrl"
measure "insert it, address space 3 GB" bash -c "ulimit -v 3145728 && exec $cli insert examples/boxes.vrl $out/big.vrl $out/out.vrl"
rm -f "$out/big.vrl" "$out/out.vrl"

echo "== DXF of 9-byte faces (\"0\", \"3DFACE\", corners carried over): 1 GB claims 119 million faces"
{ printf '0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\n0\n11\n5\n'; repeat $((1024 * 1024 * 1024)) $'0\n3DFACE'; } >"$out/dense.dxf"
measure "info dense.dxf, address space 4 GB" bash -c "ulimit -v 4194304 && exec $cli info $out/dense.dxf"
rm -f "$out/dense.dxf"

echo "== Model files that claim more than they hold"
build/release/src/cli/vorla-cli convert examples/boxes.vrl "$out/claims.vrl" 2>/dev/null
# The face count of the example (its last 4 bytes before the faces) set to 2^31 - 1.
python3 - "$out/claims.vrl" <<'EOF'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
at = data.index(b'\xff\xff\x00\x00\x06\x00CShape') - 4
data[at:at + 4] = struct.pack('<i', 0x7FFFFFFF)
open(path, 'wb').write(data)
# A sky text that claims 4 GiB - 1 bytes and holds 100.
open(path.replace('claims', 'long-text'), 'wb').write(data[:21] + b'\xff\xff\xff' + struct.pack('<I', 0xFFFFFFFF) + b's' * 100)
EOF
measure "info claims.vrl (2^31-1 faces, 32 held)" "$cli" info "$out/claims.vrl"
measure "info long-text.vrl (4 GiB text claimed)" "$cli" info "$out/long-text.vrl"

echo "== Inputs that never end"
ln -sf /dev/zero "$out/zero.dxf"
measure "info zero.dxf -> /dev/zero" "$cli" info "$out/zero.dxf"
rm -f "$out/zero.dxf"
mkfifo "$out/pipe" && ln -sf pipe "$out/pipe.dxf"
(yes $'999\ncomment' >"$out/pipe" 2>/dev/null &)
measure "info of an endless pipe, stopped at 20 s" timeout 20 "$cli" info "$out/pipe.dxf"
rm -f "$out/pipe" "$out/pipe.dxf"
