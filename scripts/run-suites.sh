#!/usr/bin/env bash
# Runs every GoogleTest binary of a build once with --gtest_shuffle --gtest_repeat=2,
# from its own folder, several at a time; prints the output of each that fails.
# The browser suite is shuffled once: each of its tests drives a browser of its
# own against a server of its own, so a second pass adds minutes of the same
# browsers and no other order of anything the tests share.
#   scripts/run-suites.sh BUILD_DIR [JOBS]
set -euo pipefail
build=$1
jobs=${2:-$(nproc)}
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
export logs
# The registry and the host's files of the tests stay out of the user's home.
export HALVEX_HOME="$logs/home"
# The longest suites start first, so that the others run beside them instead
# of after them.
mapfile -t suites < <(find "$build/tests" -type f -executable -name '*_tests' |
  awk -F/ '{ print ($NF == "browser_tests" || $NF == "imaging_png_tests" ? 0 : 1) "\t" $0 }' | sort | cut -f2-)
printf '%s\n' "${suites[@]}" | xargs -P "$jobs" -I{} bash -c '
  suite={}; name=$(basename "$suite")
  repeat=2; passes=twice
  if [[ "$name" == browser_tests ]]; then repeat=1; passes=once; fi
  if (cd "$(dirname "$suite")" && "./$name" --gtest_shuffle --gtest_repeat=$repeat --gtest_brief=1) > "$logs/$name.log" 2>&1; then
    echo "shuffled $passes: $name passed"
  else
    echo "shuffled $passes: $name FAILED"; cat "$logs/$name.log"; touch "$logs/failed"
  fi'
[[ ! -e "$logs/failed" ]]
