"""The Date type, the module functions and the array functions: against
shamsi-date where it has the same thing (formats, parse, add, diff --ymd),
and their errors."""

import datetime
import pickle

import numpy as np
import pandas as pd
import pytest

import shamsi
from shamsi import Date

# Days spread over the whole range, and the days around the year ends, the
# leap days and the astronomical corrections, as datetime64[D].
SAMPLE = np.unique(
    np.concatenate(
        [
            np.arange(np.datetime64("0622-03-21"), np.datetime64("10621-03-20"), 997),
            np.arange(np.datetime64("2124-03-15"), np.datetime64("2124-03-25")),
            np.arange(np.datetime64("2025-03-15"), np.datetime64("2027-01-01")),
            np.array(["0622-03-21", "10621-03-19", "1969-12-31", "1970-01-01"], "M8[D]"),
        ]
    )
)


def _lines(data):
    return data.decode().split("\n")[:-1]


FORMATS = ["%Y/%m/%d", "%A %-d %B %Y", "%y-%-m-%-d %j", "%B %y, %%Y", "[%d.%m.%Y]"]


@pytest.mark.parametrize("fmt", FORMATS)
@pytest.mark.parametrize("digits", ["ascii", "persian"])
@pytest.mark.parametrize("names", ["iranian", "afghan", "english"])
def test_formats_are_shamsi_dates(shamsi_date, fmt, digits, names):
    expected = _lines(
        shamsi_date("to-shamsi", "--format", fmt, "--digits", digits, "--names", names,
                    data="".join(f"{d}\n" for d in np.datetime_as_string(SAMPLE)).encode())
    )
    assert shamsi.format(SAMPLE, fmt, digits=digits, names=names).tolist() == expected
    # Every 37th through Date, which must write the same.
    for day, text in list(zip(SAMPLE, expected))[::37]:
        date = shamsi.Date(*(int(f[0]) for f in shamsi.to_shamsi(np.array([day]))))
        assert date.strftime(fmt, digits=digits, names=names) == text


TEXTS = [
    "1405/09/17",
    "1405-9-17",
    "  ۱۴۰۵/۹/۱۷\t",
    "١٤٠٥/٠٩/١٧",
    "17 آذر 1405",
    "۱۷ قوس ۱۴۰۵",
    "سه شنبه  17 آذر  1405",
    "سه‌شنبه، ۱۷ آذر ۱۴۰۵",
    "Tuesday, 17 Azar 1405",
    "1405/09/17 10:30",
    "1405/09/17T23:59:59.5+03:30",
    "0001/1/1",
    "9999/12/29",
    "1403/12/30",
]


def test_parse_reads_what_shamsi_date_reads(shamsi_date):
    # shamsi-date writes the time after the date back; the date is what counts.
    miladi = [line[: line.index("/") + 6] for line in _lines(shamsi_date("to-miladi", data="".join(t + "\n" for t in TEXTS).encode()))]
    dates = [shamsi.parse(text) for text in TEXTS]
    days = shamsi.from_shamsi(*([getattr(d, f) for d in dates] for f in ("year", "month", "day")))
    assert [str(day).replace("-", "/") for day in days] == miladi
    assert (shamsi.parse_array(TEXTS) == days).all()


MOVES = [
    ((1405, 6, 31), dict(months=1), "+1m"),
    ((1403, 12, 30), dict(years=1), "+1y"),
    ((1405, 9, 17), dict(days=40), "+40d"),
    ((1405, 9, 17), dict(weeks=-3), "-3w"),
    ((1404, 11, 30), dict(years=1, months=1, weeks=1, days=1), "+1y1m1w1d"),
    ((1502, 11, 30), dict(months=1), "+1m"),
    ((1, 1, 1), dict(days=3652058), "+3652058d"),
]


@pytest.mark.parametrize("start, move, amount", MOVES)
def test_add_is_shamsi_date_add(shamsi_date, start, move, amount):
    date = Date(*start)
    expected = _lines(shamsi_date("add", amount, str(date)))[0]
    assert str(date.add(**move)) == expected


PAIRS = [
    ((1404, 1, 1), (1405, 9, 17)),
    ((1405, 9, 17), (1405, 9, 12)),
    ((1405, 1, 1), (1405, 1, 1)),
    ((1403, 12, 30), (1404, 12, 29)),
    ((1405, 6, 31), (1405, 7, 30)),
    ((1, 1, 1), (9999, 12, 29)),
]


