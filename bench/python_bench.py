"""Speed of the shamsi module against its peers, in one process, the runs
alternating (each round starts with the other of each pair). Run by
scripts/bench-python.sh, which builds the module and sets PYTHONPATH.

    python3 bench/python_bench.py [ROUNDS]

- to_shamsi on ten million days (every day of the Shamsi years 1300-1399,
  over and over) against pandas' Gregorian fields of the same column,
  dt.year + dt.month + dt.day;
- format against dt.strftime('%Y/%m/%d') on the same column;
- Date.from_gregorian against convertdate.persian.from_gregorian, per date;
- the peak of memory allocated while to_shamsi runs (tracemalloc, which
  counts numpy's arrays), against its three result arrays.
"""

import datetime
import statistics
import sys
import time
import tracemalloc

import convertdate.persian
import numpy as np
import pandas as pd

import shamsi

ROUNDS = int(sys.argv[1]) if len(sys.argv) > 1 else 3
ROWS = 10_000_000


def timed(function):
    start = time.perf_counter()
    function()
    return time.perf_counter() - start


def alternate(pairs, rounds):
    """Median seconds of each callable of each pair, the pair's order swapped every round."""
    times = {name: [] for pair in pairs for name, _ in pair}
    for round_ in range(rounds):
        for pair in pairs:
            for name, function in pair if round_ % 2 == 0 else reversed(pair):
                times[name].append(timed(function))
    return {name: statistics.median(values) for name, values in times.items()}, times


def main():
    century = np.arange(np.datetime64("1921-03-21"), np.datetime64("2021-03-21"))  # 1300-1399
    column = pd.Series(np.resize(century, ROWS).astype("datetime64[ns]"))
    values = column.to_numpy()

    # The same days, the same answers, before anything is timed.
    year, month, day = shamsi.to_shamsi(century)
    miladi = [datetime.date(1921, 3, 21) + datetime.timedelta(days=i) for i in range(0, len(century), 97)]
    for date in miladi:
        assert convertdate.persian.from_gregorian(date.year, date.month, date.day)[:3] == tuple(
            getattr(shamsi.Date.from_gregorian(date), f) for f in ("year", "month", "day")
        ), date
    assert shamsi.format(values[:100_000]).tolist() == column[:100_000].shamsi.strftime("%Y/%m/%d").tolist()

    def pandas_fields():
        column.dt.year, column.dt.month, column.dt.day

    def pandas_strftime():
        column.dt.strftime("%Y/%m/%d")

    medians, times = alternate(
        [
            [("to_shamsi", lambda: shamsi.to_shamsi(values)), ("pandas dt.year+month+day", pandas_fields)],
            [("format", lambda: shamsi.format(values)), ("pandas dt.strftime", pandas_strftime)],
        ],
        ROUNDS,
    )

    # Per date: convertdate takes milliseconds, so it gets fewer dates.
    few = miladi[:100]
    many = [miladi[i % len(miladi)] for i in range(200_000)]
    from_gregorian = shamsi.Date.from_gregorian
    per_date = {"Date.from_gregorian": [], "convertdate.persian.from_gregorian": []}
    for round_ in range(ROUNDS):
        runs = [
            ("Date.from_gregorian", lambda: [from_gregorian(d) for d in many], len(many)),
            ("convertdate.persian.from_gregorian",
             lambda: [convertdate.persian.from_gregorian(d.year, d.month, d.day) for d in few], len(few)),
        ]
        for name, function, count in runs if round_ % 2 == 0 else reversed(runs):
            per_date[name].append(timed(function) / count)
    per_date = {name: statistics.median(values) for name, values in per_date.items()}

    tracemalloc.start()
    tracemalloc.reset_peak()
    before = tracemalloc.get_traced_memory()[0]
    result = shamsi.to_shamsi(values)
    peak = tracemalloc.get_traced_memory()[1] - before
    tracemalloc.stop()
    results = sum(array.nbytes for array in result)

    print(f"{ROWS:,} days; medians of {ROUNDS} alternating rounds")
    for name, median in medians.items():
        print(f"  {name:34} {median:8.3f} s   (runs: {', '.join(f'{t:.3f}' for t in times[name])})")
    for name, seconds in per_date.items():
        print(f"  {name:34} {seconds * 1e9:12.0f} ns a date")
    print(f"to_shamsi / pandas fields:    {medians['to_shamsi'] / medians['pandas dt.year+month+day']:.3f}x the time (target at most 0.25x)")
    print(f"format / pandas strftime:     {medians['format'] / medians['pandas dt.strftime']:.3f}x the time (target at most 0.1x)")
    print(f"Date.from_gregorian speed-up: {per_date['convertdate.persian.from_gregorian'] / per_date['Date.from_gregorian']:,.0f}x convertdate (target at least 5,000x)")
    print(f"to_shamsi peak memory:        {peak / 1e6:.1f} MB allocated, its three result arrays {results / 1e6:.1f} MB "
          f"({peak / results:.3f}x)")


if __name__ == "__main__":
    main()
