#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake make pkg-config libjpeg-dev qt6-base-dev qt6-svg-dev qt6-image-formats-plugins qt6-qpa-plugins
          libjpeg-turbo-progs libjpeg62-turbo-dev libtiff-dev fonts-dejavu-core fonts-liberation
          xvfb openbox xdotool x11-utils imagemagick dbus at-spi2-core gir1.2-atspi-2.0 python3-gi gir1.2-gtk-3.0
          libx11-dev libxtst-dev clang-14 libclang-rt-14-dev
          dpkg-dev file desktop-file-utils appstream lintian)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
