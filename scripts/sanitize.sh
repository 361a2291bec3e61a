#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# and runs every test there, the black-box scenarios included. Any report fails the test that caused it.
# Assumes scripts/setup.sh has installed the packages.
set -euo pipefail
cd "$(dirname "$0")/.."
here="$(pwd)"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
      -DMW_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)"

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:suppressions=$here/tests/sanitizers/asan.supp"
export LSAN_OPTIONS="suppressions=$here/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$here/tests/sanitizers/ubsan.supp"
# Slower under the sanitizers: the black-box scenarios stretch their waits by this much.
export MW_BLACKBOX_TIMEOUT_SCALE=3
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
