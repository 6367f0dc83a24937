#!/usr/bin/env bash
# POV-Ray scenes and pictures through vorla-cli, and what they leave on disk.
# usage: pov_case.sh CLI CASE SOURCE_DIR [MAKE_POV_MODELS PNG_CHECK]
set -u
cli=$1 case=$2 src=$3 make_models=${4:-} png_check=${5:-}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
golden=$src/tests/golden/pov

# Compares a written scene with its golden file (UPDATE_GOLDEN=1 rewrites the golden file).
same_as_golden() {
  if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then cp "$1" "$2"; else diff -u "$2" "$1" || fail "scene differs from $2"; fi
}

# Temporary folders of the render go here, so the cases can see that none is left behind.
mkdir "$dir/tmp"
export TMPDIR=$dir/tmp

case $case in
export)
  # The plain scene of the bundled model, written in a decimal-comma locale.
  LC_ALL=de_DE.UTF-8 "$cli" convert "$src/examples/boxes.vrl" "$dir/boxes.pov" --width 800 --height 600 ||
    fail "exit status $?"
  same_as_golden "$dir/boxes.pov" "$golden/boxes-export.pov"
  ;;
export-renders)
  # An exported scene is one POV-Ray renders without errors.
  "$cli" convert "$src/examples/boxes.vrl" "$dir/boxes.pov" --width 32 --height 24 || fail "exit status $?"
  (cd "$dir" && povray +Iboxes.pov +W32 +H24 -D +Oboxes.png +FN) >"$dir/log" 2>&1 || { cat "$dir/log"; fail "povray"; }
  [ -s "$dir/boxes.png" ] || fail "no picture"
  ;;
render-scene)
  # The rendering scene with the sun moved by every scene option; options before the files.
  "$cli" convert --render --season summer --hour 15.5 --north -30 --latitude 35.5 --width 320 --height 240 \
    "$src/examples/boxes.vrl" "$dir/BOXES.POV" || fail "exit status $?"
  same_as_golden "$dir/BOXES.POV" "$golden/boxes-render.pov"
  ;;
png)
  # POV-Ray renders a picture of the requested size: sky at the top, ground at the bottom.
  "$make_models" sky-ground "$dir/m.vrl" || fail "make-pov-models"
  "$cli" convert "$dir/m.vrl" "$dir/m.png" --width 64 --height 48 --pitch 10 || fail "exit status $?"
  "$png_check" "$dir/m.png" 64 48 || fail "picture"
  [ -z "$(ls -A "$dir/tmp")" ] || fail "temporary files left: $(ls -A "$dir/tmp")"
  ;;
png-failure)
  # A scene POV-Ray cannot parse: its message, exit status 1, OUT neither made nor replaced.
  "$make_models" bad-texture "$dir/m.vrl" || fail "make-pov-models"
  "$cli" convert "$dir/m.vrl" "$dir/m.png" --width 64 --height 48 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "^vorla-cli: $dir/m.png: POV-Ray failed (exit status [0-9]*): .*Parse Error" "$dir/err" ||
    { cat "$dir/err"; fail "message"; }
  [ ! -e "$dir/m.png" ] || fail "a picture was left"
  echo keep >"$dir/old.png"
  "$cli" convert "$dir/m.vrl" "$dir/old.png" 2>/dev/null
  [ "$(cat "$dir/old.png")" = keep ] || fail "OUT was replaced"
  [ -z "$(ls -A "$dir/tmp")" ] || fail "temporary files left: $(ls -A "$dir/tmp")"
  ;;
png-no-mesh)
  # A model without faces, or with every layer hidden, renders sky and ground.
  for kind in empty hidden; do
    "$make_models" $kind "$dir/$kind.vrl" || fail "make-pov-models"
    "$cli" convert "$dir/$kind.vrl" "$dir/$kind.png" --width 64 --height 48 --pitch 10 || fail "$kind: exit status $?"
    "$png_check" "$dir/$kind.png" 64 48 2 || fail "$kind: picture"
  done
  ;;
png-walk)
  # Switching to walk-through keeps the picture: the same camera, placed the other way.
  "$make_models" sky-ground "$dir/m.vrl" || fail "make-pov-models"
  for mode in orbit walk; do
    extra=(); [ $mode = walk ] && extra=(--walk)
    "$cli" convert "$dir/m.vrl" "$dir/$mode.png" --width 160 --height 120 --pitch 10 --yaw 20 \
      --offset 3000,-2000,-90000 "${extra[@]}" || fail "$mode: exit status $?"
  done
  "$png_check" same "$dir/orbit.png" "$dir/walk.png" 40 || fail "walk-through picture"
  ;;
sun-study)
  # A plan from above, north up: the box's shadow falls west in the morning and east in the
  # afternoon; every picture and the contact sheet are written.
  "$make_models" sun-study "$dir/m.vrl" || fail "make-pov-models"
  "$cli" sun-study "$dir/m.vrl" "$dir/out" --from 8 --to 16 --step 4 --pitch 90 --yaw 0 --parallel \
    --width 96 --height 72 2>"$dir/err" || { cat "$dir/err"; fail "exit status"; }
  [ "$(cd "$dir/out" && ls)" = "$(printf 'hour-08.00.png\nhour-12.00.png\nhour-16.00.png\nsun-study.png')" ] ||
    fail "files: $(ls "$dir/out")"
  [ "$("$png_check" shadow-side "$dir/out/hour-08.00.png")" = west ] || fail "morning shadow not west"
  [ "$("$png_check" shadow-side "$dir/out/hour-16.00.png")" = east ] || fail "afternoon shadow not east"
  [ -z "$(ls -A "$dir/tmp")" ] || fail "temporary files left: $(ls -A "$dir/tmp")"
  ;;
sun-study-failures)
  # An output folder that cannot be made is reported before POV-Ray ever starts.
  mkdir "$dir/bin"
  printf '#!/bin/sh\ntouch "%s/started"\nexit 1\n' "$dir" >"$dir/bin/povray"
  chmod +x "$dir/bin/povray"
  "$make_models" bad-texture "$dir/m.vrl" || fail "make-pov-models"
  echo file >"$dir/file"
  PATH="$dir/bin:$PATH" "$cli" sun-study "$dir/m.vrl" "$dir/file" --width 32 --height 24 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "^vorla-cli: $dir/file: cannot create the folder" "$dir/err" || { cat "$dir/err"; fail "folder message"; }
  [ ! -e "$dir/started" ] || fail "POV-Ray was started"
  # A picture POV-Ray fails on stops the series, naming it, with POV-Ray's message; no sheet.
  "$cli" sun-study "$dir/m.vrl" "$dir/out" --from 10 --to 11 --width 32 --height 24 2>"$dir/err"
  [ $? -eq 1 ] || fail "exit status should be 1"
  grep -q "^vorla-cli: $dir/out/hour-10.00.png: POV-Ray failed (exit status [0-9]*): .*Parse Error.*; the series stops here" \
    "$dir/err" || { cat "$dir/err"; fail "failure message"; }
  [ ! -e "$dir/out/sun-study.png" ] || fail "a contact sheet was written"
  [ -z "$(ls -A "$dir/tmp")" ] || fail "temporary files left: $(ls -A "$dir/tmp")"
  ;;
*) fail "unknown case $case" ;;
esac