def test_between_is_diff_ymd(shamsi_date):
    lines = "".join(f"{Date(*a)},{Date(*b)}\n" for a, b in PAIRS).encode()
    expected = _lines(shamsi_date("diff", "--ymd", data=lines))
    for (a, b), amount in zip(PAIRS, expected):
        years, months, days = shamsi.between(Date(*a), Date(*b))
        sign = "-" if (years, months, days) < (0, 0, 0) else "+"
        parts = "".join(f"{abs(n)}{u}" for n, u in ((years, "y"), (months, "m"), (days, "d")) if n)
        assert (f"{sign}{parts}" if parts else "0d") == amount
        assert Date(*a).add(years=years, months=months, days=days) == Date(*b) or Date(*b) < Date(*a)


def test_date_behaves_as_a_value():
    day = Date(1405, 9, 17)
    assert (day.year, day.month, day.day) == (1405, 9, 17)
    assert str(day) == "1405/09/17" and repr(day) == "shamsi.Date(1405, 9, 17)"
    assert f"{day:%B %Y}" == "آذر 1405" and f"{Date(622, 1, 1)}" == "0622/01/01"
    assert day == Date(1405, 9, 17) and hash(day) == hash(Date(1405, 9, 17)) and len({day, Date(1405, 9, 17)}) == 1
    assert sorted([Date(1405, 9, 18), Date(1403, 12, 30), day]) == [Date(1403, 12, 30), day, Date(1405, 9, 18)]
    assert day != "1405/09/17" and (day == (1405, 9, 17)) is False
    assert pickle.loads(pickle.dumps(day)) == day
    with pytest.raises(AttributeError):
        day.year = 1406
    with pytest.raises(TypeError):
        day < "1405/09/18"  # noqa: B015


def test_date_and_gregorian():
    assert str(Date.from_gregorian(datetime.date(2124, 3, 20))) == "1503/01/01"
    assert str(Date.from_gregorian(datetime.datetime(2026, 12, 8, 23, 59))) == "1405/09/17"
    assert Date(1405, 9, 17).to_gregorian() == datetime.date(2026, 12, 8)
    assert Date.today() == Date.from_gregorian(datetime.date.today())
    day = Date(1405, 9, 17)
    assert day + datetime.timedelta(days=40) == Date(1405, 10, 27) == datetime.timedelta(days=40) + day
    assert day - datetime.timedelta(days=1, hours=23) == Date(1405, 9, 16)
    assert day - Date(1404, 1, 1) == datetime.timedelta(days=627)
    # Monday is 0, as datetime counts it, on every day of a fortnight.
    for offset in range(14):
        date = day + datetime.timedelta(days=offset)
        assert date.weekday() == date.to_gregorian().weekday()


def test_years_and_months():
    assert [y for y in range(1395, 1410) if shamsi.is_leap(y)] == [1395, 1399, 1403, 1408]
    assert shamsi.is_leap(1502) is False and shamsi.is_leap(1503) is True
    assert [shamsi.days_in_month(1403, m) for m in (1, 6, 7, 11, 12)] == [31, 31, 30, 30, 30]
    assert shamsi.days_in_month(1404, 12) == 29


def test_missing_values():
    days = np.array(["2026-12-08", "NaT"], "M8[D]")
    assert [f.tolist() for f in shamsi.to_shamsi(days)] == [[1405, 0], [9, 0], [17, 0]]
    assert shamsi.format(days).tolist() == ["1405/09/17", ""]
    assert np.isnat(shamsi.from_shamsi([1405, 0], [9, 0], [17, 0])).tolist() == [False, True]
    assert np.isnat(shamsi.parse_array(np.array(["1405/09/17", "", None, float("nan")], object))).tolist() == [
        False, True, True, True]
    assert np.isnat(shamsi.parse_array(np.array(["", "1405/09/17"]))).tolist() == [True, False]
    texts = pd.Series(["1405/09/17", None], dtype="string")  # pandas' NA
    assert np.isnat(shamsi.parse_array(texts)).tolist() == [False, True]
    assert np.isnat(shamsi.parse_array(np.array([pd.NaT], object))).tolist() == [True]


