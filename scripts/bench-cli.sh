#!/usr/bin/env bash
# Speed of shamsi-date and of the Shamsi library.
#
# Batch: 10 million Shamsi dates (every day of 1300-1599 over and over) from a
# file in the page cache through `shamsi-date to-miladi` into a file, next to
#   - an ICU-based converter with the same reading and writing
#     (bench/icu_batch_converter.cpp), which must give the same output save
#     in the Shamsi year 1503 (see below);
#   - GNU `date -f` reformatting as many Gregorian dates;
#   - jcal's `jdate -g`, one process per date: 1,000 dates, scaled up.
# Each of the first three runs RUNS times (default 3); the median wall-clock
# time is reported, with the processor time (user + system) of that run.
# Arithmetic: `shamsi-date add +1m` on the same file, and `shamsi-date diff`
# on as many lines of two dates (each date of the file with the one 1,000
# lines on), next to `to-miladi` on the same file, the three alternating.
# Library: bench/shamsi_library_bench.cpp (Google Benchmark).
#
#   scripts/bench-cli.sh                 # all three
#   RUNS=5 scripts/bench-cli.sh batch    # the batch benchmark only
#   scripts/bench-cli.sh arith           # add and diff only
#   scripts/bench-cli.sh library         # the library benchmark only
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
what=${1:-all}
runs=${RUNS:-3}
lines=10000000
scripts/install-deps.sh libbenchmark-dev libicu-dev libhowardhinnant-date-dev jcal time
cmake --preset bench >/dev/null
if [[ $what == arith ]]; then
  cmake --build --preset bench --target shamsi-date >/dev/null
else
  cmake --build --preset bench --target shamsi-date icu_batch_converter shamsi_library_bench >/dev/null
fi
bin=build/bench
echo "Machine: $(nproc) cores, $(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "Load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"

if [[ $what == all || $what == library ]]; then
  echo
  echo "== Library: one date per iteration (ns per date)"
  "$bin/bench/shamsi_library_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_min_time=0.2 | grep -E '^(Benchmark|-|.*_median)'
fi
[[ $what == all || $what == batch || $what == arith ]] || exit 0

data=$bin/cli
mkdir -p "$data"
shamsi=$data/shamsi-$lines.txt
miladi=$data/miladi-$lines.txt
if [[ ! -s $shamsi ]]; then
  awk -v n="$lines" 'BEGIN {
    while (count < n)
      for (y = 1300; y <= 1599 && count < n; y++)
        for (m = 1; m <= 12 && count < n; m++)
          for (d = 1; d <= (m <= 6 ? 31 : m <= 11 ? 30 : 29) && count < n; d++) {
            printf "%d/%02d/%02d\n", y, m, d
            count++
          }
  }' >"$shamsi"
fi
[[ -s $miladi ]] || "$bin/shamsi-date/shamsi-date" to-miladi <"$shamsi" >"$miladi"
cat "$shamsi" "$miladi" >/dev/null  # into the page cache

# run NAME INPUT OUTPUT COMMAND...: the median of $runs runs, each reading
# INPUT; prints a table row and leaves the seconds in $wall and $cpu.
run() {
  local name=$1 input=$2 output=$3
  shift 3
  local samples=$data/times
  : >"$samples"
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%e %U %S' -o "$data/time" "$@" <"$input" >"$output"
    awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$data/time" >>"$samples"
  done
  read -r wall cpu < <(sort -n "$samples" | awk -v m=$(((runs + 1) / 2)) 'NR == m')
  printf '  %-34s %8.2f s %8.2f s %12.1f M lines/s\n' "$name" "$wall" "$cpu" \
    "$(echo "$lines / $wall / 1000000" | bc -l)"
}

program=$bin/shamsi-date/shamsi-date

# lines_per_second SECONDS
lines_per_second() { echo "$lines / $1 / 1000000" | bc -l; }

