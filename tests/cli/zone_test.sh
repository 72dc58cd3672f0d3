#!/usr/bin/env bash
# shamsi-date's instants and time zones against Python's zoneinfo over the
# same tzdata (tests/zones/zone_cases.py: ZONE, UNIX_SECONDS, WALL, OFFSET
# for some 54,000 instants around every change of offset of Tehran, Kabul,
# New York and Kiritimati, and every Tehran midnight of 1970-2040). For each
# zone, the instants as @SECONDS, as the oracle's own wall time with its
# offset and as UTC times with Z go through to-shamsi --zone, and must give
# the Shamsi date of the wall date (by the plain date conversion, exhaustively
# tested elsewhere) with the wall time and offset; to-miladi --zone takes the
# results back to the wall time and to UTC; --format writes the same fields;
# TZ (a name, a POSIX rule) gives the zone of local and of @SECONDS without
# --zone. Then bad input, each with its message, none losing a line.
#
#   zone_test.sh PROGRAM ZONE_CASES
set -uo pipefail
program=$1 cases_script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0

fail() {
  failures=$((failures + 1))
  echo "FAIL: $*"
}
# same NAME WANT GOT: the two files alike, or the first lines that differ.
same() {
  checks=$((checks + 1))
  if ! cmp -s "$2" "$3"; then
    fail "$1 ($(wc -l <"$3") lines):"
    diff "$2" "$3" | head -6 | sed 's/^/  /'
  fi
}

