# Sourced by ./run and ./test: installs the Debian packages that are missing, and only those.

ZEL_BUILD_PACKAGES=(build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libsdl2-dev libgtest-dev libbenchmark-dev fonts-ipafont-gothic fonts-dejavu-core
  qt6-translations-l10n)
ZEL_TEST_PACKAGES=(clang libclang-rt-dev xvfb xauth xdotool x11-utils imagemagick openbox
  poppler-utils)

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
