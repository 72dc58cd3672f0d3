"""Every day of the Shamsi years 1-9999, both ways through the array
functions, against shamsi-date (the library's own reading and writing)."""

import numpy as np

import shamsi

# 1 Farvardin 1 and 29 Esfand 9999, as the library documents them.
FIRST = np.datetime64("0622-03-21")
LAST = np.datetime64("10621-03-19")


def _numbers(records, start, width):
    """The decimal numbers in columns start..start+width of byte records."""
    digits = records[:, start : start + width].astype(np.int32) - ord("0")
    return digits @ (10 ** np.arange(width - 1, -1, -1, dtype=np.int32))


def _miladi_fields(days):
    """The Gregorian year, month and day of each day, by numpy alone."""
    months = days.astype("M8[M]")
    return (
        days.astype("M8[Y]").astype(np.int64) + 1970,
        months.astype(np.int64) % 12 + 1,
        (days - months.astype("M8[D]")).astype(np.int64) + 1,
    )


def _miladi_texts(year, month, day):
    """'YYYYY-MM-DD\\n' for each date, the year in five digits."""
    records = np.empty((len(year), 12), np.uint8)
    columns = [(year, 10000), (year, 1000), (year, 100), (year, 10), (year, 1), None,
               (month, 10), (month, 1), None, (day, 10), (day, 1)]
    for column, digit in enumerate(columns):
        records[:, column] = ord("-") if digit is None else digit[0] // digit[1] % 10 + ord("0")
    records[:, 11] = ord("\n")
    return records


def _read_miladi(written, count_before_10000):
    """The year, month and day of shamsi-date's 'YYYY/MM/DD' lines (five-digit years from 10000 on)."""
    short = np.frombuffer(written, np.uint8, count_before_10000 * 11).reshape(-1, 11)
    long = np.frombuffer(written, np.uint8, offset=count_before_10000 * 11).reshape(-1, 12)
    return tuple(
        np.concatenate([_numbers(short, start, width), _numbers(long, start + 1 if start else 0, width + (start == 0))])
        for start, width in ((0, 4), (5, 2), (8, 2))
    )


def test_every_day_both_ways(shamsi_date):
    days = np.arange(FIRST, LAST + 1)
    assert len(days) == 3_652_059
    miladi_fields = _miladi_fields(days)
    miladi = _miladi_texts(*miladi_fields)

    # The library's Shamsi date of every day: 'YYYY/MM/DD\n'.
    written = shamsi_date("to-shamsi", data=miladi.tobytes())
    records = np.frombuffer(written, np.uint8).reshape(-1, 11)
    assert len(records) == len(days)
    year, month, day = _numbers(records, 0, 4), _numbers(records, 5, 2), _numbers(records, 8, 2)

    # Miladi to Shamsi: the fields, and the text.
    ours = shamsi.to_shamsi(days)
    for name, got, expected in zip(("year", "month", "day"), ours, (year, month, day)):
        wrong = np.flatnonzero(got != expected)
        assert wrong.size == 0, f"to_shamsi {name} differs first on {days[wrong[0]]}: {got[wrong[0]]}, not {expected[wrong[0]]}"
    texts = np.ascontiguousarray(records[:, :10]).view("S10").reshape(-1)
    formatted = shamsi.format(days)
    wrong = np.flatnonzero(formatted.astype("S10") != texts)
    assert wrong.size == 0, f"format differs first on {days[wrong[0]]}: {formatted[wrong[0]]}, not {texts[wrong[0]]}"

    # Shamsi to Miladi: the library reads its texts back to the same days...
    back = _read_miladi(shamsi_date("to-miladi", data=written), int(np.sum(miladi_fields[0] < 10000)))
    for name, got, expected in zip(("year", "month", "day"), back, miladi_fields):
        wrong = np.flatnonzero(got != expected)
        assert wrong.size == 0, f"shamsi-date to-miladi {name} differs first on {texts[wrong[0]]}"
    # ...and so must from_shamsi on its fields and parse_array on its texts.
    for name, got in (("from_shamsi", shamsi.from_shamsi(year, month, day)),
                      ("parse_array", shamsi.parse_array(texts.astype("U10")))):
        wrong = np.flatnonzero(got != days)
        assert wrong.size == 0, f"{name} differs first on {texts[wrong[0]]}: {got[wrong[0]]}, not {days[wrong[0]]}"

    # Nothing beyond either end.
    outside = np.array([FIRST - 1, LAST + 1])
    for day in outside:
        try:
            shamsi.to_shamsi(np.array([day]))
        except ValueError as error:
            assert "the Shamsi years 1-9999" in str(error)
        else:
            raise AssertionError(f"to_shamsi took {day}")
