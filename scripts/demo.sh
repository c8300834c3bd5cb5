#!/usr/bin/env bash
# The demo: installs what is missing, builds the plug-in and the simulated
# host (Release, build-demo/), registers the plug-in in a fresh host home
# (build-demo/home/) and builds a copy of the demo project (build-demo/demo/)
# through the host as the Halvex IDE does: the build's events and the
# plug-in's export (the demo's marker file makes the plug-in compile the web
# pages with the build). Then it lists the web file tree that came out, shows
# the start of one data page and prints the command that serves the copy.
# The copy and the host home stay for that; the next run makes them anew.
# It runs in the repository's folder: paths are printed from there.
#   scripts/demo.sh [-j N] [BUILD]
# -j N: at most N compilers at a time (without it, Ninja's default: as many as
# the cores it may use, and two more, but 3 on two cores and 2 on one).
# BUILD: a build folder that already holds halvex and the plug-in; the demo
# then neither installs nor builds and keeps its copy in BUILD/demo/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
cd "$top"
usage() {
  sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'
}
jobs=()
given=""
while (($# > 0)); do
  case $1 in
    -h|--help) usage; exit 0 ;;
    -j) (($# > 1)) || { echo "demo.sh: -j needs a number of jobs" >&2; exit 2; }
        number=$2; shift 2 ;;
    -j*) number=${1#-j}; shift ;;
    -*) echo "demo.sh: unknown option \"$1\" (scripts/demo.sh [-j N] [BUILD]; --help tells more)" >&2; exit 2 ;;
    *) [[ -z "$given" ]] || { echo "demo.sh: takes one BUILD folder, not more (\"$1\")" >&2; exit 2; }
       given=$1; shift; continue ;;
  esac
  [[ "$number" =~ ^[1-9][0-9]*$ ]] || { echo "demo.sh: -j takes a number of jobs from 1 up, not \"$number\"" >&2; exit 2; }
  ((${#jobs[@]} == 0)) || { echo "demo.sh: -j is given twice (\"${jobs[1]}\", then \"$number\"): the build takes one" >&2; exit 2; }
  jobs=(-j "$number")
done
if [[ -n "$given" && ${#jobs[@]} -gt 0 ]]; then
  echo "demo.sh: -j limits the build, but with a BUILD folder the demo builds nothing: give one of them" >&2
  exit 2
fi
build=${given:-build-demo}

if [[ -z "$given" ]]; then
  # Debian's packages only: the npm registry serves the browser tests alone.
  bash "$here/setup.sh" --no-browser-tests
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWELL_TESTS=OFF -DTARNWELL_BENCH=OFF
  cmake --build "$build" --target halvex tarnwell "${jobs[@]}"
fi

export HALVEX_HOME
HALVEX_HOME=$(realpath -m -- "$build/home")
halvex="$build/host/cli/halvex"
library="$build/plugin/libtarnwell.so"
project="$build/demo"
rm -rf "$HALVEX_HOME" "$project"
mkdir -p "$HALVEX_HOME"
cp -r examples/demo "$project"

echo "== halvex register"
"$halvex" register "$library"
echo "== halvex build $project"
status=0
"$halvex" build "$project" || status=$?

send="$project/SendRoot"
echo "== the web file tree ($send)"
if [[ -d "$send" ]]; then
  (cd "$send" && find . -type f -printf '%-28P %7s bytes\n' | sort)
  # The start page: the one whose stylesheet the index page names.
  page=$(sed -n 's/.*href="\([A-Za-z0-9_]*\)\.XSL.*/\1.XML/p' "$send/WWW/INDEX.XML" 2>/dev/null | head -n 1 || true)
  if [[ -n "$page" && -f "$send/WWW/$page" ]]; then
    echo "== a data page: WWW/$page (its first lines; the PLC's web server fills in the values)"
    head -n 12 "$send/WWW/$page"
  fi
else
  echo "(no web tree written)"
fi
echo "== exit code of the build: $status"
if ((status == 0)); then
  echo "== to see the pages in a browser, serve the copy on a free port and open the address it prints (Ctrl+C stops it):"
  echo "$halvex serve $project --port 0"
fi
exit "$status"
