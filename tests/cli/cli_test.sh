#!/usr/bin/env bash
# shamsi-date end to end: arguments, standard input, line ends, digits,
# fields, bad lines with their messages, exit status, help.
#
#   cli_test.sh PROGRAM
set -uo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
cases=0

# check NAME STATUS STDIN STDOUT STDERR -- ARG...
# Runs the program with the arguments and STDIN as its input; its output,
# error output and exit status must be exactly those given.
check() {
  local name=$1 status=$2 input=$3 out=$4 err=$5
  shift 6
  cases=$((cases + 1))
  printf '%s' "$input" | "$program" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  printf '%s' "$out" >"$work/want-out"
  printf '%s' "$err" >"$work/want-err"
  if [[ $got -ne $status ]] || ! cmp -s "$work/out" "$work/want-out" || ! cmp -s "$work/err" "$work/want-err"; then
    failures=$((failures + 1))
    echo "FAIL: $name (status $got, expected $status)"
    diff <(od -c "$work/want-out") <(od -c "$work/out") | sed 's/^/  out: /'
    diff "$work/want-err" "$work/err" | sed 's/^/  err: /'
  fi
}

p='shamsi-date: '
u='not a date of the form Y/M/D, D MONTH Y or MONTH D, Y'
check "one argument" 0 '' $'2026/12/08\n' '' -- to-miladi 1405/09/17
check "standard input, a bad line" 1 $'1404/01/01\n1404/12/30\n' $'2025/03/21\n\n' \
  "${p}line 2: '1404/12/30': not a day of the Shamsi calendar"$'\n' -- to-miladi
check "the astronomical leap year 1503, not 1502" 1 $'1503/01/01\n1502/12/30\n1503/12/30\n' $'2124/03/20\n\n2125/03/20\n' \
  "${p}line 2: '1502/12/30': not a day of the Shamsi calendar"$'\n' -- to-miladi
check "2124-03-20 is 1 Farvardin 1503" 0 '' $'1503/01/01\n1502/12/29\n' '' -- to-shamsi 2124-03-20 2124-03-19
check "CR LF kept" 0 $'1404/01/01\r\n1403/12/30\r\n' $'2025/03/21\r\n2025/03/20\r\n' '' -- to-miladi
check "last line without a line feed" 0 $'1404/1/1\n1404-1-2' $'2025/03/21\n2025/03/22' '' -- to-miladi
check "blanks, empty line, unreadable" 1 $' \t1404-1-1 \t\n\n13/1\n' $'2025/03/21\n\n\n' \
  "${p}line 2: '': $u"$'\n'"${p}line 3: '13/1': $u"$'\n' -- to-miladi
check "out of range, Shamsi" 1 $'10000/01/01\n' $'\n' "${p}line 1: '10000/01/01': outside the Shamsi years 1-9999"$'\n' -- to-miladi
check "out of range, Miladi" 1 $'10621/03/20\n0622/03/20\n' $'\n\n' \
  "${p}line 1: '10621/03/20': outside 0622/03/21-10621/03/19 (the Shamsi years 1-9999)"$'\n'"${p}line 2: '0622/03/20': outside 0622/03/21-10621/03/19 (the Shamsi years 1-9999)"$'\n' \
  -- to-shamsi
check "Persian and Arabic-Indic digits in, Persian out" 0 $'۲۰۲۵/۰۳/۲۱\n٢٠٢٦-١٢-٨\n' $'۱۴۰۴/۰۱/۰۱\n۱۴۰۵/۰۹/۱۷\n' '' \
  -- to-shamsi --digits persian
check "arguments, one bad" 1 '' $'1404/01/01\n\n0001/01/01\n' "${p}argument 2: '2025/02/29': not a day of the Miladi calendar"$'\n' \
  -- to-shamsi 2025/03/21 2025/02/29 0622/03/21
check "names and unpadded fields" 0 '' $'سه\u200cشنبه 17 آذر 1405, 263\n' '' \
  -- to-shamsi --format '%A %-d %B %Y, %j' 2026-12-08
