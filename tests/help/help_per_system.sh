#!/usr/bin/env bash
# The help reads for each system's parent: as it stands (Linux, where the Windows and browser
# parts are comments), and as tools/help_for_system.sh makes it for the Windows installer and
# for the browser's site. Each reading has its own system's steps and none of the others',
# and every link inside it finds its place. Markers out of order stop the tool rather than
# leak one system's steps into another's help.
#   help_per_system.sh <zel.html> <help_for_system.sh>
set -euo pipefail
help=$1
tool=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# The text a reader sees: comments gone.
perl -0pe 's/<!--.*?-->//gs' "$help" >"$work/linux.html"
"$tool" windows "$help" "$work/windows.html" || fail "the Windows help could not be made"
"$tool" web "$help" "$work/web.html" || fail "the browser's help could not be made"

# has <reading> <what it is about> <text>...: each text is there.
has() {
  local reading=$1 about=$2 text
  shift 2
  for text in "$@"; do
    grep -qF -- "$text" "$work/$reading.html" || fail "the $reading help lacks $about: $text"
  done
}
# lacks <reading> <what it is about> <text>...: none is there.
lacks() {
  local reading=$1 about=$2 text
  shift 2
  for text in "$@"; do
    ! grep -qF -- "$text" "$work/$reading.html" || fail "the $reading help has $about: $text"
  done
}
linux_steps=("端末" "sudo" "apt " "~/mojimori" ".deb" "/usr/share/zel" "./run" "~/.config" "ホームフォルダー")
windows_steps=("setup.exe" "スタートメニュー" 'Documents\mojimori' '%APPDATA%\mojimori' "インストールされているアプリ"
               "サウンド レコーダー" "エクスプローラー" 'fonts\ipag.ttf')
web_steps=("ホーム画面に追加" "おうちの かたへ" "もんだいの ファイルを えらぶ" "みほんの もんだいに もどす"
           "「<b>ペン</b>」ボタン" "Mojimori Gothic")
# What only a desktop program has: a folder that is made again from the sample.
desktop_steps=("起動のたびに新しくなります" "mojimori-mae" "保存して、もじもり！ を起動しなおします")
has linux "a Linux step" "${linux_steps[@]}" "sudo apt remove mojimori" "${desktop_steps[@]}"
lacks linux "another system's step" "${windows_steps[@]}" "${web_steps[@]}"
has windows "a Windows step" "${windows_steps[@]}" "${desktop_steps[@]}"
lacks windows "another system's step" "${linux_steps[@]}" "${web_steps[@]}"
has web "a browser's step" "${web_steps[@]}"
lacks web "another system's step" "${linux_steps[@]}" "${windows_steps[@]}" "${desktop_steps[@]}"
for reading in windows web; do
  lacks $reading "a marker left" "<!-- windows" "/windows -->" "<!-- web" "/web -->" "<!-- linux -->" \
    "<!-- /linux -->" "<!-- desktop -->" "<!-- /desktop -->"
done

# Every link to a place in the document finds the place, in each reading.
for reading in linux windows web; do
  targets=$(grep -o 'name="[a-z]*"' "$work/$reading.html" | sed 's/name="\(.*\)"/\1/' | sort)
  [ -z "$(echo "$targets" | uniq -d)" ] || fail "the $reading help names a place twice: $(echo "$targets" | uniq -d)"
  links=0
  for link in $(grep -o 'href="#[a-z]*"' "$work/$reading.html" | sed 's/href="#\(.*\)"/\1/'); do
    links=$((links + 1))
    echo "$targets" | grep -qx "$link" || fail "the $reading help links to a missing place: #$link"
  done
  [ "$links" -ge 17 ] || fail "the $reading help has only $links links"
done

# The tool refuses markers out of order, and a "--" that would end a Windows part early.
bad_cases=(
  $'<p>a</p>\n<!-- linux -->\n<p>b</p>\n'
  $'<!-- windows\n<p>b</p>\n'
  $'<!-- /linux -->\n'
  $'<!-- linux -->\n<!-- windows\n/windows -->\n<!-- /linux -->\n'
  $'<!-- windows\n<p>a -- b</p>\n/windows -->\n'
  $'<p>a</p> <!-- linux -->\n<!-- /linux -->\n'
  $'<!-- desktop -->\n<!-- web\n/web -->\n<!-- /desktop -->\n'
  $'<!-- web\n<p>a -- b</p>\n/web -->\n'
)
for case in "${bad_cases[@]}"; do
  printf '%s' "$case" >"$work/bad.html"
  if "$tool" windows "$work/bad.html" "$work/bad-out.html" 2>/dev/null; then
    fail "the tool took markers out of order: $(echo "$case" | tr '\n' '|')"
  fi
  [ ! -e "$work/bad-out.html" ] || fail "the tool left an output for a refused help"
done
# And a well-made one: each system's part uncovered, the Linux part gone, the desktop part
# kept on the desktop only.
printf '%s' $'<p>both</p>\n<!-- linux -->\n<p>L</p>\n<!-- /linux -->\n  <!-- windows\n<p>W</p>\n  /windows -->\n<!-- desktop -->\n<p>D</p>\n<!-- /desktop -->\n<!-- web\n<p>B</p>\n/web -->\n' >"$work/good.html"
for made in "windows:<p>both</p>|<p>W</p>|<p>D</p>" "web:<p>both</p>|<p>B</p>"; do
  system=${made%%:*}
  "$tool" "$system" "$work/good.html" "$work/good-out.html" || fail "the tool refused well-made markers"
  [ "$(tr '\n' '|' <"$work/good-out.html" | sed 's/|$//')" = "${made#*:}" ] ||
    fail "the tool made for $system [$(tr '\n' '|' <"$work/good-out.html")]"
done

[ $status -eq 0 ] && echo "PASS: the help reads for Linux, for Windows and in the browser"
exit $status
