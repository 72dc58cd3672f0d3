#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen

echo "== Normal build and tests"
cmake --preset default
cmake --build --preset default
ctest --preset default

echo "== Sanitizer build and tests"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize
