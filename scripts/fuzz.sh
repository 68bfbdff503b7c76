#!/usr/bin/env bash
# Runs every fuzz target under libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer for
# SECONDS seconds each (60 by default), two at a time, starting from the seed corpora in
# fuzz/corpus. What a run finds that covers something new is merged back into the seed corpus;
# a crash leaves its input in build-fuzz/findings/<target>/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/setup.sh
if [[ ! -f build-fuzz/CMakeCache.txt ]]; then
  generator=()
  command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
  CXX=clang++ cmake -S . -B build-fuzz "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELNOR_FUZZ=ON \
    -DBUILD_TESTING=OFF -DQUELNOR_BENCH=OFF </dev/null
fi
targets=(export_import project_reader wire session settings mjpeg)
cmake --build build-fuzz --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}" </dev/null

export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
run() {
  local target="$1" work="build-fuzz/work/$1" findings="build-fuzz/findings/$1"
  mkdir -p "$work" "$findings"
  local status=0
  "build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536 \
    -artifact_prefix="$findings/" -print_final_stats=1 "$work" "fuzz/corpus/$target" \
    >"build-fuzz/$target.log" 2>&1 || status=$?
  # Only inputs that reach something the seeds do not are kept.
  "build-fuzz/bin/fuzz_$target" -merge=1 "fuzz/corpus/$target" "$work" >>"build-fuzz/$target.log" 2>&1 || true
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "build-fuzz/$target.log" | sed "s/^/$target: /"
  return "$status"
}
failed=0
pids=()
for target in "${targets[@]}"; do
  run "$target" & pids+=($!)
  if (( ${#pids[@]} >= 2 )); then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
if (( failed )); then
  echo "A fuzz target failed: see build-fuzz/*.log and build-fuzz/findings/." >&2
fi
exit "$failed"
