#!/usr/bin/env bash
# The editing verbs (insert, sphere) through vorla-cli and what they leave on disk. Results are
# checked with `info` against golden files (UPDATE_GOLDEN=1 rewrites them).
# usage: edit_case.sh CLI CASE SOURCE_DIR
set -u
cli=$1 case=$2 src=$3
golden=$src/tests/golden/cli
boxes=$src/examples/boxes.vrl
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Compares `info FILE` (run in the file's folder) with a golden file.
check_info() {
  (cd "$(dirname "$1")" && "$cli" info "$(basename "$1")") >"$dir/info" || fail "info failed"
  if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$dir/info" "$2"
  else
    diff -u "$2" "$dir/info" || fail "info differs from $2"
  fi
}

case $case in
sphere-new)
  # One sphere in an empty model: 80 faces, layer Object01, radius 1000.
  "$cli" sphere "$dir/sphere.vrl" || fail "exit status $?"
  check_info "$dir/sphere.vrl" "$golden/sphere-info.txt"
  ;;
sphere-smooth)
  # Per-corner normals change the normals only: same size, other bytes, same info.
  "$cli" sphere "$dir/flat.vrl" || fail "flat"
  mkdir "$dir/smooth"
  "$cli" sphere --smooth "$dir/smooth/sphere.vrl" || fail "smooth"
  [ "$(stat -c %s "$dir/flat.vrl")" -eq "$(stat -c %s "$dir/smooth/sphere.vrl")" ] || fail "sizes differ"
  ! cmp -s "$dir/flat.vrl" "$dir/smooth/sphere.vrl" || fail "the normals did not change"
  check_info "$dir/smooth/sphere.vrl" "$golden/sphere-info.txt"
  ;;
sphere-into-model)
  # The sphere is appended to a model: its faces stay first and its layers keep their values.
  LC_ALL=de_DE.UTF-8 "$cli" sphere "$boxes" "$dir/boxes-sphere.vrl" || fail "exit status $?"
  "$cli" sphere "$dir/boxes-sphere.vrl" "$dir/twice.vrl" || fail "second sphere"
  check_info "$dir/twice.vrl" "$golden/boxes-two-spheres-info.txt"
  ;;
insert-model)
  # Inserting a sphere into the example: layers merged, faces appended where they were.
  "$cli" sphere "$dir/sphere.vrl" || fail "sphere"
  "$cli" insert "$boxes" "$dir/sphere.vrl" "$dir/out.vrl" || fail "exit status $?"
  check_info "$dir/out.vrl" "$golden/boxes-insert-sphere-info.txt"
  # Twice: the faces twice, the layer once.
  "$cli" insert "$dir/out.vrl" "$dir/sphere.vrl" "$dir/out2.vrl" || fail "second insert"
  "$cli" info "$dir/out2.vrl" | grep -q "^shapes: 192$" || fail "not 32 + 2 x 80 faces"
  "$cli" info "$dir/out2.vrl" | grep -q "^layers: 4$" || fail "the layer was added twice"
  # Into an empty model: the very same file but for the 80 selection flags, now 1.
  printf '\x00' >"$dir/foreign.vrl"
  "$cli" convert "$dir/foreign.vrl" "$dir/empty.vrl" 2>/dev/null || fail "empty model"
  "$cli" insert "$dir/empty.vrl" "$dir/sphere.vrl" "$dir/selected.vrl" || fail "insert into empty"
  [ "$(cmp -l "$dir/sphere.vrl" "$dir/selected.vrl" | awk '$2 == 0 && $3 == 1' | wc -l)" -eq 80 ] ||
    fail "not only the selection flags differ"
  [ "$(cmp -l "$dir/sphere.vrl" "$dir/selected.vrl" | wc -l)" -eq 80 ] || fail "other bytes differ"
  ;;
insert-empty)
  # A model inserted into itself doubles its faces and keeps its layers.
  "$cli" insert "$boxes" "$boxes" "$dir/self.vrl" || fail "self insert"
  "$cli" info "$dir/self.vrl" | grep -q "^shapes: 64$" || fail "not 64 faces"
  "$cli" info "$dir/self.vrl" | grep -q "^layers: 3$" || fail "layers added"
  # A model without faces or layers (other scene settings, another version) changes nothing
  # of a model whose faces are unselected.
  { printf '\x14Vorla_III V0.06     \x00\x00'; head -c 40 /dev/zero; } >"$dir/empty.vrl"
  "$cli" insert "$boxes" "$dir/empty.vrl" "$dir/same.vrl" || fail "empty insert"
  cmp "$boxes" "$dir/same.vrl" || fail "inserting nothing changed the model"
  ;;
insert-truncated)
  # A damaged ADD is refused with what is wrong and where; OUT is neither made nor replaced.
  "$cli" sphere "$dir/sphere.vrl" || fail "sphere"
  head -c 1000 "$dir/sphere.vrl" >"$dir/cut.vrl"
  echo keep >"$dir/out.vrl"
  "$cli" insert "$boxes" "$dir/cut.vrl" "$dir/out.vrl" 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "^vorla-cli: $dir/cut.vrl: the file ends inside a face record (at byte [0-9]*), in face 6 of 80$" "$dir/err" ||
    { cat "$dir/err"; fail "message"; }
  [ "$(cat "$dir/out.vrl")" = keep ] || fail "OUT was replaced"
  "$cli" insert "$boxes" "$dir/cut.vrl" "$dir/none.vrl" 2>/dev/null
  [ ! -e "$dir/none.vrl" ] || fail "an OUT was left"
  ;;
insert-foreign)
  # Only model files can be inserted; a file that is not one is refused.
  printf '0\nSECTION\n2\nENTITIES\n0\nEOF\n' >"$dir/drawing.dxf"
  "$cli" insert "$boxes" "$dir/drawing.dxf" "$dir/out.vrl" 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "drawing.dxf: only model files (.vrl) can be inserted" "$dir/err" || { cat "$dir/err"; fail "message"; }
  cp "$dir/drawing.dxf" "$dir/drawing.vrl"
  "$cli" insert "$boxes" "$dir/drawing.vrl" "$dir/out.vrl" 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "^vorla-cli: $dir/drawing.vrl: .*(at byte [0-9]*)" "$dir/err" || { cat "$dir/err"; fail "message"; }
  "$cli" insert "$boxes" "$dir/missing.vrl" "$dir/out.vrl" 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "missing.vrl: No such file or directory" "$dir/err" || { cat "$dir/err"; fail "message"; }
  [ ! -e "$dir/out.vrl" ] || fail "an OUT was left"
  ;;
*) fail "unknown case $case" ;;
esac
