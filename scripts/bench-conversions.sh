#!/usr/bin/env bash
# Conversion speed: ShamsiToMiladi, MiladiToShamsi (long form) and
# MiladiToString over every day of the Shamsi years 1300-1399, each next to
# the same conversion done with ICU's Persian calendar, in one run. Prints
# ICU time / our time per routine (CPU time, median of the repetitions).
#
#   scripts/bench-conversions.sh                 # the benchmark
#   scripts/bench-conversions.sh --profile       # callgrind profile of ours
#   scripts/bench-conversions.sh --benchmark_repetitions=9   # extra flags
set -euo pipefail
cd "$(dirname "$0")/.."

profile=false
if [[ ${1:-} == --profile ]]; then
  profile=true
  shift
fi

scripts/install-deps.sh libbenchmark-dev libicu-dev valgrind

cmake --preset bench >/dev/null
cmake --build --preset bench --target conversion_bench
bench=build/bench/bench/conversion_bench

if ! $profile; then
  exec "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
fi

# One sweep of each of our routines under callgrind, then what each routine
# spends its instructions on.
out=build/bench/callgrind.conversions
valgrind --tool=callgrind --callgrind-out-file="$out" \
  "$bench" --benchmark_filter=/ours --benchmark_min_time=0.01 "$@" >/dev/null
callgrind_annotate --inclusive=yes --tree=calling "$out" |
  awk '/\* .*Module1::(ShamsiToMiladi|MiladiToShamsi|MiladiToString)\(/ { show = 1 }
       show && /^$/ { show = 0; print "" }
       show { print }'
echo "Full profile: $out (callgrind_annotate or kcachegrind)"
