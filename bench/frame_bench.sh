#!/usr/bin/env bash
# Frame time of the view at 100,000 and 1,000,000 faces against the immediate-mode draw and the
# one-buffer floor; navigation in the real program at the same sizes (the median frame of a
# scripted 60-step orbit, against whole frames of the same run, and the time from the orbit's
# last step to the whole picture); and the time from start-up to the first frame of a
# 1,000,000-face model. All under a virtual X server (Mesa's software renderer here).
# usage: bench/frame_bench.sh [FRAMES] [ROUNDS]   (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-9}
rounds=${2:-3}
cmake --preset release >/dev/null
cmake --build --preset release --target frame-bench make-big-vrl >/dev/null
mkdir -p bench/out
[ -f bench/out/big.vrl ] || build/release/bench/make-big-vrl bench/out/big.vrl 1000000
run() { xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/frame-bench "$@" 2>&1 | grep -v XDG_RUNTIME; }
run 100000 "$frames"
run 1000000 "$((frames / 3 > 3 ? frames / 3 : 3))"
run --navigate 100000 "$rounds"
run --navigate 1000000 "$rounds"
for i in 1 2 3 4 5; do run --startup bench/out/big.vrl; done
