#!/usr/bin/env bash
# Static checks over every C++ source of the project; any finding fails:
#   1. clang-format: every .cpp and .h is formatted as .clang-format says;
#   2. cppcheck: warnings, style, performance and portability;
#   3. clang-tidy (.clang-tidy and those of the folders below), with the
#      compile commands of the build that compiles each file: build/default
#      for shamsi/, calendar/, shamsi-date/, postgres/, python/, form/, window/, app/, web/
#      and tests/,
#      build/windows (the mingw-w64 cross build, checked as the Windows
#      target) for win32/ and tests/win32/, build/fuzz for fuzz/ and
#      build/bench for bench/.
# All three run even when an earlier one fails, so one run lists everything.
#
# Usage: scripts/lint.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang-14 libclang-rt-14-dev clang-tidy-14 clang-format-14 cppcheck libbenchmark-dev \
  g++-mingw-w64-x86-64-posix libhowardhinnant-date-dev

source_dirs=(shamsi calendar shamsi-date postgres python form window win32 app web tests fuzz bench)
jobs=$(nproc)
failed=()

mapfile -t sources < <(find "${source_dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

echo "== clang-format (${#sources[@]} files)"
unformatted=()
for file in "${sources[@]}"; do
  if ! clang-format-14 --dry-run --Werror "$file" >/dev/null 2>&1; then
    unformatted+=("$file")
  fi
done
if ((${#unformatted[@]} == 0)); then
  echo "   formatted"
else
  failed+=(clang-format)
  printf '   not formatted: %s\n' "${unformatted[@]}"
  echo "   to mend: clang-format-14 -i ${unformatted[*]}"
fi

echo "== cppcheck"
# useStlAlgorithm only suggests replacing plain loops by algorithms.
if cppcheck --std=c++20 --language=c++ --library=qt --library=googletest \
    --enable=warning,style,performance,portability --inline-suppr --error-exitcode=1 \
    --suppress=missingIncludeSystem --suppress=useStlAlgorithm --quiet -j "$jobs" \
    --library=windows -I shamsi/include -I calendar -I shamsi-date -I form -I window -I win32 -I app -I tests \
    -I fuzz -I bench/startup "${source_dirs[@]}"; then
  echo "   no findings"
else
  failed+=(cppcheck)
fi

echo "== clang-tidy"
cmake --preset default >/dev/null
cmake --preset fuzz >/dev/null
cmake --preset bench >/dev/null
cmake --preset windows >/dev/null
# The Qt tests include the sources that moc generates; make them without a
# full build.
for build in build/default build/bench; do
  for target in $(cmake --build "$build" --target help | sed -n 's/^\.\.\. \(.*_autogen\)$/\1/p'); do
    cmake --build "$build" --target "$target" >/dev/null
  done
done

# The project's own files that a build compiles (not moc or resource output).
compiled_in() {
  grep -o '"file": "[^"]*"' "$1/compile_commands.json" | sed 's/^"file": "//; s/"$//' |
    grep -E "^$PWD/($2)/" | sort -u || true
}
mapfile -t default_files < <(compiled_in build/default 'shamsi|calendar|shamsi-date|postgres|python|form|window|app|web|tests')
mapfile -t windows_files < <(compiled_in build/windows 'win32|tests/win32')
mapfile -t fuzz_files < <(compiled_in build/fuzz 'fuzz')
mapfile -t bench_files < <(compiled_in build/bench 'bench')

# A .cpp that no build compiles would slip through unchecked.
mapfile -t unchecked < <(comm -23 \
  <(find "${source_dirs[@]}" -type f -name '*.cpp' -printf "$PWD/%p\n" | sort) \
  <(printf '%s\n' "${default_files[@]}" "${windows_files[@]}" "${fuzz_files[@]}" "${bench_files[@]}" | sort -u))
tidy_ok=true
if ((${#unchecked[@]} > 0)); then
  tidy_ok=false
  printf '   compiled by no build, so not checked: %s\n' "${unchecked[@]}"
fi

tidy_log=$(mktemp)
trap 'rm -f "$tidy_log"' EXIT
# glibc's fortified headers (_FORTIFY_SOURCE, a GCC hardening of optimised
# builds) lead clang-tidy to see array decays in range-for loops that are not
# there; the checks read the code without them. The same false decays come
# back when __FILE__ names the source folder by its reproducible name
# (-ffile-prefix-map, cmake/Reproducible.cmake); the checks read __FILE__ as
# the folder's own name (clang keeps the first map of a folder, hence
# --extra-arg-before).
extra_args=()
tidy() {
  local build=$1
  shift
  (($# == 0)) && return 0
  echo "   $# files with $build"
  printf '%s\n' "$@" | xargs -P "$jobs" -n 1 clang-tidy-14 -p "$build" --quiet \
    --extra-arg-before=-fmacro-prefix-map="$PWD=$PWD" --extra-arg-before=-fmacro-prefix-map="$PWD/$build=$PWD/$build" \
    --extra-arg=-Wno-ignored-optimization-argument --extra-arg=-U_FORTIFY_SOURCE "${extra_args[@]}" \
    >>"$tidy_log" 2>&1
}
tidy build/default "${default_files[@]}" || tidy_ok=false
tidy build/fuzz "${fuzz_files[@]}" || tidy_ok=false
# The cross compiler's own C++ library, which clang does not find by itself.
mingw_gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
extra_args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++
  --extra-arg=-isystem"$mingw_gcc/include/c++"
  --extra-arg=-isystem"$mingw_gcc/include/c++/x86_64-w64-mingw32"
  --extra-arg=-isystem"$mingw_gcc/include/c++/backward")
tidy build/windows "${windows_files[@]}" || tidy_ok=false
extra_args=()
tidy build/bench "${bench_files[@]}" || tidy_ok=false
grep -vE '^[0-9]+ (warning|error)s? (and [0-9]+ (warning|error)s? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^Error while processing' \
  "$tidy_log" || true
if $tidy_ok; then
  echo "   no findings"
else
  failed+=(clang-tidy)
fi

if ((${#failed[@]} > 0)); then
  echo "Lint failed: ${failed[*]}"
  exit 1
fi
echo "Lint: clean."
