#!/usr/bin/env bash
# pip install ./python, as a user does in a clone: in isolation, with the
# build backend (setuptools, pybind11) pinned with its hashes
# (python/requirements-build.txt), downloaded and checked first, then
# installed from that folder with no index; from a copy of the sources (a
# build in place would leave python/build behind), into a private folder that
# is removed afterwards; then the installed module at work.
#
#   pip_install_test.sh SOURCE_DIR PYTHON
set -euo pipefail
source_dir=$1 python=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-pip.XXXXXX")
trap 'rm -rf "$work"' EXIT
unset PIP_FIND_LINKS PIP_NO_INDEX PIP_CONSTRAINT PIP_TARGET PIP_PREFIX PIP_USER PIP_ONLY_BINARY PIP_NO_BINARY
export PIP_DISABLE_PIP_VERSION_CHECK=1 PIP_NO_INPUT=1
mkdir -p "$work/src/python"
cp -r "$source_dir/CMakeLists.txt" "$source_dir/LICENSE" "$source_dir/shamsi" "$work/src/"
cp -r "$source_dir/python/setup.py" "$source_dir/python/pyproject.toml" "$source_dir/python/MANIFEST.in" \
  "$source_dir/python/README.md" "$source_dir/python/shamsi" "$source_dir/python/src" "$work/src/python/"

"$python" -m pip download --quiet --require-hashes --no-deps --only-binary=:all: \
  -r "$source_dir/python/requirements-build.txt" -d "$work/wheels"
(cd "$work" && "$python" -m pip install --quiet --no-index --find-links "$work/wheels" --no-deps --no-cache-dir \
  --target "$work/site" ./src/python)

cd "$work"
PYTHONPATH=$work/site PYTHONDONTWRITEBYTECODE=1 "$python" - "$work/site" <<'PYTHON'
import datetime, os, sys

import pandas

import shamsi

assert os.path.dirname(shamsi.__file__) == os.path.join(sys.argv[1], "shamsi"), shamsi.__file__
assert str(shamsi.Date.from_gregorian(datetime.date(2124, 3, 20))) == "1503/01/01"
assert shamsi.Date(1405, 6, 31).add(months=1) == shamsi.Date(1405, 7, 30)
try:
    shamsi.Date(1502, 12, 30)
except ValueError as error:
    assert "not a day of the Shamsi calendar" in str(error)
else:
    raise AssertionError("Date(1502, 12, 30) was taken")
text = pandas.Series(pandas.to_datetime(["2026-12-08"])).shamsi.strftime("%A %-d %B %Y")[0]
assert text == "سه\u200cشنبه 17 آذر 1405", text
print("pip-installed shamsi", shamsi.__file__)
PYTHON
