#!/usr/bin/env bash
# Busy neighbours for measuring the tests' times on a shared machine: keeps the
# given cores busy until stopped (Ctrl-C, or a kill of its process group), so
# that scripts/test.sh or one of its steps can be timed beside them on the other
# cores (taskset -c).
#
#   scripts/neighbours.sh compilers CPUS BUILD_DIR
#       one compiler at a time on each core: the build's own compile commands
#       (BUILD_DIR/compile_commands.json), over and over, writing to /dev/null
#   scripts/neighbours.sh processes CPUS BUILD_DIR
#       half of the cores start short processes over and over (the build's
#       halvex listing its plug-ins, in a host home of its own), the other half
#       move memory (stress-ng --vm, from Debian's package stress-ng, which
#       scripts/setup.sh does not install: 512 MB each, in small pages, mapped,
#       written, read back and unmapped over and over)
#
# CPUS is a list for taskset, e.g. 2-7 or 2,3,4,5,6,7. The neighbours run in a
# process group of their own, which they end when stopped (exit code 0). Wrong
# arguments (a core the script may not run on, a range from high to low), a
# build folder without what the kind needs, or a missing stress-ng end the
# script at once with a message and exit code 2.
set -euo pipefail
usage="usage: $0 compilers|processes CPUS BUILD_DIR"
refuse() {
  echo "neighbours.sh: $1" >&2
  exit 2
}
(($# == 3)) || refuse "takes three arguments, not $# ($usage)"
kind=$1
cpus=$2
case "$kind" in
  compilers) needs=compile_commands.json ;;
  processes) needs=host/cli/halvex ;;
  *) refuse "unknown kind \"$kind\" ($usage)" ;;
esac
[[ "$cpus" =~ ^[0-9]+(-[0-9]+)?(,[0-9]+(-[0-9]+)?)*$ ]] || refuse "CPUS is a list for taskset such as 2-7, not \"$cpus\""
[[ -d "$3" ]] || refuse "no build folder $3"
build=$(cd "$3" && pwd)
[[ -e "$build/$needs" ]] || refuse "the build folder $build holds no $needs"
if [[ "$kind" == processes ]]; then
  command -v stress-ng > /dev/null || refuse "needs stress-ng (apt-get install stress-ng)"
fi
# Each core of the list, and "-" for a range from high to low.
mapfile -t cores < <(python3 -c "
import sys
for part in sys.argv[1].split(','):
    a, _, b = part.partition('-')
    print(*(range(int(a), int(b or a) + 1) or ['-']), sep='\n')" "$cpus")
((${#cores[@]} > 0)) || refuse "CPUS names no core: \"$cpus\""
# A core that taskset cannot pin to would leave its neighbour failing over
# and over, busy with nothing.
for core in "${cores[@]}"; do
  [[ "$core" != - ]] || refuse "CPUS \"$cpus\" holds a range from high to low"
  taskset -c "$core" true 2> /dev/null || refuse "CPUS \"$cpus\" names core $core, which this process may not run on (nproc: $(nproc))"
done
if (($(ps -o pgid= $$) != $$)); then exec setsid bash "$0" "$@"; fi
work=$(mktemp -d)
# Stopped (Ctrl-C, a kill): the neighbours end with the group, and the script
# with 0; the kill of the group must not turn another end's code into 0.
trap 'status=$?; trap "" TERM; kill 0 2>/dev/null; rm -rf "$work"; exit $status' EXIT
trap 'exit 0' INT TERM

# The build's compile commands, each writing its object to /dev/null.
if [[ "$kind" == compilers ]]; then
  python3 - "$build/compile_commands.json" > "$work/compiles" <<'EOF'
import json, re, shlex, sys
for entry in json.load(open(sys.argv[1])):
    command = re.sub(r' -o \S+', ' -o /dev/null', entry['command'])
    print(f"cd {shlex.quote(entry['directory'])} && {command}")
EOF
fi
compiler() {
  while :; do
    shuf "$work/compiles" | while read -r command; do taskset -c "$1" bash -c "$command" > /dev/null 2>&1 || true; done
  done
}
starter() {
  export HALVEX_HOME="$work/home-$1"
  while :; do taskset -c "$1" "$build/host/cli/halvex" plugins > /dev/null 2>&1 || true; done
}

case "$kind" in
  compilers)
    for core in "${cores[@]}"; do compiler "$core" & done
    ;;
  processes)
    half=$(((${#cores[@]} + 1) / 2))
    for core in "${cores[@]:0:half}"; do starter "$core" & done
    movers=("${cores[@]:half}")
    if ((${#movers[@]} > 0)); then
      taskset -c "$(IFS=,; echo "${movers[*]}")" stress-ng --vm "${#movers[@]}" --vm-bytes 512M \
        --vm-madvise nohugepage --quiet &
    fi
    ;;
esac
echo "neighbours ($kind) on cores $cpus: process group $$" >&2
wait
