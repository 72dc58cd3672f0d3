#!/usr/bin/env bash
# Speed of the shamsi extension in PostgreSQL 15, in a private server (as the
# tests start it: tests/postgres/private_server.sh), over a table of ten
# million dates made by generate_series (every day of the Shamsi years
# 1300-1399, over and over). Each query runs RUNS times (default 3), the
# queries taking turns; the median time of each is reported with its ratio to
# the peer it is measured against:
#   - count(to_shamsi(d)) against count(to_char(d, 'YYYY/MM/DD')), and
#     against a PL/pgSQL converter on the 33-year cycle
#     (bench/plpgsql_to_shamsi.sql), which must first agree with to_shamsi
#     on every one of those days; count(d) for the cost of the scan alone;
#   - count(d::shamsi::text), the type's output, against the same to_char;
#   - GROUP BY shamsi_trunc('month', d) against GROUP BY date_trunc('month', d);
#   - an index range scan over ten Shamsi years on a shamsi column against
#     the same scan on the date column (Index Only Scan, both);
# all with one process (no parallel workers); then count(to_shamsi(d)) with
# two parallel workers against one process. Last, two shards and a
# coordinator (postgres_fdw, partitioned by shamsi_year(d)) run
# GROUP BY shamsi_year(d), shamsi_month(d) over a million rows: EXPLAIN
# ANALYZE VERBOSE gives the rows each shard's foreign scan brings back.
# Timestamps: count(ts::shamsi) against count(ts::date) over a million
# timestamptz values (every 17 minutes from 1990 on) with TimeZone
# Asia/Tehran, in turn, RUNS times each (median).
#
#   scripts/bench-postgres.sh
#   RUNS=5 scripts/bench-postgres.sh
#   scripts/bench-postgres.sh zone       # the timestamps alone
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
runs=${RUNS:-3}
rows=10000000
scripts/install-deps.sh libbenchmark-dev libicu-dev libhowardhinnant-date-dev postgresql-15 postgresql-server-dev-15
cmake --preset bench >/dev/null
cmake --build --preset bench --target shamsi_postgres >/dev/null
build=$PWD/build/bench
cached() { sed -n "s/^$1:INTERNAL=//p" "$build/CMakeCache.txt"; }
bin=$(cached DATECONV_PG_BIN_DIR) lib=$(cached DATECONV_PG_LIB_DIR) share=$(cached DATECONV_PG_SHARE_DIR)
echo "Machine: $(nproc) cores, $(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "$("$bin/postgres" --version); load average before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"

# shellcheck source=SCRIPTDIR/../tests/postgres/private_server.sh
source tests/postgres/private_server.sh
# shellcheck source=SCRIPTDIR/../tests/postgres/private_shards.sh
source tests/postgres/private_shards.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-bench.XXXXXX")
trap pg_private_stop EXIT
pg_private_start "$work" "$build" "$bin" "$lib" "$share" cmake "-c shared_buffers=1GB -c max_parallel_workers=2"
psql=("$bin/psql" -X -q -v ON_ERROR_STOP=1 -At)

"${psql[@]}" -c "CREATE EXTENSION shamsi" -f bench/plpgsql_to_shamsi.sql

# Timestamps: ts::shamsi against ts::date in the session's TimeZone.
stamp_rows=1000000
"${psql[@]}" -c "CREATE UNLOGGED TABLE stamps AS SELECT timestamptz '1990-01-01 00:00:00+00' + i * interval '17 minutes' AS ts
  FROM generate_series(0, $stamp_rows - 1) AS i" -c "VACUUM ANALYZE stamps"
wrong=$("${psql[@]}" -c "SET TimeZone = 'Asia/Tehran'" -c "SELECT count(*) FROM stamps WHERE ts::shamsi::date <> ts::date")
((wrong == 0)) || { echo "ts::shamsi and ts::date differ on $wrong rows" >&2; exit 1; }
declare -A stamp_times=()
for ((run = 0; run < runs; run++)); do
  order=(date shamsi)
  ((run % 2 == 1)) && order=(shamsi date)
  for cast in "${order[@]}"; do
    stamp_times[$cast]+="$("${psql[@]}" -c "SET TimeZone = 'Asia/Tehran'; SET max_parallel_workers_per_gather = 0" \
      -c '\timing on' -c "SELECT count(ts::$cast) FROM stamps" | sed -n 's/^Time: \([0-9.]*\) ms.*/\1/p') "
  done
