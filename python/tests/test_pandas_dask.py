"""The pandas accessors and date_range, held to the scalar Date; the Dask
accessor, and the array functions on a Dask cluster."""

import datetime
import os

import numpy as np
import pandas as pd
import pytest

import shamsi
from shamsi import Date

# Every 97th day of what datetime64[ns] holds, the days around Nowruz 1403-1406,
# each at a time of day of its own, and NaT.
_DAYS = np.concatenate([np.arange(np.datetime64("1678-04-01"), np.datetime64("2262-01-01"), 97),
                        np.arange(np.datetime64("2024-03-01"), np.datetime64("2027-04-01"))])
TIMES = pd.Series(np.append(_DAYS.astype("M8[s]") + (np.arange(_DAYS.size) * 7919) % 86_400,
                            np.datetime64("NaT")).astype("M8[ns]"), name="when")
MISSING = TIMES.isna().to_numpy()


def _scalar_fields(when):
    """Each field as the scalar Date and datetime give it, from the date and its next day."""
    date = Date.from_gregorian(when.date())
    after = date + datetime.timedelta(days=1)
    quarter = (date.month - 1) // 3
    return {
        "year": date.year, "month": date.month, "day": date.day, "quarter": quarter + 1,
        "day_of_year": (date - Date(date.year, 1, 1)).days + 1,
        "days_in_month": shamsi.days_in_month(date.year, date.month),
        "is_leap_year": shamsi.is_leap(date.year),
        "day_of_week": when.weekday(),
        "is_month_start": date.day == 1, "is_month_end": after.month != date.month,
        "is_quarter_start": date.day == 1 and date.month % 3 == 1,
        "is_quarter_end": (after.month - 1) // 3 != quarter,
        "is_year_start": (date.month, date.day) == (1, 1), "is_year_end": after.year != date.year,
    }


def test_every_field_is_the_scalar_dates_and_missing_for_nat():
    expected = pd.DataFrame([_scalar_fields(t) for t in TIMES[~MISSING]])
    for on_index in (False, True):
        values = pd.DatetimeIndex(TIMES) if on_index else TIMES
        for field in expected.columns:
            got = getattr(values.shamsi, field)
            assert isinstance(got, pd.Index if on_index else pd.Series) and got.name == "when"
            assert got.dtype == ("boolean" if field.startswith("is_") else "Int32"), field
            assert got[~MISSING].tolist() == expected[field].tolist(), field
            assert pd.isna(got[MISSING]).all(), field
    texts = TIMES.shamsi.strftime("%Y/%m/%d %H:%M:%S %A %B")
    dates = [Date.from_gregorian(t) for t in TIMES[~MISSING]]
    assert texts[~MISSING].tolist() == [f"{d:%Y/%m/%d} {t:%H:%M:%S} {d:%A %B}" for d, t in zip(dates, TIMES[~MISSING])]
    assert TIMES.shamsi.month_name(names="afghan")[~MISSING].tolist() == [d.strftime("%B", names="afghan") for d in dates]
    assert TIMES.shamsi.day_name(names="english")[~MISSING].tolist() == [d.strftime("%A", names="english") for d in dates]
    assert all(pd.isna(column[MISSING]).all() for column in (texts, TIMES.shamsi.month_name(), TIMES.shamsi.day_name()))


def test_the_column_is_converted_again_when_it_changes():
    series = pd.Series(pd.to_datetime(["2026-12-08", "2026-03-21"]))
    assert series.shamsi.day.tolist() == [17, 1]
    series[0] = pd.Timestamp("2026-12-09")
    year = series.shamsi.year
    year[1] = 0  # the result is the caller's own
    month = series.shamsi.month
    month[0] = None  # and so is its mask
    assert series.shamsi.day.tolist() == [18, 1] and series.shamsi.year.tolist() == [1405, 1405]
    assert series.shamsi.month.tolist() == [9, 1] and series.shamsi.quarter.tolist() == [3, 1]
    assert series.shamsi.day_of_year.tolist() == [264, 1] and year.tolist() == [1405, 0]


