#!/usr/bin/env bash
# Makes the README's pictures from a build of halvex and the plug-in (the
# demo's build-demo/, or any other), on a fresh copy of the demo project:
#   docs/designer.png            the designer window, as halvex open --snapshot paints it;
#   docs/page.png                the page "Overview" in headless chromium, served by the
#                                simulated PLC's web server (halvex serve) with the
#                                project's preset values, the operator logged in;
#   docs/designer-on-screen.png  the designer under Xvfb asking before it deletes a page
#                                (a screen of tests/gui/designer-on-screen.sh).
#   scripts/readme-pictures.sh [BUILD]          (default: build-demo)
# With --check it writes docs/ nothing: it makes the pictures anew, compares
# them pixel by pixel with those of docs/ and names each that differs (exit
# code 1 then):
#   scripts/readme-pictures.sh --check [BUILD]
# Needs chromium, node with the packages of tests/browser and, for the screen,
# Xvfb, xdotool, xclip, xwd and ImageMagick
# (scripts/packages.txt).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
check=0
if [[ "${1:-}" == "--check" ]]; then
  check=1
  shift
fi
build=$(realpath "${1:-$top/build-demo}")
halvex="$build/host/cli/halvex"
library="$build/plugin/libtarnwell.so"
for file in "$halvex" "$library"; do
  [[ -f "$file" ]] || { echo "readme-pictures.sh: no $file (build halvex and tarnwell first)" >&2; exit 2; }
done

work=$(mktemp -d)
docs="$top/docs"
[[ $check == 1 ]] && docs="$work/docs" && mkdir "$docs"
server=""
cleanup() {
  [[ -n "$server" ]] && kill "$server" 2> /dev/null && wait "$server" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HALVEX_HOME="$work/home"
mkdir -p "$HALVEX_HOME"
"$halvex" register "$library" > "$work/register.log" || { cat "$work/register.log"; exit 1; }

# The designer window on a copy of the demo as it comes.
cp -r "$top/examples/demo" "$work/designer"
"$halvex" open "$work/designer" --command Tarnwell --snapshot "$docs/designer.png" > "$work/open.log" ||
  { cat "$work/open.log"; exit 1; }

# The page, built and served with the preset values.
cp -r "$top/examples/demo" "$work/demo"
"$halvex" build "$work/demo" > "$work/build.log" || { cat "$work/build.log"; exit 1; }
# The log is there before the server starts: the loop below may read it
# before the background job has opened it.
: > "$work/serve.log"
"$halvex" serve "$work/demo" --port 0 >> "$work/serve.log" 2>&1 &
server=$!
url=""
for ((i = 0; i < 100; i++)); do
  url=$(sed -n 's/.* at \(http:[^ ]*\) .*/\1/p' "$work/serve.log")
  [[ -n "$url" ]] && break
  kill -0 "$server" 2> /dev/null || { cat "$work/serve.log"; exit 1; }
  sleep 0.1
done
[[ -n "$url" ]] || { echo "halvex serve did not start"; exit 1; }
# The operator logs in and the page shows the PLC's answers (puppeteer-core of
# the browser tests: scripts/setup.sh installs it).
node "$top/tests/browser/readme-page.mjs" "$url" "$docs/page.png" chromium > "$work/page.log" ||
  { cat "$work/page.log"; exit 1; }

# The designer on the screen.
bash "$top/tests/gui/designer-on-screen.sh" "$halvex" "$library" "$top/examples/demo" "$work/screens" > "$work/gui.log" ||
  { cat "$work/gui.log"; exit 1; }
# Without the time chunks, so that an unchanged screen gives the same file.
convert "$work/screens/"*-question.png -define png:exclude-chunks=date,time "$docs/designer-on-screen.png"
pictures=(designer.png page.png designer-on-screen.png)
if [[ $check == 0 ]]; then
  echo "written: ${pictures[*]/#/$docs/}"
  exit 0
fi
differ=0
for name in "${pictures[@]}"; do
  # The number of pixels that differ ("compare" exits with 1 when any does).
  pixels=$(compare -metric AE "$docs/$name" "$top/docs/$name" null: 2>&1 || true)
  if [[ "$pixels" == "0" ]]; then
    echo "docs/$name: as the script makes it"
  else
    echo "docs/$name: differs from what the script makes ($pixels pixels differ)"
    differ=1
  fi
done
exit $differ
