# The "# Arrays" block of __init__.pyi (to_shamsi, from_shamsi, format,
# parse_array, date_range), kept here until it joins that file.
# Arrays
import datetime
from typing import Any, Literal, Union

import numpy as np
import numpy.typing as npt

from ._accessor import date_range as date_range

_Zone = Union[datetime.tzinfo, str]
_Digits = Literal["ascii", "persian"]
_Names = Literal["iranian", "afghan", "english"]
_Errors = Literal["raise", "coerce"]
_Fields = tuple[npt.NDArray[np.int32], npt.NDArray[np.int32], npt.NDArray[np.int32]]

# a: datetime64 values, datetime.date / datetime.datetime objects, or pandas'
# datetime64 Series and DatetimeIndex, zone-aware or not.
def to_shamsi(a: Any, tz: _Zone | None = None) -> _Fields: ...
def from_shamsi(
    year: npt.ArrayLike, month: npt.ArrayLike, day: npt.ArrayLike, errors: _Errors = "raise"
) -> npt.NDArray[np.datetime64]: ...
def format(
    a: Any, fmt: str = "%Y/%m/%d", digits: _Digits = "ascii", names: _Names = "iranian", tz: _Zone | None = None
) -> npt.NDArray[np.str_]: ...
def parse_array(texts: Any, errors: _Errors = "raise") -> npt.NDArray[np.datetime64]: ...
