#!/usr/bin/env bash
# Builds the Windows program on Debian with mingw-w64, then its two downloads:
#   build/windows/shamsi-date-converter-<version>-win64.exe   the installer
#   build/windows/shamsi-date-converter-<version>-win64.zip   the lone program
#   build/windows/SHA256SUMS                                  their SHA-256
# Installs the cross compiler, NSIS and zip first when they are missing.
# Arguments go to the configure step, e.g. -DDATECONV_BUILD_TESTS=OFF for the
# programs and downloads alone.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix nsis googletest zip

cmake --preset windows "$@"
cmake --build --preset windows
cmake --build --preset windows --target package
ls -l build/windows/shamsi-date-converter-*-win64.{exe,zip}
cat build/windows/SHA256SUMS
