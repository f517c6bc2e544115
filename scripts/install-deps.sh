#!/usr/bin/env bash
# Installs the Debian 12 packages Kelvora needs to build, run and test. Safe to run again.
set -euo pipefail
packages=(
    build-essential cmake g++ clang-format clang clang-tidy libclang-rt-14-dev python3
    qt6-base-dev qt6-serialport-dev libqt6serialport6 qt6-qpa-plugins libgl1-mesa-dev
    libgtest-dev googletest libhamlib-utils
    pkg-config liberfa-dev libeigen3-dev
    xvfb xauth x11-apps imagemagick xdotool ccache socat
    dpkg-dev lintian desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
