#!/usr/bin/env bash
# The shamsi extension in a real PostgreSQL server, started here (see
# private_server.sh) and stopped, with its folder removed, pass or fail:
#   1. pg_regress runs sql/*.sql and compares their output with expected/*.out;
#   2. every day of the Shamsi years 1-9999, written by to_shamsi and read
#      back by shamsi_date, agrees with shamsi-date both ways;
#   3. a database with a shamsi column, an index on it and generated columns
#      goes through pg_dump and pg_restore unchanged, and shamsi values go
#      through binary COPY (the type's send and receive);
#   4. the instants of the zone oracle (tests/zones/zone_cases.py), as
#      timestamptz values under SET TimeZone and as their wall timestamps,
#      give the Shamsi day and time of their wall time.
#
#   postgres_test.sh BUILD_DIR SHAMSI_DATE CMAKE PG_BIN_DIR PG_LIB_DIR PG_SHARE_DIR
#
# With RESULTS_DIR set, the SQL tests' output is also copied there (to be
# read, and copied to expected/ once checked, after a change).
set -euo pipefail
build_dir=$1 shamsi_date=$2 cmake=$3 pg_bin=$4 pg_lib=$5 pg_share=$6
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/private_server.sh
source "$here/private_server.sh"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/shamsi-postgres.XXXXXX")
trap pg_private_stop EXIT
pg_private_start "$work" "$build_dir" "$pg_bin" "$pg_lib" "$pg_share" "$cmake"
echo "private server on $PGHOST, running as ${pg_private_as[2]:-$(id -un)}"

