#!/usr/bin/env bash
# shamsi-date.exe under Wine: a date from the arguments, and standard input
# with CR LF line ends, a bad line among them, written back with the same
# line ends, a message on standard error and status 1; many lines there
# and back; the forms people
# write (month names in Persian arguments, timestamps, today), a header
# line, a form of one's own and Afghan month names; add and diff, and a
# month from cal (no colour into a pipe, colour when asked for).
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

# Many lines, converted on several threads: every day back to itself, and a
# bad line at the end told with its own number.
awk -v first=1300 -v last=1420 -f "$(dirname "$0")/../cli/shamsi_days.awk" >"$work/days"
lines=$(wc -l <"$work/days")
{ cat "$work/days"; echo 1404/12/30; } >"$work/in"
status=0
wine "$exe" to-miladi <"$work/in" >"$work/miladi" 2>"$work/err" || status=$?
((status == 1)) || fail "status $status for many lines and a bad one, not 1"
grep -q "^shamsi-date: line $((lines + 1)): '1404/12/30': " "$work/err" || fail "many lines: $(cat "$work/err")"
head -n "$lines" "$work/miladi" | wine "$exe" to-shamsi | cmp -s - "$work/days" || fail "many lines did not come back"

out=$(LC_ALL=C.UTF-8 wine "$exe" to-miladi 'سه شنبه  17 آذر  1405' '۱۷ آذر ۱۴۰۵' | tr -d '\r')
[[ $out == $'2026/12/08\n2026/12/08' ]] || fail "Persian month names gave '$out'"
out=$(wine "$exe" to-shamsi 'December 8, 2026' '2026-12-08T23:59:59+03:30' '2026-12-08 10:30:00')
[[ $out == $'1405/09/17\n1405/09/17T23:59:59+03:30\n1405/09/17 10:30:00' ]] || fail "names and timestamps gave '$out'"
# Time zones: UTC and local alone, there being no zoneinfo on Windows.
out=$(wine "$exe" to-shamsi --zone UTC 2026-12-09T01:30:00+03:30 @1796767200 | tr -d '\r')
[[ $out == $'1405/09/17T22:00:00+00:00\n1405/09/17T22:00:00+00:00' ]] || fail "--zone UTC gave '$out'"
out=$(wine "$exe" to-shamsi --zone local --format '%Y/%m/%d %H:%M:%S %z' @1796767200 | tr -d '\r')
[[ $out =~ ^140[0-9]/[0-9]{2}/[0-9]{2}\ [0-9]{2}:[0-9]{2}:[0-9]{2}\ [+-][0-9]{2}:[0-9]{2}$ ]] || fail "--zone local gave '$out'"
status=0
wine "$exe" to-shamsi --zone Asia/Tehran 2026-12-08 >"$work/out" 2>"$work/err" || status=$?
((status == 2)) || fail "status $status for --zone Asia/Tehran, not 2"
[[ $(tr -d '\r' <"$work/err") == "shamsi-date: unknown time zone 'Asia/Tehran' (on Windows, --zone takes UTC and local)" ]] ||
  fail "--zone Asia/Tehran: $(cat "$work/err")"
out=$(LC_ALL=C.UTF-8 wine "$exe" to-shamsi --format %B --names afghan 2026-12-08)
[[ $out == قوس ]] || fail "--names afghan gave '$out'"
out=$(wine "$exe" to-miladi today)
[[ $out == "$(date +%Y/%m/%d)" ]] || fail "today gave '$out'"
printf 'id,when\r\n1,17/9/1405 10:30\r\n' | wine "$exe" to-miladi --header --field 2 --input-format %d/%m/%Y >"$work/out" ||
  fail "header and input format: status $?"
printf 'id,when\r\n1,2026/12/08 10:30\r\n' | cmp -s - "$work/out" || fail "header and input format: $(od -c "$work/out")"
out=$(wine "$exe" add -3w 1405/09/17)
[[ $out == 1405/08/26 ]] || fail "add -3w 1405/09/17 gave '$out'"
printf '1404/01/01,1405/09/17\r\n1405/09/17,1405/09/12\r\n' | wine "$exe" diff --ymd >"$work/out"
printf '+1y8m16d\r\n-5d\r\n' | cmp -s - "$work/out" || fail "diff --ymd: $(od -c "$work/out")"
lrm=$'\u200e'
printf '%s\n' "      آذر 1405" " ش$lrm  ی$lrm  د$lrm  س$lrm  چ$lrm  پ$lrm  ج$lrm" "    1  2  3  4  5  6" \
  " 7  8  9 10 11 12 13" "14 15 16 17 18 19 20" "21 22 23 24 25 26 27" "28 29 30" >"$work/want"
wine "$exe" cal 9 1405 >"$work/out"
cmp -s "$work/want" "$work/out" || fail "cal 9 1405: $(cat "$work/out")"
[[ $(wine "$exe" cal --color=always 9 1405 | grep -c $'\e\\[31m') -eq 5 ]] || fail "cal --color=always: no red Fridays"
echo "shamsi-date.exe: arguments, CR LF input, a bad line, names, times, today and a header as on Linux; --zone UTC and local; add, diff and cal"
