"""Instants at their wall time in a zone, against zoneinfo's (the zone oracle,
tests/zones/zone_cases.py): tz= on naive UTC datetime64 values, and the
values that carry their zone (a zone-aware Series and DatetimeIndex, lists
of aware Timestamps and object arrays of aware datetimes)."""

import datetime
import os
import subprocess
import sys
import zoneinfo

import numpy as np
import pandas as pd
import pytest

import shamsi

# numpy's warning for aware datetimes cast to UTC was the only sign of the days
# once given in UTC: none may come.
pytestmark = pytest.mark.filterwarnings("error::DeprecationWarning")

ORACLE = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "zones", "zone_cases.py")
FORMAT = "%Y/%m/%d %H:%M:%S%z"


def _cases():
    lines = subprocess.run([sys.executable, ORACLE], capture_output=True, text=True, check=True).stdout
    frame = pd.DataFrame([line.split("\t") for line in lines.splitlines()], columns=["zone", "unix", "wall", "offset"])
    frame["unix"] = frame["unix"].astype(np.int64)
    return frame


CASES = _cases()


def _expected(cases):
    """The Shamsi date of WALL's Miladi date (to_shamsi of a naive day, checked
    on every day elsewhere), then WALL's time and the offset."""
    walls = cases["wall"].to_numpy().astype("M8[s]")
    dates = shamsi.format(walls, "%Y/%m/%d")
    return [f"{d} {w[11:]}{o}" for d, w, o in zip(dates, cases["wall"], cases["offset"])]


@pytest.mark.parametrize("zone", sorted(CASES["zone"].unique()))
def test_tz_gives_the_wall_time_of_utc_instants(zone):
    cases = CASES[CASES["zone"] == zone]
    instants = cases["unix"].to_numpy().astype("M8[s]")
    expected = _expected(cases)
    for tz in (zone, zoneinfo.ZoneInfo(zone)):
        assert shamsi.format(instants, FORMAT, tz=tz).tolist() == expected
    # Other units (a minute's floored by numpy), and the fields alone; NaT stays NaT.
    minutes = instants.astype("M8[m]")
    assert shamsi.format(minutes.astype("M8[20s]"), FORMAT, tz=zone).tolist() == shamsi.format(minutes, FORMAT, tz=zone).tolist()
    in_ns = np.append(instants.astype("M8[ns]"), np.datetime64("NaT"))
    assert shamsi.format(in_ns, FORMAT, tz=zone).tolist() == expected + [""]
    fields = shamsi.to_shamsi(in_ns, tz=zone)
    assert [f"{y:04}/{m:02}/{d:02}" for y, m, d in zip(*fields)][:-1] == [e[:10] for e in expected]


@pytest.mark.parametrize("zone", ["Asia/Tehran", "America/New_York", "Asia/Kabul"])
def test_values_that_carry_a_zone_keep_their_own_wall_time(zone):
    cases = CASES[CASES["zone"] == zone]
    # pandas' zones (pytz's) hold the local mean times to whole minutes: from
    # 1900 on, and offsets in whole minutes.
    cases = cases[(cases["offset"].str.len() == len("+03:30")) & (cases["unix"] >= -2_208_988_800)]
    expected = _expected(cases)
    aware = pd.Series(pd.to_datetime(cases["unix"].to_numpy(), unit="s", utc=True)).dt.tz_convert(zone)
    assert shamsi.format(aware, FORMAT).tolist() == expected
    assert shamsi.format(pd.DatetimeIndex(aware), FORMAT).tolist() == expected
    assert aware.shamsi.strftime(FORMAT).tolist() == expected
    assert pd.DatetimeIndex(aware).shamsi.strftime(FORMAT).tolist() == expected
    assert [list(f) for f in shamsi.to_shamsi(aware)] == [list(f) for f in shamsi.to_shamsi(cases["wall"].to_numpy().astype("M8[s]"))]
    # Objects, every 7th: Timestamps, and datetimes of zoneinfo's.
    some = slice(None, None, 7)
    assert shamsi.format(list(aware[some]), FORMAT).tolist() == expected[some]
    tz = zoneinfo.ZoneInfo(zone)
    objects = np.array([datetime.datetime.fromtimestamp(u, tz) for u in cases["unix"][some]], object)
    assert shamsi.format(objects, FORMAT).tolist() == expected[some]
    with pytest.raises(TypeError, match="tz= is for naive"):
        shamsi.format(aware, tz=zone)
    with pytest.raises(TypeError, match="tz= is for naive"):
        shamsi.to_shamsi(objects, tz=zone)
