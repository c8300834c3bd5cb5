#!/usr/bin/env bash
# Fails when a tracked C++ file includes a header of a top-level folder that its
# own folder may not include (scripts/layers.txt), naming the file, the line
# and the include; also when a folder with C++ files has no row in the table.
#   scripts/check-layers.sh [TABLE]   another table (an absolute path) instead
set -euo pipefail
cd "$(dirname "$0")/.."
table=${1:-scripts/layers.txt}
git ls-files '*.cpp' '*.h' '*.c' '*.inc' |
  xargs grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' /dev/null |
  awk -v table="$table" '
    BEGIN {
      while ((getline line < table) > 0) {
        sub(/#.*/, "", line)
        n = split(line, word, /[[:space:]]+/)
        first = (word[1] == "") ? 2 : 1
        if (first > n || word[first] == "") continue
        folder = word[first]
        known[folder] = 1
        allowed[folder, folder] = 1
        for (i = first + 1; i <= n; i++) if (word[i] != "") allowed[folder, word[i]] = 1
        rows[folder] = 1
      }
      failed = 0
    }
    {
      # file:line:#include "path"
      file = $0; sub(/:.*/, "", file)
      rest = substr($0, length(file) + 2)
      line = rest; sub(/:.*/, "", line)
      path = rest; sub(/^[^"]*"/, "", path); sub(/".*/, "", path)
      split(file, part, "/")
      from = part[1]
      if (!(from in known)) {
        if (!(from in unlisted)) {
          printf "%s: folder %s has no row in %s\n", file, from, table
          unlisted[from] = 1
          failed = 1
        }
        next
      }
      if (index(path, "/") == 0) next
      split(path, target, "/")
      to = target[1]
      if (!(to in known) || allowed[from, "*"] || allowed[from, to]) next
      printf "%s:%s: includes \"%s\": %s/ may not include %s/ (%s)\n", file, line, path, from, to, table
      failed = 1
    }
    END { exit failed }'
