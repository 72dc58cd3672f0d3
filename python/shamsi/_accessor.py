"""The pandas accessor .shamsi on datetime64 Series and DatetimeIndex, and date_range."""

import numpy as np
import pandas as pd

from . import _datetimes, _NAT, _shamsi, from_shamsi

# The first month of each unit's periods counts this many months.
_MONTHS_IN = {"year": 12, "quarter": 3, "month": 1}
_UNITS = "'year', 'quarter', 'month' or 'week'"
# The whole days datetime64[ns] holds.
_FIRST_NS_DAY = np.datetime64("1677-09-22").astype(np.int64)
_LAST_NS_DAY = np.datetime64("2262-04-11").astype(np.int64)


class NotDatetimeError(TypeError, AttributeError):
    """The accessor on values that are not datetime64.

    A TypeError, and an AttributeError so that hasattr() and dir() (which
    pandas uses to list a Series' attributes) see no accessor there.
    """


class _Column:
    """A column's wall times and, once asked for, its Shamsi fields.

    Kept by the accessor while the column's values stay the same (their
    fingerprint tells), so that its fields are converted once: the year,
    month and day arrays converted together are kept until a field is asked
    for, then given to it (the column converted again only if it is asked
    for twice).
    """

    __slots__ = ("fingerprint", "wall", "ticks", "offsets", "_kept", "_missing")

    def __init__(self, fingerprint, wall, ticks, offsets):
        self.fingerprint = fingerprint
        self.wall, self.ticks, self.offsets = wall, ticks, offsets
        self._kept = {}
        self._missing = False  # not known until converted

    def _convert(self):
        year, month, day = _shamsi._to_shamsi(self.wall, self.ticks)  # 0 for NaT
        self._kept = {"year": year, "month": month, "day": day}
        # The mask of NaT, or None where there is none (the common case, which
        # then needs no mask in memory until a field is made).
        self._missing = None if year.all() else year == 0

    def fields(self, *names):
        """The named fields, 'year', 'month' or 'day' (int32 arrays, 0 for NaT,
        to be read, not changed), then the mask of NaT."""
        if any(name not in self._kept for name in names):
            self._convert()
        return (*(self._kept[name] for name in names), self.missing())

    def field(self, name):
        """The field 'year', 'month' or 'day' as an array of its caller's own."""
        if name not in self._kept:
            self._convert()
        return self._kept.pop(name)

    def missing(self):
        """The mask of NaT (not to be changed)."""
        if self._missing is False:
            self._convert()
        return np.zeros(len(self.wall), bool) if self._missing is None else self._missing

    def mask(self):
        """A new mask of NaT, for a field of its own: a copy of the kept one,
        or, where there is no NaT, zeros that cost nothing until written."""
        missing = self.missing()
        return missing.copy() if self._missing is not None else missing

    def days(self):
        """The wall days (int64 counts from 1970-01-01; anything for NaT)."""
        return np.floor_divide(self.wall, self.ticks)