check "English names" 0 '' $'Tuesday 8 December 2026 %\n' '' -- to-miladi --format='%A %-d %B %Y %%' 1405/9/17
check "field mode" 1 $'a;1404/1/1;c\r\nb;bad;d\nonly\nx;1403/12/30\r\n;;\n' \
  $'a;2025/03/21;c\r\nb;bad;d\nonly\nx;2025/03/20\r\n;;\n' \
  "${p}line 2: 'bad': $u"$'\n'"${p}line 3: 'only': no field 2"$'\n'"${p}line 5: '': $u"$'\n' \
  -- to-miladi --field 2 --delimiter ';'
check "field mode, first field, default comma" 0 $'2025-03-21,x,y\n' $'1404/01/01,x,y\n' '' -- to-shamsi --field 1
# The forms people write: names and weekdays, timestamps, a header line,
# a form of one's own, each next to a bad neighbour.
m='not a date of the form Y/M/D, D MONTH Y or MONTH D, Y'
w="the weekday is not that date's"
check "Shamsi month names" 1 $'۱۷ آذر ۱۴۰۵\nسه شنبه  17 آذر  1405\nسه\u200cشنبه، ۱۷ قوس ۱۴۰۵\nجمعه 17 آذر 1405\n17 آذرماه 1405\n' \
  $'2026/12/08\n2026/12/08\n2026/12/08\n\n\n' \
  "${p}line 4: 'جمعه 17 آذر 1405': $w"$'\n'"${p}line 5: '17 آذرماه 1405': $u"$'\n' -- to-miladi
check "Miladi month names" 1 $'December 8, 2026\nTuesday, 8 Dec 2026\nMonday 8 December 2026\n8 Decem 2026\n' \
  $'1405/09/17\n1405/09/17\n\n\n' \
  "${p}line 3: 'Monday 8 December 2026': $w"$'\n'"${p}line 4: '8 Decem 2026': $m"$'\n' -- to-shamsi
check "timestamps" 1 $'2026-12-08T10:30\n2026-12-08 10:30:00\n2026-12-08T10:30:00.123Z\n2026-12-08T23:59:59+03:30\n2026-12-08T24:00\n2026-12-08  10:30\n' \
  $'1405/09/17T10:30\n1405/09/17 10:30:00\n1405/09/17T10:30:00.123Z\n1405/09/17T23:59:59+03:30\n\n\n' \
  "${p}line 5: '2026-12-08T24:00': $m"$'\n'"${p}line 6: '2026-12-08  10:30': $m"$'\n' -- to-shamsi
check "header, field, Shamsi timestamp" 0 $'id;when\r\n1;1405/09/17 10:30\r\n' $'id;when\r\n1;2026/12/08 10:30\r\n' '' \
  -- to-miladi --header --field 2 --delimiter ';'
check "header only, no line feed" 0 'id,when' 'id,when' '' -- to-shamsi --header
check "input format" 1 $'17/9/1405\n1405/09/17\n' $'2026/12/08\n\n' "${p}line 2: '1405/09/17': not of the form %d/%m/%Y"$'\n' \
  -- to-miladi --input-format %d/%m/%Y
check "%y and Afghan month names" 0 '' $'05 حوت 1405\n' '' -- to-shamsi --format '%y %B %Y' --names afghan 2027-03-20
check "Shamsi months in Latin letters" 1 '' $'2026/12/08\n2026/12/08\n2026/12/08\n2025/07/23\n2025/12/22\n\n\n' \
  "${p}argument 6: 'Friday, 17 Azar 1405': $w"$'\n'"${p}argument 7: '17 Azarr 1405': $u"$'\n' \
  -- to-miladi '17 Azar 1405' 'azar 17, 1405' 'Tuesday, 17 Azar 1405' '1 Amordad 1404' '1 Dei 1404' \
  'Friday, 17 Azar 1405' '17 Azarr 1405'
