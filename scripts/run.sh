#!/usr/bin/env bash
# Builds what is needed and starts the program from the project's root, where Maps/ and the help file are.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec build/app/mapwheel "$@"
