#!/usr/bin/python3
"""Instants and their wall times, by Python's zoneinfo over the system's tzdata:
the oracle the tests of every program's time zones check against.

Prints one line per instant, tab-separated:

    ZONE  UNIX_SECONDS  WALL  OFFSET
    Asia/Tehran  1796767200  2026-12-09T01:30:00  +03:30

WALL is the Miladi date and time on a wall clock in ZONE at that instant,
OFFSET its offset from UTC (+HH:MM, or +HH:MM:SS where it has seconds, as
the local mean times of the 19th century do). The instants:

- every 15 minutes for two hours either side of each change of offset of
  Asia/Tehran (from 1900 to 2022: local mean time, then +03:30, then the
  daylight saving of 1977-1980, 1991-2005 and 2008-2022), Asia/Kabul,
  America/New_York (2000-2030) and Pacific/Kiritimati (which skipped
  31 December 1994 for +14);
- the same around three midnights in UTC;
- every day from 1970 to 2040 at 00:00:00 and 23:59:59 on Tehran's clocks
  (where midnight did not happen, the instant is the one an hour later).

Usage: tests/zones/zone_cases.py
"""

import datetime
import sys
import zoneinfo

UTC = datetime.timezone.utc
QUARTER = 15 * 60
TWO_HOURS = 2 * 3600

# A zone and the Miladi years whose changes of offset are taken.
CHANGES = [
    ("Asia/Tehran", 1900, 2022),
    ("Asia/Kabul", 1880, 2040),
    ("America/New_York", 2000, 2030),
    ("Pacific/Kiritimati", 1900, 2040),
]
UTC_MIDNIGHTS = ["1970-01-01", "2025-03-21", "2026-03-21"]


def offset_at(zone, seconds):
    return datetime.datetime.fromtimestamp(seconds, zone).utcoffset()


def changes(zone, first_year, last_year):
    """The instants at which the zone's offset changes, to the second."""
    start = int(datetime.datetime(first_year, 1, 1, tzinfo=UTC).timestamp())
    end = int(datetime.datetime(last_year + 1, 1, 1, tzinfo=UTC).timestamp())
    day = 86400
    found = []
    before = offset_at(zone, start)
    for t in range(start + day, end + day, day):
        now = offset_at(zone, t)
        if now != before:
            low, high = t - day, t  # the offset changes in (low, high]
            while high - low > 1:
                middle = (low + high) // 2
                if offset_at(zone, middle) == before:
                    low = middle
                else:
                    high = middle
            found.append(high)
            before = now
    return found


def offset_text(offset):
    seconds = int(offset.total_seconds())
    sign = "-" if seconds < 0 else "+"
    seconds = abs(seconds)
    text = f"{sign}{seconds // 3600:02d}:{seconds // 60 % 60:02d}"
    return text + (f":{seconds % 60:02d}" if seconds % 60 else "")


def line(name, zone, seconds):
    wall = datetime.datetime.fromtimestamp(seconds, zone)
    return f"{name}\t{seconds}\t{wall.replace(tzinfo=None).isoformat()}\t{offset_text(wall.utcoffset())}"


def around(moment):
    return range(moment - TWO_HOURS, moment + TWO_HOURS + 1, QUARTER)


def main():
    out = []
    for name, first, last in CHANGES:
        zone = zoneinfo.ZoneInfo(name)
        for change in changes(zone, first, last):
            out.extend(line(name, zone, t) for t in around(change))
    utc = zoneinfo.ZoneInfo("UTC")
    for midnight in UTC_MIDNIGHTS:
        moment = int(datetime.datetime.fromisoformat(midnight).replace(tzinfo=UTC).timestamp())
        out.extend(line("UTC", utc, t) for t in around(moment))
    tehran = zoneinfo.ZoneInfo("Asia/Tehran")
    day = datetime.date(1970, 1, 1)
    while day.year <= 2040:
        for clock in (datetime.time(0, 0, 0), datetime.time(23, 59, 59)):
            wall = datetime.datetime.combine(day, clock, tehran)
            out.append(line("Asia/Tehran", tehran, int(wall.timestamp())))
        day += datetime.timedelta(days=1)
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
