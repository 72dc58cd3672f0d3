#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, then what runs threads
# (shamsi-date and the parallel converter's tests) under ThreadSanitizer,
# then the Windows program, its installer and zip with their tests under
# Wine, then the release files built a second time elsewhere and compared
# byte for byte, then each fuzz target for 30 seconds, then the static checks
# (clang-format, cppcheck, clang-tidy).
set -euo pipefail
cd "$(dirname "$0")/.."

# The fuzz and lint steps need clang 14 and the analysers; the package test
# needs dpkg-dev, xdotool for its click on Exit, and the checks that a
# distribution and a software centre apply (lintian, appstreamcli,
# desktop-file-validate, man); the benchmarks that lint compiles need
# Hinnant's date headers; the PostgreSQL extension is built against
# postgresql-server-dev-15 and tested in a private postgresql-15 server; the
# second build of the release files needs zip, faketime and diffoscope; the
# web page and the npm package are built with emscripten and tested with
# Node.js and in Chromium; the Python module is built with Debian's Python
# headers and pybind11 and tested with pytest, pandas and Dask's
# distributed, installed once with pip, and built as an sdist and a wheel in
# virtual environments.
# Install them here too, so that a fresh machine updates the package lists
# only once.
scripts/install-deps.sh clang-14 libclang-rt-14-dev clang-tidy-14 clang-format-14 cppcheck libbenchmark-dev \
  libhowardhinnant-date-dev dpkg-dev xdotool desktop-file-utils lintian appstream man-db \
  g++-mingw-w64-x86-64-posix nsis googletest wine wine64 fonts-farsiweb unzip zip faketime diffoscope-minimal \
  postgresql-15 postgresql-server-dev-15 emscripten nodejs chromium \
  python3-dev python3-pybind11 python3-numpy python3-pandas python3-distributed python3-pytest python3-setuptools \
  python3-pip python3-venv

export QT_QPA_PLATFORM=offscreen
# The tests speak UTF-8: Persian texts in the shell tests' $'\u...' escapes,
# window titles that xdotool matches. A machine may start the test command
# with no locale at all (C, ASCII), so it is set here, not inherited.
export LC_ALL=C.UTF-8
started=$SECONDS

echo "== Normal build and tests"
cmake --preset default
cmake --build --preset default
ctest --preset default
# The .deb packages and their SHA256SUMS, for the comparison below (ctest's
# python_dist has made the Python sdist and wheel in build/python).
cmake --build --preset default --target package

echo "== Web page and npm package ($((SECONDS - started)) s so far)"
scripts/test-web.sh

echo "== Sanitizer build and tests"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

echo "== ThreadSanitizer build and tests of what runs threads ($((SECONDS - started)) s so far)"
scripts/tsan.sh

echo "== Windows program, installer and zip; tests under Wine ($((SECONDS - started)) s so far)"
scripts/build-windows.sh
# The window tests need a display (scripts/xvfb.sh starts a private one); the
# fixture ends the prefix's wine server after the last test, so none is left
# holding the display.
scripts/xvfb.sh -screen 1024x768x24 -- ctest --preset windows

echo "== Release files built again elsewhere, later, under another umask ($((SECONDS - started)) s so far)"
scripts/check-reproducible.sh

echo "== Fuzzing ($((SECONDS - started)) s so far)"
scripts/fuzz.sh 30

echo "== Static checks ($((SECONDS - started)) s so far)"
scripts/lint.sh

echo "== All tests and checks passed in $((SECONDS - started)) s"
