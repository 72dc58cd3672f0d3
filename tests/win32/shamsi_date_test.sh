#!/usr/bin/env bash
# shamsi-date.exe under Wine: a date from the arguments, and standard input
# with CR LF line ends, a bad line among them, written back with the same
# line ends, a message on standard error and status 1; the forms people
# write (month names in Persian arguments, timestamps, today), a header
# line, a form of one's own and Afghan month names.
#
# Usage: shamsi_date_test.sh SHAMSI_DATE_EXE WINEPREFIX
set -euo pipefail
exe=$1
export WINEPREFIX=$2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "shamsi-date.exe: $*" >&2
  exit 1
}

out=$(wine "$exe" to-miladi 1405/09/17)
[[ $out == 2026/12/08 ]] || fail "to-miladi 1405/09/17 gave '$out'"
# Persian digits in an argument reach the program through its UTF-16
# command line (Wine reads this one in UTF-8).
out=$(LC_ALL=C.UTF-8 wine "$exe" to-miladi ۱۴۰۵/۰۹/۱۷ --digits persian)
[[ $out == ۲۰۲۶/۱۲/۰۸ ]] || fail "to-miladi ۱۴۰۵/۰۹/۱۷ --digits persian gave '$out'"

status=0
printf '1404/01/01\r\n1404/12/30\r\n' | wine "$exe" to-miladi >"$work/out" 2>"$work/err" || status=$?
((status == 1)) || fail "status $status for a bad line, not 1"
printf '2025/03/21\r\n\r\n' | cmp -s - "$work/out" || fail "standard output: $(od -c "$work/out")"
grep -qx "shamsi-date: line 2: '1404/12/30': .*" "$work/err" || fail "standard error: $(cat "$work/err")"

out=$(LC_ALL=C.UTF-8 wine "$exe" to-miladi 'سه شنبه  17 آذر  1405' '۱۷ آذر ۱۴۰۵' | tr -d '\r')
[[ $out == $'2026/12/08\n2026/12/08' ]] || fail "Persian month names gave '$out'"
out=$(wine "$exe" to-shamsi 'December 8, 2026' '2026-12-08T23:59:59+03:30' '2026-12-08 10:30:00')
[[ $out == $'1405/09/17\n1405/09/17T23:59:59+03:30\n1405/09/17 10:30:00' ]] || fail "names and timestamps gave '$out'"
out=$(LC_ALL=C.UTF-8 wine "$exe" to-shamsi --format %B --names afghan 2026-12-08)
[[ $out == قوس ]] || fail "--names afghan gave '$out'"
out=$(wine "$exe" to-miladi today)
[[ $out == "$(date +%Y/%m/%d)" ]] || fail "today gave '$out'"
printf 'id,when\r\n1,17/9/1405 10:30\r\n' | wine "$exe" to-miladi --header --field 2 --input-format %d/%m/%Y >"$work/out" ||
  fail "header and input format: status $?"
printf 'id,when\r\n1,2026/12/08 10:30\r\n' | cmp -s - "$work/out" || fail "header and input format: $(od -c "$work/out")"
echo "shamsi-date.exe: arguments, CR LF input, a bad line, names, times, today and a header as on Linux"
