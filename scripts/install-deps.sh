#!/usr/bin/env bash
# Installs the Debian packages a make target needs, and any further packages
# named after the group (for fuzzing, say). Touches apt only when something
# is missing.
#   install-deps.sh run|test|bench [PACKAGE...]
# run: building the board and running it; test: that, and everything the
# suite drives the board with; bench: that, and the benchmarks' tools.
set -euo pipefail

run=(
    g++ cmake ninja-build make pkg-config
    qt6-base-dev libgl-dev libxcb1-dev qt6-wayland librsvg2-bin libxlsxwriter-dev
    fonts-ipafont-gothic fonts-dejavu-core xdg-utils qt6-translations-l10n
)
# a private X server and what drives it, for the end-to-end runs and the
# start-up figures
x_tools=(xvfb xdotool x11-utils)
test=(
    libgtest-dev libgmock-dev "${x_tools[@]}" imagemagick openbox weston
    dbus-daemon at-spi2-core python3-pyatspi python3-pyqt6
    desktop-file-utils ibus ibus-mozc xclip poppler-utils python3-icalendar python3-openpyxl
    libreoffice-calc-nogui
)
bench=(libbenchmark-dev "${x_tools[@]}" python3)

group=${1:?usage: install-deps.sh run|test|bench [PACKAGE...]}
shift
case $group in
run) packages=("${run[@]}") ;;
test) packages=("${run[@]}" "${test[@]}") ;;
bench) packages=("${run[@]}" "${bench[@]}") ;;
*)
    echo "install-deps.sh: no group $group (run, test or bench)" >&2
    exit 2
    ;;
esac
packages+=("$@")

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