check "English names" 0 '' $'Tuesday, 17 Azar 1405\n' '' -- to-shamsi --names english --format '%A, %-d %B %Y' 2026-12-08
check "English names, Persian digits" 0 '' $'۱۷ Azar ۱۴۰۵\n' '' \
  -- to-shamsi --names english --digits persian --format '%-d %B %Y' 2026-12-08

# Words for days name the local day: in time zones 25 hours apart they
# never name the same one.
for tz in XXX-14 YYY+11; do
  cases=$((cases + 1))
  today=$(TZ=$tz date +%Y/%m/%d)
  want=$(printf '%s\n' "$("$program" to-shamsi "$today")" "$today" "$(TZ=$tz date -d yesterday +%Y/%m/%d)" \
    "$(TZ=$tz date -d tomorrow +%Y/%m/%d)")
  got=$(TZ=$tz "$program" to-shamsi today && TZ=$tz "$program" to-miladi امروز دیروز 'فردا ')
  if [[ $got != "$want" ]]; then
    failures=$((failures + 1))
    echo "FAIL: words for days in $tz: got $got, expected $want"
  fi
done
check "a word for a day and more" 1 '' $'\n' "${p}argument 1: 'todays': $u"$'\n' -- to-miladi todays

# add and diff.
check "add a month, held to the month's end" 0 '' $'1405/07/30\n' '' -- add +1m 1405/06/31
check "add days" 0 '' $'1405/10/27\n' '' -- add +40d 1405/09/17
check "add weeks back, no -- needed" 0 '' $'سه\u200cشنبه 26 آبان 1405\n' '' -- add -3w --format '%A %-d %B %Y' 1405/09/17
check "add a year to 30 Esfand, Persian digits" 0 '' $'۱۴۰۴/۱۲/۲۹\n' '' -- add --digits persian +۱y ۱۴۰۳/۱۲/۳۰
check "add Miladi months" 0 '' $'2025/02/28\n2024/02/29\n' '' -- add --miladi 1m 2025-01-31 2024-01-31
check "add, standard input, bad lines kept in place" 1 $'1405/06/31\r\nbad\n9999/12/01\n1404/1/1' $'1405/07/30\r\n\n\n1404/02/01' \
  "${p}line 2: 'bad': $u"$'\n'"${p}line 3: '9999/12/01': the result falls outside the Shamsi years 1-9999"$'\n' -- add +1m
check "add, field mode" 0 $'a;1405/06/31;x\n' $'a;1405/07/30;x\n' '' -- add +1m --field 2 --delimiter ';'
check "diff in days" 0 '' $'627\n' '' -- diff 1404/01/01 1405/09/17
check "diff, the later date first" 0 '' $'-12\n' '' -- diff 1405/09/17 1405/09/05
check "diff --ymd" 0 '' $'+1y8m16d\n' '' -- diff --ymd 1404/01/01 1405/09/17
check "diff --ymd, backwards and equal" 0 $'1405/09/17,1405/09/12\n1405/1/1,1405/1/1\n1405/09/17,1404/01/01\n' \
  $'-5d\n0d\n-1y8m16d\n' '' -- diff --ymd
check "diff --miladi --ymd" 0 '' $'+1m1d\n' '' -- diff --miladi --ymd 2024-01-31 2024-03-01
check "diff, standard input, bad lines" 1 $'1404/01/01;1405/09/17\r\n1404/13/01;1405/01/01\nx\n1404/1/1;y' $'627\r\n\n\n' \
  "${p}line 2: '1404/13/01': not a day of the Shamsi calendar"$'\n'"${p}line 3: 'x': not two dates split by ';'"$'\n'"${p}line 4: 'y': $u"$'\n' \
  -- diff --delimiter ';'
check "add with a header, names and a time" 0 $'id,when\n1,۱۷ آذر ۱۴۰۵ 10:30\n2,today\n' \
  "id,when"$'\n'"1,1405/10/17 10:30"$'\n'"2,$("$program" add +1m --format %Y/%m/%d "$("$program" to-shamsi "$(date +%Y/%m/%d)")")"$'\n' '' \
  -- add +1m --header --field 2
