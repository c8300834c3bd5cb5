#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds each,
# two at a time, seeded from tests/fuzz/corpus/<target>/ when present and guided by the
# dictionary tests/fuzz/dict/<target>.dict of the format's markers and names, which every
# target must have. Fails when any target finds a crash, a leak or undefined behaviour.
set -euo pipefail
build=$1
seconds=${2:-60}
top=$(cd "$(dirname "$0")/.." && pwd)
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What a target finds is kept beside the build, to become a named regression input.
findings="$build/fuzz-findings"
mkdir -p "$findings"
status=0
pids=()
names=()
run_one() {
  local target=$1 name
  name=$(basename "$target")
  mkdir -p "$work/$name" "$findings/$name"
  local seeds=()
  [[ -d "$top/tests/fuzz/corpus/$name" ]] && seeds+=("$top/tests/fuzz/corpus/$name")
  local dict="$top/tests/fuzz/dict/$name.dict"
  if [[ ! -f "$dict" ]]; then
    echo "missing dictionary $dict" > "$work/$name.log"
    return 1
  fi
  # A decoder holds at most 1 GiB for an image (imaging/DecoderLimits.h): a single allocation
  # above 1280 MB is a finding; the process as a whole may use more.
  "$target" -max_total_time="$seconds" -rss_limit_mb=3072 -malloc_limit_mb=1280 -max_len=65536 -timeout=20 \
    -dict="$dict" \
    -artifact_prefix="$findings/$name/" "$work/$name" "${seeds[@]}" > "$work/$name.log" 2>&1
}
for target in "$build"/tests/fuzz/fuzz_*; do
  [[ -x "$target" ]] || continue
  run_one "$target" &
  pids+=($!)
  names+=("$(basename "$target")")
  if ((${#pids[@]} >= 2)); then
    for i in "${!pids[@]}"; do
      if ! wait "${pids[$i]}"; then status=1; echo "FUZZ FAILURE: ${names[$i]} (inputs in $findings/${names[$i]})"; tail -50 "$work/${names[$i]}.log"; fi
    done
    pids=(); names=()
  fi
done
for i in "${!pids[@]}"; do
  if ! wait "${pids[$i]}"; then status=1; echo "FUZZ FAILURE: ${names[$i]} (inputs in $findings/${names[$i]})"; tail -50 "$work/${names[$i]}.log"; fi
done
for log in "$work"/*.log; do
  [[ -f "$log" ]] && echo "$(basename "$log" .log): $(grep -Eo 'Done [0-9]+ runs' "$log" | tail -1)"
done
exit $status
