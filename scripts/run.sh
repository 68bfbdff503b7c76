#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the demo installation, with the
# installation simulator playing the demo's interface module on 127.0.0.1:17481 and its camera on
# 127.0.0.1:17482.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
bin="$PWD/build/bin"

# A first start opens the demo project.
if [[ ! -f "$bin/Dev Project.txt" ]]; then
  printf '[QAP Path]\r\n%s\r\n[QVP Path]\r\n%s\r\n[Last Files]\r\n%s\r\n[PORT]\r\n0000\r\n[OpenLastFile]\r\n01%s|\r\n' \
    "$bin/Data" "$bin/Data" "$bin/Data/demo.qvp" "$bin/Data/demo.qvp" > "$bin/Dev Project.txt"
fi

"$bin/quelnor-sim" --export "$bin/Data/demo.qap" --serial "$bin/Ports/COM3" --camera 17482 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: starting the program in a virtual one (xvfb-run)."
  xvfb-run -a -s "-screen 0 1280x900x24" "$bin/visual-quelnor"
else
  "$bin/visual-quelnor"
fi
