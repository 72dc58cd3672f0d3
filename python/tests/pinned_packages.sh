#!/usr/bin/env bash
# Installs the packages of a requirements file, pinned with their hashes,
# from the package registry into a private folder of the build: wheels only,
# no dependencies resolved, nothing read from or written to the caller's pip
# settings, cache or HOME. The folder is kept for the next run while the
# requirements stay the same, and made again when they change.
#
#   pinned_packages.sh PYTHON REQUIREMENTS FOLDER
set -euo pipefail
python=$1 requirements=$2 packages=$3
copy=$packages/$(basename "$requirements")
if cmp -s "$requirements" "$copy" 2>/dev/null; then
  exit 0
fi
home=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-pip.XXXXXX")
trap 'rm -rf "$home"' EXIT
rm -rf "$packages"
HOME=$home PIP_CONFIG_FILE=/dev/null "$python" -m pip install --quiet --disable-pip-version-check --root-user-action=ignore \
  --no-cache-dir --require-hashes --no-deps --only-binary=:all: --target "$packages" -r "$requirements"
cp "$requirements" "$copy"
