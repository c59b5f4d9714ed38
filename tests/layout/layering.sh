#!/usr/bin/env bash
# The logic and the edge modules below it never reach up into the platform or into Qt:
# only src/platform/ talks to Qt and SDL.
set -euo pipefail
src=${1:?source directory}
found=$(grep -rnE '#include\s*[<"](Q[A-Za-z]*|qt[a-z]*/|SDL[^>]*|platform/)' "$src" \
  --include='*.h' --include='*.cpp' | grep -v "^$src/platform/" || true)
if [ -n "$found" ]; then
  echo "Outside src/platform/, these include Qt, SDL or platform code:"
  echo "$found"
  exit 1
fi
echo "layering ok"