# 1. The SQL tests, each in a fresh database.
regress=$work/regress
if ! "$pg_lib/pgxs/src/test/regress/pg_regress" --load-extension=shamsi --bindir="$pg_bin" --host="$PGHOST" --port="$PGPORT" \
  --user="$PGUSER" --dbname=shamsi_regress --inputdir="$here" --outputdir="$regress" \
  functions errors plans exhaustive type hardening update zones; then
  [[ -z ${RESULTS_DIR:-} ]] || cp "$regress"/results/*.out "$RESULTS_DIR"/
  cat "$regress/regression.diffs" >&2 || true
  fail "the SQL tests' output differs from tests/postgres/expected (diff above)"
fi
[[ -z ${RESULTS_DIR:-} ]] || cp "$regress"/results/*.out "$RESULTS_DIR"/

# 2. Every day of the years 1-9999 against shamsi-date: Miladi day, its
# Shamsi date by to_shamsi, and that text read back by shamsi_date.
psql=("$pg_bin/psql" -X -q -v ON_ERROR_STOP=1 -d shamsi_regress)
days=$work/days.tsv
"${psql[@]}" -c "SET datestyle = ISO, YMD" -c "COPY (
  SELECT d, to_shamsi(d), shamsi_date(to_shamsi(d))
  FROM (SELECT day::date AS d FROM generate_series(shamsi_date(1, 1, 1),
        shamsi_add(shamsi_date(9999, 11, 30), interval '1 month'), interval '1 day') AS day) AS days
  ORDER BY d) TO STDOUT" >"$days"
count=$(wc -l <"$days")
((count > 3600000)) || fail "only $count days came back from the server"
cut -f1 "$days" | "$shamsi_date" to-shamsi >"$work/to-shamsi.txt" || fail "shamsi-date to-shamsi refused a day"
cut -f2 "$days" | cmp - "$work/to-shamsi.txt" || fail "to_shamsi and shamsi-date to-shamsi differ (first differing line above)"
cut -f2 "$days" | "$shamsi_date" to-miladi | tr / - >"$work/to-miladi.txt" || fail "shamsi-date to-miladi refused a day"
cut -f3 "$days" | cmp - "$work/to-miladi.txt" || fail "shamsi_date and shamsi-date to-miladi differ (first differing line above)"
echo "$count days, $(head -1 "$days" | cut -f1,2 --output-delimiter=' = ') to $(tail -1 "$days" | cut -f1,2 --output-delimiter=' = '): to_shamsi and shamsi_date agree with shamsi-date"

# 4. The zone oracle: ZONE, UNIX_SECONDS, WALL, OFFSET. Under SET TimeZone
# = ZONE, to_shamsi of the instant and its cast to shamsi must give the
# Shamsi date of WALL's date (by shamsi-date's plain conversion) with WALL's
# time and OFFSET; the wall timestamp the same without the offset.
/usr/bin/python3 "$here/../zones/zone_cases.py" >"$work/zones.tsv"
"${psql[@]}" -c "CREATE TABLE zone_cases (zone text, seconds bigint, wall text, utc_offset text, n serial)" \
  -c "\\copy zone_cases (zone, seconds, wall, utc_offset) FROM '$work/zones.tsv'"
zone_total=0
for zone in $(cut -f1 "$work/zones.tsv" | sort -u); do
  awk -F'\t' -v zone="$zone" '$1 == zone' "$work/zones.tsv" >"$work/zone.tsv"
  cut -f3 "$work/zone.tsv" | cut -c1-10 | "$shamsi_date" to-shamsi >"$work/zone-days"
  cut -f3 "$work/zone.tsv" | cut -c11- | paste -d '' "$work/zone-days" - >"$work/zone-naive"
  cut -f4 "$work/zone.tsv" | paste -d '' "$work/zone-naive" - >"$work/zone-full"
  paste "$work/zone-full" "$work/zone-days" "$work/zone-naive" "$work/zone-days" >"$work/zone-want"
  "${psql[@]}" -c "SET TimeZone = '$zone'" -c "COPY (SELECT to_shamsi(t, '%Y/%m/%dT%H:%M:%S%z'), t::shamsi,
      to_shamsi(t AT TIME ZONE '$zone', '%Y/%m/%dT%H:%M:%S'), (t AT TIME ZONE '$zone')::shamsi
    FROM zone_cases, to_timestamp(seconds) AS t WHERE zone = '$zone' ORDER BY n) TO STDOUT" >"$work/zone-got"
  cmp "$work/zone-want" "$work/zone-got" || {
    diff "$work/zone-want" "$work/zone-got" | head >&2
    fail "$zone: to_shamsi and ::shamsi of timestamptz and timestamp differ from zoneinfo (above)"
  }
  zone_total=$((zone_total + $(wc -l <"$work/zone-want")))
done
echo "$zone_total instants in $(cut -f1 "$work/zones.tsv" | sort -u | wc -l) zones: to_shamsi and ::shamsi under SET TimeZone agree with zoneinfo"

# 3. pg_dump and pg_restore; binary COPY.
on() { local db=$1; shift; "$pg_bin/psql" -X -q -v ON_ERROR_STOP=1 -At -d "$db" "$@"; }
on postgres -c "CREATE DATABASE shamsi_dump" -c "CREATE DATABASE shamsi_restored"
on shamsi_dump -c "CREATE EXTENSION shamsi" -c "CREATE TABLE visits (id integer PRIMARY KEY, s shamsi NOT NULL,
    year integer GENERATED ALWAYS AS (shamsi_year(s)) STORED,
    label text GENERATED ALWAYS AS (to_shamsi(s, '%A %-d %B %Y', true)) STORED)" \
  -c "INSERT INTO visits (id, s) SELECT i, date '1990-01-01' + i * 7 FROM generate_series(1, 5000) AS i" \
  -c "CREATE INDEX visits_s ON visits (s)" -c "CREATE INDEX visits_label ON visits (to_shamsi(s, '%Y-%m'))"
"$pg_bin/pg_dump" --format=custom --file="$work/dump" shamsi_dump
"$pg_bin/pg_restore" --exit-on-error --dbname=shamsi_restored "$work/dump"
rows="COPY (SELECT id, s, year, label, s::date FROM visits ORDER BY id) TO STDOUT"
on shamsi_dump -c "$rows" >"$work/dumped.tsv"
on shamsi_restored -c "$rows" >"$work/restored.tsv"
(($(wc -l <"$work/dumped.tsv") == 5000)) || fail "the dumped table does not have its 5000 rows"
cmp "$work/dumped.tsv" "$work/restored.tsv" || fail "the restored table differs from the dumped one"
plan=$(on shamsi_restored -c "SET enable_seqscan = off" -c "SET enable_bitmapscan = off" \
  -c "EXPLAIN (COSTS OFF) SELECT id FROM visits WHERE s BETWEEN '1400/01/01' AND '1400/12/29'")
[[ $plan == *"Index Scan using visits_s"* ]] || fail "the restored index on s is not used: $plan"
echo "pg_dump and pg_restore: 5000 rows with shamsi, generated columns and two indexes, restored alike; $(head -1 "$work/restored.tsv" | tr '\t' ' ')"

# Binary COPY: shamsi values out and back in; a day outside the years
# 1-9999 refused on the way in; a C++ exception in the receive function an
# error, not the end of the backend.
on shamsi_restored -c "CREATE TABLE received (s shamsi)"
on shamsi_restored -c "COPY (SELECT s FROM visits ORDER BY id) TO STDOUT (FORMAT binary)" |
  on shamsi_restored -c "COPY received FROM STDIN (FORMAT binary)"
same=$(on shamsi_restored -c "SELECT count(*) FROM (SELECT s, row_number() OVER () FROM received) AS r
  JOIN (SELECT s, row_number() OVER (ORDER BY id) FROM visits) AS v USING (s, row_number)")
((same == 5000)) || fail "binary COPY brought back $same of 5000 shamsi values"
refused() {
  local out
  if out=$(on shamsi_restored -c "COPY (SELECT $1) TO STDOUT (FORMAT binary)" |
    PGOPTIONS=${2:-} on shamsi_restored -c "COPY received FROM STDIN (FORMAT binary)" 2>&1); then
    fail "binary COPY took $1 into a shamsi column"
  fi
  echo "$out" | tr '\n' ' '
}
message=$(refused "date '0500-01-01'")
[[ $message == *"Shamsi date out of range"* ]] || fail "binary 0500-01-01 into shamsi: $message"
message=$(refused "date '2026-12-08'" "-c shamsi.debug_throw=bad_alloc")
[[ $message == *"out of memory"*"A C++ allocation failed in shamsi_recv."* ]] || fail "a bad_alloc in shamsi_recv: $message"
[[ $(on shamsi_restored -c "SELECT count(*) FROM received") == 5000 ]] || fail "the refused rows went in"
echo "binary COPY: 5000 shamsi values out and back; 0500-01-01 refused; a bad_alloc in shamsi_recv: $message"