class _ShamsiFields:
    """What the Series and the DatetimeIndex accessors share."""

    def __init__(self, values):
        if not pd.api.types.is_datetime64_any_dtype(values.dtype):
            raise NotDatetimeError(f"the .shamsi accessor takes datetime64 values, not {values.dtype}")
        self._values = values
        self._column = None

    def _source(self):
        return np.ascontiguousarray(self._values.array.asi8)

    def _columns(self):
        fingerprint = _shamsi._fingerprint(self._source())
        if self._column is None or self._column.fingerprint != fingerprint:
            wall, ticks, _, offsets = _datetimes(self._values, "the .shamsi accessor")
            self._column = _Column(fingerprint, wall, ticks, offsets)
        return self._column

    def _wrap(self, array):
        raise NotImplementedError

    # A field of the kept column: its values with the column's mask of NaT,
    # each result owning both.
    def _integers(self, values):
        return self._wrap(pd.arrays.IntegerArray(values, self._column.mask()))

    def _booleans(self, values):
        return self._wrap(pd.arrays.BooleanArray(values, self._column.mask()))

    # --- Fields -----------------------------------------------------------

    @property
    def year(self):
        """The Shamsi year (Int32; <NA> for NaT)."""
        return self._integers(self._columns().field("year"))

    @property
    def month(self):
        """The Shamsi month, 1 (Farvardin) to 12 (Esfand) (Int32; <NA> for NaT)."""
        return self._integers(self._columns().field("month"))

    @property
    def day(self):
        """The day of the Shamsi month (Int32; <NA> for NaT)."""
        return self._integers(self._columns().field("day"))

    @property
    def quarter(self):
        """The Shamsi quarter, 1-4, of three months each from Farvardin (Int32)."""
        month, missing = self._columns().fields("month")
        return self._integers(np.where(missing, 0, (month + 2) // 3).astype(np.int32))

    def _day_field(self, which):
        year, month, day, _ = self._columns().fields("year", "month", "day")
        return _shamsi._day_fields(year, month, day, which)

    @property
    def day_of_year(self):
        """The day of the Shamsi year, 1-366 (Int32)."""
        return self._integers(self._day_field(0))

    @property
    def days_in_month(self):
        """The days of the date's Shamsi month: 31, 30 or 29 (Int32)."""
        return self._integers(self._day_field(1))

    @property
    def is_leap_year(self):
        """Whether the Shamsi year has 366 days (boolean)."""
        return self._booleans(self._day_field(2).astype(bool))

    @property
    def day_of_week(self):
        """The day of the week as .dt counts it: Monday 0 ... Saturday 5, Sunday 6 (Int32)."""
        column = self._columns()
        missing = column.missing()
        # 1970-01-01 was a Thursday.
        weekday = np.where(missing, 0, (column.days() + 3) % 7).astype(np.int32)
        return self._integers(weekday)

    def _starts(self, month_step):
        """Whether each date is the first day of its period of month_step months."""
        month, day, _ = self._columns().fields("month", "day")
        return (day == 1) & ((month - 1) % month_step == 0)

    def _ends(self, month_step):
        month, day, missing = self._columns().fields("month", "day")
        return (day == self._day_field(1)) & (month % month_step == 0) & ~missing

    @property
    def is_month_start(self):
        """Whether the date is the first day of its Shamsi month (boolean)."""
        return self._booleans(self._starts(1))

    @property
    def is_month_end(self):
        """Whether the date is the last day of its Shamsi month (boolean)."""
        return self._booleans(self._ends(1))

    @property
    def is_quarter_start(self):
        """Whether the date is 1 Farvardin, 1 Tir, 1 Mehr or 1 Dey (boolean)."""
        return self._booleans(self._starts(3))

    @property
    def is_quarter_end(self):
        """Whether the date is the last day of Khordad, Shahrivar, Azar or Esfand (boolean)."""
        return self._booleans(self._ends(3))

    @property
    def is_year_start(self):
        """Whether the date is 1 Farvardin (boolean)."""
        return self._booleans(self._starts(12))

    @property
    def is_year_end(self):
        """Whether the date is the last day of Esfand (boolean)."""
        return self._booleans(self._ends(12))

    # --- Texts ------------------------------------------------------------

    def strftime(self, fmt, digits="ascii", names="iranian"):
        """Each date as Shamsi text, as shamsi.format writes it (NaN for NaT).

        The time fields write the wall time, and %z the offset of a zone-aware
        column (nothing for a naive one).
        """
        column = self._columns()
        return self._wrap(_shamsi._format_objects(column.wall, column.ticks, fmt, digits, names, column.offsets,
                                                  np.nan))

    def month_name(self, names="iranian"):
        """The Shamsi month's name: 'iranian' (آذر), 'afghan' (قوس) or 'english' (Azar); NaN for NaT."""
        return self.strftime("%B", names=names)

    def day_name(self, names="iranian"):
        """The weekday's name: Persian (سه‌شنبه), or English with names='english'; NaN for NaT."""
        return self.strftime("%A", names=names)

    # --- Periods ----------------------------------------------------------

    def _period_starts(self, unit, ceil):
        column = self._columns()
        year, month, missing = column.fields("year", "month")
        days = np.where(missing, 0, column.days())
        if unit == "week":
            # 1970-01-01 was a Thursday, the sixth day of a week from Saturday.
            start = days - (days + 5) % 7
            following = start + 7
        elif unit in _MONTHS_IN:
            step = _MONTHS_IN[unit]
            first = (month - 1) // step * step + 1
            start = from_shamsi(year, np.where(missing, 0, first), np.where(missing, 0, 1))
            start = start.view(np.int64)
            if ceil:
                months = year.astype(np.int64) * 12 + first - 1 + step
                following = from_shamsi(months // 12, months % 12 + 1, 1, errors="coerce").view(np.int64)
        else:
            raise ValueError(f"'{unit}': the Shamsi periods are {_UNITS}")
        if ceil:
            exact = (start == days) & (column.wall - days * column.ticks == 0)
            moved = ~missing & ~exact
            if (following[moved] == _NAT).any():
                raise ValueError(f"the {unit} after a date here falls outside the Shamsi years 1-9999")
            start = np.where(moved, following, start)
        start = np.where(missing, _NAT, start)
        if ((start != _NAT) & ((start < _FIRST_NS_DAY) | (start > _LAST_NS_DAY))).any():
            raise pd.errors.OutOfBoundsDatetime(
                f"a {unit}'s start here falls outside what datetime64[ns] holds (1677-09-22 to 2262-04-11)")
        return self._wrap_times(start.view("datetime64[D]").astype("datetime64[ns]"))

    def _wrap_times(self, days):
        tz = getattr(self._values.dtype, "tz", None)
        times = pd.DatetimeIndex(days)
        if tz is not None:
            # Midnight where a zone skips it is the day's first instant; where it
            # repeats, the first of the two.
            times = times.tz_localize(tz, ambiguous=np.ones(len(times), bool), nonexistent="shift_forward")
        return self._wrap(times)

    def floor(self, unit):
        """The start of each date's Shamsi 'year', 'quarter' (1 Farvardin, Tir,
        Mehr, Dey), 'month' or 'week' (the Saturday that starts it), at midnight
        (NaT for NaT); a zone-aware column keeps its zone."""
        return self._period_starts(unit, ceil=False)

    def ceil(self, unit):
        """The start of the next Shamsi 'year', 'quarter', 'month' or 'week',
        or the date itself where it is such a start at midnight."""
        return self._period_starts(unit, ceil=True)

    def trunc(self, unit):
        """floor(unit)."""
        return self.floor(unit)


@pd.api.extensions.register_series_accessor("shamsi")
class ShamsiAccessor(_ShamsiFields):
    """Shamsi fields of a datetime64 Series, as .dt gives the Gregorian ones.

        >>> s = pandas.Series(pandas.to_datetime(['2026-12-08', None]))
        >>> s.shamsi.year.tolist(), s.shamsi.strftime('%B').tolist()
        ([1405, <NA>], ['آذر', nan])
        >>> s.shamsi.trunc('month').tolist()
        [Timestamp('2026-11-22 00:00:00'), NaT]

    The day of a timestamp is its day where it was written: a time-zone
    aware Series is read at its own wall time. NaT gives a missing value in
    every field: <NA> in the integer and boolean ones (pandas' nullable Int32
    and boolean), NaN in the texts, NaT in floor, ceil and trunc. The column
    is converted once for all its fields while its values stay the same.
    """

    def _wrap(self, array):
        series = self._values
        return pd.Series(array, index=series.index, name=series.name, copy=False)


@pd.api.extensions.register_index_accessor("shamsi")
class ShamsiIndexAccessor(_ShamsiFields):
    """The Series accessor's fields on a DatetimeIndex, each as an Index."""

    def _wrap(self, array):
        return pd.Index(array, name=self._values.name)


def _timestamp(value, what):
    from . import Date

    if isinstance(value, Date):
        value = value.to_gregorian()
    try:
        return pd.Timestamp(value)
    except (TypeError, ValueError) as error:
        raise TypeError(f"date_range: {what} must be a date or a time, not {value!r}") from error


def date_range(start, end, freq="month", tz=None, name=None):
    """The starts of the Shamsi years, quarters, months or weeks (Saturdays)
    from start to end (both included), as a DatetimeIndex at midnight.

    start and end are anything pandas.Timestamp takes, or shamsi.Date; tz
    (or start's zone) makes the index zone-aware, at the wall midnights.

        >>> shamsi.date_range('2026-03-01', '2026-06-30', 'month').strftime('%Y-%m-%d').tolist()
        ['2026-03-21', '2026-04-21', '2026-05-22', '2026-06-22']
    """
    first, last = _timestamp(start, "start"), _timestamp(end, "end")
    zone = tz if tz is not None else first.tz
    if first.tz is not None:
        first, last = first.tz_localize(None), last.tz_convert(first.tz).tz_localize(None)
    elif last.tz is not None:
        raise TypeError("date_range: start and end must both be zone-aware or both naive")
    bounds = pd.Series([first, last]).shamsi
    begin, stop = bounds.ceil(freq)[0], bounds.floor(freq)[1]
    if begin > stop:
        days = np.array([], "datetime64[D]")
    elif freq == "week":
        days = np.arange(begin.to_datetime64().astype("datetime64[D]"),
                         stop.to_datetime64().astype("datetime64[D]") + 1, 7)
    else:
        step = _MONTHS_IN[freq]
        begin_fields = pd.Series([begin, stop]).shamsi
        years, months = begin_fields.year.to_numpy(np.int64), begin_fields.month.to_numpy(np.int64)
        counts = np.arange(years[0] * 12 + months[0] - 1, years[1] * 12 + months[1], step)
        days = from_shamsi(counts // 12, counts % 12 + 1, 1)
    index = pd.DatetimeIndex(days.astype("datetime64[ns]"), name=name)
    if zone is not None:
        index = index.tz_localize(zone, ambiguous=np.ones(len(index), bool), nonexistent="shift_forward")
    return index


