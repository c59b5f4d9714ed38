#!/usr/bin/env bash
# Makes the Windows installer, build/windows/mojimori-<version>-setup.exe: cross-compiles
# the program with mingw-w64 (64-bit, posix threads, static runtime) and packs it with the
# sample set, the help in its Windows wording, IPAGothic, the credits and the program's
# icon by NSIS. Installs what it needs with apt-get (through sudo when not run as root).
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
tools/help_for_system.sh windows resources/help/zel.html "$stage/sample/zel.html"
cp -L /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$stage/fonts/ipag.ttf"
cp /usr/share/doc/fonts-ipafont-gothic/copyright "$stage/fonts/IPA_Font_License.txt"
# Texts for Notepad and the installer's page: Windows line ends, and UTF-8 marked as such.
windows_text() { printf '\xef\xbb\xbf'; sed 's/$/\r/'; }
windows_text <resources/CREDITS >"$stage/CREDITS.txt"
# The installer's page on the program: what it is, where its files go, then the credits.
sed "s/@VERSION@/$version/g" tools/windows/about.txt | cat - resources/CREDITS |
  windows_text >"$stage/about.txt"

# The file properties want four numbers.
file_version=$(echo "$version.0.0.0" | cut -d. -f1-4)
makensis -V2 -INPUTCHARSET UTF8 -DSTAGE="$PWD/$stage" -DVERSION="$version" \
  -DFILE_VERSION="$file_version" -DICON="$PWD/$tree/src/win32_icons/zel.ico" \
  -DOUTFILE="$PWD/$out" tools/windows/mojimori.nsi
echo "$out: $(stat -c %s "$out") bytes (zel.exe $(stat -c %s "$stage/zel.exe") bytes)"
