"""Shamsi (Iranian solar, Hijri Shamsi) dates for Python, numpy and pandas.

The calendar is the Shamsi library's (C++): the 33-year rule with the 78
astronomical corrections of 1502-2987, every day of the years 1-9999
(21 March 622 to 19 March 10621).

    >>> import datetime, shamsi
    >>> shamsi.Date.from_gregorian(datetime.date(2026, 12, 8))
    shamsi.Date(1405, 9, 17)
    >>> shamsi.Date(1405, 9, 17).strftime('%A %-d %B %Y')
    'سه\u200cشنبه 17 آذر 1405'
    >>> shamsi.parse('۱۷ آذر ۱۴۰۵').to_gregorian()
    datetime.date(2026, 12, 8)

The array functions take and give numpy arrays, one call for a whole array,
and run without the GIL: to_shamsi, from_shamsi, format, parse_array. They
are pure, so they work on the partitions of a Dask array or data frame as
they are. Missing values: NaT in gives 0 in each field (to_shamsi) or an
empty text (format); the other way, 0/0/0 (from_shamsi) and an empty text
or None (parse_array) give NaT.

With pandas installed, `import shamsi` also registers the Series accessor
`.shamsi` (year, month, day, strftime, trunc) on datetime64 Series.
"""

from collections import namedtuple as _namedtuple

import numpy as _np

from ._shamsi import Date, days_in_month, is_leap, parse, strftime
from . import _shamsi

__all__ = [
    "Date",
    "Period",
    "between",
    "days_in_month",
    "format",
    "from_shamsi",
    "is_leap",
    "parse",
    "parse_array",
    "strftime",
    "to_shamsi",
]

Period = _namedtuple("Period", "years months days")
Period.__doc__ = """A distance between two Shamsi dates: whole years and months, then days."""


def between(a, b):
    """b - a as Period(years, months, days), as `shamsi-date diff --ymd` gives it.

    For a <= b: the most whole months n with a.add(months=n) not past b, as
    n // 12 years and n % 12 months, then the days left; so
    a.add(years=p.years, months=p.months, days=p.days) == b. For b < a, every
    part of between(b, a) negated.

    >>> between(Date(1404, 1, 1), Date(1405, 9, 17))
    Period(years=1, months=8, days=16)
    """
    if not isinstance(a, Date) or not isinstance(b, Date):
        raise TypeError(
            f"between takes two shamsi.Date, not {type(a).__name__} and {type(b).__name__}"
        )
    return Period(*_shamsi._between(a, b))


# The days in one unit of each datetime64 unit finer than a day; coarser or
# stranger units are cast to days by numpy first (which floors).
_TICKS_PER_DAY = {
    "D": 1,
    "h": 24,
    "m": 24 * 60,
    "s": 86_400,
    "ms": 86_400_000,
    "us": 86_400_000_000,
    "ns": 86_400_000_000_000,
    "ps": 86_400_000_000_000_000,
}


def _datetimes(values, name):
    """values as datetime64 int64 counts: (flat contiguous counts, units in a day, shape)."""
    array = _np.asarray(values)
    if array.dtype.kind == "O" or (array.size == 0 and array.dtype.kind != "M"):
        # datetime.date or datetime.datetime objects (pandas' Timestamps too).
        try:
            array = array.astype("datetime64[D]")
        except (TypeError, ValueError) as error:
            raise TypeError(f"{name} takes datetime64 values or datetime.date objects: {error}") from None
    if array.dtype.kind != "M":
        raise TypeError(f"{name} takes datetime64 values or datetime.date objects, not {array.dtype}")
    unit, count = _np.datetime_data(array.dtype)
    if unit in ("fs", "as"):  # more in a day than int64 counts: to picoseconds first
        array = array.astype("datetime64[ps]")
        unit, count = "ps", 1
    ticks = _TICKS_PER_DAY.get(unit)
    if ticks is None or ticks % count != 0:
        array = array.astype("datetime64[D]")
        ticks, count = 1, 1
    flat = _np.ascontiguousarray(array).reshape(-1).view(_np.int64)
    return flat, ticks // count, array.shape


