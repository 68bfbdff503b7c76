#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once as built for use, once built with
# AddressSanitizer and UndefinedBehaviorSanitizer (any error stops the test that made it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 </dev/null)
bash scripts/check-program-folder.sh build/bin
bash scripts/build.sh sanitize
# Leak checking stays off: its tracer crashes on the thread-local storage of the plug-ins Qt
# loads (a fault of the sanitizer runtime here, not of the program).
(cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 </dev/null)
bash scripts/check-program-folder.sh build-asan/bin
