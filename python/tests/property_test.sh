#!/usr/bin/env bash
# The property tests (test_properties.py): Hypothesis, pinned with hashes in
# requirements-property.txt, installed from the package registry into a
# private folder of the build (kept for the next run while the requirements
# stay the same), then pytest on the module as built with Debian's python.
#
#   property_test.sh PYTHON PACKAGES_DIR
# with PYTHONPATH naming the built module and SHAMSI_DATE the program.
set -euo pipefail
python=$1 packages=$2
here=$(cd "$(dirname "$0")" && pwd)
requirements=$here/requirements-property.txt

work=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-properties.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$here/pinned_packages.sh" "$python" "$requirements" "$packages"

# The tests' examples are drawn from a fixed seed (derandomize) unless
# HYPOTHESIS_PROFILE=explore; Hypothesis keeps no database, and what it
# writes goes to the private folder.
export PYTHONPATH=$PYTHONPATH:$packages PYTHONDONTWRITEBYTECODE=1 HYPOTHESIS_STORAGE_DIRECTORY=$work/hypothesis
"$python" -m pytest -p no:cacheprovider -q -ra "$here/test_properties.py"
