#!/usr/bin/env bash
# shamsi-date on threads gives byte for byte what it gives on one: output,
# messages with their line numbers, and exit status, over some 400,000 lines
# (about 17 blocks) with bad lines scattered through and one line longer than
# a block near the end. Run by the ThreadSanitizer build as well.
#
# One thread: the same program where no thread can be started, as a user
# allowed one process (root's process limit is not enforced, so as root it
# runs as nobody).
#
#   threads_test.sh PROGRAM
set -uo pipefail
program=$1
if (($(getconf _NPROCESSORS_ONLN) < 2)); then
  echo "SKIP: one processor online, so the program starts no thread"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/program"
chmod 755 "$work" "$work/program"
failures=0

# one_thread ARG...: the program with the arguments, unable to start a thread.
one_thread() {
  local as=()
  if [[ $(id -u) -eq 0 ]]; then
    as=(runuser -u nobody --)
  fi
  # shellcheck disable=SC2016 # expanded by the inner shell
  "${as[@]}" bash -c 'ulimit -u 1 && exec "$0" "$@"' "$work/program" "$@"
}

# compare NAME LINES BAD INPUT ARG...: the program on threads and on one
# thread, the same; and the one-thread run as many lines out as in, a
# message for each bad line and status 1.
compare() {
  local name=$1 lines=$2 bad=$3 input=$4
  shift 4
  "$work/program" "$@" <"$input" >"$work/out" 2>"$work/err"
  local status=$?
  one_thread "$@" <"$input" >"$work/one-out" 2>"$work/one-err"
  local one_status=$?
  local out_lines messages
  out_lines=$(wc -l <"$work/one-out")
  messages=$(grep -c '^shamsi-date: line [0-9]*: ' "$work/one-err")
  if [[ $status -ne $one_status ]] || ! cmp -s "$work/out" "$work/one-out" || ! cmp -s "$work/err" "$work/one-err"; then
    failures=$((failures + 1))
    echo "FAIL: $name: threads gave status $status, one thread $one_status"
    cmp "$work/out" "$work/one-out" | sed 's/^/  out: /'
    diff "$work/err" "$work/one-err" | head -20 | sed 's/^/  err: /'
  elif [[ $one_status -ne 1 || $out_lines -ne $lines || $messages -ne $bad ]]; then
    failures=$((failures + 1))
    echo "FAIL: $name: status $one_status, $out_lines lines of $lines, $messages messages for $bad bad lines"
    head -c 500 "$work/one-err"
  else
    echo "$name: $lines lines, $bad bad, the same on threads and on one"
  fi
}

# Every day of the Shamsi years 1000-2099. At places a Park-Miller generator
# picks, six lines in 500 are bad in one of six ways (not a day, not a date,
# empty, outside the years, longer than a date can be, blanks only) and one
# in 500 ends in CR LF; line 360,000 is 524,288 bytes long.
awk -v first=1000 -v last=2099 -f "$(dirname "$0")/shamsi_days.awk" | awk '
  BEGIN { seed = 29; bad = 0; for (long = "x"; length(long) < 300000;) long = long long }
  {
    seed = (seed * 16807) % 2147483647
    kind = seed % 500
    if (NR == 360000) { print long; bad++ }
    else if (kind == 0) { print substr($0, 1, length($0) - 5) "13/01"; bad++ }
    else if (kind == 1) { print "x" $0; bad++ }
    else if (kind == 2) { print ""; bad++ }
    else if (kind == 3) { print "10000/01/01"; bad++ }
    else if (kind == 4) { printf "%s%300s\n", $0, "y"; bad++ }
    else if (kind == 5) { print " \t "; bad++ }
    else if (kind == 6) printf "%s\r\n", $0
    else print
  }
  END { print bad >"/dev/stderr" }' >"$work/dates" 2>"$work/bad" || {
  echo "FAIL: making the input: $(cat "$work/bad")"
  exit 1
}
lines=$(wc -l <"$work/dates")
compare "to-miladi" "$lines" "$(cat "$work/bad")" "$work/dates" to-miladi

# The Miladi days so made, as the second of three fields under a header
# line, CR LF kept: the bad lines' empty results are bad again.
{
  echo 'id;when;note'
  awk '{ cr = sub(/\r$/, ""); printf "%d;%s;n%s\n", NR, $0, cr ? "\r" : "" }' "$work/one-out"
} >"$work/rows"
compare "to-shamsi --header --field 2" "$((lines + 1))" "$(cat "$work/bad")" "$work/rows" \
  to-shamsi --header --field 2 --delimiter ';'

((failures == 0))
