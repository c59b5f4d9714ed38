#!/usr/bin/env bash
# A Windows executable of ours needs no DLL that Windows itself lacks: the C++ runtime,
# libgcc and the threads library are linked in.
#   system_dlls_only.sh <program.exe>...
set -euo pipefail
status=0
for exe in "$@"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  if [ -z "$dlls" ]; then
    echo "$exe: no imports read" >&2
    status=1
    continue
  fi
  # Windows' own libraries, and nothing of the compiler's.
  foreign=$(echo "$dlls" | grep -viE '^(kernel32|user32|gdi32|comdlg32|comctl32|winmm|shell32|shlwapi|ole32|oleaut32|advapi32|winspool\.drv|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)(\.dll)?$' || true)
  if [ -n "$foreign" ]; then
    echo "$exe needs DLLs that are not Windows' own:" >&2
    echo "$foreign" >&2
    status=1
  else
    echo "$exe: $(echo $dlls)"
  fi
done
exit $status
