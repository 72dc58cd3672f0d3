"""Speed of the pandas accessor .shamsi against pandas' own .dt (and jalali-pandas
when it can be imported), alternating rounds, medians:

    fields  .shamsi.year, .month, .day against .dt.year, .month, .day
    text    .shamsi.strftime('%Y/%m/%d') against .dt.strftime('%Y/%m/%d')
    minutes .shamsi.strftime('%Y/%m/%d %H:%M') against .dt.strftime (every text a new one)

Each round takes a Series of its own, so that no accessor is kept from the
round before. jalali-pandas (its .jalali.to_jalali() then the fields or
strftime) is timed on a tenth of the rows and scaled.

    PYTHONPATH=build/bench/python /usr/bin/python3 bench/python_accessor.py ROWS ROUNDS
"""

import sys
import time

import pandas as pd

import shamsi  # noqa: F401  registers .shamsi

try:
    import jalali_pandas  # noqa: F401
except ImportError:
    jalali_pandas = None


def once(work):
    start = time.perf_counter()
    work()
    return time.perf_counter() - start


def median(values):
    return sorted(values)[len(values) // 2]


def main():
    rows, rounds = int(sys.argv[1]), int(sys.argv[2])
    times = pd.Series(pd.date_range("1990-01-01", periods=rows, freq="61s")).to_numpy()
    tenth = times[: rows // 10]
    cases = {
        "fields": (lambda s: (s.dt.year, s.dt.month, s.dt.day), lambda s: (s.shamsi.year, s.shamsi.month, s.shamsi.day),
                   lambda s: (lambda j: (j.jalali.year, j.jalali.month, j.jalali.day))(s.jalali.to_jalali())),
        "text": (lambda s: s.dt.strftime("%Y/%m/%d"), lambda s: s.shamsi.strftime("%Y/%m/%d"),
                 lambda s: s.jalali.to_jalali().jalali.strftime("%Y/%m/%d")),
        "minutes": (lambda s: s.dt.strftime("%Y/%m/%d %H:%M"), lambda s: s.shamsi.strftime("%Y/%m/%d %H:%M"), None),
    }
    for name, (dt, ours, jalali) in cases.items():
        peer, mine, theirs = [], [], []
        for _ in range(rounds):
            peer.append(once(lambda: dt(pd.Series(times.copy()))))
            mine.append(once(lambda: ours(pd.Series(times.copy()))))
            if jalali is not None and jalali_pandas is not None:
                theirs.append(10 * once(lambda: jalali(pd.Series(tenth.copy()))))
        line = f"{name}: {rows} rows, {rounds} rounds: .dt {median(peer):.3f} s, .shamsi {median(mine):.3f} s = {median(mine) / median(peer):.3f}x"
        if theirs:
            line += f"; jalali-pandas {median(theirs):.1f} s (a tenth, scaled) = {median(theirs) / median(mine):.0f}x ours"
        print(line)


if __name__ == "__main__":
    main()
