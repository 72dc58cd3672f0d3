#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target for
# 30 seconds, then the static checks (clang-format, cppcheck, clang-tidy).
set -euo pipefail
cd "$(dirname "$0")/.."

# The fuzz and lint steps need clang 14 and the analysers, the package test
# needs dpkg-dev (and xdotool for its click on Exit), the benchmarks that lint
# compiles need Hinnant's date headers; install them here too,
# so that a fresh machine updates the package lists only once.
scripts/install-deps.sh clang-14 libclang-rt-14-dev clang-tidy-14 clang-format-14 cppcheck libbenchmark-dev libhowardhinnant-date-dev \
  dpkg-dev xdotool desktop-file-utils

export QT_QPA_PLATFORM=offscreen
started=$SECONDS

echo "== Normal build and tests"
cmake --preset default
cmake --build --preset default
ctest --preset default

echo "== Sanitizer build and tests"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

echo "== Fuzzing ($((SECONDS - started)) s so far)"
scripts/fuzz.sh 30

echo "== Static checks ($((SECONDS - started)) s so far)"
scripts/lint.sh

echo "== All tests and checks passed in $((SECONDS - started)) s"
