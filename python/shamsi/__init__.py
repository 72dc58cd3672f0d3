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

Values are read at their own wall time: aware ones (a zone-aware pandas
Series or DatetimeIndex, aware datetimes) at theirs, naive datetime64 ones
as they are, or with tz= as UTC instants at their wall time in that zone.

With pandas installed, `import shamsi` also registers the accessor `.shamsi`
on datetime64 Series and DatetimeIndex (the fields of .dt in Shamsi,
strftime, month_name, day_name, floor, ceil, trunc) and date_range; with
Dask, the same accessor on Dask Series.
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


def _unit_counts(array):
    """A datetime64 array as (its int64 counts, units in a day), in a unit whose day has whole units."""
    unit, count = _np.datetime_data(array.dtype)
    if unit in ("fs", "as"):  # more in a day than int64 counts: to picoseconds first
        array = array.astype("datetime64[ps]")
        unit, count = "ps", 1
    ticks = _TICKS_PER_DAY.get(unit)
    if ticks is None or ticks % count != 0:
        array = array.astype("datetime64[D]")
        ticks, count = 1, 1
    return array, ticks // count


def _aware_wall(values, tz, name):
    """pandas' zone-aware values (Series, Index, array): their wall times and offsets."""
    import pandas as pd

    if tz is not None:
        raise TypeError(f"{name}: tz= is for naive datetime64 values (UTC); these carry their own zone")
    index = pd.DatetimeIndex(values)
    wall = index.tz_localize(None).to_numpy()  # in the values' own unit
    utc = index.tz_convert(None).to_numpy()
    # Offsets are whole seconds, so the floors to seconds differ by exactly them.
    offsets = wall.astype("M8[s]").view(_np.int64) - utc.astype("M8[s]").view(_np.int64)
    return wall, _np.where(_np.isnat(wall), _NO_OFFSET, offsets).astype(_np.int32)


_NAT = _np.iinfo(_np.int64).min
_NO_OFFSET = _np.iinfo(_np.int32).min


