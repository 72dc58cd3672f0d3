#!/usr/bin/env bash
# The program and scripts/run.sh started with no display and no platform
# chosen: one line on the error output, nothing on the standard output, and
# a failure status of their own, not an abort by a signal.
#
#   no_display_test.sh PROGRAM SOURCE_DIR
set -euo pipefail

program=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

check() {
  local what=$1
  shift
  local status=0
  (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$work/out" 2>"$work/err") || status=$?
  echo "$what: status $status, error output: $(cat "$work/err")"
  ((status != 0)) || fail "$what ended with status 0"
  ((status < 128)) || fail "$what was ended by signal $((status - 128))"
  [[ ! -s $work/out ]] || fail "$what wrote to its standard output: $(cat "$work/out")"
  (($(wc -l <"$work/err") == 1)) || fail "$what did not write exactly one line"
  grep -q 'DISPLAY' "$work/err" || fail "$what does not say that there is no display"
  grep -q 'xvfb-run -a ' "$work/err" || fail "$what does not say how to run it headless"
  ! ls "$work"/core* >/dev/null 2>&1 || fail "$what left a core file"
}

check "the program" "$program"
check "scripts/run.sh" "$source_dir/scripts/run.sh"
echo "both refused to start without a display, in one line"
