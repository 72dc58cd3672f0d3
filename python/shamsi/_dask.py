"""The accessor .shamsi on Dask Series: the pandas accessor, partition by partition."""

from dask.dataframe.extensions import register_series_accessor

from ._accessor import ShamsiAccessor

_FIELDS = ("year", "month", "day", "quarter", "day_of_year", "days_in_month", "is_leap_year", "day_of_week",
           "is_month_start", "is_month_end", "is_quarter_start", "is_quarter_end", "is_year_start",
           "is_year_end")
_METHODS = ("strftime", "month_name", "day_name", "floor", "ceil", "trunc")


@register_series_accessor("shamsi")
class DaskShamsiAccessor:
    """What Series.shamsi gives, on each partition of a Dask Series of datetime64.

    The results are Dask Series with the pandas accessor's types, made
    lazily: ddf.when.shamsi.month.compute() is ddf.when.compute().shamsi.month.
    """

    def __init__(self, series):
        # The empty pandas Series that stands for the partitions checks the type.
        ShamsiAccessor(series._meta)
        self._series = series

    def _map(self, name, *args, **kwargs):
        def on_partition(partition):
            result = getattr(partition.shamsi, name)
            return result(*args, **kwargs) if callable(result) else result

        return self._series.map_partitions(on_partition, meta=on_partition(self._series._meta))


def _field(name):
    prop = property(lambda self: self._map(name))
    prop.__doc__ = getattr(ShamsiAccessor, name).__doc__
    return prop


def _method(name):
    def method(self, *args, **kwargs):
        return self._map(name, *args, **kwargs)

    method.__name__ = name
    method.__doc__ = getattr(ShamsiAccessor, name).__doc__
    return method


for _name in _FIELDS:
    setattr(DaskShamsiAccessor, _name, _field(_name))
for _name in _METHODS:
    setattr(DaskShamsiAccessor, _name, _method(_name))
del _name
