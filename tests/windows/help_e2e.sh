#!/usr/bin/env bash
# The help as a Windows parent opens it, under Wine, with stand-in browsers (zel_probe
# browsed) as the shell's commands: the program registered for .html files takes the
# document; with none registered (as in a fresh Wine prefix), the browser registered for web
# addresses takes the document's file: address; only when nothing takes it, or the document
# is not there, is the help said to be missing.
# Runs in the Wine prefix of tests/windows/wine_tests.sh, whose classes it changes.
#   help_e2e.sh <zel.exe> <zel_probe.exe> <sample folder> <help document>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
begin_wine_test
probe=$2
record=$work/browsed.txt
missing_title='ヘルプが みつかりません'

registry() { "$here/wine_run.sh" reg "$@" /f >/dev/null 2>&1; }
# The shell's open command of a class: the stand-in browser, writing what it was given.
stand_in() {
  registry add "HKCR\\$1\\shell\\open\\command" /ve /d \
    "\"$(winepath -w "$probe")\" browsed \"$(winepath -w "$record")\" \"%1\""
}
no_class() { registry delete "HKCR\\$1" || true; }

start_zel_window "$1" "$3"
cp "$4" "$work/run/zel.html"
document=$(winepath -w "$work/run/zel.html")

# Asks for the help and waits for what comes of it: a browser given something ("browsed: "
# and what it was given) or the missing-help box ("missing").
outcome=
ask_for_help() {
  rm -f "$record"
  "$here/wine_run.sh" "$probe" command 1212 || fail "the help command could not be given"
  answered() { [ -s "$record" ] || find_window "$missing_title"; }
  wait_until answered || fail "the help command had no outcome"
  if [ -s "$record" ]; then
    outcome="browsed: $(tr -d '\r\n' <"$record")"
    ! find_window "$missing_title" || fail "a browser took the help, and it was said missing too"
  else
    outcome=missing
    local box=$found
    focus_window "$box" || fail "the missing-help box did not take the focus"
    xdotool key Return
    box_gone() { ! find_window "$missing_title"; }
    wait_until box_gone || fail "the missing-help box did not close"
  fi
}
expect() {
  [ "$outcome" = "$1" ] || fail "$2: expected [$1], got [$outcome]"
  echo "$2: $outcome"
}

# The document's file: address, as a browser is given it.
address="file:///$(echo "$document" | tr '\\' '/' | sed 's/ /%20/g')"

# Each step changes the classes from the one before.
no_class .html
no_class .htm
stand_in https
stand_in http
ask_for_help
expect "browsed: $address" "no program for .html, a browser for https"
no_class https
ask_for_help
expect "browsed: $address" "a browser for http only"
registry add 'HKCR\.html' /ve /d zeltest.htmlfile
stand_in zeltest.htmlfile
ask_for_help
expect "browsed: $document" "a program for .html"
no_class zeltest.htmlfile
no_class .html
no_class http
ask_for_help
expect missing "no program for .html and no browser"
stand_in http
rm "$work/run/zel.html"
ask_for_help
expect missing "no document"
echo "PASS"
