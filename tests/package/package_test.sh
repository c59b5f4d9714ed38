#!/usr/bin/env bash
# The Debian package as tools/make_package.sh leaves it in build/package/.
#   package_test.sh build <repo>     make the package (the other checks need it)
#   package_test.sh contents <repo>  what it holds and what it depends on
#   package_test.sh install <repo>   install it, start it from its menu entry in a fresh
#                                    home, remove it; only as root on a machine that may be
#                                    changed (CI, or ZEL_PACKAGE_INSTALL_TEST=1), else skipped
set -euo pipefail
mode=$1
repo=$(realpath "$2")
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIPPED: $*"; exit 77; }

if [ "$mode" = build ]; then
  ZEL_JOBS=${ZEL_JOBS:-2} "$repo/tools/make_package.sh"
  exit 0
fi

debs=("$repo"/build/package/mojimori_*.deb)
[ -f "${debs[0]}" ] || fail "no package in $repo/build/package: tools/make_package.sh made none"
[ ${#debs[@]} -eq 1 ] || fail "more than one package in build/package: ${debs[*]}"
deb=${debs[0]}
app=io.github.mojimori.Mojimori

if [ "$mode" = contents ]; then
  [ "$(dpkg-deb -f "$deb" Package)" = mojimori ] || fail "package name is not mojimori"
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  # Read from the binary by shlibdeps, and the pieces it needs without linking them (SDL too).
  for dep in fonts-ipafont-gothic qt6-translations-l10n qt6-qpa-plugins libqt6widgets6 \
             libqt6printsupport6 libsdl2-2.0-0 libc6; do
    grep -Eq "(^|, )$dep( \(|,|$)" <<<"$depends" || fail "Depends lacks $dep"
  done

  list=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
  for file in /usr/bin/zel /usr/bin/mojimori /usr/share/applications/$app.desktop \
              /usr/share/metainfo/$app.metainfo.xml /usr/share/doc/mojimori/copyright \
              /usr/share/zel/sample/mondai.txt /usr/share/zel/sample/zel.html; do
    grep -qx "$file" <<<"$list" || fail "the package lacks $file"
  done
  for size in 16 22 24 32 48 64 128 256; do
    grep -qx "/usr/share/icons/hicolor/${size}x${size}/apps/$app.png" <<<"$list" \
      || fail "no ${size}x${size} icon"
  done
  # Every picture that mondai.txt names is in the sample set.
  pictures=$(cd "$repo/sample" && ls *.bmp)
  for picture in $pictures; do
    grep -qx "/usr/share/zel/sample/$picture" <<<"$list" || fail "the sample set lacks $picture"
  done
  grep -E '^/usr/(local|src)|^/home|^/root|^/work' <<<"$list" && fail "files outside /usr"

  tree=$(mktemp -d)
  trap 'rm -rf "$tree"' EXIT
  dpkg-deb -x "$deb" "$tree"
  # The menu entry starts the launcher, with an icon of its own name, and the launcher only
  # starts the installed program, which finds the sample set from its own place.
  desktop=$tree/usr/share/applications/$app.desktop
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
  grep -qx 'Exec=/usr/bin/mojimori' "$desktop" || fail "the menu entry does not run the launcher"
  grep -qx "Icon=$app" "$desktop" || fail "the menu entry's icon is not $app"
  grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" \
    "$tree/usr/share/metainfo/$app.metainfo.xml" || fail "the metainfo names another menu entry"
  [ "$(grep -v -e '^#' -e '^$' "$tree/usr/bin/mojimori")" = "exec '/usr/bin/zel' \"\$@\"" ] \
    || fail "the launcher does more than start the installed program"
  grep -q 'nitech-jp-atr503-m001' "$tree/usr/share/doc/mojimori/copyright" \
    || fail "the copyright file does not credit the voice"
  cmp -s "$tree/usr/share/doc/mojimori/CREDITS" "$repo/resources/CREDITS" \
    || fail "the package does not carry the credits file"
  file "$tree/usr/bin/zel" | grep -q 'ELF' || fail "the program is not an ELF binary"
  file "$tree/usr/bin/zel" | grep -q 'not stripped' && fail "the program is not stripped"
  echo "PASS"
  exit 0
fi

[ "$mode" = install ] || fail "unknown mode $mode"
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root; this test ran as $(id -un)"
[ "${CI:-}" = true ] || [ "${ZEL_PACKAGE_INSTALL_TEST:-}" = 1 ] \
  || skip "installing changes the machine: only in CI or with ZEL_PACKAGE_INSTALL_TEST=1"
if dpkg-query -W -f='${Status}' mojimori 2>/dev/null | grep -q 'install ok installed'; then
  skip "mojimori is already installed here, and this test would remove it"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
  # Never leave the package behind, whatever failed.
  if dpkg-query -W -f='${Status}' mojimori 2>/dev/null | grep -q 'install ok installed'; then
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 remove -y -q --purge \
      mojimori >/dev/null 2>&1 || true
  fi
}
trap cleanup EXIT

cp "$deb" "$work/"
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends \
  "$work/$(basename "$deb")" >"$work/apt.log" 2>&1 || fail "apt-get install failed: $(tail -20 "$work/apt.log")"
dpkg-query -W -f='${Status}' mojimori | grep -q 'install ok installed' || fail "not installed"
for file in $(dpkg -L mojimori); do
  [ -e "$file" ] || fail "$file is listed but not installed"
done

# Started as the menu starts it, in a fresh home: the folder is made and the program runs in it.
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/$app.desktop)
export HOME=$work/home SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR
mkdir -p "$HOME"
source "$repo/tests/e2e/virtual_screen.sh"
start_virtual_screen
$exec_line >"$work/zel.log" 2>&1 &
pid=$!
pids+=($pid)
find_program_window "$pid" 'もじもり' >/dev/null \
  || fail "no window from the installed program: $(cat "$work/zel.log")"
[ "$(readlink "/proc/$pid/cwd")" = "$HOME/mojimori" ] || fail "the program does not run in ~/mojimori"
[ -f "$HOME/mojimori/mondai.txt" ] && [ -f "$HOME/mojimori/zel.html" ] \
  || fail "~/mojimori lacks the questions or the help"
[ "$(readlink "/proc/$pid/exe")" = /usr/bin/zel ] || fail "the running program is not /usr/bin/zel"
kill "$pid"
wait "$pid" 2>/dev/null || true

DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 remove -y -q --purge mojimori \
  >"$work/apt.log" 2>&1 || fail "apt-get remove failed: $(tail -20 "$work/apt.log")"
for file in /usr/bin/zel /usr/bin/mojimori /usr/share/zel /usr/share/applications/$app.desktop \
            /usr/share/metainfo/$app.metainfo.xml; do
  [ ! -e "$file" ] || fail "$file is left after removal"
done
[ -f "$HOME/mojimori/mondai.txt" ] || fail "removing the package took the user's folder"
echo "PASS"
