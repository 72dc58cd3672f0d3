#!/usr/bin/env bash
# The shamsi extension across servers: two shards and a coordinator, private
# servers (see private_server.sh), stopped and removed pass or fail. The
# coordinator's table is partitioned by Shamsi year, shamsi_year(d), into a
# foreign table on each shard (postgres_fdw, OPTIONS (extensions 'shamsi')),
# so that a GROUP BY that holds the year is done whole on each shard. For a
# GROUP BY on the
# integer fields (with enable_partitionwise_aggregate) and for a filter on
# d::shamsi, EXPLAIN VERBOSE must show the Shamsi functions in each shard's
# Remote SQL, and the results must be those of the same rows in one table.
#
#   shard_test.sh BUILD_DIR CMAKE PG_BIN_DIR PG_LIB_DIR PG_SHARE_DIR
set -euo pipefail
build_dir=$1 cmake=$2 pg_bin=$3 pg_lib=$4 pg_share=$5
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/private_server.sh
source "$here/private_server.sh"
# shellcheck source=SCRIPTDIR/private_shards.sh
source "$here/private_shards.sh"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

trap pg_private_stop EXIT
pg_shards_start "$build_dir" "$pg_bin" "$pg_lib" "$pg_share" "$cmake"

# The shards hold one table each; the coordinator partitions its table by
# Shamsi year between them: the years before 1399 on one, the others on the
# other.
for shard in shard1 shard2; do
  on "$shard" -c "CREATE EXTENSION shamsi" -c "CREATE TABLE sales (id integer, d date, amount integer)"
done
pg_shards_partition "id integer, d date, amount integer" 1399
on coordinator -c "ALTER SERVER shard1 OPTIONS (ADD batch_size '1000')" -c "ALTER SERVER shard2 OPTIONS (ADD batch_size '1000')" \
  -c "INSERT INTO sales SELECT i, date '2017-01-01' + i % 2900, i % 97 FROM generate_series(1, 60000) AS i" \
  -c "CREATE TABLE one_server AS SELECT * FROM sales"
for shard in shard1 shard2; do
  on "$shard" -c "ANALYZE sales"
done
counts=$(on shard1 -c "SELECT count(*) FROM sales")/$(on shard2 -c "SELECT count(*) FROM sales")
echo "60000 rows: $counts on the two shards"

# Each query: its plan on the coordinator, the Remote SQL of each foreign
# scan naming the Shamsi function, and its rows equal to one_server's.
check() {
  local name=$1 expected=$2 query=$3
  local plan remote
  plan=$(on coordinator -c "SET enable_partitionwise_aggregate = on" -c "EXPLAIN (VERBOSE, COSTS OFF) $query")
  remote=$(grep 'Remote SQL:' <<<"$plan" || true)
  (($(grep -c . <<<"$remote") == 2)) || fail "$name: expected a foreign scan on each shard:"$'\n'"$plan"
  (($(grep -c -- "$expected" <<<"$remote") == 2)) ||
    fail "$name: $expected is not in each shard's Remote SQL:"$'\n'"$plan"
  echo "$remote"
  local sharded local_rows
  sharded=$(on coordinator -c "SET enable_partitionwise_aggregate = on" -c "$query ORDER BY 1, 2")
  local_rows=$(on coordinator -c "${query//FROM sales/FROM one_server} ORDER BY 1, 2")
  [[ -n $sharded && $sharded == "$local_rows" ]] ||
    fail "$name: the shards' rows differ from one server's:"$'\n'"$sharded"$'\n---\n'"$local_rows"
  echo "$name: each shard runs $expected; $(grep -c . <<<"$sharded") result rows equal to one server's"
}
check "GROUP BY shamsi_year(d), shamsi_month(d)" "public.shamsi_year(d), public.shamsi_month(d)" \
  "SELECT shamsi_year(d), shamsi_month(d), count(*), sum(amount) FROM sales GROUP BY 1, 2"
check "WHERE d::shamsi BETWEEN" "d::public.shamsi OPERATOR(public.>=) '1399/01/01'::public.shamsi" \
  "SELECT id, d::shamsi, amount FROM sales WHERE d::shamsi BETWEEN '1399/01/01' AND '1399/12/30'"
# A timestamp's cast to shamsi is IMMUTABLE, so it is shipped too; a
# timestamptz's reads the session's TimeZone and stays here.
check "WHERE timestamp::shamsi BETWEEN" "::public.shamsi OPERATOR(public.>=) '1399/01/01'::public.shamsi" \
  "SELECT id, (d + time '12:00')::shamsi, amount FROM sales WHERE (d + time '12:00')::shamsi BETWEEN '1399/01/01' AND '1399/12/30'"
plan=$(on coordinator -c "EXPLAIN (VERBOSE, COSTS OFF) SELECT id FROM sales WHERE (d + time '12:00')::timestamptz::shamsi = '1399/01/01'")
if grep 'Remote SQL:' <<<"$plan" | grep -q 'shamsi'; then
  fail "the timestamptz cast was shipped to a shard:"$'\n'"$plan"
fi
echo "WHERE timestamptz::shamsi: filtered on the coordinator, as a STABLE function is"
