#!/usr/bin/env bash
# Measures the npm package and the web page (see README, "The web page and
# the npm package"): the package against jalaali-js and date-fns-jalali (the
# pinned development dependencies of web/bench), runs alternating on the
# same dates; the gzipped size of the JavaScript and WebAssembly the page
# loads; the page's first paint with today's date in Chromium against a
# static page with the same labels; the date picker against
# react-multi-date-picker (the bytes each page loads, opening the calendar,
# the next month). Builds the page and the package first.
#
# Usage: scripts/bench-web.sh [ROUNDS]   (default 11)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-11}

scripts/install-deps.sh emscripten nodejs chromium woff2
command -v npm >/dev/null || scripts/install-deps.sh npm
export LC_ALL=C.UTF-8

cmake -S . -B build/web/native -DCMAKE_BUILD_TYPE=Release -DDATECONV_WERROR=ON \
  -DDATECONV_BUILD_WINDOW=OFF -DDATECONV_BUILD_TESTS=OFF >/dev/null
cmake --build build/web/native -j2 --target shamsi-date web-form-html >/dev/null
web/build.sh build/web/native build/web >/dev/null
(cd web/bench && npm ci --no-audit --no-fund --silent)

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores;" \
  "Node.js $(node --version); $(chromium --version 2>/dev/null | head -1)"
node web/bench/bench.mjs build/web/package "$rounds"

page_bytes=$(cat build/web/page/form.js build/web/page/form.wasm | gzip -9 | wc -c)
echo "The page's JavaScript and WebAssembly (form.js, form.wasm), gzipped: $page_bytes bytes" \
  "($(awk -v b="$page_bytes" 'BEGIN { printf "%.1f", b / 1024 }') KiB; at most 40 KiB)"
echo "The package's index.js and wasm.js (the WebAssembly in it), gzipped:" \
  "$(cat build/web/package/index.js build/web/package/wasm.js | gzip -9 | wc -c) bytes;" \
  "minified by esbuild, then gzipped:" \
  "$(web/bench/node_modules/.bin/esbuild --bundle --minify --format=esm build/web/package/index.js | gzip -9 | wc -c) bytes"
node web/bench/paint.mjs build/web/page "$rounds"
# The date picker against react-multi-date-picker with React.
node web/bench/picker.mjs build/web/package "$rounds"