def test_units_and_shapes():
    # Every unit is floored to its day, as numpy casts to days.
    for unit in ["ns", "us", "ms", "s", "m", "h", "D", "W", "M", "Y", "10ms", "3h", "ps", "fs"]:
        counts = [-1, 0, 1, -30, 30] + ([-(10**9), 10**9 + 7] if unit in ("ns", "us", "ms", "s", "10ms", "ps", "fs") else [])
        values = np.append(np.array(counts, np.int64).astype(f"M8[{unit}]"), np.datetime64("NaT"))
        days = (values.astype("M8[ns]") if unit in ("ps", "fs") else values).astype("M8[D]")
        assert all((g == e).all() for g, e in zip(shamsi.to_shamsi(values), shamsi.to_shamsi(days))), unit
        assert (shamsi.format(values) == shamsi.format(days)).all(), unit
    grid = np.array([["2025-03-21", "2026-12-08"], ["NaT", "0622-03-21"]], "M8[D]")
    year, month, day = shamsi.to_shamsi(grid)
    assert year.shape == (2, 2) and year.dtype == np.int32
    assert (shamsi.from_shamsi(year, month, day)[~np.isnat(grid)] == grid[~np.isnat(grid)]).all()
    assert shamsi.format(grid).shape == (2, 2) and shamsi.parse_array(shamsi.format(grid)).shape == (2, 2)
    assert shamsi.from_shamsi(1405, [1, 7], 1).tolist() == [datetime.date(2026, 3, 21), datetime.date(2026, 9, 23)]
    assert shamsi.to_shamsi([datetime.date(2026, 12, 8)])[0].tolist() == [1405]
    assert shamsi.to_shamsi(np.array([], "M8[ns]"))[0].shape == (0,)


NOT_A_DAY = "not a day of the Shamsi calendar"
OUTSIDE = "outside the Shamsi years 1-9999"

VALUE_ERRORS = [
    (lambda: Date(1502, 12, 30), f"'1502/12/30': {NOT_A_DAY}"),
    (lambda: Date(1405, 7, 31), NOT_A_DAY),
    (lambda: Date(1405, 13, 1), NOT_A_DAY),
    (lambda: Date(1405, 1, 0), NOT_A_DAY),
    (lambda: Date(0, 1, 1), OUTSIDE),
    (lambda: Date(10000, 1, 1), OUTSIDE),
    (lambda: Date(2**80, 1, 1), OUTSIDE),
    (lambda: shamsi.parse("1404/12/30"), f"'1404/12/30': {NOT_A_DAY}"),
    (lambda: shamsi.parse("1404.01.01"), "'1404.01.01': not a date of the form"),
    (lambda: shamsi.parse("today"), "not a date of the form"),
    (lambda: shamsi.parse("1405/09/17 25:00"), "not a date of the form"),
    (lambda: shamsi.parse("جمعه 17 آذر 1405"), "the weekday is not that date's"),
    (lambda: shamsi.parse("10000/01/01"), OUTSIDE),
    (lambda: Date.from_gregorian(datetime.date(622, 3, 20)), "'0622-03-20': outside 0622/03/21-10621/03/19"),
    (lambda: Date(9379, 1, 1).to_gregorian(), "past datetime.date's last year"),
    (lambda: Date(9999, 12, 29) + datetime.timedelta(days=1), f"the result falls {OUTSIDE}"),
    (lambda: Date(1, 1, 1) - datetime.timedelta(days=1), f"the result falls {OUTSIDE}"),
    (lambda: Date(1405, 1, 1).add(years=8595), f"the result falls {OUTSIDE}"),
    (lambda: Date(1405, 1, 1).add(days=-10**12), f"the result falls {OUTSIDE}"),
    (lambda: Date(1405, 1, 1).strftime("%Y %q"), "'%Y %q': unknown field %q"),
    (lambda: Date(1405, 1, 1).strftime("%Y", digits="roman"), "'roman'"),
    (lambda: Date(1405, 1, 1).strftime("%Y", names="french"), "'french'"),
    (lambda: shamsi.is_leap(0), OUTSIDE),
    (lambda: shamsi.days_in_month(1404, 13), NOT_A_DAY),
    (lambda: shamsi.to_shamsi(np.array(["0622-03-20"], "M8[D]")), "'0622-03-20': outside 0622/03/21-10621/03/19"),
    (lambda: shamsi.format(np.array(["2026-12-08", "11000-01-01"], "M8[D]")), "'11000-01-01': outside"),
    (lambda: shamsi.format(np.array(["2026-12-08"], "M8[D]"), "%q"), "'%q': unknown field %q"),
    (lambda: shamsi.from_shamsi([1404, 1404], [1, 12], [1, 30]), f"'1404/12/30': {NOT_A_DAY}"),
    (lambda: shamsi.from_shamsi([0], [1], [1]), f"'0000/01/01': {OUTSIDE}"),
    (lambda: shamsi.from_shamsi([1404], [1], [1], errors="ignore"), "errors must be"),
    (lambda: shamsi.parse_array(["1404/01/01", "1404/12/30"]), f"'1404/12/30': {NOT_A_DAY}"),
    (lambda: shamsi.parse_array(np.array(["۱۴۰۴/۱۳/۰۱"])), f"'۱۴۰۴/۱۳/۰۱': {NOT_A_DAY}"),
]


