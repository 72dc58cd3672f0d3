"""Speed of the shamsi module against its peers, in one process, the runs
alternating (each round starts with another of each group). Run by
scripts/bench-python.sh, which builds the module, makes the virtual
environment with the peers (python/bench/requirements.txt) and sets
PYTHONPATH.

    python3 bench/python_bench.py [ROUNDS] [SCALAR_ROUNDS]

- Scalar, on 100,000 dates (every day of the Shamsi years 1300-1399, over
  and over), medians of SCALAR_ROUNDS (5) rounds: Gregorian to Shamsi,
  Shamsi to Gregorian, strftime('%Y/%m/%d'), strftime('%A %d %B %Y') with
  Persian names and digits, and reading '1405/09/17', against jdatetime and
  persiantools; Date.from_gregorian against convertdate as well.
- pandas, on ten million rows of the same days, medians of ROUNDS (3):
  to_shamsi and the accessor's .year/.month/.day against pandas' own
  dt.year + dt.month + dt.day (each round on a new Series, so that the
  accessor converts the column afresh); format and the accessor's strftime
  against dt.strftime('%Y/%m/%d').
- jalali-pandas (its .jalali accessor: to_jalali, then the fields or
  strftime) against the shamsi accessor, on 100,000 rows, SCALAR_ROUNDS.
- The peak of memory allocated while to_shamsi runs (tracemalloc, which
  counts numpy's arrays), against its three result arrays.

Before anything is timed, every peer must give the same answers as the
module on the days it is timed on.
"""

import datetime
import statistics
import sys
import time
import tracemalloc

import convertdate.persian
import jalali_pandas  # noqa: F401  (registers Series.jalali)
import jdatetime
import numpy as np
import pandas as pd
import persiantools
from persiantools.jdatetime import JalaliDate

import shamsi

ROUNDS = int(sys.argv[1]) if len(sys.argv) > 1 else 3
SCALAR_ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
ROWS = 10_000_000
DATES = 100_000


def timed(function):
    start = time.perf_counter()
    function()
    return time.perf_counter() - start


def alternate(groups, rounds):
    """Median seconds of each callable of each group; each round starts one further along the group."""
    times = {name: [] for group in groups for name, _ in group}
    for round_ in range(rounds):
        for group in groups:
            shift = round_ % len(group)
            for name, function in group[shift:] + group[:shift]:
                times[name].append(timed(function))
    return {name: statistics.median(values) for name, values in times.items()}, times


def show(medians, times, per=None):
    for name, median in medians.items():
        runs = ", ".join(f"{t:.3f}" for t in times[name])
        each = f"   {median / per * 1e9:9.0f} ns each" if per else ""
        print(f"  {name:44} {median:8.3f} s{each}   (runs: {runs})")


