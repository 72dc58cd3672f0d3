#!/usr/bin/env bash
# The sdist and the wheel as a user gets them: scripts/build-python-dist.sh
# makes both (the wheel built from the sdist, repaired by auditwheel, twine
# check passing) into a private folder; the wheel is then installed, with pip
# and nothing else from the source tree, into a new virtual environment of
# each Python 3 here:
#   - the python3 first on PATH when it is another than Debian's (pyenv's,
#     say), with numpy, pandas, Dask and pytest pinned from PyPI
#     (requirements-wheel.txt);
#   - Debian's /usr/bin/python3, with Debian's numpy, pandas, distributed and
#     pytest (--system-site-packages);
# and the module's tests (this folder) run against the installed copy, with
# the build's shamsi-date as their oracle. Everything is removed after.
#
#   wheel_test.sh SOURCE_DIR SHAMSI_DATE
set -euo pipefail
source_dir=$1 shamsi_date=$2
tests=$source_dir/python/tests

work=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-wheel.XXXXXX")
trap 'rm -rf "$work"' EXIT

started=$SECONDS
"$source_dir/scripts/build-python-dist.sh" "$work/dist"
echo "== sdist and wheel built ($((SECONDS - started)) s)"
wheel=("$work"/dist/shamsi-*-cp311-cp311-manylinux_*_x86_64.whl)
[[ -f ${wheel[0]} ]] || { echo "FAIL: no manylinux wheel in $work/dist" >&2; ls "$work/dist" >&2; exit 1; }
sdist=("$work"/dist/shamsi-*.tar.gz)
# What the sdist builds from: the library's sources and headers, all of them.
listed=$(tar -tzf "${sdist[0]}" | sed -n 's|^[^/]*/cpp/||p' | grep -E '\.(cpp|h)$' | LC_ALL=C sort)
expected=$(cd "$source_dir" && ls shamsi/*.cpp shamsi/*.h shamsi/include/shamsi/*.h | LC_ALL=C sort)
[[ $listed == "$expected" ]] ||
  { printf 'FAIL: the sdist carries\n%s\nnot the library'"'"'s\n%s\n' "$listed" "$expected" >&2; exit 1; }

unset "${!PIP_@}"
export PIP_DISABLE_PIP_VERSION_CHECK=1 PIP_NO_INPUT=1 PYTHONDONTWRITEBYTECODE=1
unset PYTHONPATH

pythons=()
first=$(command -v python3 || true)
if [[ -n $first && $(realpath "$("$first" -c 'import sys; print(sys.executable)')") != "$(realpath /usr/bin/python3)" ]]; then
  pythons+=("$first")
else
  echo "NOTE: the python3 first on PATH is Debian's; the wheel is tried with it alone"
fi
pythons+=(/usr/bin/python3)

for i in "${!pythons[@]}"; do
  python=${pythons[$i]} venv=$work/venv$i
  if [[ $python == /usr/bin/python3 ]]; then
    "$python" -m venv --system-site-packages "$venv"
    "$venv/bin/pip" install --quiet --no-index --no-deps "${wheel[0]}"
  else
    "$python" -m venv "$venv"
    "$venv/bin/pip" install --quiet --require-hashes --no-deps --only-binary=:all: -r "$tests/requirements-wheel.txt"
    "$venv/bin/pip" install --quiet --no-index --no-deps "${wheel[0]}"
    "$venv/bin/pip" check   # (Debian's own packages beside a venv need not pass it)
  fi
  echo "== $python: venv ready ($((SECONDS - started)) s)"
  # The tests run from a folder of their own, so that only the installed
  # module can be imported.
  mkdir -p "$work/run$i"
  (cd "$work/run$i" && "$venv/bin/python" - "$venv" <<'PYTHON')
import os, sys, numpy, pandas, shamsi
where = os.path.realpath(shamsi.__file__)
assert where.startswith(os.path.realpath(sys.argv[1]) + os.sep), where
print(f"Python {sys.version.split()[0]} ({sys.executable}), numpy {numpy.__version__}, pandas {pandas.__version__}: "
      f"shamsi {shamsi.__name__} from {where}")
PYTHON
  (cd "$work/run$i" && SHAMSI_DATE=$shamsi_date "$venv/bin/python" -m pytest -p no:cacheprovider -q -ra \
    --rootdir "$tests" "$tests")
done
echo "the wheel passed the module's tests in ${#pythons[@]} virtual environments ($((SECONDS - started)) s)"