check "diff with a header and Miladi names" 0 $'from;to\nDecember 8, 2026;2027-03-21T00:00Z\n' $'from;to\n103\n' '' \
  -- diff --header --miladi --delimiter ';'
check "diff, a bad argument" 1 '' $'\n' "${p}argument 2: '1405/12/30': not a day of the Shamsi calendar"$'\n' -- diff 1405/1/1 1405/12/30

# cal: the month, the year and three months; colour only when asked for.
lrm=$'\u200e'
initials=" ش$lrm  ی$lrm  د$lrm  س$lrm  چ$lrm  پ$lrm  ج$lrm"
check "cal MONTH YEAR" 0 '' "      آذر 1405
$initials
    1  2  3  4  5  6
 7  8  9 10 11 12 13
14 15 16 17 18 19 20
21 22 23 24 25 26 27
28 29 30
" '' -- cal 9 1405
check "cal by name, Persian digits" 0 '' "      حوت ۱۴۰۳
$initials
             ۱  ۲  ۳
 ۴  ۵  ۶  ۷  ۸  ۹ ۱۰
۱۱ ۱۲ ۱۳ ۱۴ ۱۵ ۱۶ ۱۷
۱۸ ۱۹ ۲۰ ۲۱ ۲۲ ۲۳ ۲۴
۲۵ ۲۶ ۲۷ ۲۸ ۲۹ ۳۰
" '' -- cal --digits persian --names afghan حوت ۱۴۰۳
check "cal -3" 0 '' "     اسفند 1404           فروردین 1405         اردیبهشت 1405
$initials  $initials  $initials
                   1   1  2  3  4  5  6  7            1  2  3  4
 2  3  4  5  6  7  8   8  9 10 11 12 13 14   5  6  7  8  9 10 11
 9 10 11 12 13 14 15  15 16 17 18 19 20 21  12 13 14 15 16 17 18
16 17 18 19 20 21 22  22 23 24 25 26 27 28  19 20 21 22 23 24 25
23 24 25 26 27 28 29  29 30 31              26 27 28 29 30 31
" '' -- cal -3 1 1405
red=$'\e[31m' off=$'\e[39m'
check "cal, Fridays in red when asked" 0 '' "      آذر 1404
${initials/ج/${red}ج${off}}
 1  2  3  4  5  6 ${red} 7${off}
 8  9 10 11 12 13 ${red}14${off}
15 16 17 18 19 20 ${red}21${off}
22 23 24 25 26 27 ${red}28${off}
29 30
" '' -- cal --color=always 9 1404
check "cal, English names" 0 '' "     Azar 1405
Sa Su Mo Tu We Th Fr
    1  2  3  4  5  6
 7  8  9 10 11 12 13
14 15 16 17 18 19 20
21 22 23 24 25 26 27
28 29 30
" '' -- cal --names english azar 1405
check "cal, no such month" 1 '' '' "${p}argument 1: '13': not a month: 1-12 or its name"$'\n' -- cal 13 1405
check "cal, no such year" 1 '' '' "${p}argument 1: '0': not a year from 1 to 9999"$'\n' -- cal 0
# Usage errors.
hint="Try 'shamsi-date --help' for more information."$'\n'
check "unknown command" 2 '' '' "${p}unknown command 'to-julian'"$'\n'"$hint" -- to-julian
check "unknown field" 2 '' '' "${p}--format: unknown field %q"$'\n'"$hint" -- to-miladi --format '%Y%q'
check "field 0" 2 '' '' "${p}--field takes a field number from 1, not '0'"$'\n'"$hint" -- to-miladi --field 0
check "digits" 2 '' '' "${p}--digits takes ascii or persian, not 'arabic'"$'\n'"$hint" -- to-miladi --digits arabic
check "delimiter alone" 2 '' '' "${p}--delimiter needs --field"$'\n'"$hint" -- to-miladi --delimiter ';'
check "missing value" 2 '' '' "${p}option '--format' needs a value"$'\n'"$hint" -- to-miladi --format
check "names" 2 '' '' "${p}--names takes iranian, afghan or english, not 'dari'"$'\n'"$hint" -- to-miladi --names dari
check "bad input format" 2 '' '' "${p}--input-format: no day (%d or %-d)"$'\n'"$hint" -- to-miladi --input-format %Y/%m
check "header with arguments" 2 '' '' "${p}--header reads standard input, not DATE arguments"$'\n'"$hint" \
  -- to-miladi --header 1404/1/1
