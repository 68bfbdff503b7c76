#!/usr/bin/env bash
# Installs what is missing, builds, and starts on the demo installation. Until the program's main
# window exists this imports the demo export into a project with quelnor-tool and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
program=build/bin
"$program/quelnor-tool" import "$program/Data/demo.qap" "$program/Data/demo.qvp"
echo "The demo project is $program/Data/demo.qvp. The program window comes with a later version."
