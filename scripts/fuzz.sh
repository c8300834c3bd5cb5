#!/usr/bin/env bash
# Fuzzes every target of a fuzz build within a total time that scales with the cores:
#   scripts/fuzz.sh BUILD [SECONDS]
# The targets run as many at a time as the machine has cores, in as few rounds as that
# takes, each for SECONDS / rounds (at least 10 s), so that the whole run takes about
# SECONDS (default 120) and a bigger machine fuzzes each target longer. Each is seeded from tests/fuzz/corpus/<target>/
# when present and guided by the dictionary tests/fuzz/dict/<target>.dict of the format's
# markers and names, which every target must have. Fails when any target finds a crash, a
# leak or undefined behaviour; prints each target's runs and runs a second.
set -euo pipefail
build=$1
seconds=${2:-120}
top=$(cd "$(dirname "$0")/.." && pwd)
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What a target finds is kept beside the build, to become a named regression input.
findings="$build/fuzz-findings"
mkdir -p "$findings"

targets=()
for target in "$build"/tests/fuzz/fuzz_*; do
  [[ -x "$target" && -f "$target" ]] && targets+=("$target")
done
((${#targets[@]})) || { echo "no fuzz targets in $build/tests/fuzz"; exit 1; }
cores=$(nproc)
rounds=$(((${#targets[@]} + cores - 1) / cores))
each=$((seconds / rounds))
((each >= 10)) || each=10
echo "fuzzing ${#targets[@]} targets, $cores at a time, $each s each"

export top work findings each
run_one() {
  local target=$1 name
  name=$(basename "$target")
  mkdir -p "$work/$name" "$findings/$name"
  local seeds=()
  [[ -d "$top/tests/fuzz/corpus/$name" ]] && seeds+=("$top/tests/fuzz/corpus/$name")
  local dict="$top/tests/fuzz/dict/$name.dict"
  if [[ ! -f "$dict" ]]; then
    echo "missing dictionary $dict" > "$work/$name.log"
    touch "$work/$name.failed"
    return 0
  fi
  # A decoder holds at most 1 GiB for an image (imaging/DecoderLimits.h): a single allocation
  # above 1280 MB is a finding; the process as a whole may use more.
  "$target" -max_total_time="$each" -rss_limit_mb=3072 -malloc_limit_mb=1280 -max_len=65536 -timeout=20 \
    -dict="$dict" -print_final_stats=1 \
    -artifact_prefix="$findings/$name/" "$work/$name" "${seeds[@]}" > "$work/$name.log" 2>&1 ||
    touch "$work/$name.failed"
}
export -f run_one
printf '%s\n' "${targets[@]}" | xargs -P "$cores" -I{} bash -c 'run_one "$1"' _ {}

status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$work/$name.log" | grep -Eo '[0-9]+$' || echo 0)
  rate=$(grep -Eo 'stat::average_exec_per_sec: *[0-9]+' "$work/$name.log" | grep -Eo '[0-9]+$' || echo 0)
  echo "$name: $runs runs, $rate a second"
  if [[ -e "$work/$name.failed" ]]; then
    status=1
    echo "FUZZ FAILURE: $name (inputs in $findings/$name)"
    tail -50 "$work/$name.log"
  fi
done
exit $status
