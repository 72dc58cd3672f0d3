"""shamsi.Date as datetime.date's counterpart: its constructors, fields and
ordering against datetime.date and the array functions (which the
exhaustive test holds to shamsi-date), instants against the zone oracle,
and shamsi.strftime on datetimes."""

import datetime
import os
import pickle
import subprocess
import sys
import zoneinfo

import numpy as np
import pandas as pd
import pytest

import shamsi
from shamsi import Date

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# Every 11th day of the years 1-9999, and every day of 1403-1405 and
# around the first astronomical correction (1502/12/29, 1503/01/01).
DAYS = np.unique(
    np.concatenate(
        [
            np.arange(np.datetime64("0622-03-21"), np.datetime64("10621-03-20"), 11),
            np.arange(np.datetime64("2024-03-20"), np.datetime64("2027-03-21")),
            np.arange(np.datetime64("2124-03-10"), np.datetime64("2124-03-30")),
            np.array(["0622-03-21", "9999-12-31", "10000-03-19", "10621-03-19"], "M8[D]"),
        ]
    )
)


def test_every_sampled_day_agrees_with_datetime_and_the_arrays():
    years, months, days = (f.tolist() for f in shamsi.to_shamsi(DAYS))
    texts = shamsi.format(DAYS, "%Y/%m/%d %j %A").tolist()
    ordinals = (DAYS.astype(np.int64) + 719_163).tolist()
    python_days = DAYS < np.datetime64("10000-01-01")
    previous = None
    for y, m, d, text, ordinal, python_day, day in zip(years, months, days, texts, ordinals, python_days, DAYS):
        date = Date(y, m, d)
        assert (date.toordinal(), Date.fromordinal(ordinal)) == (ordinal, date)
        assert f"{date} {date.day_of_year:03} {date:%A}" == text
        assert Date.fromisoformat(date.isoformat()) == date == Date.strptime(str(date), "%Y/%m/%d")
        assert date.days_in_month == shamsi.days_in_month(y, m) and date.is_leap == shamsi.is_leap(y)
        assert date.quarter == (m + 2) // 3 and date.replace(day=1).day_of_year == date.day_of_year - d + 1
        if python_day:
            miladi = day.item()
            assert Date.from_gregorian(miladi) == date == miladi and hash(date) == hash(miladi)
            assert (date.weekday(), date.isoweekday()) == (miladi.weekday(), miladi.isoweekday())
            assert date.to_gregorian() == miladi == Date.fromordinal(miladi.toordinal())
        if previous is not None:
            assert previous < date and not date <= previous and date - previous == datetime.timedelta(
                days=ordinal - previous.toordinal())
        previous = date
    assert (Date.min, Date.max, Date.resolution) == (Date(1, 1, 1), Date(9999, 12, 29), datetime.timedelta(days=1))
    assert Date.max.day == Date.max.days_in_month and Date.min.toordinal() == ordinals[0]


def test_dates_mix_with_datetime_dates():
    day, miladi = Date(1405, 9, 17), datetime.date(2026, 12, 8)
    assert day == miladi and miladi == day and not day != miladi
    assert day < datetime.date(2027, 1, 1) and datetime.date(2027, 1, 1) > day and miladi >= day
    assert sorted([datetime.date(2026, 12, 9), day, datetime.date(2026, 12, 7)])[1] is day
    assert len({day, miladi, Date(1405, 9, 17)}) == 1 and {miladi: "x"}[day] == "x"
    assert day - miladi == datetime.timedelta(0) and datetime.date(2026, 12, 18) - day == datetime.timedelta(days=10)
    # A datetime names an instant, not a day: it is no Date's equal, as it is no date's.
    instant = datetime.datetime(2026, 12, 8)
    assert day != instant and instant != day and day != pd.Timestamp("2026-12-08")
    for lesser in (lambda: day < instant, lambda: instant > day, lambda: day < "1405/09/18"):
        with pytest.raises(TypeError):
            lesser()


