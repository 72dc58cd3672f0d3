#!/usr/bin/env bash
# The sdist and the wheel as a user gets them, from DIST_DIR, where
# scripts/build-python-dist.sh made both (the wheel built from the sdist,
# repaired by auditwheel, twine check passing): the sdist must carry the
# tree's sources as they are now (so a folder older than the sources fails);
# the wheel is then installed, with pip and nothing else from the source tree,
# into a new virtual environment of each Python 3 here:
#   - the python3 first on PATH when it is another than Debian's (pyenv's,
#     say), with numpy, pandas, Dask and pytest pinned from PyPI
#     (requirements-wheel.txt);
#   - Debian's /usr/bin/python3, with Debian's numpy, pandas, distributed and
#     pytest (--system-site-packages);
# and the module's tests (this folder) run against the installed copy, with
# the build's shamsi-date as their oracle. Everything is removed after.
#
#   wheel_test.sh SOURCE_DIR DIST_DIR SHAMSI_DATE
set -euo pipefail
source_dir=$1 dist=$2 shamsi_date=$3
tests=$source_dir/python/tests

work=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-wheel.XXXXXX")
trap 'rm -rf "$work"' EXIT

started=$SECONDS
wheel=("$dist"/shamsi-*-cp311-cp311-manylinux_*_x86_64.whl) sdist=("$dist"/shamsi-*.tar.gz)
[[ -f ${wheel[0]} && -f ${sdist[0]} ]] ||
  { echo "FAIL: no sdist and manylinux wheel in $dist (scripts/build-python-dist.sh makes them)" >&2; exit 1; }
(cd "$dist" && sha256sum --check --quiet SHA256SUMS)
# The sdist holds the tree's sources, the library's in cpp/, each the same.
tar -xzf "${sdist[0]}" -C "$work"
unpacked=("$work"/shamsi-*/)
carried=$(cd "$unpacked" && find cpp src shamsi -type f | sed 's|^cpp/||' | LC_ALL=C sort)
expected=$(cd "$source_dir" && { ls shamsi/*.cpp shamsi/*.h shamsi/include/shamsi/*; cd python && find src shamsi -type f ! -name '*.pyc'; } |
  LC_ALL=C sort)
[[ $carried == "$expected" ]] ||
  { printf 'FAIL: the sdist carries\n%s\nbut the tree has\n%s\n' "$carried" "$expected" >&2; exit 1; }
for name in $carried; do
  case $name in shamsi/*.py | shamsi/*.pyi | shamsi/py.typed | src/*) tree=$source_dir/python/$name copy=$unpacked/$name ;;
                *) tree=$source_dir/$name copy=$unpacked/cpp/$name ;;
  esac
  cmp -s "$tree" "$copy" || { echo "FAIL: $dist is older than the sources ($name differs): make it again" >&2; exit 1; }
done
for name in setup.py pyproject.toml README.md MANIFEST.in; do
  cmp -s "$source_dir/python/$name" "$unpacked/$name" || { echo "FAIL: $dist is older than python/$name" >&2; exit 1; }
done

unset PIP_FIND_LINKS PIP_NO_INDEX PIP_CONSTRAINT PIP_TARGET PIP_PREFIX PIP_USER PIP_ONLY_BINARY PIP_NO_BINARY
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
    "$venv/bin/pip" install --quiet --require-hashes --no-deps --only-binary=:all: --no-compile \
      -r "$tests/requirements-wheel.txt"
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
# The stubs and the marker that says the package has them.
assert os.path.isfile(os.path.join(os.path.dirname(where), "py.typed")), "no py.typed"
assert os.path.isfile(os.path.join(os.path.dirname(where), "__init__.pyi")), "no __init__.pyi"
print(f"Python {sys.version.split()[0]} ({sys.executable}), numpy {numpy.__version__}, pandas {pandas.__version__}: "
      f"shamsi {shamsi.__name__} from {where}")
PYTHON
  # pandas 2 reads zones with pytz, which brings its own copy of the zone
  # database; the zone tests' oracle reads the system's (zoneinfo), as
  # Debian's pytz does: one database for both.
  (cd "$work/run$i" && SHAMSI_DATE=$shamsi_date PYTZ_TZDATADIR=/usr/share/zoneinfo "$venv/bin/python" -m pytest -p no:cacheprovider -q -ra \
    --rootdir "$tests" "$tests")
done
echo "the wheel passed the module's tests in ${#pythons[@]} virtual environments ($((SECONDS - started)) s)"
