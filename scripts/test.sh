#!/usr/bin/env bash
# Builds everything and runs every test on the offscreen platform (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
