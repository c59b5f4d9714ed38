#!/usr/bin/env bash
# The help document in its Windows wording. The help is written once for both systems: the
# Linux steps stand between the lines "<!-- linux -->" and "<!-- /linux -->", the Windows
# steps inside a comment between the lines "<!-- windows" and "/windows -->", so the document
# as it is reads for Linux. This drops the Linux steps and uncovers the Windows ones, and
# stops on markers out of order or a "--" in a Windows part (which would end its comment
# early in some readers).
#   windows_help.sh <zel.html> <output>
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: windows_help.sh <zel.html> <output>" >&2; exit 2; }
awk '
  function fail(why) { printf "%s:%d: %s\n", FILENAME, FNR, why > "/dev/stderr"; bad = 1; exit 1 }
  { line = $0; sub(/^[ \t]+/, "", line); sub(/[ \t\r]+$/, "", line) }
  line == "<!-- linux -->"  { if (part != "") fail("a Linux part inside a " part " part"); part = "linux"; next }
  line == "<!-- /linux -->" { if (part != "linux") fail("the end of a Linux part that was not begun"); part = ""; next }
  line == "<!-- windows"    { if (part != "") fail("a Windows part inside a " part " part"); part = "windows"; next }
  line == "/windows -->"    { if (part != "windows") fail("the end of a Windows part that was not begun"); part = ""; next }
  /<!-- *\/?(linux|windows)|(linux|windows) *-->/ { fail("a marker not on a line of its own") }
  part == "windows" && /--/ { fail("\"--\" in a Windows part") }
  part != "linux" { print }
  END { if (!bad && part != "") { printf "%s: the %s part is not ended\n", FILENAME, part > "/dev/stderr"; exit 1 } }
' "$1" >"$2.new" || { rm -f "$2.new"; exit 1; }
mv "$2.new" "$2"
