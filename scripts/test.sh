#!/usr/bin/env bash
# The one command that checks everything on a fresh Debian 12 machine:
# installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# runs every test, then builds the fuzz targets with clang and runs each for a while.
#
#   scripts/test.sh              everything (what CI runs)
#   FUZZ_SECONDS=0 scripts/test.sh   skip the fuzzing
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh

jobs=$(nproc)
build=${BUILD_DIR:-build-ci}
# -O1 with line tables only: the sanitizers' own recommendation, and half the
# compile time of -O2 -g, which keeps the whole run short on a small machine.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWELL_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
cmake --build "$build" -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash scripts/check-format.sh
# Each test alone (ctest starts a process a test), then each suite whole, in a
# shuffled order and twice over, so that no test leans on another's leftovers.
ctest --test-dir "$build" --output-on-failure -j "$jobs"
bash scripts/run-suites.sh "$build" "$jobs"

# The communication loop's threads under ThreadSanitizer: a small build of
# its own with only the tests of the file transfers, the variable pass and
# the loop (target comm_tsan_tests).
tbuild=${TSAN_BUILD_DIR:-build-tsan}
cmake -S . -B "$tbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWELL_TSAN=ON -DTARNWELL_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
cmake --build "$tbuild" -j "$jobs" --target comm_tsan_tests
TSAN_OPTIONS=halt_on_error=1 "$tbuild/tests/plugin/live/comm_tsan_tests" --gtest_shuffle --gtest_repeat=2

fuzz_seconds=${FUZZ_SECONDS:-60}
if [[ "$fuzz_seconds" != 0 ]] && [[ -n "$(ls tests/fuzz/*.cpp 2>/dev/null)" ]]; then
  fbuild=${FUZZ_BUILD_DIR:-build-fuzz}
  CC=clang CXX=clang++ cmake -S . -B "$fbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNWELL_FUZZ=ON -DTARNWELL_TESTS=OFF -DTARNWELL_BENCH=OFF
  cmake --build "$fbuild" -j "$jobs"
  bash scripts/fuzz.sh "$fbuild" "$fuzz_seconds"
fi
echo "All tests passed."
