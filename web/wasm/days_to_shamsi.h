// Days to Shamsi dates in bulk, four at a time with WebAssembly's 128-bit
// vectors (one at a time where the compiler has none): the work of the
// package's shamsiFromDays.
#pragma once

#include <cstdint>

// The Shamsi dates of count days (from 1970-01-01) into the three arrays:
// -1, or the index of the first day outside the years 1-9999 (the dates
// before it are written).
int DaysToShamsi(const std::int32_t* days, int count, std::int32_t* years, std::int32_t* months,
                 std::int32_t* daysOfMonth);
