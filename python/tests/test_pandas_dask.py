"""The pandas accessor, and the array functions on a Dask cluster."""

import os

import numpy as np
import pandas as pd

import shamsi


def test_accessor_fields_text_and_trunc():
    series = pd.Series(pd.to_datetime(["2026-12-08 10:30", None, "2025-03-20 23:59"]), index=[5, 6, 7], name="sold")
    assert series.shamsi.year.tolist() == [1405, 0, 1403]
    assert series.shamsi.month.tolist() == [9, 0, 12]
    assert series.shamsi.day.tolist() == [17, 0, 30]
    assert series.shamsi.year.index.tolist() == [5, 6, 7] and series.shamsi.day.name == "sold"
    assert series.shamsi.strftime("%A %-d %B %Y").tolist() == ["سه\u200cشنبه 17 آذر 1405", "", "پنج\u200cشنبه 30 اسفند 1403"]
    assert series.shamsi.strftime("%B", names="afghan", digits="persian").tolist() == ["قوس", "", "حوت"]
    # 1 Farvardin, 1 Mehr, 1 Azar 1405; the Saturday before; and 1403's for the last.
    expected = {
        "year": ["2026-03-21", "NaT", "2024-03-20"],
        "quarter": ["2026-09-23", "NaT", "2024-12-21"],
        "month": ["2026-11-22", "NaT", "2025-02-19"],
        "week": ["2026-12-05", "NaT", "2025-03-15"],
    }
    for unit, days in expected.items():
        truncated = series.shamsi.trunc(unit)
        assert truncated.dtype == "datetime64[ns]" and truncated.index.tolist() == [5, 6, 7]
        assert truncated.tolist()[::2] == pd.to_datetime(days).tolist()[::2] and pd.isna(truncated[6]), unit
    assert (series.shamsi.trunc("week").dropna().dt.dayofweek == 5).all()  # Saturday


def test_accessor_reads_a_zone_aware_series_in_its_zone_and_refuses_others():
    series = pd.Series(pd.to_datetime(["2026-12-07 22:00Z"])).dt.tz_convert("Asia/Tehran")
    assert series.shamsi.strftime("%Y/%m/%d").tolist() == ["1405/09/17"]
    assert series.shamsi.trunc("month").tolist() == [pd.Timestamp("2026-11-22", tz="Asia/Tehran")]
    for wrong in (pd.Series(["1405/09/17"]), pd.Series([1.5])):
        try:
            wrong.shamsi
        except TypeError as error:
            assert "datetime64" in str(error)
        else:
            raise AssertionError(f"the accessor took {wrong.dtype}")
    try:
        series.shamsi.trunc("day")
    except ValueError as error:
        assert "'day'" in str(error)
    else:
        raise AssertionError("trunc took 'day'")


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

    assert len(workers) == 2 and os.getpid() not in workers
    assert set(result["pid"]) <= workers
    assert result["text"].tolist() == shamsi.format(days.to_numpy()).tolist()
    assert result["year"].tolist() == shamsi.to_shamsi(days.to_numpy())[0].tolist()
