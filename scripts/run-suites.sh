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
# of after them: each suite's cost is what its tests took in the build's last
# ctest run (ctest's cost file; the build's test lists tell which suite runs
# which test), times its passes. Suites without a cost follow, the longest
# known ones first.
costs="$build/Testing/Temporary/CTestCostData.txt"
[[ -f "$costs" ]] || costs=/dev/null
mapfile -t suites < <(
  {
    find "$build/tests" -name '*_tests.cmake' -exec cat {} + |
      awk '/^add_test\(\[=\[/ { at = index($0, "]=]  "); split(substr($0, at + 5), rest, " ")
                                 print "test\t" substr($0, 13, at - 13) "\t" rest[1] }'
    awk '$0 == "---" { exit } NF >= 3 { cost = $NF; name = $0; sub(/ [0-9]+ [^ ]+$/, "", name)
                                       print "cost\t" name "\t" cost }' "$costs"
    find "$build/tests" -type f -executable -name '*_tests' -printf 'suite\t%p\n'
  } | awk -F'\t' '
    function base(path) { n = split(path, parts, "/"); return parts[n] }
    $1 == "test" { suiteOf[$2] = base($3) }
    $1 == "cost" { cost[suiteOf[$2]] += $3 }
    $1 == "suite" {
      name = base($2); passes = name == "browser_tests" ? 1 : 2
      known = name == "host_tests" ? 3 : name == "browser_tests" ? 2 : name == "imaging_png_tests" ? 1 : 0
      printf "%012.3f\t%d\t%s\n", cost[name] * passes, known, $2
    }' | sort -r | cut -f3-)
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