@pytest.mark.parametrize("call, message", VALUE_ERRORS)
def test_bad_values_raise_value_error(call, message):
    with pytest.raises(ValueError) as raised:
        call()
    assert message in str(raised.value)


TYPE_ERRORS = [
    lambda: Date(1405.0, 1, 1),
    lambda: Date("1405", 1, 1),
    lambda: Date(1405, 1, None),
    lambda: Date.from_gregorian("2026-12-08"),
    lambda: Date(1405, 1, 1).add(months=1.5),
    lambda: shamsi.parse(b"1405/09/17"),
    lambda: shamsi.parse(1405),
    lambda: shamsi.between(Date(1405, 1, 1), datetime.date(2026, 1, 1)),
    lambda: Date(1405, 1, 1) + 1,
    lambda: shamsi.is_leap("1403"),
    lambda: shamsi.to_shamsi(np.array([1.5])),
    lambda: shamsi.to_shamsi(["1405/09/17"]),
    lambda: shamsi.from_shamsi([1404.0], [1], [1]),
    lambda: shamsi.format(np.array([1, 2])),
    lambda: shamsi.parse_array(np.array([14040101])),
    lambda: shamsi.parse_array(np.array(["1404/01/01", 1404], object)),
    lambda: shamsi.parse_array([b"1404/01/01"]),
]


@pytest.mark.parametrize("call", TYPE_ERRORS)
def test_wrong_types_raise_type_error(call):
    with pytest.raises(TypeError):
        call()


NOT_DATES = [
    (lambda: shamsi.to_shamsi(np.array([5, True], object)), "not int: 5"),
    (lambda: shamsi.to_shamsi([datetime.date(2026, 12, 8), True]), "not bool: True"),
    (lambda: shamsi.format([pd.Timestamp("2026-12-08"), "1405/09/17"]), "not str: '1405/09/17'"),
    (lambda: shamsi.format(np.array([1.5], object)), "not float: 1.5"),
    (lambda: shamsi.to_shamsi(np.array([5, 6])), "not int64"),
    (lambda: shamsi.format(np.array(["2026-12-08"], "M8[D]"), tz=3.5), "tz must be a datetime.tzinfo"),
]


@pytest.mark.parametrize("call, message", NOT_DATES)
def test_what_is_no_date_raises_type_error_naming_it(call, message):
    with pytest.raises(TypeError, match=message):
        call()


def test_objects_are_read_at_their_wall_time_and_missing_ones_are_nat():
    objects = [pd.Timestamp("2026-12-08 23:59:59"), pd.NaT, None, float("nan"), datetime.date(2026, 12, 8),
               np.datetime64("2026-12-08T12:34:56"), datetime.datetime(2026, 12, 9, 1, 30, tzinfo=datetime.timezone.utc)]
    assert shamsi.format(objects, "%Y/%m/%d %H:%M:%S%z").tolist() == [
        "1405/09/17 23:59:59", "", "", "", "1405/09/17 00:00:00", "1405/09/17 12:34:56", "1405/09/18 01:30:00+00:00"]
    assert shamsi.to_shamsi(np.array(objects, object).reshape(7, 1))[2][:, 0].tolist() == [17, 0, 0, 0, 17, 17, 18]


def test_coerce_gives_nat_for_bad_values():
    assert np.isnat(shamsi.parse_array(["1404/12/30", "x", "1404/01/01"], errors="coerce")).tolist() == [
        True, True, False]
    assert np.isnat(shamsi.from_shamsi([1404, 1404, 0], [12, 1, 1], [30, 1, 1], errors="coerce")).tolist() == [
        True, False, True]
