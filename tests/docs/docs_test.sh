#!/usr/bin/env bash
# The pages' examples (doc_test.py): shell examples with the built
# shamsi-date first on PATH, relative links, the >>> examples with the built
# Python module (DOCS_PYTHONPATH, when it was built), and, given a build with the
# PostgreSQL extension, the SQL examples in a private server (see
# tests/postgres/private_server.sh), stopped and removed pass or fail. First
# the checker itself is shown to fail, naming the page and line, on a page
# whose example is wrong.
#
#   docs_test.sh SOURCE_DIR SHAMSI_DATE_DIR [BUILD_DIR CMAKE PG_BIN_DIR PG_LIB_DIR PG_SHARE_DIR]
set -euo pipefail
source_dir=$1 program_dir=$2
here=$(cd "$(dirname "$0")" && pwd)
check=("/usr/bin/python3" "$here/doc_test.py")
export PATH="$program_dir:$PATH" LC_ALL=C.UTF-8
cd "$source_dir"
pages=(README.md docs/*.md python/README.md)   # python/README.md: the sdist's and the wheel's description

scratch=$(mktemp -d)
# shellcheck disable=SC2317 # called by the trap
cleanup() {
  rm -rf "$scratch"
  if declare -F pg_private_stop >/dev/null; then pg_private_stop; fi
}
trap cleanup EXIT

printf '# A page\n\n```sh\n$ shamsi-date to-miladi 1405/09/17\n2026/12/09\n```\n' >"$scratch/wrong.md"
if "${check[@]}" shell "$scratch/wrong.md" >"$scratch/wrong.log"; then
  echo "FAIL: a wrong example passed" >&2
  exit 1
fi
grep -q "^$scratch/wrong.md:4: " "$scratch/wrong.log" ||
  { echo "FAIL: a wrong example was not named by page and line:" >&2; cat "$scratch/wrong.log" >&2; exit 1; }

status=0
"${check[@]}" shell "${pages[@]}" || status=1
"${check[@]}" links "${pages[@]}" || status=1
if [[ -n ${DOCS_PYTHONPATH:-} ]]; then
  mapfile -t python_pages < <(grep -l '^```python' "${pages[@]}")
  PYTHONPATH=$DOCS_PYTHONPATH "${check[@]}" python "${python_pages[@]}" || status=1
fi
if (($# > 2)); then
  # shellcheck source=../postgres/private_server.sh
  source "$here/../postgres/private_server.sh"
  pg_private_start "$(mktemp -d "${TMPDIR:-/tmp}/shamsi-docs.XXXXXX")" "$3" "$5" "$6" "$7" "$4"
  export PATH="$5:$PATH"
  mapfile -t sql_pages < <(grep -l '^```sql' "${pages[@]}")
  "${check[@]}" sql "${sql_pages[@]}" || status=1
fi
exit "$status"
