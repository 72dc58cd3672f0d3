# shellcheck shell=bash
# A private PostgreSQL server for the shamsi extension's tests and
# benchmarks, sourced by them (bash):
#
#   pg_private_start WORK BUILD_DIR PG_BIN_DIR PG_LIB_DIR PG_SHARE_DIR CMAKE [SERVER_OPTIONS]
#   ... psql with PGHOST, PGPORT and PGUSER set ...
#   pg_private_stop
#
# The extension is installed (cmake --install, component "postgresql") into
# WORK/usr beside a copy of the server's programs, with the server's own
# modules and shared files linked in: PostgreSQL finds its modules and shared
# files relative to its program, so this server loads the extension from the
# build without anything installed on the machine. The server runs as an
# unprivileged user (nobody when started by root: PostgreSQL refuses root),
# listens on a Unix socket in WORK only, and pg_private_stop stops it and
# removes WORK. Callers set a trap that calls pg_private_stop, pass or fail.
#
# Several servers may run at once, each started with a WORK of its own: each
# start leaves PGHOST naming its socket folder (the port is the same, in
# another folder), and pg_private_stop stops them all.

pg_private_works=()
pg_private_as=()

pg_private_start() {
  local work=$1 build_dir=$2 bin_dir=$3 lib_dir=$4 share_dir=$5 cmake=$6 options=${7:-}
  pg_private_works+=("$work")
  pg_private_pg_ctl=$bin_dir/pg_ctl
  mkdir -p "$work"
  chmod 0755 "$work"
  local root=$work/usr
  # Debian's folders (/usr/lib/postgresql/15/..., /usr/share/postgresql/15)
  # below WORK/usr.
  local bin=$root/${bin_dir#/usr/} lib=$root/${lib_dir#/usr/} share=$root/${share_dir#/usr/}
  "$cmake" --install "$build_dir" --component postgresql --prefix "$root" >"$work/install.log"
  [[ -f $lib/shamsi.so && -f $share/extension/shamsi.control ]] ||
    { echo "the extension did not install into $lib and $share" >&2; return 1; }
  # The programs are copied, not linked: PostgreSQL follows a link to its
  # own program before it looks for the folders beside it.
  mkdir -p "$bin"
  cp "$bin_dir/postgres" "$bin_dir/initdb" "$bin_dir/pg_ctl" "$bin/"
  local entry
  for entry in "$lib_dir"/* "$share_dir"/* "$share_dir"/extension/*; do
    local target=$root/${entry#/usr/}
    [[ -e $target ]] || ln -s "$entry" "$target"
  done

  pg_private_as=()
  if ((EUID == 0)); then
    pg_private_as=(runuser -u nobody --)
  fi
  mkdir -p "$work/data" "$work/socket"
  [[ ${#pg_private_as[@]} -eq 0 ]] || chown nobody: "$work/data" "$work/socket"
  "${pg_private_as[@]}" "$bin/initdb" --pgdata="$work/data" --username=postgres --encoding=UTF8 --locale=C \
    --auth=trust --no-sync >"$work/initdb.log" 2>&1 ||
    { cat "$work/initdb.log" >&2; return 1; }
  export PGHOST=$work/socket PGPORT=54329 PGUSER=postgres PGDATABASE=postgres
  touch "$work/server.log"
  [[ ${#pg_private_as[@]} -eq 0 ]] || chown nobody: "$work/server.log"
  "${pg_private_as[@]}" "$bin/pg_ctl" start --pgdata="$work/data" --log="$work/server.log" --wait --timeout=60 \
    --options="-c listen_addresses='' -c unix_socket_directories='$PGHOST' -p $PGPORT -c fsync=off $options" \
    >/dev/null ||
    { cat "$work/server.log" >&2; return 1; }
}

pg_private_stop() {
  local work
  for work in "${pg_private_works[@]}"; do
    if [[ -f $work/data/postmaster.pid ]]; then
      "${pg_private_as[@]}" "$pg_private_pg_ctl" stop --pgdata="$work/data" --mode=fast --wait \
        >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
  done
  pg_private_works=()
}
