#!/usr/bin/env bash
# Speed of the Python module shamsi against its peers (bench/python_bench.py):
# scalar conversions, texts and reading against jdatetime and persiantools on
# 100,000 dates; the accessor against jalali-pandas; to_shamsi, format and the
# accessor against pandas' own .dt on ten million rows; Date.from_gregorian
# against convertdate; to_shamsi's peak memory. Builds the module in the bench
# preset (Release) for Debian's Python, and runs it in a virtual environment
# of that Python with the peers and the numpy and pandas they run with, from
# PyPI, pinned with their hashes (python/bench/requirements.txt): made in
# build/bench/python-peers, and made again when that file changes.
# ROUNDS rounds (default 3) on ten million rows, SCALAR_ROUNDS (default 5)
# on the rest, alternating.
#
#   scripts/bench-python.sh
#   ROUNDS=5 scripts/bench-python.sh
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
scripts/install-deps.sh libbenchmark-dev libicu-dev libhowardhinnant-date-dev python3-dev python3-pybind11 python3-venv
cmake --preset bench >/dev/null
cmake --build --preset bench --target shamsi_python >/dev/null
python=$(sed -n 's/^DATECONV_PYTHON_EXECUTABLE:INTERNAL=//p' build/bench/CMakeCache.txt)

venv=build/bench/python-peers
requirements=python/bench/requirements.txt
stamp=$(sha256sum "$requirements" | cut -d' ' -f1)
if [[ ! -x $venv/bin/python || $(cat "$venv/requirements.sha256" 2>/dev/null) != "$stamp" ]]; then
  rm -rf "$venv"
  "$python" -m venv "$venv"
  # pymeeus (convertdate's) is source only: built with the environment's setuptools.
  (unset PIP_FIND_LINKS PIP_NO_INDEX PIP_CONSTRAINT PIP_TARGET PIP_PREFIX PIP_USER PIP_ONLY_BINARY PIP_NO_BINARY
    "$venv/bin/pip" install --quiet --disable-pip-version-check --require-hashes --no-deps --no-build-isolation \
      -r "$requirements")
  echo "$stamp" >"$venv/requirements.sha256"
fi

echo "Machine: $(nproc) cores, $(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "$("$venv/bin/python" -c 'import sys, numpy, pandas; print(f"Python {sys.version.split()[0]}, numpy {numpy.__version__}, pandas {pandas.__version__}")'); load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
PYTHONPATH=$PWD/build/bench/python PYTHONDONTWRITEBYTECODE=1 "$venv/bin/python" bench/python_bench.py "${ROUNDS:-3}" \
  "${SCALAR_ROUNDS:-5}"
echo "Load average after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
