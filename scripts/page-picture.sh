#!/usr/bin/env bash
# Renders one compiled page of a web tree into a PNG as a browser shows it:
# the data page through its stylesheet (xsltproc, as the browser's XSLT
# does), served on loopback from the tree's folder so that its stylesheets,
# pictures and script load, and painted by headless chromium after its
# script ran.
#   scripts/page-picture.sh SENDROOT/WWW PAGE OUTPUT.png [WIDTHxHEIGHT]
# PAGE is the data page's name without ".XML" (OVERVIEW). Needs xsltproc,
# python3 and chromium.
set -euo pipefail
www=$(cd "$1" && pwd)
page=$2
output=$(realpath -m "$3")
size=${4:-640x360}
port=18777

view="$www/VIEW-$page.HTML"
xsltproc "$www/$page.XSL" "$www/$page.XML" > "$view"
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$www" > /dev/null 2>&1 &
server=$!
trap 'kill "$server"; rm -f "$view"' EXIT
sleep 1
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size="${size/x/,}" \
  --virtual-time-budget=3000 --screenshot="$output" "http://127.0.0.1:$port/VIEW-$page.HTML" 2>/dev/null