def _check_errors(errors):
    if errors not in ("raise", "coerce"):
        raise ValueError(f"errors must be 'raise' or 'coerce', not {errors!r}")
    return errors == "coerce"


def to_shamsi(a):
    """The Shamsi (year, month, day) of each datetime64 value, as three int32 arrays.

    Any datetime64 unit is floored to its day; datetime.date objects are
    taken too. NaT gives 0 in each field. A day outside the Shamsi years
    1-9999 raises ValueError. One call for the whole array, without the GIL.

    >>> to_shamsi(numpy.array(['2025-03-21', 'NaT'], 'datetime64[D]'))
    (array([1404, 0], dtype=int32), array([1, 0], dtype=int32), array([1, 0], dtype=int32))
    """
    flat, ticks, shape = _datetimes(a, "to_shamsi")
    return tuple(field.reshape(shape) for field in _shamsi._to_shamsi(flat, ticks))


def _integers(values, name):
    array = _np.asarray(values)
    if array.dtype.kind not in "iu" and not (array.size == 0 and array.dtype.kind == "f"):
        raise TypeError(f"from_shamsi takes integers for {name}, not {array.dtype}")
    return array


def from_shamsi(year, month, day, errors="raise"):
    """The datetime64[D] days of Shamsi dates given as arrays (or numbers) of year, month and day.

    The three are broadcast together. 0/0/0 gives NaT (what to_shamsi gives
    for NaT). Any other numbers that name no day raise ValueError with the
    reason ("not a day of the Shamsi calendar", "outside the Shamsi years
    1-9999"), or give NaT with errors='coerce'. Non-integers raise TypeError.

    >>> from_shamsi([1404, 1405], [1, 9], [1, 17])
    array(['2025-03-21', '2026-12-08'], dtype='datetime64[D]')
    """
    coerce = _check_errors(errors)
    fields = [_integers(v, n) for v, n in ((year, "year"), (month, "month"), (day, "day"))]
    fields = _np.broadcast_arrays(*fields)
    shape = fields[0].shape
    flat = [_np.ascontiguousarray(f, dtype=_np.int64).reshape(-1) for f in fields]
    return _shamsi._from_shamsi(*flat, coerce).reshape(shape)


def format(a, fmt="%Y/%m/%d", digits="ascii", names="iranian"):
    """Each datetime64 value as Shamsi text, as an array of str as wide as the
    widest text the format can give.

    fmt has the fields of `shamsi-date --format` (see Date.strftime); digits
    is 'ascii' or 'persian', names 'iranian', 'afghan' or 'english'.
    NaT gives ''. A day outside the Shamsi years 1-9999 raises ValueError.
    One call for the whole array, without the GIL.

    >>> format(numpy.array(['2026-12-08'], 'datetime64[D]'), '%-d %B %Y')
    array(['17 آذر 1405'], dtype='<U16')
    """
    flat, ticks, shape = _datetimes(a, "format")
    return _shamsi._format(flat, ticks, fmt, digits, names).reshape(shape)


def parse_array(texts, errors="raise"):
    """The datetime64[D] day of each Shamsi text, read as parse() reads one.

    An empty text or None (or NaN, as pandas marks a missing value) gives
    NaT. A text that names no date raises ValueError with the text and the
    reason, or gives NaT with errors='coerce', as pandas.to_datetime does.
    Anything but str raises TypeError. One call for the whole array; the
    texts are read without the GIL.

    >>> parse_array(['1404/01/01', '۱۷ آذر ۱۴۰۵', ''])
    array(['2025-03-21', '2026-12-08', 'NaT'], dtype='datetime64[D]')
    """
    coerce = _check_errors(errors)
    array = _np.asarray(texts)
    if array.dtype.kind not in "UO":
        if array.size == 0:
            array = array.astype("U1")
        else:
            raise TypeError(f"parse_array reads str, not {array.dtype}")
    flat = _np.ascontiguousarray(array).reshape(-1)
    return _shamsi._parse_array(flat, coerce).reshape(array.shape)


try:
    import pandas  # noqa: F401
except ImportError:  # the accessor comes with pandas
    pass
else:
    from . import _accessor  # noqa: F401  registers Series.shamsi

    del pandas
