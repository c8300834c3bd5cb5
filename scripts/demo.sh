#!/usr/bin/env bash
# The demo: installs what is missing, builds the plug-in and the simulated
# host (Release, build-demo/), registers the plug-in in a fresh host home and
# builds a copy of the demo project through the host as the Halvex IDE does:
# the build's events and the plug-in's export (the demo's marker file makes
# the plug-in compile the web pages with the build). Then it lists the web
# file tree that came out and shows the start of one data page.
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
project="$HALVEX_HOME/demo"
cp -r "$top/examples/demo" "$project"

echo "== halvex register"
"$halvex" register "$library"
echo "== halvex build $project"
status=0
"$halvex" build "$project" || status=$?

send="$project/SendRoot"
echo "== the web file tree ($send)"
if [[ -d "$send" ]]; then
  (cd "$send" && find . -type f -printf '%-24P %7s bytes\n' | sort)
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
exit "$status"
