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
# The Windows API is reached only from the platform and the edge modules' Windows halves.
found=$(grep -rnE '#include\s*[<"](windows|winbase|winuser|wingdi|mmsystem|commdlg)\.h' "$src" \
  --include='*.h' --include='*.cpp' | grep -v "^$src/platform/" | grep -vE '^[^:]*_win32\.(h|cpp):' || true)
if [ -n "$found" ]; then
  echo "Outside src/platform/ and the *_win32 halves, these include the Windows API:"
  echo "$found"
  exit 1
fi
echo "layering ok"
