#!/usr/bin/env bash
# Builds what runs threads with ThreadSanitizer (the "tsan" preset:
# shamsi-date and the parallel converter's tests, nothing else) and runs the
# parallel converter's tests, the command-line tests and the comparison of
# a long input converted on threads and on one thread. Any report of
# ThreadSanitizer fails the test that caused it (halt_on_error=1).
#
# Usage: scripts/tsan.sh
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset tsan

# GCC 12's ThreadSanitizer knows the address layouts that kernels gave with
# up to 28 bits of mmap randomisation; with more (vm.mmap_rnd_bits = 32 on
# some kernels) every instrumented program ends at start with "FATAL:
# ThreadSanitizer: unexpected memory mapping". A program of one line, built
# by the same compiler, tells; where it fails, the build (which runs the
# tests to list them) and the tests run with address randomisation off.
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/tsan/CMakeCache.txt)
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'int main() { return 0; }' | "$compiler" -x c++ -fsanitize=thread -o "$probe/probe" -
run=()
if ! "$probe/probe" >"$probe/log" 2>&1; then
  run=(setarch "$(uname -m)" -R)
  echo "ThreadSanitizer cannot start here ($(head -c 200 "$probe/log")); address randomisation off"
  if ! "${run[@]}" "$probe/probe"; then
    echo "ThreadSanitizer cannot start with address randomisation off either"
    exit 1
  fi
fi

"${run[@]}" cmake --build --preset tsan
"${run[@]}" ctest --preset tsan
