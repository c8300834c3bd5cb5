#!/usr/bin/env bash
# Builds the benchmarks without sanitizers, runs every program side by side with its
# references (5 repetitions, medians, pinned to one core) and rewrites the tables of
# bench/README.md. The repetitions of all benchmarks of a program run in random order, so
# that a slower or faster stretch of the machine falls on both sides of a ratio alike.
#
#   bench/refresh.sh [CORE]        CORE: the processor to pin to (default: the last one)
# Environment: BENCH_BUILD_DIR (default build-bench), BENCH_FILTER (a benchmark filter).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
core=${1:-$(($(nproc) - 1))}
build=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWELL_BENCH=ON -DTARNWELL_TESTS=OFF >/dev/null
programs=(xml jpeg inflate png gif crc compile designer)
cmake --build "$build" -j "$(nproc)" --target "${programs[@]/#/bench_}"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
results=()
for p in "${programs[@]}"; do
  exe="$build/bench/$p/bench_$p"
  [[ -x "$exe" ]] || { echo "bench_$p was not built (a reference library is missing)"; continue; }
  echo "== bench_$p"
  # The compile's trees are written in memory: on this machine's disk (ext4 without a
  # journal) creating a file costs whatever was deleted in the last minutes, by any process.
  tmp=${TMPDIR:-/tmp}
  [[ $p == compile && -w /dev/shm ]] && tmp=/dev/shm
  TMPDIR=$tmp taskset -c "$core" "$exe" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true \
    --benchmark_filter="${BENCH_FILTER:-.}" --benchmark_out="$out/$p.json" --benchmark_out_format=json >/dev/null
  results+=("$out/$p.json")
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
BENCH_LOAD="$load_before before, $load_after after" \
  BENCH_MACHINE="$(nproc --all) x $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), pinned to cpu $core" \
  python3 bench/tabulate.py bench/README.md "${results[@]}"
echo "bench/README.md rewritten"
