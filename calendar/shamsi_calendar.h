// Rules of the Shamsi (Iranian solar) calendar shared by both conversions,
// taken from the Shamsi library (shamsi/date.h), where they are kept.
//
// Leap years follow the 33-year cycle: a year is a leap year, with a 30-day
// Esfand, when its remainder by 33 is 1, 5, 9, 13, 17, 22, 26 or 30; except
// 78 years from 1502 to 2987, which the astronomical calendar gives a 29-day
// Esfand and the year after each a 30-day one (see shamsi/date.h).
// 1 Farvardin 1300 fell on 21 March 1921; every other New Year's Day
// follows from that day and the lengths of the years between.
#pragma once

#include <cstdint>

namespace ShamsiCalendar {

inline constexpr int kDaysInCommonYear = 365;

[[nodiscard]] bool IsLeapYear(std::int64_t shamsiYear);
// 29 or 30 days.
[[nodiscard]] int DaysInEsfand(std::int64_t shamsiYear);
// Days from 1970-01-01 to 1 Farvardin of the year.
[[nodiscard]] std::int64_t FarvardinFirstDayNumber(std::int64_t shamsiYear);
// The day of the Gregorian year (shamsiYear + 621) before 1 Farvardin:
// 79 when it falls on 21 March of a common year.
[[nodiscard]] int DaysBeforeFarvardinFirst(std::int64_t shamsiYear);
// The day of March on which 1 Farvardin falls: 20, 21 or 22 in our era.
[[nodiscard]] int FarvardinFirstMarchDay(std::int64_t shamsiYear);

}  // namespace ShamsiCalendar
