# shellcheck shell=bash
# Two shards and a coordinator, private servers (private_server.sh, which the
# caller sources first), for the extension's test and benchmark across
# servers:
#
#   pg_shards_start BUILD_DIR PG_BIN_DIR PG_LIB_DIR PG_SHARE_DIR CMAKE
#   on SERVER PSQL_ARGUMENTS...    (SERVER: shard1, shard2 or coordinator)
#   ... each shard makes its table sales, with a column d of type date ...
#   pg_shards_partition COLUMNS SPLIT_YEAR
#   pg_private_stop                (stops all three, from the caller's trap)
#
# pg_shards_partition makes the coordinator's table sales (COLUMNS, as in
# CREATE TABLE) partitioned by Shamsi year, shamsi_year(d), into a foreign
# table on each shard (postgres_fdw, OPTIONS (extensions 'shamsi')), so that
# a GROUP BY that holds the year is done whole on each shard: the years
# before SPLIT_YEAR on shard1, the others on shard2.

declare -A pg_shards_socket=()
pg_shards_psql=()

pg_shards_start() {
  local build_dir=$1 bin_dir=$2 lib_dir=$3 share_dir=$4 cmake=$5 server
  pg_shards_psql=("$bin_dir/psql" -X -q -v ON_ERROR_STOP=1 -At)
  for server in shard1 shard2 coordinator; do
    pg_private_start "$(mktemp -d "${TMPDIR:-/tmp}/shamsi-$server.XXXXXX")" \
      "$build_dir" "$bin_dir" "$lib_dir" "$share_dir" "$cmake"
    pg_shards_socket[$server]=$PGHOST
  done
}

on() {
  local server=$1
  shift
  PGHOST=${pg_shards_socket[$server]} "${pg_shards_psql[@]}" "$@"
}

pg_shards_partition() {
  local columns=$1 split=$2 shard
  on coordinator -c "CREATE EXTENSION shamsi" -c "CREATE EXTENSION postgres_fdw" \
    -c "CREATE TABLE sales ($columns) PARTITION BY RANGE (shamsi_year(d))"
  for shard in shard1 shard2; do
    on coordinator -c "CREATE SERVER $shard FOREIGN DATA WRAPPER postgres_fdw
        OPTIONS (host '${pg_shards_socket[$shard]}', port '$PGPORT', dbname 'postgres', extensions 'shamsi')" \
      -c "CREATE USER MAPPING FOR postgres SERVER $shard OPTIONS (user 'postgres')"
  done
  on coordinator -c "CREATE FOREIGN TABLE sales_1 PARTITION OF sales FOR VALUES FROM (MINVALUE) TO ($split)
      SERVER shard1 OPTIONS (table_name 'sales')" \
    -c "CREATE FOREIGN TABLE sales_2 PARTITION OF sales FOR VALUES FROM ($split) TO (MAXVALUE)
      SERVER shard2 OPTIONS (table_name 'sales')"
}
