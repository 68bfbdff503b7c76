#!/usr/bin/env bash
# Fails when a library below the windows includes a Qt Widgets header.
set -u
cd "$(dirname "$0")/.."
hits=$(grep -rEn '#\s*include\s*[<"](QtWidgets/|QWidget|QMainWindow|QDialog|QApplication|QMessageBox|QLabel|QPushButton|QMenu)' \
  src/core src/comm src/model src/project src/session src/bridge 2>/dev/null)
if [[ -n "$hits" ]]; then
  echo "Qt Widgets headers below the windows:"
  echo "$hits"
  exit 1
fi
echo "no Qt Widgets header in src/core, src/comm, src/model, src/project, src/session, src/bridge"
