#!/usr/bin/env bash
# The demo: installs what is missing, builds the plug-in and the simulated
# host (Release, build-demo/), registers the plug-in in a fresh host home,
# opens the demo project with it (host switch /USELOGFILE) and prints the
# plug-in's trace log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")

bash "$here/setup.sh"
cmake -S "$top" -B "$top/build-demo" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWELL_TESTS=OFF -DTARNWELL_BENCH=OFF
cmake --build "$top/build-demo" --target halvex tarnwell

export HALVEX_HOME
HALVEX_HOME=$(mktemp -d)
trap 'rm -rf "$HALVEX_HOME"' EXIT
halvex="$top/build-demo/host/cli/halvex"
library="$top/build-demo/plugin/libtarnwell.so"
log="$(dirname "$halvex")/plugins.log"
rm -f "$log"

echo "== halvex register"
"$halvex" register "$library"
echo "== halvex plugins"
"$halvex" plugins
echo "== halvex open examples/demo /USELOGFILE"
status=0
"$halvex" open "$top/examples/demo" /USELOGFILE || status=$?
echo "== trace log ($log)"
if [[ -f "$log" ]]; then cat "$log"; else echo "(no trace log written)"; fi
exit "$status"