class Later(Date):
    """A subclass, which constructors and arithmetic give back."""


def test_subclasses_and_values():
    day = Later(1405, 9, 17)
    for made in (Later.from_gregorian(datetime.date(2026, 12, 8)), Later.fromordinal(day.toordinal()),
                 Later.fromisoformat("14050917"), Later.strptime("17/9/1405", "%d/%m/%Y"), day.replace(),
                 day + datetime.timedelta(days=1), day.add(days=0), pickle.loads(pickle.dumps(day))):
        assert type(made) is Later and made >= day
    assert repr(day) == "Later(1405, 9, 17)" and repr(Date(622, 1, 1)) == "shamsi.Date(622, 1, 1)"
    assert Date(year=1405, month=9, day=17).replace(1404, day=30) == Date(1404, 9, 30)
    assert Date.today() == Date.from_gregorian(datetime.date.today())
    assert Date.fromtimestamp(1796767200) == Date.from_gregorian(datetime.date.fromtimestamp(1796767200))


def _zone_cases():
    done = subprocess.run([sys.executable, os.path.join(ROOT, "tests", "zones", "zone_cases.py")],
                          capture_output=True, check=True, text=True)
    return [line.split("\t") for line in done.stdout.splitlines()]


def test_instants_are_their_wall_days_in_their_zone():
    cases = _zone_cases()
    assert len(cases) > 40_000
    walls = np.array([wall for _, _, wall, _ in cases], "M8[s]")
    expected = shamsi.format(walls, "%Y/%m/%d").tolist()
    zones = {}
    for (zone, seconds, wall, offset), day in zip(cases, expected):
        tz = zones.setdefault(zone, zoneinfo.ZoneInfo(zone))
        instant = int(seconds)
        assert str(Date.fromtimestamp(instant, tz)) == day, (zone, seconds)
        aware = datetime.datetime.fromtimestamp(instant, tz)
        assert shamsi.strftime(aware, "%Y/%m/%d %H:%M:%S %z") == f"{day} {wall[11:]} {offset}", (zone, seconds)
    assert str(Date.fromtimestamp(1796767200, datetime.timezone.utc)) == "1405/09/17"


def test_strftime_writes_the_wall_date_and_time():
    tehran = zoneinfo.ZoneInfo("Asia/Tehran")
    order = datetime.datetime(2026, 12, 8, 22, 0, tzinfo=datetime.timezone.utc).astimezone(tehran)
    assert shamsi.strftime(order, "%Y/%m/%dT%H:%M:%S%z") == "1405/09/18T01:30:00+03:30"
    assert shamsi.strftime(order, "%A %-d %B %Y %H:%M %z", digits="persian") == "چهارشنبه ۱۸ آذر ۱۴۰۵ ۰۱:۳۰ +۰۳:۳۰"
    assert shamsi.strftime(pd.Timestamp("2026-12-08 23:59:59", tz="America/New_York"), "%d %H:%M:%S %z") == (
        "17 23:59:59 -05:00")
    naive = datetime.datetime(2026, 12, 8, 7, 5, 9)
    assert shamsi.strftime(naive, "%Y/%m/%d %H:%M:%S[%z]", names="english") == "1405/09/17 07:05:09[]"
    assert shamsi.strftime(datetime.date(2026, 12, 8), fmt="%d %H%M%S%z") == "17 000000"
    assert shamsi.strftime(Date(1405, 9, 17), "%B %H") == Date(1405, 9, 17).strftime("%B %H") == "آذر 00"


