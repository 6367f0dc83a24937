#!/usr/bin/env bash
# Inputs that never end or do not fit: devices are refused, pipes are read to their end, and a
# model larger than the memory allowed fails with a message instead of a crash.
# usage: limits_case.sh CLI CASE SOURCE_DIR
set -u
cli=$1 case=$2 src=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/err" ] && cat "$dir/err"; exit 1; }
# Writes file $1 into the named pipe $2 in the background; gives up after 20 s without a reader.
feed() { timeout 20 sh -c 'cat "$1" >"$2"' sh "$1" "$2" 2>/dev/null & }

case $case in
device)
  # /dev/zero under a model or drawing name: refused at once, not read for ever.
  for name in zero.dxf zero.vrl; do
    ln -s /dev/zero "$dir/$name"
    timeout 20 "$cli" info "$dir/$name" >/dev/null 2>"$dir/err"
    [ $? -eq 1 ] || fail "$name: exit status should be 1"
    grep -q "$name: it is a device, not a file" "$dir/err" || fail "$name: message"
  done
  ;;
pipe)
  # A named pipe is read to its end, as a file with the same bytes.
  "$cli" info "$src/tests/data/dxf/faces.dxf" >"$dir/want" 2>/dev/null || fail "info of the file"
  mkfifo "$dir/pipe.dxf"
  feed "$src/tests/data/dxf/faces.dxf" "$dir/pipe.dxf"
  timeout 20 "$cli" info "$dir/pipe.dxf" >"$dir/got" 2>"$dir/err" || fail "info of the pipe"
  # All but the first line, which names the file.
  diff -u <(tail -n +2 "$dir/want") <(tail -n +2 "$dir/got") || fail "the pipe reads differently"
  mkfifo "$dir/pipe.vrl"
  feed "$src/examples/boxes.vrl" "$dir/pipe.vrl"
  timeout 20 "$cli" convert "$dir/pipe.vrl" "$dir/copy.vrl" 2>"$dir/err" || fail "convert of the pipe"
  cmp "$src/examples/boxes.vrl" "$dir/copy.vrl" || fail "the model read from a pipe differs"
  ;;
memory)
  # 3.3 million faces of 9 bytes each ("0", "3DFACE", corners carried over) need about
  # 580 MB as faces; with 400 MB of address space the import stops cleanly.
  { printf '0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\n0\n11\n5\n'; yes $'0\n3DFACE' | head -c 30000000; } >"$dir/dense.dxf"
  (ulimit -v 400000 && "$cli" convert "$dir/dense.dxf" "$dir/out.vrl") 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "dense.dxf: cannot read: not enough memory for more than [0-9]* faces" "$dir/err" || fail "message"
  [ ! -e "$dir/out.vrl" ] || fail "an output was written"
  # The same through a pipe, whose size is not known beforehand.
  mkfifo "$dir/pipe.dxf"
  feed "$dir/dense.dxf" "$dir/pipe.dxf"
  (ulimit -v 400000 && "$cli" info "$dir/pipe.dxf") >/dev/null 2>"$dir/err"
  [ $? -eq 1 ] || fail "pipe: exit status should be 1"
  grep -q "not enough memory for more than" "$dir/err" || fail "pipe: message"
  wait
  ;;
*)
  fail "unknown case $case"
  ;;
esac
exit 0
