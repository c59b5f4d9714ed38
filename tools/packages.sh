# Sourced by ./run and ./test: installs the Debian packages that are missing, and only those.

ZEL_BUILD_PACKAGES=(build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libsdl2-dev libgtest-dev libbenchmark-dev fonts-ipafont-gothic fonts-dejavu-core
  qt6-translations-l10n)
ZEL_TEST_PACKAGES=(clang libclang-rt-dev xvfb xauth xdotool x11-utils imagemagick openbox
  poppler-utils sox python3 python3-numpy python3-pil desktop-file-utils appstream dpkg-dev
  file cups-daemon cups-client printer-driver-cups-pdf)

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

# Every tool a test runs, present after the installation; stops with a message when one is
# not, so that no test is quietly left out.
zel_require_test_tools() {
  local missing=() tool
  for tool in clang++ Xvfb xauth xdotool xwininfo import convert openbox pdftoppm pdftocairo \
              /usr/bin/python3; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  /usr/bin/python3 -c 'import PIL' 2>/dev/null || missing+=("python3-pil")
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Missing test tools: ${missing[*]}" >&2
    return 1
  fi
}
