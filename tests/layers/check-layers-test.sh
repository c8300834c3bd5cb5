#!/usr/bin/env bash
# check-layers-test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
top=$1
work=$2
mkdir -p "$work"
fail() { echo "FAILED: $*"; exit 1; }

bash "$top/scripts/check-layers.sh" || fail "the tree breaks its own table"

# The decoders may no longer include the helpers.
sed 's/^imaging .*/imaging/' "$top/scripts/layers.txt" >"$work/no-helpers.txt"
if out=$(bash "$top/scripts/check-layers.sh" "$work/no-helpers.txt"); then fail "an include the table forbids passed"; fi
line=$(grep -n '#include "base/ScopeExit.h"' "$top/imaging/GifDecoder.cpp" | cut -d: -f1)
grep -qxF "imaging/GifDecoder.cpp:$line: includes \"base/ScopeExit.h\": imaging/ may not include base/ ($work/no-helpers.txt)" \
  <<<"$out" || fail "the file, line and include are not named: $out"

# A folder without a row is refused.
grep -v '^pictures ' "$top/scripts/layers.txt" >"$work/no-pictures.txt"
if out=$(bash "$top/scripts/check-layers.sh" "$work/no-pictures.txt"); then fail "a folder without a row passed"; fi
grep -q '^pictures/.*: folder pictures has no row in ' <<<"$out" || fail "the folder without a row is not named: $out"
echo "layering check: passed"