done
stamp_median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
stamp_date=$(stamp_median "${stamp_times[date]}") stamp_shamsi=$(stamp_median "${stamp_times[shamsi]}")
echo
echo "$stamp_rows timestamptz values, TimeZone Asia/Tehran, one process, median of $runs runs each, in turn:"
echo "  SELECT count(ts::date) FROM stamps     ${stamp_date} ms  (runs: ${stamp_times[date]})"
echo "  SELECT count(ts::shamsi) FROM stamps   ${stamp_shamsi} ms  (runs: ${stamp_times[shamsi]})"
awk -v a="$stamp_shamsi" -v b="$stamp_date" 'BEGIN { printf "  ts::shamsi / ts::date: %.2fx (target: at most 1.2x)\n", a / b }'
[[ ${1:-} != zone ]] || exit 0
days=$("${psql[@]}" -c "SELECT shamsi_date(1400, 1, 1) - shamsi_date(1300, 1, 1)")
"${psql[@]}" -c "CREATE UNLOGGED TABLE days AS
  SELECT d, d::shamsi AS s FROM (SELECT shamsi_date(1300, 1, 1) + i % $days AS d FROM generate_series(0, $rows - 1) AS i) AS t" \
  -c "CREATE INDEX days_d ON days (d)" -c "CREATE INDEX days_s ON days (s)" \
  -c "VACUUM ANALYZE days" -c "SELECT count(*) FROM days" >/dev/null
