#!/usr/bin/env bash
# Builds the web page and the npm package from the C++ library and form:
#   OUT/page/          the static page (index.html and its files)
#   OUT/shamsi-date-VERSION.tgz   the npm package, made by npm pack
# NATIVE is a CMake build folder of this source tree for the build machine,
# with the target web-form-html built (it writes index.html from the
# window's layout table, and holds the generated project_info.h).
#
# Usage: web/build.sh NATIVE OUT
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

# emscripten's helper scripts are node programs that need Debian's node modules.
export NODE_PATH=/usr/share/nodejs
version=$(sed -n 's/^project(ShamsiDateConverter VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

# No emscripten JavaScript runtime: each module is a reactor (_initialize,
# then the exported functions) that a few lines of the page's or the
# package's own script load. Exceptions are off: what would throw aborts.
flags=(-std=c++20 -fno-exceptions -Wall -Wextra -Wpedantic -Werror -flto
  -sSTANDALONE_WASM --no-entry -sALLOW_MEMORY_GROWTH=1
  -I"$root/shamsi/include" -I"$root/calendar" -I"$root/form" -I"$native/generated/project_info")
mkdir -p "$out/obj"

# The library for the package, made for speed, with 128-bit vectors (Chrome
# and Firefox since 2021, Safari since 16.4, Node.js since 16.4). emmalloc,
# the small allocator, is enough for the few strings the module keeps.
em++ "${flags[@]}" -O3 -msimd128 -sMALLOC=emmalloc \
  -sEXPORTED_FUNCTIONS=_Fields,_Input,_Output,_Batch,_BatchSize,_Describe,_ToShamsi,_ToMiladi,_Parse,_SetFormat,_Format,_ToShamsiAt,_FormatAt,_DaysOf,_IsLeapYear,_DaysInMonth,_Add,_Between,_ShamsiFromDays,_DaysFromShamsi,_WeekdayOf,_Names \
  -o "$out/obj/shamsi.wasm" "$root/web/wasm/shamsi_exports.cpp" "$root/web/wasm/days_to_shamsi.cpp" \
  "$root/shamsi/read.cpp" "$root/shamsi/write.cpp"

# The form and the calendar routines for the page, made small. The page's
# functions are its imports (module "page").
em++ "${flags[@]}" -Oz -sERROR_ON_UNDEFINED_SYMBOLS=0 \
  -sEXPORTED_FUNCTIONS=_Typed,_Load,_Convert,_Exit,_ClickWebAddress \
  -o "$out/obj/form.wasm" "$root/web/wasm/form_exports.cpp" \
  "$root/form/form1_behaviour.cpp" "$root/form/form1_layout.cpp" \
  "$root/calendar/services.cpp" "$root/calendar/shamsi_calendar.cpp" "$root/calendar/shamsi_to_miladi.cpp" \
  "$root/calendar/miladi_to_shamsi.cpp" "$root/calendar/miladi_wording.cpp" 2>&1 |
  { grep -v 'undefined symbol: \(caption\|close\|message\|today\) ' || true; }

# The page.
page=$out/page
rm -rf "$page"
mkdir -p "$page/fonts"
"$native/web/web-form-html" "$root/web/page/index.html.in" "$page/index.html"
"$native/web/web-form-html" "$root/web/page/manifest.webmanifest.in" "$page/manifest.webmanifest"
cp "$root/web/page/form.js" "$out/obj/form.wasm" "$page/"
# The font as WOFF2 (Debian's woff2_compress), less than half the TrueType file.
cp "$root/window/fonts/OFL.txt" "$page/fonts/"
cp "$root/window/fonts/Vazirmatn-UI-Regular.ttf" "$out/obj/"
woff2_compress "$out/obj/Vazirmatn-UI-Regular.ttf" >/dev/null 2>&1
cp "$out/obj/Vazirmatn-UI-Regular.woff2" "$page/fonts/"
cp "$root/packaging/icons/shamsi-date-converter-48.png" "$page/icon-48.png"
cp "$root/packaging/icons/shamsi-date-converter-256.png" "$page/icon-256.png"
# The service worker keeps every file of the page, under a name that
# changes with their contents.
(
  cd "$page"
  mapfile -t files < <(find . -type f | sed 's|^\./||' | LC_ALL=C sort)
  digest=$(cat "${files[@]}" | sha256sum | cut -c1-16)
  list=$(printf '"./",'; printf '"%s",' "${files[@]}")
  sed -e "s|@DIGEST@|$digest|" -e "s|@FILES@|[${list%,}]|" "$root/web/page/sw.js" >sw.js
)

# The package. Its modules hold the WebAssembly module in wasm.js, two
# hexadecimal digits a byte (which gzip packs closer to the bytes than
# base64); each module has a CommonJS twin (.cjs) for require(), and its
# declarations a twin (.d.cts) that TypeScript takes for it.
package=$out/package
rm -rf "$package"
mkdir -p "$package"
cp "$root/web/package/index.js" "$root/web/package/index.d.ts" "$root/web/package/README.md" \
  "$root/LICENSE" "$package/"
{
  echo "// The library compiled to WebAssembly (shamsi.wasm), two hexadecimal digits a byte."
  printf "export const WASM = '%s';\n" "$(od -An -v -tx1 "$out/obj/shamsi.wasm" | tr -d ' \n')"
} >"$package/wasm.js"
# The date picker, and the font it falls back on.
mkdir -p "$package/picker"
cp "$root/web/package/picker.js" "$root/web/package/picker.d.ts" "$package/"
cp "$root/web/package/picker/"*.js "$package/picker/"
cp "$out/obj/Vazirmatn-UI-Regular.woff2" "$package/picker/Vazirmatn-UI.woff2"
cp "$root/window/fonts/OFL.txt" "$package/picker/"
(
  cd "$package"
  mapfile -t modules < <(find . -name '*.js' | sed 's|^\./||' | LC_ALL=C sort)
  for module in "${modules[@]}"; do
    node "$root/web/commonjs.mjs" "$module" "${module%.js}.cjs"
  done
  mapfile -t declarations < <(find . -name '*.d.ts' | sed 's|^\./||' | LC_ALL=C sort)
  for declaration in "${declarations[@]}"; do
    sed "s|\(from '\.\.\?/[^']*\)\.js'|\1.cjs'|" "$declaration" >"${declaration%.d.ts}.d.cts"
  done
)
sed "s/@VERSION@/$version/" "$root/web/package/package.json.in" >"$package/package.json"
rm -f "$out"/shamsi-date-*.tgz
npm pack --silent --pack-destination "$out" "$package" >/dev/null
echo "web: $page/index.html, $out/shamsi-date-$version.tgz"
