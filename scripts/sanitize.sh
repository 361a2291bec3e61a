#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# and runs every test there, the black-box scenarios included. Any report fails the test that caused it.
# Before them, the fuzz targets run briefly (scripts/fuzz.sh).
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
# The fuzz targets (tests/fuzz) for a short while each, from their seed files: any finding fails. The
# output goes to a log beside them, as it runs long; its last lines are shown when a target fails.
mkdir -p build-fuzz
for target in fuzz_loader fuzz_settings; do
    if ! bash scripts/fuzz.sh "$target" 25 >"build-fuzz/$target.log" 2>&1; then
        tail -n 80 "build-fuzz/$target.log"
        echo "$target: a finding; the input is in build-fuzz/, the whole output in build-fuzz/$target.log"
        exit 1
    fi
    echo "$target: $(grep -E '^Done [0-9]+ runs' "build-fuzz/$target.log"), no findings"
done

# Slower under the sanitizers: the black-box scenarios stretch their waits by this much.
export MW_BLACKBOX_TIMEOUT_SCALE=3
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