def scalar(century):
    """The scalar operations of the three libraries on the same 100,000 dates."""
    miladi = [datetime.date(1921, 3, 21) + datetime.timedelta(days=int(i % len(century))) for i in range(DATES)]
    ours = [shamsi.Date.from_gregorian(d) for d in miladi]
    jd = [jdatetime.date.fromgregorian(date=d) for d in miladi]
    jd_fa = [jdatetime.date(d.year, d.month, d.day, locale="fa_IR") for d in jd]
    pt = [JalaliDate(d) for d in miladi]
    pt_fa = [JalaliDate(d.year, d.month, d.day, locale="fa") for d in pt]
    texts = [d.strftime("%Y/%m/%d") for d in ours]

    # The same days, the same texts, before anything is timed.
    fields = [(d.year, d.month, d.day) for d in ours]
    assert [(d.year, d.month, d.day) for d in jd] == fields
    assert [(d.year, d.month, d.day) for d in pt] == fields
    assert [d.togregorian() for d in jd] == miladi and [d.to_gregorian() for d in pt] == miladi
    assert [d.strftime("%Y/%m/%d") for d in jd[:1000]] == texts[:1000] == [d.strftime("%Y/%m/%d") for d in pt[:1000]]
    # Persian names: the same words but for the spelling of two weekdays (with or
    # without a zero-width non-joiner) and jdatetime's ASCII digits.
    plain = str.maketrans("۰۱۲۳۴۵۶۷۸۹", "0123456789", "\u200c")
    long_texts = [[d.strftime("%A %d %B %Y", digits="persian") for d in ours[:1000]]] + [
        [d.strftime("%A %d %B %Y") for d in peer[:1000]] for peer in (jd_fa, pt_fa)
    ]
    long_texts = [[text.translate(plain) for text in texts_] for texts_ in long_texts]
    assert long_texts[0] == long_texts[1] == long_texts[2], [t[0] for t in long_texts]
    assert [shamsi.parse(t) for t in texts[:1000]] == ours[:1000]
    assert [jdatetime.datetime.strptime(t, "%Y/%m/%d").date() for t in texts[:1000]] == jd[:1000]
    assert [JalaliDate.strptime(t, "%Y/%m/%d") for t in texts[:1000]] == pt[:1000]
    print("  (the three agree on every date, text and reading timed)")

    from_gregorian, Date = shamsi.Date.from_gregorian, shamsi.Date
    fromgregorian = jdatetime.date.fromgregorian
    jstrptime = jdatetime.datetime.strptime
    ptstrptime = JalaliDate.strptime
    parse = shamsi.parse
    operations = {
        "Gregorian -> Shamsi": [
            ("ours Date.from_gregorian(d)", lambda: [from_gregorian(d) for d in miladi]),
            ("jdatetime date.fromgregorian(date=d)", lambda: [fromgregorian(date=d) for d in miladi]),
            ("persiantools JalaliDate(d)", lambda: [JalaliDate(d) for d in miladi]),
        ],
        "Shamsi -> Gregorian": [
            ("ours d.to_gregorian()", lambda: [d.to_gregorian() for d in ours]),
            ("jdatetime d.togregorian()", lambda: [d.togregorian() for d in jd]),
            ("persiantools d.to_gregorian()", lambda: [d.to_gregorian() for d in pt]),
        ],
        "strftime('%Y/%m/%d')": [
            ("ours", lambda: [d.strftime("%Y/%m/%d") for d in ours]),
            ("jdatetime", lambda: [d.strftime("%Y/%m/%d") for d in jd]),
            ("persiantools", lambda: [d.strftime("%Y/%m/%d") for d in pt]),
        ],
        "strftime('%A %d %B %Y'), Persian": [
            ("ours (digits='persian')", lambda: [d.strftime("%A %d %B %Y", digits="persian") for d in ours]),
            ("jdatetime (locale='fa_IR')", lambda: [d.strftime("%A %d %B %Y") for d in jd_fa]),
            ("persiantools (locale='fa')", lambda: [d.strftime("%A %d %B %Y") for d in pt_fa]),
        ],
        "reading '1405/09/17'": [
            ("ours shamsi.parse(t)", lambda: [parse(t) for t in texts]),
            ("jdatetime datetime.strptime(t, '%Y/%m/%d')", lambda: [jstrptime(t, "%Y/%m/%d") for t in texts]),
            ("persiantools JalaliDate.strptime(t, ...)", lambda: [ptstrptime(t, "%Y/%m/%d") for t in texts]),
        ],
    }
    if hasattr(Date, "strptime"):
        operations["reading '1405/09/17'"].insert(
            1, ("ours Date.strptime(t, '%Y/%m/%d')", lambda: [Date.strptime(t, "%Y/%m/%d") for t in texts])
        )
    medians, times = alternate(list(operations.values()), SCALAR_ROUNDS)
    print(f"Scalar: {DATES:,} dates; medians of {SCALAR_ROUNDS} alternating rounds")
    show(medians, times, DATES)
    print("Scalar: how many times the time of ours each peer takes (target: at least 10x both)")
    for operation, group in operations.items():
        ours_best = min(medians[name] for name, _ in group if name.startswith("ours"))
        ratios = ", ".join(
            f"{name.split()[0]} {medians[name] / ours_best:.1f}x" for name, _ in group if not name.startswith("ours")
        )
        print(f"  {operation:36} {ratios}")

    # convertdate takes milliseconds a date: fewer dates.
    few = miladi[:100]
    medians, times = alternate(
        [[("Date.from_gregorian, 100,000 dates", lambda: [from_gregorian(d) for d in miladi]),
          ("convertdate.persian.from_gregorian, 100", lambda: [convertdate.persian.from_gregorian(d.year, d.month, d.day) for d in few])]],
        SCALAR_ROUNDS,
    )
    for d in few:
        assert convertdate.persian.from_gregorian(d.year, d.month, d.day)[:3] == (
            from_gregorian(d).year, from_gregorian(d).month, from_gregorian(d).day)
    per_ours = medians["Date.from_gregorian, 100,000 dates"] / DATES
    per_convertdate = medians["convertdate.persian.from_gregorian, 100"] / len(few)
    print(f"  Date.from_gregorian {per_ours * 1e9:.0f} ns a date, convertdate {per_convertdate * 1e6:.0f} us: "
          f"{per_convertdate / per_ours:,.0f}x faster (target at least 5,000x)")