@pytest.mark.parametrize("unit, months", [("year", 12), ("quarter", 3), ("month", 1), ("week", 0)])
def test_floor_and_ceil_are_the_starts_around_each_time(unit, months):
    times = pd.concat([TIMES, TIMES.dropna()[::5].dt.floor("D")], ignore_index=True)  # midnights too
    floor, ceil = times.shamsi.floor(unit), times.shamsi.ceil(unit)
    assert floor.equals(times.shamsi.trunc(unit)) and floor.dtype == ceil.dtype == "datetime64[ns]"
    missing = times.isna()
    assert floor[missing].isna().all() and ceil[missing].isna().all()
    times, floor, ceil = times[~missing], floor[~missing], ceil[~missing]
    # Each is a start: the Saturday, or the first day of a period of months, at midnight.
    for starts in (floor, ceil):
        assert (starts == starts.dt.floor("D")).all()
        if months:
            assert starts.shamsi.is_month_start.all() and ((starts.shamsi.month - 1) % months == 0).all()
        else:
            assert (starts.dt.dayofweek == 5).all()
    # floor <= time < the next start, and no start between; ceil is the time
    # itself where it is a start, the next start otherwise.
    following = (floor + pd.Timedelta(days=1)).shamsi.ceil(unit)
    assert (floor <= times).all() and (times < following).all()
    assert (following - pd.Timedelta(days=1)).shamsi.floor(unit).equals(floor)
    assert ceil.equals(following.where(times != floor, times))


def test_a_zone_aware_series_keeps_its_wall_time_and_zone():
    # 2026-12-08T22:00Z is 1405/09/18 01:30 in Tehran.
    series = pd.Series(pd.to_datetime(["2026-12-08 22:00Z", None])).dt.tz_convert("Asia/Tehran")
    assert series.shamsi.day.tolist() == [18, pd.NA]
    assert series.shamsi.strftime("%Y/%m/%d %H:%M %z").tolist()[0] == "1405/09/18 01:30 +03:30"
    assert series.shamsi.floor("month").tolist()[0] == pd.Timestamp("2026-11-22", tz="Asia/Tehran")
    # Tehran skipped the midnight of 1 Farvardin 1359 (1980-03-21), so the year
    # started at 01:00 (+04:30); it had the midnight of Saturday 1978-08-05
    # twice, and the week starts at the first (+05:00).
    times = pd.Series(pd.to_datetime(["1980-06-01 12:00", "1978-08-07 12:00"])).dt.tz_localize("Asia/Tehran")
    assert times.shamsi.floor("year")[0] == pd.Timestamp("1980-03-20 20:30Z")
    assert times.shamsi.floor("week")[1] == pd.Timestamp("1978-08-04 19:00Z")


def test_date_range_gives_the_starts_of_shamsi_periods():
    months = shamsi.date_range("2026-03-01", "2026-06-22", "month", name="m")
    assert months.strftime("%Y-%m-%d").tolist() == ["2026-03-21", "2026-04-21", "2026-05-22", "2026-06-22"]
    assert months.name == "m" and months.shamsi.is_month_start.all()
    quarters = shamsi.date_range(Date(1404, 1, 1), Date(1405, 12, 29), "quarter", tz="Asia/Tehran")
    assert [f"{Date.from_gregorian(t):%Y/%m/%d}" for t in quarters] == [
        f"{y}/{m:02}/01" for y in (1404, 1405) for m in (1, 4, 7, 10)]
    assert str(quarters.tz) == "Asia/Tehran"
    weeks = shamsi.date_range("2026-12-08", "2027-01-01", "week")
    assert (weeks.dayofweek == 5).all() and len(weeks) == 3 and weeks[0] == pd.Timestamp("2026-12-12")
    years = pd.Series(range(3), index=shamsi.date_range("2020-01-01", "2022-12-31", "year"))
    assert years.index.shamsi.year.tolist() == [1399, 1400, 1401]
    assert len(shamsi.date_range("2026-03-22", "2026-04-20", "month")) == 0
    with pytest.raises(ValueError, match="'day'"):
        shamsi.date_range("2026-03-22", "2026-04-20", "day")


