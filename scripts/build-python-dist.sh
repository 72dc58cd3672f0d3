#!/usr/bin/env bash
# Builds the Python module's release files, as PyPI takes them, into FOLDER
# (default build/python):
#   shamsi-<version>.tar.gz                                the sdist: the module, its native
#                                                          sources and the library's (cpp/)
#   shamsi-<version>-cp311-cp311-manylinux_<glibc>_x86_64.whl   the wheel, built from that sdist
#                                                          and repaired by auditwheel
#   SHA256SUMS                                             their SHA-256, as sha256sum --check reads
#
#   scripts/build-python-dist.sh [FOLDER]
#
# `python -m build` runs in isolation with Debian's /usr/bin/python3; the
# build backend it installs (setuptools, pybind11:
# python/requirements-build.txt) and the tools (build, auditwheel, twine:
# python/requirements-dist.txt) come from PyPI, each pinned with its hashes:
# downloaded and checked into a folder of wheels, from which the isolated
# build installs with no index. twine
# check must pass on both files. Reproducible: dated with the release date
# (the one the default build gives its packages, else SOURCE_DATE_EPOCH, else
# the last commit's time), under umask 0022 whatever the caller's, from a
# copy of the sources in a new folder (the source tree gets no build files).
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
out=${1:-build/python}
python=/usr/bin/python3

scripts/install-deps.sh python3-venv

if [[ -f build/default/CPackConfig.cmake ]]; then
  epoch=$(sed -n 's/^set(CPACK_DATECONV_RELEASE_DATE "\([0-9]*\)")$/\1/p' build/default/CPackConfig.cmake)
fi
epoch=${epoch:-${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}}
[[ $epoch =~ ^[0-9]+$ ]] || { echo "no release date: set SOURCE_DATE_EPOCH" >&2; exit 1; }
export SOURCE_DATE_EPOCH=$epoch
umask 0022

work=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-dist.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The tools, and the backend's wheels for the isolated build. The caller's
# pip settings that choose what is installed (a find-links folder, say) are
# dropped; those that say how to reach the registry (a mirror, a
# certificate) stay.
unset PIP_FIND_LINKS PIP_NO_INDEX PIP_CONSTRAINT PIP_TARGET PIP_PREFIX PIP_USER PIP_ONLY_BINARY PIP_NO_BINARY
export PIP_DISABLE_PIP_VERSION_CHECK=1 PIP_NO_INPUT=1
"$python" -m venv "$work/tools"
"$work/tools/bin/pip" download --quiet --require-hashes --no-deps --only-binary=:all: \
  -r python/requirements-build.txt -d "$work/wheels"
"$work/tools/bin/pip" install --quiet --require-hashes --no-deps --only-binary=:all: -r python/requirements-dist.txt

# The sources the module builds from, as the tree has them.
mkdir -p "$work/src/python"
cp -r CMakeLists.txt LICENSE shamsi "$work/src/"
cp -r python/pyproject.toml python/setup.py python/MANIFEST.in python/README.md python/shamsi python/src \
  "$work/src/python/"
find "$work/src" -name __pycache__ -prune -exec rm -rf {} +

# The sdist, then the wheel from the sdist (build's default).
PIP_NO_INDEX=1 PIP_FIND_LINKS=$work/wheels "$work/tools/bin/python" -m build --outdir "$work/dist" \
  "$work/src/python" >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
sdist=("$work"/dist/*.tar.gz) wheel=("$work"/dist/*.whl)
PATH=$work/tools/bin:$PATH "$work/tools/bin/auditwheel" repair --wheel-dir "$work/repaired" "${wheel[0]}" \
  >"$work/repair.log" 2>&1 || { cat "$work/repair.log" >&2; exit 1; }
repaired=("$work"/repaired/*.whl)
"$work/tools/bin/auditwheel" show "${repaired[0]}" | tr -s ' \n' ' ' | sed 's/$/\n/'
"$work/tools/bin/twine" check --strict "${sdist[0]}" "${repaired[0]}"

mkdir -p "$out"
rm -f "$out"/shamsi-*.tar.gz "$out"/shamsi-*.whl "$out/SHA256SUMS"
cp "${sdist[0]}" "${repaired[0]}" "$out/"
(cd "$out" && sha256sum -- shamsi-*.tar.gz shamsi-*.whl | LC_ALL=C sort -k2 >SHA256SUMS)
echo "== Python release files in $out (dated $epoch)"
(cd "$out" && sed "s|  |  $out/|" SHA256SUMS)
cd "$source_dir"
