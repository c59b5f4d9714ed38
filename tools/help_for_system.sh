#!/usr/bin/env bash
# The help document in another system's wording. The help is written once for all systems,
# and as it stands it reads for Linux:
# - the Linux steps stand between the lines "<!-- linux -->" and "<!-- /linux -->";
# - the steps of the desktop programs alone (Linux and Windows, not the browser) between
#   "<!-- desktop -->" and "<!-- /desktop -->";
# - the Windows steps inside a comment between the lines "<!-- windows" and "/windows -->",
#   and the browser's likewise between "<!-- web" and "/web -->".
# This drops the Linux steps (and the desktop steps, for the browser), uncovers the chosen
# system's own and drops the other's, and stops on markers out of order or a "--" inside a
# commented part (which would end its comment early in some readers).
#   help_for_system.sh <windows|web> <zel.html> <output>
set -euo pipefail
usage() { echo "usage: help_for_system.sh <windows|web> <zel.html> <output>" >&2; exit 2; }
[ $# -eq 3 ] || usage
case $1 in windows | web) ;; *) usage ;; esac
awk -v chosen="$1" '
  function fail(why) { printf "%s:%d: %s\n", FILENAME, FNR, why > "/dev/stderr"; bad = 1; exit 1 }
  function begin(name) { if (part != "") fail("a " name " part inside a " part " part"); part = name }
  function end(name) { if (part != name) fail("the end of a " name " part that was not begun"); part = "" }
  { line = $0; sub(/^[ \t]+/, "", line); sub(/[ \t\r]+$/, "", line) }
  line == "<!-- linux -->"    { begin("linux"); next }
  line == "<!-- /linux -->"   { end("linux"); next }
  line == "<!-- desktop -->"  { begin("desktop"); next }
  line == "<!-- /desktop -->" { end("desktop"); next }
  line == "<!-- windows"      { begin("windows"); next }
  line == "/windows -->"      { end("windows"); next }
  line == "<!-- web"          { begin("web"); next }
  line == "/web -->"          { end("web"); next }
  /<!-- *\/?(linux|desktop|windows|web)|(linux|desktop|windows|web) *-->/ { fail("a marker not on a line of its own") }
  (part == "windows" || part == "web") && /--/ { fail("\"--\" in a " part " part") }
  part == "" || part == chosen || (part == "desktop" && chosen != "web") { print }
  END { if (!bad && part != "") { printf "%s: the %s part is not ended\n", FILENAME, part > "/dev/stderr"; exit 1 } }
' "$2" >"$3.new" || { rm -f "$3.new"; exit 1; }
mv "$3.new" "$3"
