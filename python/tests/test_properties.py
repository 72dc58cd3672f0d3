"""Properties over drawn days of the years 1-9999, patterns and texts
(Hypothesis): the round trips, the scalar, numpy and pandas paths giving
the same, and shamsi-date giving the same on each drawn batch."""

import os
import subprocess

import numpy as np
import pandas as pd
import pytest

hypothesis = pytest.importorskip("hypothesis")
from hypothesis import given, settings, strategies as st  # noqa: E402

import shamsi  # noqa: E402
from shamsi import Date  # noqa: E402

settings.register_profile("fixed", derandomize=True, database=None, deadline=None, max_examples=100)
settings.register_profile("explore", database=None, deadline=None, max_examples=1000)
settings.load_profile(os.environ.get("HYPOTHESIS_PROFILE", "fixed"))

FIRST = int(np.datetime64("0622-03-21", "D").astype(np.int64))  # 1 Farvardin 1
LAST = int(np.datetime64("10621-03-19", "D").astype(np.int64))  # 29 Esfand 9999
NS_FIRST = int(np.datetime64("1677-09-22", "D").astype(np.int64))
NS_LAST = int(np.datetime64("2262-04-10", "D").astype(np.int64))

days = st.integers(FIRST, LAST)
batches = st.lists(days, min_size=1, max_size=200)
digits = st.sampled_from(["ascii", "persian"])
names = st.sampled_from(["iranian", "afghan", "english"])
DATE_FIELDS = ["%Y", "%y", "%m", "%d", "%-m", "%-d", "%B", "%A", "%j", "%%"]
TIME_FIELDS = ["%H", "%M", "%S"]
literals = st.text(st.characters(blacklist_characters="%\n\r\x00", blacklist_categories=("Cs",)), max_size=4)


def patterns(fields):
    return st.lists(st.one_of(st.sampled_from(fields), literals), min_size=1, max_size=6).map("".join)


# Patterns that name the year, month and day, so that reading their text gives the day back.
READABLE = ["%Y/%m/%d", "%Y-%-m-%-d", "%-d %B %Y", "%A %d %B %Y", "%A، %-d %B %Y"]


def _day_array(numbers):
    return np.array(numbers, np.int64).view("M8[D]")


@given(batches, st.sampled_from(READABLE), digits, names)
def test_fields_and_texts_come_back_to_the_same_days(numbers, pattern, digit_set, name_set):
    values = _day_array(numbers)
    assert (shamsi.from_shamsi(*shamsi.to_shamsi(values)) == values).all()
    if name_set == "english" and "%A" in pattern:
        pattern = pattern.replace("%A", "%A,").replace("،", "")  # English weekdays are read before a comma
    texts = shamsi.format(values, pattern, digits=digit_set, names=name_set)
    assert (shamsi.parse_array(texts) == values).all(), texts[:3]
    assert all(shamsi.parse(text) == Date(*map(int, f)) for text, *f in zip(texts[:5], *shamsi.to_shamsi(values[:5])))


@given(st.lists(st.tuples(st.integers(NS_FIRST, NS_LAST), st.integers(0, 86_399)), min_size=1, max_size=50),
       patterns(DATE_FIELDS), patterns(DATE_FIELDS + TIME_FIELDS), digits, names)
def test_scalar_numpy_and_pandas_give_the_same(moments, date_pattern, pattern, digit_set, name_set):
    seconds = np.array([day * 86_400 + second for day, second in moments], np.int64).view("M8[s]")
    series = pd.Series(seconds.astype("M8[ns]"))
    dates = [Date.from_gregorian(t) for t in series]
    # The date's fields: Date, to_shamsi, the accessor.
    fields = shamsi.to_shamsi(seconds)
    assert [(d.year, d.month, d.day) for d in dates] == list(zip(*(f.tolist() for f in fields)))
    assert series.shamsi.year.tolist() == fields[0].tolist() and series.shamsi.day.tolist() == fields[2].tolist()
    # The date's text: Date.strftime, format, the accessor's strftime.
    texts = shamsi.format(seconds, date_pattern, digits=digit_set, names=name_set).tolist()
    assert texts == [d.strftime(date_pattern, digits=digit_set, names=name_set) for d in dates]
    # With the time of day: format on each unit and the accessor.
    timed = shamsi.format(seconds, pattern, digits=digit_set, names=name_set).tolist()
    assert timed == shamsi.format(series.to_numpy(), pattern, digits=digit_set, names=name_set).tolist()
    assert timed == series.shamsi.strftime(pattern, digits=digit_set, names=name_set).tolist()
    assert timed == shamsi.format(list(series), pattern, digits=digit_set, names=name_set).tolist()


def _run(*args, data):
    program = os.environ["SHAMSI_DATE"]
    done = subprocess.run([program, *args], input=data.encode(), capture_output=True, check=False)
    assert done.returncode in (0, 1), done.stderr
    return done.stdout.decode().split("\n")[:-1]


@given(batches, patterns(DATE_FIELDS), digits, names)
def test_format_is_shamsi_dates_on_each_batch(numbers, pattern, digit_set, name_set):
    values = _day_array(numbers)
    miladi = "".join(f"{day}\n" for day in np.datetime_as_string(values))
    expected = _run("to-shamsi", "--format", pattern, "--digits", digit_set, "--names", name_set, data=miladi)
    assert shamsi.format(values, pattern, digits=digit_set, names=name_set).tolist() == expected


# Texts shaped like dates, right or wrong: numbers that may name no day, the
# three digit sets, separators, month names and weekdays.
_DIGITS = {"ascii": "0123456789", "persian": "۰۱۲۳۴۵۶۷۸۹", "arabic": "٠١٢٣٤٥٦٧٨٩"}


@st.composite
def date_texts(draw):
    digit_set = _DIGITS[draw(st.sampled_from(sorted(_DIGITS)))]
    number = lambda n: "".join(digit_set[int(c)] for c in str(n))  # noqa: E731
    year, month, day = draw(st.integers(0, 10_000)), draw(st.integers(0, 13)), draw(st.integers(0, 32))
    name = draw(st.sampled_from(["آذر", "قوس", "Azar", "Farvardin", "اسفند", "حوت", "Mehr", "ماه"]))
    form = draw(st.sampled_from(["{y}/{m}/{d}", "{y}-{m}-{d}", "{d} {n} {y}", "{w} {d} {n} {y}", "{y}/{m}/{d} 10:30",
                                 "{y}.{m}.{d}", " {y}/{m}/{d}\t", "{n} {d}, {y}"]))
    weekday = draw(st.sampled_from(["سه شنبه", "جمعه", "Tuesday,", "شنبه"]))
    return form.format(y=number(year), m=number(month), d=number(day), n=name, w=weekday)


@given(st.lists(date_texts(), min_size=1, max_size=100))
def test_parse_array_reads_what_shamsi_date_reads(texts):
    expected = _run("to-miladi", data="".join(t + "\n" for t in texts))
    days = shamsi.parse_array(texts, errors="coerce")
    # shamsi-date writes a bad line as an empty one, and a time after the date back.
    got = ["" if np.isnat(day) else str(day).replace("-", "/") for day in days]
    assert got == [line[: line.index("/") + 6] if line else "" for line in expected]