def test_the_accessor_refuses_what_is_no_datetime64():
    for wrong in (pd.Series(["1405/09/17"]), pd.Series([1.5]), pd.Index([1, 2])):
        with pytest.raises(TypeError, match="datetime64"):
            wrong.shamsi  # noqa: B018
        assert not hasattr(wrong, "shamsi") and "shamsi" not in dir(wrong)
    with pytest.raises(ValueError, match="'day'"):
        TIMES.shamsi.floor("day")
    with pytest.raises(ValueError, match="datetime64"):  # 1 Farvardin 1056 is 1677-03-21
        pd.Series(pd.to_datetime(["1678-01-01"])).shamsi.floor("year")


def test_the_dask_accessor_is_the_pandas_one_partition_by_partition():
    import dask
    import dask.dataframe as dd

    frame = dd.from_pandas(TIMES.to_frame(), npartitions=4)
    with dask.config.set(scheduler="synchronous"):
        for name in ("year", "day_of_week", "is_year_end"):
            assert getattr(frame.when.shamsi, name).compute().equals(getattr(TIMES.shamsi, name)), name
        assert frame.when.shamsi.strftime("%d %B %Y").compute().equals(TIMES.shamsi.strftime("%d %B %Y"))
        assert frame.when.shamsi.floor("month").compute().equals(TIMES.shamsi.floor("month"))
        assert frame.when.shamsi.month_name(names="english").compute().equals(TIMES.shamsi.month_name(names="english"))
    with pytest.raises(TypeError, match="datetime64"):
        dd.from_pandas(pd.Series([1, 2]), npartitions=1).shamsi  # noqa: B018


def test_dask_cluster_converts_a_column_partition_by_partition(tmp_path):
    import dask.dataframe as dd
    from distributed import Client, LocalCluster

    days = pd.Series(pd.date_range("1990-01-01", periods=20_000, freq="37h"), name="when")
    frame = dd.from_pandas(days.to_frame(), npartitions=6)

    def convert(partition):
        import os as worker_os

        import shamsi as worker_shamsi  # noqa: F401  registers .shamsi in the worker

        return pd.DataFrame(
            {
                "text": partition["when"].shamsi.strftime("%Y/%m/%d"),
                "year": worker_shamsi.to_shamsi(partition["when"].to_numpy())[0],
                "pid": worker_os.getpid(),
            },
            index=partition.index,
        )

    meta = pd.DataFrame({"text": pd.Series(dtype=object), "year": pd.Series(dtype=np.int32),
                         "pid": pd.Series(dtype=np.int64)})
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                      dashboard_address=None, local_directory=str(tmp_path)) as cluster, Client(cluster) as client:
        workers = set(client.run(os.getpid).values())
        result = frame.map_partitions(convert, meta=meta).compute()
        months = frame.when.shamsi.month.compute()  # the Dask accessor, in the workers

    assert len(workers) == 2 and os.getpid() not in workers
    assert set(result["pid"]) <= workers
    assert result["text"].tolist() == shamsi.format(days.to_numpy()).tolist()
    assert result["year"].tolist() == shamsi.to_shamsi(days.to_numpy())[0].tolist()
    assert months.equals(days.shamsi.month)


def test_a_dask_that_cannot_be_imported_leaves_the_module_working():
    # An older Dask beside a newer pandas fails inside its own import with
    # AttributeError; the module is then imported without its Dask accessor.
    import subprocess
    import sys

    script = """
import sys
class Broken:
    def find_spec(self, name, path=None, target=None):
        if name == "dask.dataframe":
            raise AttributeError("module 'pandas.core.strings' has no attribute 'StringMethods'")
sys.meta_path.insert(0, Broken())
import pandas, shamsi
print(pandas.Series(pandas.to_datetime(["2026-12-08"])).shamsi.day[0])
"""
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, check=False)
    assert done.returncode == 0, done.stderr
    assert done.stdout.split() == ["17"]