BAD_VALUES = [
    (lambda: Date(1405, 9, 17).replace(month=7, day=31), "'1405/07/31': not a day of the Shamsi calendar"),
    (lambda: Date(1403, 12, 30).replace(year=1404), "'1404/12/30': not a day"),
    (lambda: Date(1405, 1, 1).replace(year=10000), "outside the Shamsi years 1-9999"),
    (lambda: Date.fromordinal(226_894), "outside 0622/03/21-10621/03/19"),
    (lambda: Date.fromordinal(10**30), "outside"),
    (lambda: Date.fromisoformat("1405/09/17"), "'1405/09/17': not of the form YYYY-MM-DD"),
    (lambda: Date.fromisoformat("1405-9-17"), "not of the form YYYY-MM-DD"),
    (lambda: Date.fromisoformat("1404-12-30"), "'1404-12-30': not a day of the Shamsi calendar"),
    (lambda: Date.fromisoformat("0000-01-01"), "outside the Shamsi years"),
    (lambda: Date.strptime("1405/09/17", "%d/%m/%Y"), "'1405/09/17': not of the form %d/%m/%Y"),
    (lambda: Date.strptime("1404/12/30", "%Y/%m/%d"), "not a day of the Shamsi calendar"),
    (lambda: Date.strptime("1405", "%Y %q"), "'%Y %q': unknown field %q"),
    (lambda: Date.strptime("1405/01", "%Y/%m"), "'%Y/%m'"),
    (lambda: Date.from_gregorian(pd.NaT), "from_gregorian: NaT is a missing value, not a day"),
    (lambda: Date.from_gregorian(np.datetime64("NaT")), "NaT is a missing value"),
    (lambda: shamsi.strftime(pd.NaT, "%Y"), "strftime: NaT is a missing value, not a day"),
    (lambda: shamsi.strftime(datetime.datetime(622, 3, 20, 23), "%Y"), "'0622-03-20': outside"),
    (lambda: shamsi.strftime(datetime.datetime(2026, 1, 1), "%q"), "'%q': unknown field %q"),
    (lambda: Date.fromtimestamp(-50_000_000_000, datetime.timezone.utc), "'0385-07-"),
    (lambda: Date.max + Date.resolution, "the result falls outside the Shamsi years 1-9999"),
]


@pytest.mark.parametrize("call, message", BAD_VALUES)
def test_bad_values(call, message):
    with pytest.raises(ValueError) as raised:
        call()
    assert message in str(raised.value)


@pytest.mark.parametrize("call, message", [
    (lambda: Date.from_gregorian(None), "from_gregorian takes a datetime.date or datetime.datetime, not None"),
    (lambda: Date(1405, 1, 1).replace(month="2"), "month must be an integer, not str"),
    (lambda: Date(1405, 1, 1).replace(hour=1), "replace() got an unexpected keyword argument 'hour'"),
    (lambda: Date(1405, 1, 1).strftime(), "strftime() missing required argument 'format'"),
    (lambda: Date(1405, 1, 1).strftime("%Y", format="%Y"), "multiple values for argument 'format'"),
    (lambda: Date(1405, 1, 1).strftime(b"%Y"), "strftime() argument 'format' must be str, not bytes"),
    (lambda: Date.fromisoformat(14050917), "must be str, not int"),
    (lambda: Date.strptime("1405/01/01"), "missing required argument 'fmt'"),
    (lambda: Date.fromordinal(1.5), "ordinal must be an integer"),
    (lambda: Date.fromtimestamp("0"), ""),
    (lambda: shamsi.strftime("2026-12-08", "%Y"), "strftime takes a datetime.date or datetime.datetime, not str"),
    (lambda: Date(1405, 1, 1) - datetime.datetime(2026, 1, 1), ""),
])
def test_wrong_types(call, message):
    with pytest.raises(TypeError) as raised:
        call()
    assert message in str(raised.value)


def test_strptime_reads_what_input_format_reads(shamsi_date):
    cases = [("%d/%m/%Y", "17/9/1405"), ("%Y%m%d", "93781010"), ("%A %-d %B %Y", "سه شنبه  17 آذر 1405"),
             ("%d %B %y %Y", "۱۷ قوس 05 1405"), ("[%Y.%m.%d]", "[1403.12.30]")]
    for fmt, text in cases:
        expected = shamsi_date("to-miladi", "--input-format", fmt, text).decode().strip()
        assert str(Date.strptime(text, fmt).to_gregorian()).replace("-", "/") == expected, fmt
