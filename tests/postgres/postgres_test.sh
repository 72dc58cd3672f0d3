#!/usr/bin/env bash
# The shamsi extension in a real PostgreSQL server, started here (see
# private_server.sh) and stopped, with its folder removed, pass or fail:
#   1. pg_regress runs sql/*.sql and compares their output with expected/*.out;
#   2. every day of the Shamsi years 1-9999, written by to_shamsi and read
#      back by shamsi_date, agrees with shamsi-date both ways.
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
  functions errors plans exhaustive type hardening update; then
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