def pandas_side(century):
    column = pd.Series(np.resize(century, ROWS).astype("datetime64[ns]"))
    values = column.to_numpy()
    assert shamsi.format(values[:100_000]).tolist() == column[:100_000].shamsi.strftime("%Y/%m/%d").tolist()

    # Each round on a new Series of the same values, so that no round reads
    # the conversion the accessor kept from the one before.
    def pandas_fields():
        fresh = pd.Series(values, copy=False)
        fresh.dt.year, fresh.dt.month, fresh.dt.day

    def accessor_fields():
        fresh = pd.Series(values, copy=False)
        fresh.shamsi.year, fresh.shamsi.month, fresh.shamsi.day

    medians, times = alternate(
        [
            [("to_shamsi(values)", lambda: shamsi.to_shamsi(values)),
             (".shamsi.year, .month, .day", accessor_fields),
             ("pandas .dt.year, .month, .day", pandas_fields)],
            [("format(values)", lambda: shamsi.format(values)),
             (".shamsi.strftime('%Y/%m/%d')", lambda: column.shamsi.strftime("%Y/%m/%d")),
             ("pandas .dt.strftime('%Y/%m/%d')", lambda: column.dt.strftime("%Y/%m/%d"))],
        ],
        ROUNDS,
    )
    print(f"pandas: {ROWS:,} rows; medians of {ROUNDS} alternating rounds")
    show(medians, times)
    fields, text = medians["pandas .dt.year, .month, .day"], medians["pandas .dt.strftime('%Y/%m/%d')"]
    print(f"  to_shamsi / pandas fields:           {medians['to_shamsi(values)'] / fields:.3f}x the time")
    print(f"  accessor fields / pandas fields:     {medians['.shamsi.year, .month, .day'] / fields:.3f}x the time (target at most 0.25x)")
    print(f"  format / pandas strftime:            {medians['format(values)'] / text:.3f}x the time")
    accessor_text = medians[".shamsi.strftime('%Y/%m/%d')"]
    print(f"  accessor strftime / pandas strftime: {accessor_text / text:.3f}x the time (target at most 0.1x)")

    tracemalloc.start()
    tracemalloc.reset_peak()
    before = tracemalloc.get_traced_memory()[0]
    result = shamsi.to_shamsi(values)
    peak = tracemalloc.get_traced_memory()[1] - before
    tracemalloc.stop()
    results = sum(array.nbytes for array in result)
    print(f"  to_shamsi peak memory: {peak / 1e6:.1f} MB allocated, its three result arrays {results / 1e6:.1f} MB "
          f"({peak / results:.3f}x)")


def jalali_pandas_side(century):
    column = pd.Series(np.resize(century, DATES).astype("datetime64[ns]"))
    jalali = column.jalali.to_jalali()
    assert jalali.jalali.year.tolist() == column.shamsi.year.tolist()
    assert jalali.jalali.month.tolist() == column.shamsi.month.tolist()
    assert jalali.jalali.day.tolist() == column.shamsi.day.tolist()
    assert jalali.jalali.strftime("%Y/%m/%d").tolist() == column.shamsi.strftime("%Y/%m/%d").tolist()

    def jalali_fields():
        converted = column.jalali.to_jalali()
        converted.jalali.year, converted.jalali.month, converted.jalali.day

    def shamsi_fields():
        fresh = pd.Series(column.to_numpy(), copy=False)  # nothing kept from the round before
        fresh.shamsi.year, fresh.shamsi.month, fresh.shamsi.day

    medians, times = alternate(
        [
            [(".shamsi.year, .month, .day", shamsi_fields), (".jalali.to_jalali(), then .year, .month, .day", jalali_fields)],
            [(".shamsi.strftime('%Y/%m/%d')", lambda: column.shamsi.strftime("%Y/%m/%d")),
             (".jalali.to_jalali().jalali.strftime(...)", lambda: column.jalali.to_jalali().jalali.strftime("%Y/%m/%d"))],
        ],
        SCALAR_ROUNDS,
    )
    print(f"jalali-pandas: {DATES:,} rows; medians of {SCALAR_ROUNDS} alternating rounds")
    show(medians, times)
    fields = medians[".jalali.to_jalali(), then .year, .month, .day"] / medians[".shamsi.year, .month, .day"]
    text = medians[".jalali.to_jalali().jalali.strftime(...)"] / medians[".shamsi.strftime('%Y/%m/%d')"]
    print(f"  jalali-pandas takes {fields:,.0f}x the time on fields, {text:,.0f}x on text (target at least 100x)")


def main():
    century = np.arange(np.datetime64("1921-03-21"), np.datetime64("2021-03-21"))  # 1300-1399
    print(f"Peers: jdatetime {jdatetime.__VERSION__}, persiantools {persiantools.__version__}, "
          f"jalali-pandas {jalali_pandas.__version__}, convertdate (pinned, python/bench/requirements.txt)")
    scalar(century)
    jalali_pandas_side(century)
    pandas_side(century)


if __name__ == "__main__":
    main()