check "unknown option" 2 '' '' "${p}unknown option '--utc'"$'\n'"$hint" -- to-miladi --utc
check "bad amount" 2 '' '' "${p}'1m1y' is not an AMOUNT ([+|-] then one or more of Ny, Nm, Nw, Nd, in that order)"$'\n'"$hint" -- add 1m1y 1405/1/1
check "no amount" 2 '' '' "${p}add needs an AMOUNT ([+|-] then one or more of Ny, Nm, Nw, Nd, in that order)"$'\n'"$hint" -- add
check "diff with one date" 2 '' '' "${p}diff takes two DATEs, or none to read pairs from standard input"$'\n'"$hint" -- diff 1405/1/1
check "--ymd elsewhere" 2 '' '' "${p}--ymd is for diff"$'\n'"$hint" -- add --ymd 1d
check "cal colour" 2 '' '' "${p}--color takes never, auto or always, not 'yes'"$'\n'"$hint" -- cal --color yes
check "version" 0 '' "shamsi-date ${VERSION:-1.0.0}"$'\n' '' -- --version

# --help: the usage on standard output, status 0, every field listed.
cases=$((cases + 1))
if ! "$program" --help >"$work/help" 2>"$work/err" || [[ -s $work/err ]] ||
  ! head -1 "$work/help" | grep -q '^Usage: shamsi-date' ||
  [[ $(grep -cE -- '%Y|%-m|%B|%A|%j|%%|--digits|--field|--delimiter' "$work/help") -lt 6 ]]; then
  failures=$((failures + 1))
  echo "FAIL: --help"
fi