# The ten years 1350-1359, as dates for the date column.
from=$("${psql[@]}" -c "SELECT shamsi_date(1350, 1, 1)") to=$("${psql[@]}" -c "SELECT shamsi_date(1359, 12, 29)")
wrong=$("${psql[@]}" -c "SELECT count(*) FROM (SELECT shamsi_date(1300, 1, 1) + i AS d FROM generate_series(0, $days - 1) AS i) AS t
  WHERE plpgsql_to_shamsi(d) <> to_shamsi(d)")
((wrong == 0)) || { echo "the PL/pgSQL converter disagrees with to_shamsi on $wrong days" >&2; exit 1; }
echo "$rows rows; the PL/pgSQL converter agrees with to_shamsi on all $days days of 1300-1399"

names=(bare to_char to_shamsi shamsi_text plpgsql date_trunc shamsi_trunc range_date range_shamsi to_shamsi_2)
declare -A query=(
  [bare]="SELECT count(d) FROM days"
  [to_char]="SELECT count(to_char(d, 'YYYY/MM/DD')) FROM days"
  [to_shamsi]="SELECT count(to_shamsi(d)) FROM days"
  [shamsi_text]="SELECT count(d::shamsi::text) FROM days"
  [range_date]="SELECT count(*) FROM days WHERE d BETWEEN '$from' AND '$to'"
  [range_shamsi]="SELECT count(*) FROM days WHERE s BETWEEN '1350/01/01' AND '1359/12/29'"
  [plpgsql]="SELECT count(plpgsql_to_shamsi(d)) FROM days"
  [date_trunc]="SELECT count(*) FROM (SELECT date_trunc('month', d) FROM days GROUP BY 1) AS months"
  [shamsi_trunc]="SELECT count(*) FROM (SELECT shamsi_trunc('month', d) FROM days GROUP BY 1) AS months"
  [to_shamsi_2]="SELECT count(to_shamsi(d)) FROM days"
)
declare -A workers=([to_shamsi_2]=2) times=()
# The range scans read the index alone, as an Index Only Scan (checked below).
declare -A settings=([range_date]="SET enable_seqscan = off; SET enable_bitmapscan = off"
  [range_shamsi]="SET enable_seqscan = off; SET enable_bitmapscan = off")
for name in range_date range_shamsi; do
  plan=$("${psql[@]}" -c "${settings[$name]}" -c "EXPLAIN ${query[$name]}")
  [[ $plan == *"Index Only Scan"* ]] || { echo "$name is not an index-only scan: $plan" >&2; exit 1; }
done
[[ $("${psql[@]}" -c "${query[range_date]}") == $("${psql[@]}" -c "${query[range_shamsi]}") ]] ||
  { echo "the two range scans count different rows" >&2; exit 1; }

# One timed run of a query: milliseconds, as psql's \timing reports them.
timed() {
  local name=$1
  "${psql[@]}" -c "SET max_parallel_workers_per_gather = ${workers[$name]:-0}; ${settings[$name]:-}" -c '\timing on' \
    -c "${query[$name]}" | sed -n 's/^Time: \([0-9.]*\) ms.*/\1/p'
}
for ((run = 0; run < runs; run++)); do
  # Each run starts at another query, so that none is always first.
  for ((i = 0; i < ${#names[@]}; i++)); do
    name=${names[(i + run) % ${#names[@]}]}
    times[$name]+="$(timed "$name") "
  done
done

median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
declare -A ms=()
for name in "${names[@]}"; do
  ms[$name]=$(median "${times[$name]}")
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
seconds() { awk -v a="$1" 'BEGIN { printf "%.2f s", a / 1000 }'; }

echo
echo "Median of $runs runs each ($rows rows; the runs of each query in ms: see below)"
printf '| %-70s | %9s | %s |\n' "Query" "Time" "Ratio"
printf '| %-70s | %9s | %s |\n' "${query[bare]} (scan alone)" "$(seconds "${ms[bare]}")" ""
printf '| %-70s | %9s | %s |\n' "${query[to_char]}" "$(seconds "${ms[to_char]}")" ""
printf '| %-70s | %9s | %s |\n' "${query[to_shamsi]}" "$(seconds "${ms[to_shamsi]}")" \
  "to_char / to_shamsi $(ratio "${ms[to_char]}" "${ms[to_shamsi]}")x; PL/pgSQL / to_shamsi $(ratio "${ms[plpgsql]}" "${ms[to_shamsi]}")x"
printf '| %-70s | %9s | %s |\n' "${query[shamsi_text]}" "$(seconds "${ms[shamsi_text]}")" \
  "shamsi::text / to_char $(ratio "${ms[shamsi_text]}" "${ms[to_char]}")x"
printf '| %-70s | %9s | %s |\n' "${query[plpgsql]}" "$(seconds "${ms[plpgsql]}")" ""
printf '| %-70s | %9s | %s |\n' "${query[date_trunc]}" "$(seconds "${ms[date_trunc]}")" ""
printf '| %-70s | %9s | %s |\n' "${query[shamsi_trunc]}" "$(seconds "${ms[shamsi_trunc]}")" \
  "shamsi_trunc / date_trunc $(ratio "${ms[shamsi_trunc]}" "${ms[date_trunc]}")x"
printf '| %-70s | %9s | %s |\n' "${query[range_date]}" "$(seconds "${ms[range_date]}")" ""
printf '| %-70s | %9s | %s |\n' "${query[range_shamsi]}" "$(seconds "${ms[range_shamsi]}")" \
  "shamsi / date $(ratio "${ms[range_shamsi]}" "${ms[range_date]}")x"
printf '| %-70s | %9s | %s |\n' "${query[to_shamsi_2]}, 2 workers" "$(seconds "${ms[to_shamsi_2]}")" \
  "speed-up over one process $(ratio "${ms[to_shamsi]}" "${ms[to_shamsi_2]}")x"
echo
for name in "${names[@]}"; do
  echo "$name: ${times[$name]}"
done

# Two shards and a coordinator: a million rows, the years 1300-1349 on one
# shard and 1350-1399 on the other, written there directly.
echo
pg_shards_start "$build" "$bin" "$lib" "$share" cmake
shard_rows=1000000
for shard in shard1 shard2; do
  [[ $shard == shard1 ]] && years="< 1350" || years=">= 1350"
  on "$shard" -c "CREATE EXTENSION shamsi" -c "CREATE TABLE sales AS SELECT d, i % 97 AS amount
      FROM (SELECT shamsi_date(1300, 1, 1) + i % $days AS d, i FROM generate_series(0, $shard_rows - 1) AS i) AS t
      WHERE shamsi_year(d) $years" -c "ANALYZE sales"
done
pg_shards_partition "d date, amount integer" 1350
sharded="SELECT shamsi_year(d), shamsi_month(d), count(*), sum(amount) FROM sales GROUP BY 1, 2"
echo "$sharded, enable_partitionwise_aggregate on, $shard_rows rows on two shards:"
on coordinator -c "SET enable_partitionwise_aggregate = on" -c "EXPLAIN (ANALYZE, VERBOSE, COSTS OFF) $sharded" |
  grep -E 'Foreign Scan|Remote SQL|^ *Append|Execution Time' | sed 's/^/  /'
for shard in shard1 shard2; do
  echo "  $shard holds $(on "$shard" -c "SELECT count(*) FROM sales") rows in $(on "$shard" -c "SELECT count(DISTINCT (shamsi_year(d), shamsi_month(d))) FROM sales") Shamsi months"
done