/usr/bin/python3 "$cases_script" >"$work/cases" || {
  echo "FAIL: $cases_script"
  exit 1
}
for zone in $(cut -f1 "$work/cases" | sort -u); do
  z=$work/${zone//\//-}
  awk -F'\t' -v zone="$zone" '$1 == zone' "$work/cases" >"$z.cases"
  cut -f2 "$z.cases" | sed 's/^/@/' >"$z.seconds"
  cut -f3,4 "$z.cases" | tr -d '\t' >"$z.wall"
  # The wall date in Shamsi by the plain conversion, then the wall time and offset.
  cut -f3 "$z.cases" | cut -c1-10 | "$program" to-shamsi >"$z.shamsi-day"
  cut -f3 "$z.cases" | cut -c11- | paste -d '' "$z.shamsi-day" - <(cut -f4 "$z.cases") >"$z.want"
  "$program" to-shamsi --zone "$zone" <"$z.seconds" >"$z.got" 2>&1
  same "$zone: @SECONDS" "$z.want" "$z.got"
  "$program" to-shamsi --zone "$zone" <"$z.wall" >"$z.got" 2>&1
  same "$zone: the wall time with its offset" "$z.want" "$z.got"
  # Back: the wall time in Miladi, and the instant in UTC, which read
  # again with Z gives the Shamsi wall time once more.
  sed -E 's#^([0-9]+)-([0-9]+)-([0-9]+)#\1/\2/\3#' "$z.wall" >"$z.miladi-wall"
  "$program" to-miladi --zone "$zone" <"$z.want" >"$z.got" 2>&1
  same "$zone: to-miladi back to the wall time" "$z.miladi-wall" "$z.got"
  "$program" to-miladi --zone UTC <"$z.want" | sed 's/+00:00$/Z/' >"$z.utc"
  "$program" to-shamsi --zone "$zone" <"$z.utc" >"$z.got" 2>&1
  same "$zone: through UTC with Z" "$z.want" "$z.got"
  paste -d ' ' <(cut -f3 "$z.cases" | tr T ' ') <(cut -f4 "$z.cases") >"$z.formatted"
  "$program" to-miladi --zone "$zone" --format '%Y-%m-%d %H:%M:%S %z' <"$z.want" >"$z.got" 2>&1
  same "$zone: --format with %H %M %S %z" "$z.formatted" "$z.got"
done

# local: TZ naming a zone, and a POSIX rule in TZ; @SECONDS without --zone is local.
ny=$work/America-New_York
TZ=America/New_York "$program" to-shamsi --zone local <"$ny.seconds" >"$work/got" 2>&1
same "TZ=America/New_York, --zone local" "$ny.want" "$work/got"
tehran=$work/Asia-Tehran
TZ=Asia/Tehran "$program" to-shamsi <"$tehran.seconds" >"$work/got" 2>&1
same "TZ=Asia/Tehran, @SECONDS without --zone" "$tehran.want" "$work/got"
awk -F'\t' '$2 >= 1199145600' "$ny.cases" | cut -f2 | sed 's/^/@/' >"$work/ny-rule.seconds"
tail -n "$(wc -l <"$work/ny-rule.seconds")" "$ny.want" >"$work/ny-rule.want"
TZ=EST5EDT,M3.2.0,M11.1.0 "$program" to-shamsi --zone local <"$work/ny-rule.seconds" >"$work/got" 2>&1
same "TZ=EST5EDT,M3.2.0,M11.1.0 (New York since 2007)" "$work/ny-rule.want" "$work/got"
# TZDIR is where zone names are looked up.
mkdir -p "$work/zones/Test"
cp "${TZDIR:-/usr/share/zoneinfo}/Asia/Kabul" "$work/zones/Test/Kabul"
kabul=$work/Asia-Kabul
TZDIR=$work/zones "$program" to-shamsi --zone Test/Kabul <"$kabul.seconds" >"$work/got" 2>&1
same "TZDIR" "$kabul.want" "$work/got"

# check NAME STATUS STDOUT STDERR -- ARG...: one run, its output, messages and status.
check() {
  local name=$1 status=$2 out=$3 err=$4
  shift 5
  checks=$((checks + 1))
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [[ $got -ne $status || $(cat "$work/out") != "$out" || $(cat "$work/err") != "$err" ]]; then
    fail "$name: status $got, output '$(cat "$work/out")', messages '$(cat "$work/err")'"
  fi
}
p='shamsi-date: '
check "the issue's order, in Tehran" 0 $'1405/09/18T01:30:00+03:30\n1405/09/18T01:30:00+03:30\n1405/09/17' '' \
  -- "$program" to-shamsi --zone Asia/Tehran 2026-12-08T22:00:00Z @1796767200 2026-12-08
check "back to UTC" 0 '2026/12/08T22:00:00+00:00' '' -- "$program" to-miladi --zone UTC 1405/09/18T01:30:00+03:30
check "a time without an offset is no instant" 0 '1405/09/17 22:00' '' \
  -- "$program" to-shamsi --zone Asia/Tehran '2026-12-08 22:00'
check "--format: a time without an offset, a date alone, an instant" 0 $'22:00:00 |\n00:00:00 |\n00:00:00 |+03:30' '' \
  -- "$program" to-shamsi --zone Asia/Tehran --format '%H:%M:%S |%z' '2026-12-08 22:00' 2026-12-08 2026-12-08T20:30Z
check "--format given: the day in the zone alone" 0 $'1405/09/17\n1405/09/18\n1405/09/18 10:30' '' \
  -- "$program" to-shamsi --zone Asia/Tehran --format %Y/%m/%d 2026-12-08T20:29:59Z @1796765400 '2026-12-09 10:30'
check "a fraction of a second stays" 0 '1405/09/17T14:00:00.250+03:30' '' \
  -- "$program" to-shamsi --zone Asia/Tehran 2026-12-08T10:30:00.250Z
check "unknown zone" 2 '' "${p}unknown time zone 'Mars/Olympus' (none such in ${TZDIR:-/usr/share/zoneinfo})" \
  -- "$program" to-shamsi --zone Mars/Olympus 2026-12-08
check "no way out of the zone folder" 2 '' "${p}unknown time zone '../../etc/passwd' (none such in ${TZDIR:-/usr/share/zoneinfo})" \
  -- "$program" to-shamsi --zone ../../etc/passwd 2026-12-08
check "--zone is not for add" 2 '' "${p}--zone is for to-miladi and to-shamsi"$'\n'"Try 'shamsi-date --help' for more information." \
  -- "$program" add --zone UTC +1d 1405/01/01
offset="not an offset from UTC: Z, or + or - and hours 00-23, then minutes and seconds 00-59 if any (+03:30, -0500, +03)"
miladi_range='outside 0622/03/21-10621/03/19 (the Shamsi years 1-9999)'
check "bad input, each told" 1 $'\n\n\n\n\n1405/09/18T01:30:00+03:30' \
  "${p}argument 1: '2026-12-08T10:00+25:00': $offset
${p}argument 2: '2026-12-08T10:00:00+03:60': $offset
${p}argument 3: '@-42600000000': $miladi_range
${p}argument 4: '@273100000000': $miladi_range
${p}argument 5: '@12x': not @ and a number of seconds since 1970-01-01T00:00:00Z" \
  -- "$program" to-shamsi --zone Asia/Tehran 2026-12-08T10:00+25:00 2026-12-08T10:00:00+03:60 @-42600000000 \
  @273100000000 @12x @1796767200
check "the first and last instants" 0 $'0001/01/01T00:00:00+00:00\n9999/12/29T23:59:59+00:00' '' \
  -- "$program" to-shamsi --zone UTC @-42531955200 @273005942399
check "just outside them, in Tehran" 1 '' "${p}argument 1: '@273005942399': outside the Shamsi years 1-9999" \
  -- "$program" to-miladi --zone Asia/Tehran @273005942399

# Nothing lost in a batch on several threads: the Tehran instants with a bad
# line after every 1,000th, each told with its own number.
awk 'NR % 1000 == 0 { print; print "@1e9"; next } { print }' "$tehran.seconds" >"$work/batch"
awk 'NR % 1000 == 0 { print; print ""; next } { print }' "$tehran.want" >"$work/batch.want"
"$program" to-shamsi --zone Asia/Tehran <"$work/batch" >"$work/got" 2>"$work/batch.err"
same "a batch with bad lines" "$work/batch.want" "$work/got"
checks=$((checks + 1))
want_errors=$(grep -c '^@1e9$' "$work/batch")
if [[ $(grep -c "': not @ and a number of seconds" "$work/batch.err") -ne $want_errors ]] ||
  [[ $(head -1 "$work/batch.err") != "${p}line 1001: '@1e9': not @ and a number of seconds since 1970-01-01T00:00:00Z" ]]; then
  fail "a batch with bad lines: $want_errors messages wanted: $(head -2 "$work/batch.err")"
fi

echo "$checks checks over $(wc -l <"$work/cases") instants, $failures failed"
((failures == 0))
