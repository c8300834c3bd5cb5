#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing, then
# the browser tests' driver from the npm registry.
#   scripts/setup.sh [--no-browser-tests]
# --no-browser-tests leaves the npm registry out (the demo needs only
# Debian's packages). Runs as root (or with sudo at hand) on Debian 12.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
browser_tests=1
case "${1:-}" in
  "") ;;
  --no-browser-tests) browser_tests=0 ;;
  *) echo "setup.sh: unknown option \"$1\" (--no-browser-tests)" >&2; exit 2 ;;
esac
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == installed ]] || missing+=("$pkg")
done < "$here/packages.txt"
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

((browser_tests)) || exit 0
# The browser tests' driver (puppeteer-core) from the npm registry, exactly
# as the lock file says; Debian's nodejs comes without npm, which then comes
# from Debian's npm package.
if ! command -v npm > /dev/null; then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends npm
fi
(cd "$here/../tests/browser" && npm ci --no-audit --no-fund --loglevel=error)
