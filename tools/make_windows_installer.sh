#!/usr/bin/env bash
# Makes the Windows installer, build/windows/mojimori-<version>-setup.exe: cross-compiles
# the program with mingw-w64 (64-bit, posix threads, static runtime) and packs it with the
# sample set, the help, IPAGothic and the credits by NSIS. Installs what it needs with
# apt-get (through sudo when not run as root).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
zel_ensure_packages cmake ninja-build ccache fonts-ipafont-gothic "${ZEL_WINDOWS_PACKAGES[@]}"

version=$(sed -n 's/^project(zel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
tree=build/windows/program
stage=build/windows/stage
out=build/windows/mojimori-$version-setup.exe

cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEL_LOGIC_ONLY=ON \
  -DZEL_BUILD_TESTS=OFF -DZEL_WIN32_PROGRAM=ON \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$tree" -j "${ZEL_JOBS:-2}" --target zel_win32
x86_64-w64-mingw32-strip -o "$tree/zel-stripped.exe" "$tree/src/zel.exe"

rm -rf "$stage"
mkdir -p "$stage/sample" "$stage/fonts"
cp "$tree/zel-stripped.exe" "$stage/zel.exe"
cp -r sample/. "$stage/sample/"
cp resources/help/zel.html "$stage/sample/zel.html"
cp -L /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$stage/fonts/ipag.ttf"
cp /usr/share/doc/fonts-ipafont-gothic/copyright "$stage/fonts/IPA_Font_License.txt"
{
  cat resources/CREDITS
  printf '\nIPAGothic (fonts\\ipag.ttf), shipped so Japanese shows on every Windows\n'
  printf '  Copyright (C) Information-technology Promotion Agency, Japan (IPA);\n'
  printf '  IPA Font License Agreement v1.0 (fonts\\IPA_Font_License.txt).\n'
} | sed 's/$/\r/' >"$stage/CREDITS.txt"

makensis -V2 -INPUTCHARSET UTF8 -DSTAGE="$PWD/$stage" -DVERSION="$version" \
  -DOUTFILE="$PWD/$out" tools/windows/mojimori.nsi
echo "$out: $(stat -c %s "$out") bytes (zel.exe $(stat -c %s "$stage/zel.exe") bytes)"
