"""A user's script that calls every documented function of the module:
mypy --strict must pass it with the module's stubs (types_test.sh)."""

import datetime
import zoneinfo

import numpy as np
import numpy.typing as npt
import pandas as pd

import shamsi

day: shamsi.Date = shamsi.Date(1405, 9, 17)
fields: tuple[int, int, int, int, int, bool, int] = (
    day.year, day.month, day.day, day.day_of_year, day.days_in_month, day.is_leap, day.quarter)
miladi: datetime.date = day.to_gregorian()
same: list[shamsi.Date] = [
    shamsi.Date.from_gregorian(miladi), shamsi.Date.today(), shamsi.Date.fromtimestamp(1796767200.0),
    shamsi.Date.fromtimestamp(1796767200, tz=zoneinfo.ZoneInfo("Asia/Tehran")),
    shamsi.Date.fromordinal(day.toordinal()), shamsi.Date.fromisoformat(day.isoformat()),
    shamsi.Date.strptime("17/9/1405", "%d/%m/%Y"), day.replace(day=18), day.add(years=1, months=-2, weeks=3, days=4),
    day + datetime.timedelta(days=1), datetime.timedelta(days=1) + day, day - datetime.timedelta(days=1),
    shamsi.Date.min, shamsi.Date.max, shamsi.parse("۱۷ آذر ۱۴۰۵")]
gaps: list[datetime.timedelta] = [day - shamsi.Date(1404, 1, 1), day - miladi, miladi - day, shamsi.Date.resolution]
orders: list[bool] = [day < miladi, day >= shamsi.Date.min, day == miladi, len({day, miladi}) == 1]
numbers: list[int] = [day.weekday(), day.isoweekday(), shamsi.days_in_month(1404, 12), hash(day)]
leap: bool = shamsi.is_leap(1403)
period: shamsi.Period = shamsi.between(shamsi.Date(1404, 1, 1), day)
texts: list[str] = [
    day.strftime("%A %-d %B %Y", digits="persian", names="afghan"), f"{day:%B %Y}", str(day),
    shamsi.strftime(datetime.datetime(2026, 12, 8, 22, tzinfo=datetime.timezone.utc), "%Y/%m/%d %H:%M:%S %z"),
    shamsi.strftime(miladi, "%Y", names="english")]

days = np.array(["2025-03-21", "2026-12-08"], "datetime64[D]")
year, month, day_of_month = shamsi.to_shamsi(days, tz="Asia/Tehran")
back: npt.NDArray[np.datetime64] = shamsi.from_shamsi(year, month, day_of_month, errors="coerce")
written: npt.NDArray[np.str_] = shamsi.format(days, "%-d %B %Y", digits="persian", names="iranian")
read: npt.NDArray[np.datetime64] = shamsi.parse_array(["1404/1/1", ""], errors="coerce")
starts: pd.DatetimeIndex = shamsi.date_range("1404/01/01", "1405/01/01", "month")
