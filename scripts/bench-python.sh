#!/usr/bin/env bash
# Speed of the Python module shamsi against its peers (bench/python_bench.py):
# to_shamsi and format on ten million days against pandas' dt.year +
# dt.month + dt.day and dt.strftime('%Y/%m/%d'), Date.from_gregorian against
# convertdate.persian.from_gregorian, and to_shamsi's peak memory. Builds the
# module in the bench preset (Release); ROUNDS rounds (default 3), alternating.
#
#   scripts/bench-python.sh
#   ROUNDS=5 scripts/bench-python.sh
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
scripts/install-deps.sh libbenchmark-dev libicu-dev libhowardhinnant-date-dev python3-dev python3-pybind11 \
  python3-numpy python3-pandas python3-convertdate
cmake --preset bench >/dev/null
cmake --build --preset bench --target shamsi_python >/dev/null
python=$(sed -n 's/^DATECONV_PYTHON_EXECUTABLE:INTERNAL=//p' build/bench/CMakeCache.txt)
echo "Machine: $(nproc) cores, $(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "$("$python" -c 'import sys, numpy, pandas; print(f"Python {sys.version.split()[0]}, numpy {numpy.__version__}, pandas {pandas.__version__}")'); load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
PYTHONPATH=$PWD/build/bench/python PYTHONDONTWRITEBYTECODE=1 "$python" bench/python_bench.py "${ROUNDS:-3}"
