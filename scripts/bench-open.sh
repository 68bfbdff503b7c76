#!/usr/bin/env bash
# Runs bench_open (or $BENCH, e.g. bench_burst) twice, on the offscreen platform and under a real X server (xvfb-run, xcb), so
# that the program and its plain-Qt anchor are compared where windows really reach a display.
# Extra arguments go to both runs (e.g. --benchmark_filter=OpenWithWindows).
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/bin/${BENCH:-bench_open}
[[ -x "$bench" ]] || bash scripts/build.sh
echo "== offscreen"
QT_QPA_PLATFORM=offscreen "$bench" "$@"
echo "== Xvfb (xcb)"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" "$bench" "$@"
