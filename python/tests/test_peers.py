"""The days of 1900-2200 on which the other Shamsi libraries for Python give
another date than this module: jdatetime, persiantools and jalali-pandas (on
a datetime64 column, through its accessor). docs/python.md names them; on
every other day all four agree. The peers come from PyPI, pinned
(requirements-wheel.txt): the wheel's test installs them; elsewhere these
tests are skipped.
"""

import datetime

import numpy as np
import pandas as pd
import pytest

import shamsi

jdatetime = pytest.importorskip("jdatetime")
persiantools = pytest.importorskip("persiantools.jdatetime")
pytest.importorskip("jalali_pandas")

DAYS = np.arange(np.datetime64("1900-01-01"), np.datetime64("2201-01-01"))

# Each run of days a peer gives differently: (first, last, our date on the
# first, the peer's). Ours follows the astronomical corrections from 1502
# on; jdatetime (and jalali-pandas, which uses it) keeps the 33-year rule.
DIFFERENT = {
    "jdatetime": [("2124-03-20", "2125-03-20", (1503, 1, 1), (1502, 12, 30))],
    "persiantools": [],
    "jalali-pandas": [("2124-03-20", "2125-03-20", (1503, 1, 1), (1502, 12, 30))],
}


def _jdatetime(miladi):
    return [(d.year, d.month, d.day) for d in map(lambda g: jdatetime.date.fromgregorian(date=g), miladi)]


def _persiantools(miladi):
    return [(d.year, d.month, d.day) for d in map(persiantools.JalaliDate, miladi)]


def _jalali_pandas(_):
    converted = pd.Series(DAYS.astype("datetime64[ns]")).jalali.to_jalali()
    return list(zip(converted.jalali.year.tolist(), converted.jalali.month.tolist(), converted.jalali.day.tolist()))


PEERS = {"jdatetime": _jdatetime, "persiantools": _persiantools, "jalali-pandas": _jalali_pandas}


@pytest.fixture(scope="module")
def ours():
    year, month, day = shamsi.to_shamsi(DAYS)
    return list(zip(year.tolist(), month.tolist(), day.tolist()))


@pytest.mark.parametrize("peer", PEERS)
def test_a_peer_differs_on_the_days_named_and_no_other(peer, ours):
    miladi = [datetime.date(1900, 1, 1) + datetime.timedelta(days=i) for i in range(len(DAYS))]
    theirs = PEERS[peer](miladi)
    runs = []
    for i, (a, b) in enumerate(zip(ours, theirs)):
        if a == b:
            continue
        if runs and runs[-1][1] == i - 1:
            runs[-1][1] = i
        else:
            runs.append([i, i])
    found = [(str(DAYS[first]), str(DAYS[last]), ours[first], theirs[first]) for first, last in runs]
    assert found == DIFFERENT[peer]
