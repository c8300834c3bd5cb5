#!/usr/bin/env bash
# The one command that checks everything on a fresh Debian 12 machine:
# installs what is missing, checks the layout and the layering of the folders
# (scripts/layers.txt), builds with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test alone and every suite shuffled,
# runs the communication loop's tests under ThreadSanitizer, then builds the
# fuzz targets with clang and fuzzes them for a while. Every build treats warnings as errors.
#
#   scripts/test.sh                  everything (what CI runs)
#   FUZZ_SECONDS=0 scripts/test.sh   skip the fuzzing
#
# Each build compiles only what its checks need. At the end the time of each
# step is printed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

started=$SECONDS
step_started=$SECONDS
step_times=()
# Closes the step that ran since the last call, naming it $1.
step_done() {
  step_times+=("$(printf '%6d s  %s' $((SECONDS - step_started)) "$1")")
  step_started=$SECONDS
}
report_times() {
  echo "== time of each step ($(nproc) cores)"
  printf '%s\n' "${step_times[@]}"
  printf '%6d s  in all\n' $((SECONDS - started))
}
trap report_times EXIT

bash scripts/setup.sh
step_done "setup"
bash scripts/check-format.sh
step_done "layout check"
bash scripts/check-layers.sh
step_done "layering check"

jobs=$(nproc)
build=${BUILD_DIR:-build-ci}
# -O1 with line tables only: the sanitizers' own recommendation, and half the
# compile time of -O2 -g. The benchmarks are compiled here too (not run), so that
# every program of the repository is built with warnings as errors.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWELL_SANITIZE=ON -DTARNWELL_WERROR=ON \
  -DTARNWELL_BENCH=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
cmake --build "$build" -j "$jobs"
step_done "sanitizer build"
# Every program of the build also starts with the options of
# base/sanitizer/SanitizerDefaults.cpp (for one, intercept_tls_get_addr=0: the
# runtime of GCC 12 reads a wrong range of dynamic TLS and the leak checker then
# crashes at exit about one run in a hundred; drop it with a runtime that has
# the fix). Options set here add to those or override them.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The tests' scratch folders (TMPDIR): one of this run's own on a RAM file
# system when the machine has one with room, since the tests write, rename and
# delete hundreds of thousands of files and on a disk wait for its journal
# (a quarter of the host suite's time). For root, whose tests make files
# immutable, only one that takes that flag as a disk does; else the system's.
scratch=
if [[ "$(stat -f -c %T /dev/shm 2>/dev/null)" == tmpfs ]] &&
  (($(df -Pk /dev/shm | awk 'NR == 2 { print $4 }') >= 2 * 1024 * 1024)); then
  scratch=$(mktemp -d /dev/shm/tarnwell-tests.XXXXXX)
  trap 'rm -rf "$scratch"; report_times' EXIT
  if ((EUID == 0)) && ! { touch "$scratch/probe" && chattr +i "$scratch/probe" 2>/dev/null &&
    chattr -i "$scratch/probe" && rm "$scratch/probe"; }; then
    rm -rf "$scratch"
    scratch=
  fi
fi
if [[ -n "$scratch" ]]; then
  export TMPDIR=$scratch
  echo "== the tests' temporary files in $scratch"
fi
# Each test alone (ctest starts a process a test), then each suite whole, in a
# shuffled order and twice over (the browser suite once), so that no test leans
# on another's leftovers. The leak checker runs at the end of each suite's
# process, which runs the code of every one of its tests: at the end of each
# test's own process it would only look again, at about a tenth of that step's
# time.
# The tests that are no suite's (scripts, the screen session) keep it on.
ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0 ctest --test-dir "$build" --output-on-failure -j "$jobs"
step_done "every test alone (ctest)"
bash scripts/run-suites.sh "$build" "$jobs"
step_done "every suite shuffled, twice"

# The communication loop's threads under ThreadSanitizer: a small build of
# its own with only the tests of the file transfers, the variable pass and
# the loop (target comm_tsan_tests) and the libraries under them.
tbuild=${TSAN_BUILD_DIR:-build-tsan}
cmake -S . -B "$tbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWELL_TSAN=ON -DTARNWELL_WERROR=ON \
  -DTARNWELL_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
cmake --build "$tbuild" -j "$jobs" --target comm_tsan_tests
TSAN_OPTIONS=halt_on_error=1 "$tbuild/tests/plugin/live/comm_tsan_tests" --gtest_shuffle --gtest_repeat=2
step_done "ThreadSanitizer build and run"

fuzz_seconds=${FUZZ_SECONDS:-120}
if [[ "$fuzz_seconds" != 0 ]] && [[ -n "$(ls tests/fuzz/*.cpp 2>/dev/null)" ]]; then
  fbuild=${FUZZ_BUILD_DIR:-build-fuzz}
  CC=clang CXX=clang++ cmake -S . -B "$fbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWELL_WERROR=ON \
    -DTARNWELL_FUZZ=ON -DTARNWELL_TESTS=OFF -DTARNWELL_BENCH=OFF
  cmake --build "$fbuild" -j "$jobs" --target fuzz_targets
  step_done "fuzz build"
  bash scripts/fuzz.sh "$fbuild" "$fuzz_seconds"
  step_done "fuzzing"
fi
echo "All tests passed."