if [[ $what == all || $what == arith ]]; then
  pairs=$data/pairs-$lines.txt
  [[ -s $pairs ]] || paste -d, "$shamsi" <(tail -n +1001 "$shamsi"; head -1000 "$shamsi") >"$pairs"
  cat "$pairs" >/dev/null
  echo
  echo "== Arithmetic: $lines lines, file to file (median of $runs runs, the three alternating)"
  printf '  %-34s %10s %10s %22s\n' "" wall processor "(by wall-clock time)"
  for name in to-miladi add diff; do : >"$data/times-$name"; done
  for _ in $(seq "$runs"); do
    for name in to-miladi add diff; do
      case $name in
        to-miladi) args=(to-miladi) input=$shamsi ;;
        add) args=(add +1m) input=$shamsi ;;
        diff) args=(diff) input=$pairs ;;
      esac
      /usr/bin/time -f '%e %U %S' -o "$data/time" "$program" "${args[@]}" <"$input" >"$data/out-$name"
      awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$data/time" >>"$data/times-$name"
    done
  done
  for name in to-miladi add diff; do
    read -r wall cpu < <(sort -n "$data/times-$name" | awk -v m=$(((runs + 1) / 2)) 'NR == m')
    [[ $(wc -l <"$data/out-$name") -eq $lines ]] && ! grep -qx '' "$data/out-$name" ||
      { echo "shamsi-date $name did not give one good line per line" >&2; exit 1; }
    printf '  %-34s %8.2f s %8.2f s %12.1f M lines/s (%.1f by processor time)\n' "shamsi-date $name" "$wall" "$cpu" \
      "$(lines_per_second "$wall")" "$(lines_per_second "$cpu")"
  done
  [[ $what == all ]] || exit 0
fi

echo
echo "== Batch: $lines dates, file to file (median of $runs runs)"
printf '  %-34s %10s %10s %22s\n' "" wall processor "(by wall-clock time)"
run "shamsi-date to-miladi" "$shamsi" "$data/out-ours" "$bin/shamsi-date/shamsi-date" to-miladi
ours=$wall
ours_cpu=$cpu
run "ICU converter" "$shamsi" "$data/out-icu" "$bin/bench/icu_batch_converter"
icu=$wall
icu_cpu=$cpu
# ICU 72 keeps the 33-year rule alone; in 1300-1599 the astronomical calendar
# moves only the year 1503 (1 Farvardin on 20 March 2124, ICU's 21 March), so
# there shamsi-date must give the day before ICU's, and elsewhere ICU's day.
paste -d / "$shamsi" "$data/out-ours" "$data/out-icu" | awk -F/ '
  function day(y, m, d) { if (m <= 2) { y--; m += 12 } return 365 * y + int(y / 4) - int(y / 100) + int(y / 400) + int((153 * (m - 3) + 2) / 5) + d }
  day($4, $5, $6) - day($7, $8, $9) != ($1 == 1503 ? -1 : 0) { bad++ }
  END { exit bad > 0 }' || { echo "shamsi-date and the ICU converter differ beyond 1503" >&2; exit 1; }
run "GNU date -f (Gregorian dates)" /dev/null "$data/out-date" date -f "$miladi" +%Y/%m/%d
cmp -s "$data/out-date" "$miladi" || { echo "GNU date did not reproduce its input" >&2; exit 1; }
head -1000 "$shamsi" >"$data/jdate-input"
start=$EPOCHREALTIME
while read -r d; do jdate -g "$d"; done <"$data/jdate-input" >"$data/out-jdate"
jdate_ms=$(echo "(${EPOCHREALTIME/./} - ${start/./}) / 1000" | bc)
printf '  %-34s %8.2f s %19s %12.0f lines/s\n' "jdate -g, 1,000 processes" "$(echo "$jdate_ms / 1000" | bc -l)" "" \
  "$(echo "1000 / ($jdate_ms / 1000)" | bc -l)"
printf '  %-34s %8.0f s  (scaled from 1,000)\n' "jdate -g, $lines processes" "$(echo "$jdate_ms * $lines / 1000 / 1000" | bc -l)"
echo
printf '  ICU converter / shamsi-date: %.1fx by wall-clock time, %.1fx by processor time\n' \
  "$(echo "$icu / $ours" | bc -l)" "$(echo "$icu_cpu / $ours_cpu" | bc -l)"
printf '  shamsi-date: %.1f M lines/s by processor time\n' "$(echo "$lines / $ours_cpu / 1000000" | bc -l)"
echo "  peak memory of shamsi-date: $(/usr/bin/time -f %M "$bin/shamsi-date/shamsi-date" to-miladi <"$shamsi" 2>&1 >/dev/null) KiB"
