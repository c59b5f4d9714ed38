#!/usr/bin/env bash
# Builds the browser version into build/web/site/: index.html and the files beside it, ready
# for any static web host (copy the folder as it is). Installs Debian's emscripten first
# when it is missing.
#   tools/make_web.sh           build the site
#   tools/make_web.sh --serve   build it, then serve it on 127.0.0.1 and print the address
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
zel_ensure_packages "${ZEL_WEB_PACKAGES[@]}"

root=$PWD/build/web
jobs=${ZEL_JOBS:-2}
# The print test reads the sheet back with the main tree's check, where ./test builds it.
emcmake cmake -S . -B "$root/tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEL_LOGIC_ONLY=ON \
  -DZEL_WERROR=ON -DZEL_WEB_SITE="$root/site" -DZEL_LINUX_SHEET_CHECK="$PWD/build/main/tests/sheet_check" >/dev/null
cmake --build "$root/tree" -j "$jobs" --target zel_site
echo "The site is in $root/site"

if [ "${1:-}" = "--serve" ]; then
  exec /usr/bin/python3 tools/web_serve.py "$root/site"
fi
