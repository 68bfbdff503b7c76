#!/usr/bin/env bash
# After the tests: the program folder holds what the build put there, nothing a test wrote
# (backups, old-version copies, projects). Lists what is not its own and fails.
set -euo pipefail
bin="${1:-build/bin}"
extra=$(cd "$bin" && find Data OldVersion -mindepth 1 \( -type f -o -type l \) 2>/dev/null \
        | grep -v -x -e 'Data/demo.qap' -e 'Data/demo.qvp' || true)
if [[ -n "$extra" ]]; then
  echo "The tests left files in the program folder $bin:" >&2
  echo "$extra" >&2
  exit 1
fi
