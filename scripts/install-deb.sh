#!/usr/bin/env bash
# Builds the Debian package and installs it with apt-get, which brings what it depends on. Run it as root,
# or as a user who may use sudo: apt-get then runs through sudo, and the build stays the user's.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
rm -rf build/package
cpack -G DEB -B "$PWD/build/package" --config build/CPackConfig.cmake >/dev/null
rm -rf build/package/_CPack_Packages
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get install "$(ls "$PWD"/build/package/mapwheel_*.deb)"
