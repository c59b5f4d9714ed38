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
# What the panel shows, how a stroke is judged and what a check row says are decided in the
# logic; a platform carries out the scene and forwards the pointer.
decisions='PanelModeOf|CharacterFontFor|CountingCircles|TracedKana|CheckTracedStroke|StrokeMatches|TracingHintOf|TracedStrokesReached|HintPulseAt|CyclePen|CheckQuestionFile|LoadCheckedPicture|SettlePicture|RowLabel'
found=$(grep -rnwE "($decisions)" "$src/platform" --include='*.h' --include='*.cpp' || true)
if [ -n "$found" ]; then
  echo "Platform code takes decisions that belong to the logic:"
  echo "$found"
  exit 1
fi
echo "layering ok"
