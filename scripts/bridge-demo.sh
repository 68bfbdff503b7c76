#!/usr/bin/env bash
# Installs what is missing, builds, and bridges the demo installation to MQTT: a Mosquitto broker
# on 127.0.0.1:1883 (unless one already answers there), the installation simulator playing the
# demo, and quelnor-bridge publishing it with Home Assistant discovery and accepting commands.
# Watch it with:  mosquitto_sub -v -t '#'
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
bin="$PWD/build/bin"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT

if ! (exec 3<>/dev/tcp/127.0.0.1/1883) 2>/dev/null; then
  conf=$(mktemp)
  printf 'listener 1883 127.0.0.1\nallow_anonymous true\npersistence false\nlog_dest none\nuser %s\n' "$(id -un)" > "$conf"
  mosquitto -c "$conf" &
  pids+=($!)
  sleep 0.5
fi
"$bin/quelnor-sim" --export "$bin/Data/demo.qap" --serial "$bin/Ports/COM3" &
pids+=($!)
sleep 0.5
"$bin/quelnor-bridge" "$bin/Data/demo.qvp" --broker 127.0.0.1:1883 --commands
