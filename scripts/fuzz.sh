#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs one of them for SECONDS (60 if not given):
#     bash scripts/fuzz.sh fuzz_loader|fuzz_settings [SECONDS]
# It starts from the seed files in tests/fuzz/corpus/TARGET and keeps the inputs it finds worth keeping
# in build-fuzz/corpus/TARGET. A crash, leak, sanitizer report or failed check ends the run with a failure
# and leaves the input that caused it in build-fuzz/ (rerun: build-fuzz/tests/fuzz/TARGET FILE).
set -euo pipefail
cd "$(dirname "$0")/.."
here="$(pwd)"
target="${1:?usage: scripts/fuzz.sh fuzz_loader|fuzz_settings [SECONDS]}"
seconds="${2:-60}"

cmake -S . -B build-fuzz -DMW_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "$target" >/dev/null
mkdir -p "build-fuzz/corpus/$target"

# The targets write their input to a temporary file, and the settings store syncs each write to the disk:
# in memory that costs nothing.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
# Qt's threads without glib's event loop: glib frees what it keeps for a thread only as the thread ends,
# which may come just after a load has returned, as the leak check runs.
export QT_NO_GLIB=1
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:suppressions=$here/tests/sanitizers/asan.supp"
export LSAN_OPTIONS="suppressions=$here/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$here/tests/sanitizers/ubsan.supp"
# One input at a time, up to 64 KB, each given 10 s and 2 GB at most (Qt's readers may take more for a
# picture the limit allows).
"build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build-fuzz/ -print_final_stats=1 "build-fuzz/corpus/$target" "tests/fuzz/corpus/$target"
