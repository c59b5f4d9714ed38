# Sourced by ./run and ./test: installs the Debian packages that are missing, and only those.

ZEL_BUILD_PACKAGES=(build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libsdl2-dev libgtest-dev libbenchmark-dev fonts-ipafont-gothic fonts-dejavu-core
  qt6-translations-l10n)
ZEL_TEST_PACKAGES=(clang libclang-rt-dev xvfb xauth xdotool x11-utils imagemagick openbox
  poppler-utils sox python3 python3-numpy python3-pil desktop-file-utils appstream dpkg-dev
  file cups-daemon cups-client printer-driver-cups-pdf pulseaudio pulseaudio-utils dbus at-spi2-core
  gir1.2-atspi-2.0 python3-gi python3-fonttools python3-brotli)
# The Windows program: cross compiler (posix threads), ImageMagick for its icons, Wine to
# test it under, NSIS for the installer, and the Japanese locale Wine takes the code page from.
ZEL_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  imagemagick wine wine64 nsis locales)
# The browser version: Debian's emscripten builds it, node runs its unit tests, headless
# chromium its end-to-end tests.
ZEL_WEB_PACKAGES=(emscripten nodejs chromium python3)

zel_ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
}

# Generates a locale (such as ja_JP.UTF-8) when the system lacks it.
zel_ensure_locale() {
  local name=$1 short
  short=$(echo "$name" | sed 's/UTF-8$/utf8/')
  locale -a 2>/dev/null | grep -qx "$short" && return 0
  echo "Generating the locale $name"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" sed -i "s/^# *\($name .*\)/\1/" /etc/locale.gen
  grep -q "^$name " /etc/locale.gen || echo "$name UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen >/dev/null
}

# Every tool a test runs, present after the installation; stops with a message when one is
# not, so that no test is quietly left out.
zel_require_test_tools() {
  local missing=() tool
  for tool in clang++ Xvfb xauth xdotool xwininfo import convert openbox pdftoppm pdftocairo \
              /usr/bin/python3 x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres wine \
              wineboot wineserver makensis pulseaudio parec pactl sox emcc node chromium; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  /usr/bin/python3 -c 'import PIL' 2>/dev/null || missing+=("python3-pil")
  /usr/bin/python3 -c 'import fontTools' 2>/dev/null || missing+=("python3-fonttools")
  /usr/bin/python3 -c 'import brotli' 2>/dev/null || missing+=("python3-brotli")
  command -v dbus-run-session >/dev/null || missing+=("dbus-run-session")
  /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
    missing+=("gir1.2-atspi-2.0")
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Missing test tools: ${missing[*]}" >&2
    return 1
  fi
}
