#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs: the program folder
# with its executables and pictures, the program on the PATH, the desktop entry, the icon and the
# two file types, which a double-clicked project or export resolves to.
set -eu
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
fail() { echo "install: $*"; exit 1; }
program="$prefix/lib/visual-quelnor"
for f in visual-quelnor quelnor-tool quelnor-sim quelnor-bridge libqnet.so "Default Images/QUELNOR.ico" "Image Control/jnail.bmp" \
         "Data/demo.qvp" "Data/demo.qap"; do
  [[ -e "$program/$f" ]] || fail "missing $f"
done
for f in OldVersion Ports "Imported Pictures" "Data/Backup File"; do [[ -d "$program/$f" ]] || fail "missing folder $f"; done
# The folders the program writes into are installed empty, the data folder with the demo alone,
# whatever the tests or a run from the build folder left there.
for f in OldVersion Ports "Data/Backup File"; do [[ -z "$(ls -A "$program/$f")" ]] || fail "$f is not empty"; done
[[ "$(cd "$program/Data" && ls -A | sort | tr '\n' ' ')" == "Backup File demo.qap demo.qvp " ]] || fail "Data holds more than the demo"
[[ "$(readlink -f "$prefix/bin/visual-quelnor")" == "$(readlink -f "$program/visual-quelnor")" ]] || fail "bin/visual-quelnor is not the program"
ls "$program" | grep -q _tests && fail "test programs installed"
unit="$prefix/lib/systemd/system/quelnor-bridge.service"
grep -q "^ExecStart=.*/lib/visual-quelnor/quelnor-bridge " "$unit" || fail "the bridge's systemd unit"
desktop="$prefix/share/applications/visual-quelnor.desktop"
grep -qx 'Exec=visual-quelnor %f' "$desktop" || fail "desktop entry does not open a file"
grep -qx 'MimeType=application/x-quelnor-project;application/x-quelnor-export;' "$desktop" || fail "desktop entry types"
[[ -f "$prefix/share/icons/hicolor/scalable/apps/visual-quelnor.svg" ]] || fail "icon"
mime="$prefix/share/mime/packages/visual-quelnor.xml"
grep -q 'glob pattern="\*.qvp"' "$mime" && grep -q 'glob pattern="\*.qap"' "$mime" || fail "file types"
# Where the desktop's own tools are there, a project is recognised by its name and by its content.
if command -v update-mime-database > /dev/null && command -v gio > /dev/null; then
  update-mime-database "$prefix/share/mime" > /dev/null 2>&1
  work=$(mktemp -d)
  trap 'rm -rf "$prefix" "$work"' EXIT
  printf 'Version prj\r\n*[04]*****\r\n' > "$work/house.qvp"
  printf 'Version prj\r\n*[04]*****\r\n' > "$work/house-without-extension"
  printf 'Quelnor configuration export\r\n' > "$work/house.qap"
  type() { XDG_DATA_DIRS="$prefix/share:/usr/share" gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
  [[ "$(type "$work/house.qvp")" == application/x-quelnor-project ]] || fail "a .qvp is not a project"
  [[ "$(type "$work/house-without-extension")" == application/x-quelnor-project ]] || fail "a project's content is not recognised"
  [[ "$(type "$work/house.qap")" == application/x-quelnor-export ]] || fail "a .qap is not an export"
fi
echo "installed and checked in a temporary prefix"
