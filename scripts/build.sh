#!/usr/bin/env bash
# Configures and builds everything into build/ (the program folder is build/bin).
# `build.sh sanitize` builds the same with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (no benchmarks, optimised lightly so that it builds and runs quickly).
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ "${1:-}" == sanitize ]]; then
  dir=build-asan
  options=(-DCMAKE_BUILD_TYPE= "-DCMAKE_CXX_FLAGS=-O1 -g1" -DQUELNOR_SANITIZE=ON -DQUELNOR_BENCH=OFF)
fi
if [[ ! -f "$dir/CMakeCache.txt" ]]; then
  cmake -S . -B "$dir" "${generator[@]}" "${options[@]}" </dev/null
fi
cmake --build "$dir" --parallel "$(nproc)" </dev/null