def _datetimes(values, name, tz=None):
    """values as wall times: (flat contiguous int64 counts, units in a day, shape, offsets).

    offsets is None, or each value's offset from UTC in seconds (the least
    int32 for a value without one): aware values keep their own wall time,
    and naive datetime64 values are read as UTC and moved to tz's wall time.
    """
    offsets = None
    if getattr(getattr(values, "dtype", None), "tz", None) is not None:
        array, offsets = _aware_wall(values, tz, name)
    else:
        array = _np.asarray(values)
        if array.dtype.kind == "O" or (array.size == 0 and array.dtype.kind != "M"):
            # datetime.date and datetime.datetime objects (pandas' Timestamps too),
            # each at its own wall time.
            objects = _np.ascontiguousarray(array, dtype=object).reshape(-1)
            seconds, offsets = _shamsi._object_times(objects, name)
            if offsets is not None and tz is not None:
                raise TypeError(f"{name}: tz= is for naive datetime64 values (UTC); these carry their own zone")
            array = seconds.view("datetime64[s]").reshape(array.shape)
        elif array.dtype.kind != "M":
            raise TypeError(f"{name} takes datetime64 values or datetime.date objects, not {array.dtype}")
    shape = array.shape
    if tz is not None:
        unit, count = _np.datetime_data(array.dtype)
        if count != 1 or unit not in ("s", "ms", "us", "ns", "ps", "fs", "as"):
            array = array.astype("datetime64[s]")  # a unit that a second holds whole
        array, ticks = _unit_counts(array)
        flat = _np.ascontiguousarray(array).reshape(-1).view(_np.int64)
        offsets = _zone_offsets(flat, ticks, tz)
        flat = _np.where(flat == _NAT, _NAT, flat + offsets.astype(_np.int64) * (ticks // 86_400))
        return flat, ticks, shape, offsets
    array, ticks = _unit_counts(array)
    flat = _np.ascontiguousarray(array).reshape(-1).view(_np.int64)
    if offsets is not None:
        offsets = _np.ascontiguousarray(offsets, dtype=_np.int32).reshape(-1)
    return flat, ticks, shape, offsets


def _zone(tz):
    """A tzinfo, or a zone's IANA name (zoneinfo's)."""
    import datetime

    if isinstance(tz, str):
        import zoneinfo

        return zoneinfo.ZoneInfo(tz)
    if not isinstance(tz, datetime.tzinfo):
        raise TypeError(f"tz must be a datetime.tzinfo or a zone's name, not {type(tz).__name__}")
    return tz


def _zone_offsets(counts, ticks, tz):
    """Each UTC instant's offset from UTC in tz, in seconds (int32).

    The zone is asked (tz.fromutc) at the start of every UTC day the values
    touch and of the day after; where the two differ, the instant of the
    change in that day is found by halving. An instant past datetime's years
    1-9999 takes the offset of the nearest one datetime holds.
    """
    import datetime

    zone = _zone(tz)
    epoch = datetime.datetime(1970, 1, 1)
    first = int((datetime.datetime(1, 1, 2) - epoch).total_seconds())
    last = int((datetime.datetime(9999, 12, 30) - epoch).total_seconds())

    def offset(second):
        moment = epoch + datetime.timedelta(seconds=min(max(second, first), last))
        return int(zone.fromutc(moment.replace(tzinfo=zone)).utcoffset().total_seconds())

    valid = counts != _NAT
    seconds = _np.floor_divide(counts[valid], ticks // 86_400)
    days = _np.floor_divide(seconds, 86_400)
    result = _np.full(counts.shape, _NO_OFFSET, _np.int32)
    if days.size == 0:
        return result
    low, high = int(days.min()), int(days.max())
    starts = _np.arange(low, high + 1) if high - low < 2 * days.size else _np.unique(days)
    before = _np.array([offset(int(day) * 86_400) for day in starts], _np.int32)
    after = _np.array([offset((int(day) + 1) * 86_400) for day in starts], _np.int32)
    change = _np.full(starts.shape, _np.iinfo(_np.int64).max, _np.int64)
    for k in _np.flatnonzero(before != after):
        lo, hi = int(starts[k]) * 86_400, (int(starts[k]) + 1) * 86_400  # offset(lo) = before, offset(hi) = after
        while hi - lo > 1:
            middle = (lo + hi) // 2
            if offset(middle) == before[k]:
                lo = middle
            else:
                hi = middle
        change[k] = hi
    where = _np.searchsorted(starts, days)
    result[valid] = _np.where(seconds >= change[where], after[where], before[where])
    return result


def _check_errors(errors):
    if errors not in ("raise", "coerce"):
        raise ValueError(f"errors must be 'raise' or 'coerce', not {errors!r}")
    return errors == "coerce"


def to_shamsi(a, tz=None):
    """The Shamsi (year, month, day) of each datetime64 value, as three int32 arrays.

    Any datetime64 unit is floored to its day; datetime.date and
    datetime.datetime objects are taken too. Values that carry a zone (a
    zone-aware pandas Series or DatetimeIndex, aware datetimes) are read at
    their own wall time. Naive datetime64 values are that wall time, or with
    tz (a tzinfo, or a zone's name such as 'Asia/Tehran') UTC instants, read
    at their wall time in that zone. NaT gives 0 in each field. A day outside
    the Shamsi years 1-9999 raises ValueError, anything but a date TypeError.
    One call for the whole array, without the GIL.

    >>> to_shamsi(numpy.array(['2025-03-21', 'NaT'], 'datetime64[D]'))
    (array([1404, 0], dtype=int32), array([1, 0], dtype=int32), array([1, 0], dtype=int32))
    """
    flat, ticks, shape, _ = _datetimes(a, "to_shamsi", tz)
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


def format(a, fmt="%Y/%m/%d", digits="ascii", names="iranian", tz=None):
    """Each datetime64 value as Shamsi text, as an array of str as wide as the
    widest text the format can give.

    fmt has the fields of `shamsi-date --format` (see Date.strftime); digits
    is 'ascii' or 'persian', names 'iranian', 'afghan' or 'english'.
    Values are read at their wall time, as to_shamsi reads them (tz too).
    NaT gives ''. A day outside the Shamsi years 1-9999 raises ValueError.
    One call for the whole array, without the GIL.

    >>> format(numpy.array(['2026-12-08'], 'datetime64[D]'), '%-d %B %Y')
    array(['17 آذر 1405'], dtype='<U16')
    """
    flat, ticks, shape, offsets = _datetimes(a, "format", tz)
    return _shamsi._format(flat, ticks, fmt, digits, names, offsets).reshape(shape)


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
    from . import _accessor  # registers Series.shamsi and Index.shamsi
    from ._accessor import date_range

    __all__.append("date_range")
    del pandas
    try:
        import dask.dataframe  # noqa: F401
    except Exception:  # noqa: BLE001
        # The Dask accessor comes with dask.dataframe. A Dask that cannot be
        # imported beside this pandas (an older Dask raises AttributeError
        # then) leaves the module without it rather than unusable.
        pass
    else:
        from . import _dask  # registers dask.dataframe.Series.shamsi

        del dask
