#!/usr/bin/env bash
# Builds every release file of the checked-out commit, each folder with the
# SHA-256 of its files in SHA256SUMS:
#   build/default/shamsi-date-converter_<version>_amd64.deb   (and any other .deb the build makes)
#   build/windows/shamsi-date-converter-<version>-win64.exe   the Windows installer
#   build/windows/shamsi-date-converter-<version>-win64.zip   the Windows programs alone
#   build/python/shamsi-<version>.tar.gz and shamsi-<version>-cp311-cp311-manylinux_*_x86_64.whl
#                                                             the Python module's sdist and wheel
#                                                             (scripts/build-python-dist.sh)
# The same commit gives the same files, byte for byte, on any machine (see
# "Checking a download" in README.md). Arguments go to both configure steps,
# e.g. -DDATECONV_BUILD_TESTS=OFF to leave the tests out (the release files
# are the same). Installs what it needs first, only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh dpkg-dev zip

cmake --preset default "$@"
cmake --build --preset default --target package
scripts/build-python-dist.sh build/python
scripts/build-windows.sh "$@"

echo "== Release files"
for folder in build/default build/python build/windows; do
  sed "s|  |  $folder/|" "$folder/SHA256SUMS"
done
