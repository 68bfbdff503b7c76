#!/usr/bin/env bash
# Configures and builds everything into build/ (the program folder is build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
if [[ ! -f build/CMakeCache.txt ]]; then
  cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo </dev/null
fi
cmake --build build --parallel "$(nproc)" </dev/null
