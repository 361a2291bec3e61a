#!/usr/bin/env bash
# Builds everything and runs every test: the in-process tests on Qt's offscreen platform and the black-box
# scenarios on an X server of their own (no display needed), then all of them again on a build with the
# address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
bash scripts/sanitize.sh
