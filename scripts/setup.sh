#!/usr/bin/env bash
# Installs every Debian package the project needs that is not installed yet.
# Runs without a prompt and without standard input: as root directly, otherwise through sudo -n.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  mosquitto mosquitto-clients libmosquitto-dev libssl-dev openssl libqt6sql6-sqlite libsqlite3-dev libjpeg-dev libxcb1-dev
  xvfb xauth x11-apps x11-utils fonts-dejavu-core fonts-liberation imagemagick
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo -n)
else
  echo "Missing packages (${missing[*]}) and neither root nor sudo to install them." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq </dev/null
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
