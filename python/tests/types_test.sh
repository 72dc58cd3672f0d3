#!/usr/bin/env bash
# The module's types: mypy --strict on typed_usage.py, a user's script that
# calls every documented function, against the stubs of the module as built
# (__init__.pyi, _accessor.pyi, py.typed). mypy is pinned with hashes in
# requirements-types.txt, installed from the package registry into a private
# folder of the build (kept for the next run while the requirements stay the
# same).
#
#   types_test.sh PYTHON PACKAGES_DIR
# with PYTHONPATH naming the built module.
set -euo pipefail
python=$1 packages=$2
here=$(cd "$(dirname "$0")" && pwd)
requirements=$here/requirements-types.txt

work=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-types.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$here/pinned_packages.sh" "$python" "$requirements" "$packages"

# mypy finds the module through PYTHONPATH, as an installed, typed package;
# its cache goes to the private folder. stubtest then holds the stubs to the
# module itself: every name, signature and type there. The Dask accessor's
# members are made on import from the pandas accessor's, whose stubs they
# share (_accessor.pyi), so stubtest cannot see them.
export PYTHONPATH=$PYTHONPATH:$packages PYTHONDONTWRITEBYTECODE=1
"$python" -m mypy --strict --no-error-summary --cache-dir "$work/cache" "$here/typed_usage.py"
echo "mypy --strict: typed_usage.py passed"
printf '%s\n' 'shamsi\._dask\..*' >"$work/allowlist"
MYPY_CACHE_DIR=$work/cache "$python" -m mypy.stubtest shamsi --allowlist "$work/allowlist"
echo "stubtest: the stubs are the module's"
