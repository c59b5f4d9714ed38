#!/usr/bin/env bash
# Builds the Debian package of もじもり！: build/package/mojimori_<version>_<arch>.deb.
# Install it with:  sudo apt install ./build/package/mojimori_*.deb
# Only the program is compiled (no tests), in its own build tree, installed under /usr.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
zel_ensure_packages "${ZEL_BUILD_PACKAGES[@]}" dpkg-dev file

out=$PWD/build/package
cmake -S . -B "$out/tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DZEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$out/tree" -j "${ZEL_JOBS:-2}"
rm -f "$out"/mojimori_*.deb
(cd "$out/tree" && cpack -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/mojimori_*.deb
