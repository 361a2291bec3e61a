#!/usr/bin/env bash
# Runs the black-box scenarios with the program under valgrind's memcheck. Any memcheck error (an invalid
# read or write, a jump on uninitialised memory, a bad free...) fails the scenario it shows up in.
#   bash scripts/blackbox-valgrind.sh [GROUP|GROUP.SCENARIO ...]
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v valgrind >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends valgrind
fi
[ -x build/app/mapwheel ] || bash scripts/setup.sh
# Errors go to the program's error output, where the harness looks for them; the exit code says so too.
export MW_BLACKBOX_WRAPPER="valgrind --tool=memcheck --error-exitcode=99 --leak-check=no --num-callers=40
    --suppressions=$PWD/tests/blackbox/valgrind.supp"
# Regular expressions compiled to machine code at run time would be reported as jumps on unknown values.
export QT_ENABLE_REGEXP_JIT=0
export MW_BLACKBOX_TIMEOUT_SCALE="${MW_BLACKBOX_TIMEOUT_SCALE:-15}"
exec bash tests/blackbox/run.sh --app build/app/mapwheel "$@"
