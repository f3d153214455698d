#!/bin/sh
# Installs the Debian or Ubuntu packages Wispen needs to build, run, test and package, skipping
# those already present. On other systems it prints the list and stops. With "typing" it also
# installs what the outside measure of typing needs (make typing-bar, make typing-table): X
# client headers for its probe, and two other editors to compare with.
set -eu

packages="cmake ninja-build g++ make pkg-config
qt6-base-dev qt6-svg-dev qt6-qpa-plugins libqt6svg6 libgl-dev fonts-dejavu-core
xvfb x11-xserver-utils xdotool wmctrl openbox imagemagick desktop-file-utils dbus-daemon python3
at-spi2-core python3-pyatspi
dpkg-dev file lintian man-db appstream librsvg2-bin"
if [ "${1:-}" = typing ]; then
    packages="$packages libx11-dev libxtst-dev libxfixes-dev x11-utils featherpad gedit"
fi

if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
    echo "This script installs packages on Debian or Ubuntu only. Please install:" >&2
    echo $packages >&2
    exit 1
fi

missing=""
for package in $packages; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $package" ;;
    esac
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { echo "Run as root or install sudo." >&2; exit 1; }
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq $missing
