#!/usr/bin/env bash
# DXF conversions through vorla-cli and what they leave on disk.
# usage: dxf_case.sh CLI CASE SOURCE_DIR
set -u
cli=$1 case=$2 src=$3
data=$src/tests/data/dxf golden=$src/tests/golden/dxf
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/err" ] && cat "$dir/err"; exit 1; }

# Compares a file with its golden copy; UPDATE_GOLDEN=1 rewrites the golden copy.
golden() {
  if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then cp "$1" "$2"; else diff -u "$2" "$1" || fail "differs from $2"; fi
}

case $case in
export-golden)
  # The text of the export, byte for byte, in a decimal-comma locale.
  LC_ALL=de_DE.UTF-8 "$cli" convert "$src/examples/boxes.vrl" "$dir/boxes.dxf" 2>"$dir/err" || fail "convert failed"
  golden "$dir/boxes.dxf" "$golden/boxes.dxf"
  ;;
round-trip)
  # Exported, imported and exported again: the same text (the model is centred already).
  "$cli" convert "$src/examples/boxes.vrl" "$dir/a.dxf" || fail "export"
  "$cli" convert "$dir/a.dxf" "$dir/b.vrl" 2>"$dir/err" || fail "import"
  grep -q "imported 32 faces on 3 layers" "$dir/err" || fail "summary"
  "$cli" convert "$dir/b.vrl" "$dir/c.DXF" || fail "export again"
  cmp "$dir/a.dxf" "$dir/c.DXF" || fail "the second export differs"
  ;;
crlf-and-locale)
  # CR LF line ends and the user's locale change nothing in the imported model.
  "$cli" convert "$data/faces.dxf" "$dir/lf.vrl" 2>"$dir/err" || fail "LF import"
  sed 's/$/\r/' "$data/faces.dxf" >"$dir/crlf.dxf"
  LC_ALL=de_DE.UTF-8 "$cli" convert "$dir/crlf.dxf" "$dir/crlf.vrl" 2>"$dir/err" || fail "CR LF import"
  cmp "$dir/lf.vrl" "$dir/crlf.vrl" || fail "models differ"
  ;;
no-faces)
  # A drawing that makes no face converts to an empty model, with a plain warning.
  printf '0\nSECTION\n2\nENTITIES\n0\nINSERT\n2\nDOOR\n0\nPOLYLINE\n0\nENDSEC\n0\nEOF\n' >"$dir/blocks.dxf"
  "$cli" convert "$dir/blocks.dxf" "$dir/empty.vrl" 2>"$dir/err" || fail "exit status $?"
  grep -q "^vorla-cli: $dir/blocks.dxf: warning: no faces imported" "$dir/err" || fail "warning"
  grep -q "skipped INSERT 1, POLYLINE 1" "$dir/err" || fail "skipped kinds"
  [ "$(stat -c %s "$dir/empty.vrl")" -eq 120 ] || fail "not the 120-byte empty model"
  ;;
unwritable-out)
  # A failed export reports the file and the reason and leaves no partial file.
  "$cli" convert "$src/examples/boxes.vrl" "$dir/missing/out.dxf" 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "^vorla-cli: $dir/missing/out.dxf: cannot create a file in" "$dir/err" || fail "message"
  ;;
full-option-anywhere)
  # --dxf-full before or after the files gives the same model; the default import of the same
  # drawing makes fewer faces and its summary names the full import.
  "$cli" convert --dxf-full "$data/poli_thick_r12.dxf" "$dir/a.vrl" 2>"$dir/err" || fail "option first"
  grep -q "imported 420 faces on 2 layers (3DFACE 1, POLYLINE 419)" "$dir/err" || fail "full summary"
  "$cli" convert "$data/poli_thick_r12.dxf" "$dir/b.vrl" --dxf-full 2>"$dir/err" || fail "option last"
  cmp "$dir/a.vrl" "$dir/b.vrl" || fail "the models differ"
  "$cli" convert "$data/poli_thick_r12.dxf" "$dir/c.vrl" 2>"$dir/err" || fail "default import"
  grep -q "imported 1 face on 1 layer; .*; the full import (--dxf-full) makes 420 faces of this file" "$dir/err" ||
    fail "hint"
  ;;
*) fail "unknown case $case" ;;
esac
