#!/usr/bin/env bash
# Installs the Debian packages the board needs to build, run and test, and
# any further packages named on the command line (for fuzzing, say).
# Touches apt only when something is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build make pkg-config
    qt6-base-dev libgl-dev libxcb1-dev qt6-wayland librsvg2-bin
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-ipafont-gothic fonts-dejavu-core
    xvfb xdotool x11-utils imagemagick openbox weston
    dbus-daemon at-spi2-core python3-pyatspi python3-pyqt6
    desktop-file-utils ibus ibus-mozc xclip poppler-utils python3-icalendar
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