# No arguments: today, as the window words it. The second line is the
# Miladi date of the same day in English words.
cases=$((cases + 1))
"$program" >"$work/today" 2>"$work/err"
status=$?
mapfile -t today <"$work/today"
miladi=$(LC_ALL=C date +'%-d %B %Y')
shamsi_day=$("$program" to-shamsi --format '%-d %Y' "$(date +%Y/%m/%d)")
if [[ $status -ne 0 || -s $work/err || ${#today[@]} -ne 2 || ${today[1]} != "$miladi" ||
  ${today[0]} != *"  ${shamsi_day% *} "*"  ${shamsi_day#* }" ]]; then
  failures=$((failures + 1))
  echo "FAIL: today: status $status, got:"
  cat "$work/today" "$work/err"
fi

# cal YEAR: the year centred over three months side by side, four rows of
# them; each month's days once, in order.
cases=$((cases + 1))
"$program" cal 1403 >"$work/year" 2>"$work/err"
status=$?
days=$(tail -n +3 "$work/year" | grep -v ' ش' | grep -oE '[0-9]+' | wc -l)
if [[ $status -ne 0 || -s $work/err || $(head -1 "$work/year") != "$(printf '%34s' 1403)" || $days -ne 366 ]]; then
  failures=$((failures + 1))
  echo "FAIL: cal YEAR (status $status, $days days)"
  cat "$work/year" "$work/err"
fi

# cal with colour: today, and only today, in reverse video.
cases=$((cases + 1))
today_day=$("$program" to-shamsi --format '%-d' "$(date +%Y/%m/%d)")
"$program" cal --color=always >"$work/cal" 2>"$work/err"
reversed=$(grep -oE $'\e\\[7m *[0-9]+' "$work/cal" | grep -oE '[0-9]+$')
if [[ $(grep -c $'\e\\[7m' "$work/cal") -ne 1 || $reversed != "$today_day" ]] ||
  "$program" cal | grep -q $'\e'; then
  failures=$((failures + 1))
  echo "FAIL: cal, today in reverse video ($reversed, not $today_day) and no colour into a pipe"
fi

# Lines far longer than a date, and far longer than the reading buffer: the
# whole-line mode gives an empty line and a shortened message; field mode
# keeps the long field byte for byte and still converts its date field.
cases=$((cases + 1))
long=$(head -c 3000000 /dev/zero | tr '\0' 'x')
printf '%s\n1404/1/1\n' "$long" | "$program" to-miladi >"$work/out" 2>"$work/err"
status=$?
if [[ $status -ne 1 || $(cat "$work/out") != $'\n2025/03/21' ||
  $(cat "$work/err") != "${p}line 1: '${long:0:80}...': $u" ]]; then
  failures=$((failures + 1))
  echo "FAIL: long line, whole-line mode (status $status)"
fi
cases=$((cases + 1))
printf '%s,1404/1/1,%s\r\n' "$long" "$long" | "$program" to-miladi --field 2 >"$work/out" 2>"$work/err"
status=$?
printf '%s,2025/03/21,%s\r\n' "$long" "$long" >"$work/want"
if [[ $status -ne 0 || -s $work/err ]] || ! cmp -s "$work/out" "$work/want"; then
  failures=$((failures + 1))
  echo "FAIL: long fields, field mode (status $status)"
fi

# Every day of the years 1300-1420 through both directions: as many lines
# out as in, each back to itself.
cases=$((cases + 1))
awk -v first=1300 -v last=1420 -f "$(dirname "$0")/shamsi_days.awk" >"$work/days"
"$program" to-miladi <"$work/days" | "$program" to-shamsi >"$work/back" 2>"$work/err"
if ! cmp -s "$work/days" "$work/back" || [[ -s $work/err ]]; then
  failures=$((failures + 1))
  echo "FAIL: round trip of 1300-1420 ($(wc -l <"$work/days") lines in, $(wc -l <"$work/back") out)"
fi

# Where no thread can be started (a user allowed one process, which the
# program already is), the same lines on the one thread there is. Root's
# process limit is not enforced, so this runs as nobody, with a copy of the
# program in the (opened) work folder, wherever the build is.
if [[ $(id -u) -eq 0 ]]; then
  cases=$((cases + 1))
  "$program" to-miladi <"$work/days" >"$work/want"
  cp "$program" "$work/program"
  chmod 755 "$work" "$work/program"
  chmod 644 "$work/days"
  : >"$work/one-thread"
  chmod 666 "$work/one-thread"
  runuser -u nobody -- bash -c 'ulimit -u 1 && exec "$1" to-miladi <"$2" >"$3" 2>&1' _ \
    "$work/program" "$work/days" "$work/one-thread"
  status=$?
  if [[ $status -ne 0 ]] || ! cmp -s "$work/want" "$work/one-thread"; then
    failures=$((failures + 1))
    echo "FAIL: no thread to be had (status $status): $(head -c 200 "$work/one-thread")"
  fi
fi

# What shamsi-date writes it reads back: today's long words, and those days
# worded, with the same --input-format, and in Persian digits and Afghan
# month names by the usual reader.
cases=$((cases + 1))
if [[ $("$program" to-miladi "${today[0]}") != "$(date +%Y/%m/%d)" ||
  $("$program" to-shamsi "${today[1]}") != "$("$program" to-shamsi "$(date +%Y/%m/%d)")" ]]; then
  failures=$((failures + 1))
  echo "FAIL: today's words read back"
fi
cases=$((cases + 1))
form='%A %-d %B %Y'
"$program" to-miladi --format "$form" <"$work/days" |
  "$program" to-shamsi --input-format "$form" --format '%A، %d %B %Y' --digits persian --names afghan |
  "$program" to-miladi | "$program" to-shamsi >"$work/back" 2>"$work/err"
if ! cmp -s "$work/days" "$work/back" || [[ -s $work/err ]]; then
  failures=$((failures + 1))
  echo "FAIL: round trip of 1300-1420 through words ($(wc -l <"$work/back") lines out)"
  head -3 "$work/err"
fi

echo "$cases cases, $failures failed"
((failures == 0))
