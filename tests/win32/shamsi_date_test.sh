#!/usr/bin/env bash
# shamsi-date.exe under Wine: a date from the arguments, and standard input
# with CR LF line ends, a bad line among them, written back with the same
# line ends, a message on standard error and status 1.
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
echo "shamsi-date.exe: arguments, CR LF input and a bad line as on Linux"
