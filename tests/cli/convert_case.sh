#!/usr/bin/env bash
# Conversions through vorla-cli and what they leave on disk.
# usage: convert_case.sh CLI CASE SOURCE_DIR
set -u
cli=$1 case=$2 src=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

case $case in
vrl-identity)
  # A model converts to the very same bytes, whatever the locale.
  LC_ALL=de_DE.UTF-8 "$cli" convert "$src/examples/boxes.vrl" "$dir/OUT.VRL" || fail "convert failed"
  cmp "$src/examples/boxes.vrl" "$dir/OUT.VRL" || fail "bytes differ"
  ;;
version-mismatch)
  # A foreign version string opens as the empty model, with a warning, exit status 0.
  printf '\x0fVorla_III V0.07' >"$dir/old.vrl"
  "$cli" convert "$dir/old.vrl" "$dir/new.vrl" 2>"$dir/err" || fail "exit status $?"
  grep -q "warning: the version string" "$dir/err" || fail "no warning"
  [ "$(stat -c %s "$dir/new.vrl")" -eq 120 ] || fail "not the 120-byte empty model"
  ;;
truncated-keeps-out)
  # A failed convert leaves an existing OUT as it was and creates nothing.
  head -c 300 "$src/examples/boxes.vrl" >"$dir/cut.vrl"
  echo keep >"$dir/out.vrl"
  "$cli" convert "$dir/cut.vrl" "$dir/out.vrl" 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "^vorla-cli: $dir/cut.vrl: the file ends inside" "$dir/err" || { cat "$dir/err"; fail "message"; }
  [ "$(cat "$dir/out.vrl")" = keep ] || fail "OUT was replaced"
  "$cli" convert "$dir/cut.vrl" "$dir/none.vrl" 2>/dev/null
  [ ! -e "$dir/none.vrl" ] || fail "a partial OUT was left"
  [ "$(ls -A "$dir" | wc -l)" -eq 3 ] || fail "stray files: $(ls -A "$dir")"
  ;;
unwritable-out)
  "$cli" convert "$src/examples/boxes.vrl" "$dir/missing/out.vrl" 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "^vorla-cli: $dir/missing/out.vrl: cannot create a file in" "$dir/err" || { cat "$dir/err"; fail "message"; }
  ;;
*) fail "unknown case $case" ;;
esac
