"""The pandas Series accessor .shamsi, registered when shamsi is imported."""

import numpy as np
import pandas as pd

from . import format as _format
from . import from_shamsi, to_shamsi


@pd.api.extensions.register_series_accessor("shamsi")
class ShamsiAccessor:
    """Shamsi fields of a datetime64 Series, as .dt gives the Gregorian ones.

        >>> s = pandas.Series(pandas.to_datetime(['2026-12-08', None]))
        >>> s.shamsi.year.tolist(), s.shamsi.strftime('%B').tolist()
        ([1405, 0], ['آذر', ''])
        >>> s.shamsi.trunc('month').tolist()
        [Timestamp('2026-11-22 00:00:00'), NaT]

    The day of a timestamp is its day where it was written: a time-zone
    aware Series is read in its own zone. NaT gives 0 in each field, an
    empty text from strftime and NaT from trunc.
    """

    def __init__(self, series):
        if not pd.api.types.is_datetime64_any_dtype(series.dtype):
            raise TypeError(f"the .shamsi accessor takes datetime64 values, not {series.dtype}")
        self._series = series

    def _values(self):
        series = self._series
        if getattr(series.dtype, "tz", None) is not None:
            series = series.dt.tz_localize(None)
        return series.to_numpy()

    def _result(self, values):
        return pd.Series(values, index=self._series.index, name=self._series.name)

    @property
    def year(self):
        """The Shamsi year (int32; 0 for NaT)."""
        return self._result(to_shamsi(self._values())[0])

    @property
    def month(self):
        """The Shamsi month, 1 (Farvardin) to 12 (Esfand) (int32; 0 for NaT)."""
        return self._result(to_shamsi(self._values())[1])

    @property
    def day(self):
        """The day of the Shamsi month (int32; 0 for NaT)."""
        return self._result(to_shamsi(self._values())[2])

    def strftime(self, fmt, digits="ascii", names="iranian"):
        """Each date as Shamsi text, as shamsi.format writes it ('' for NaT)."""
        return self._result(_format(self._values(), fmt, digits, names))

    def trunc(self, unit):
        """The first day of each date's Shamsi 'year', 'quarter' (Farvardin, Tir,
        Mehr, Dey), 'month', or 'week' (the Saturday that starts it), at midnight."""
        values = self._values()
        if unit == "week":
            days = values.astype("datetime64[D]")
            counts = days.view(np.int64)
            # 1970-01-01 was a Thursday, the sixth day of a week from Saturday.
            start = (counts - (counts + 5) % 7).view("datetime64[D]")
            result = np.where(np.isnat(days), days, start)
        elif unit in ("year", "quarter", "month"):
            year, month, _ = to_shamsi(values)
            missing = year == 0
            if unit == "year":
                month = np.where(missing, 0, 1)
            elif unit == "quarter":
                month = np.where(missing, 0, (month - 1) // 3 * 3 + 1)
            result = from_shamsi(year, month, np.where(missing, 0, 1))
        else:
            raise ValueError(f"'{unit}': trunc takes 'year', 'quarter', 'month' or 'week'")
        result = self._result(result.astype("datetime64[ns]"))
        tz = getattr(self._series.dtype, "tz", None)
        return result if tz is None else result.dt.tz_localize(tz)
