// The Shamsi (Iranian solar, Hijri Shamsi) calendar, for C++20 programs.
//
// Nothing beyond the standard library; every function here is constexpr.
// Days are std::chrono::sys_days, so Shamsi dates mix with <chrono>:
//
//     const Shamsi::Date nowruz{1404, 1, 1};
//     const std::chrono::year_month_day miladi = Shamsi::ToGregorian(nowruz);  // 2025-03-21
//     const Shamsi::Date later = Shamsi::AddDays(nowruz, 100);                 // 1404/04/08
//     const std::chrono::weekday day = Shamsi::Weekday(nowruz);               // Friday
//
// The calendar rules
// ------------------
// Farvardin to Shahrivar (months 1-6) have 31 days, Mehr to Bahman (7-11)
// 30, Esfand (12) 29, or 30 in a leap year. A year is a leap year when its
// remainder by 33 is 1, 5, 9, 13, 17, 22, 26 or 30 (the 33-year cycle).
// 1 Farvardin 1300 fell on 21 March 1921; every other New Year's Day follows
// from the lengths of the years between, so 1 Farvardin 1 is 21 March 622
// (proleptic Gregorian).
//
// This rule gives the same day as ICU's Persian calendar on every day of the
// years 1-9999, and the same New Year's Day as the astronomical calendar
// (the year begins on the day of the March equinox at Tehran, or the next
// day when it falls after noon) in every year from 1178 to 1633. Outside
// those years the astronomical calendar drifts from any fixed cycle by a day
// now and then; these functions still follow the rule there.
//
// Range: the supported dates are every day of the years 1-9999
// (kFirstDay to kLastDay, 21 March 622 to 19 March 10621). The arithmetic is
// exact for years far beyond that as well, but Date::IsValid() and
// InRange() accept only the supported years.
#pragma once

#include <chrono>
#include <compare>
#include <cstdint>

namespace Shamsi {

inline constexpr int kFirstYear = 1;
inline constexpr int kLastYear = 9999;
inline constexpr int kMonthsInYear = 12;

namespace Detail {

// Division rounded towards minus infinity, for years and days before the
// epoch: FloorDiv(-1, 33) is -1.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t quotient = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? quotient - 1 : quotient;
}

// Days from 1970-01-01 to 1 Farvardin 1.
inline constexpr std::int64_t kDayNumberOfYearOne = -492268;
// Days in a 33-year cycle: 33 * 365 + 8.
inline constexpr std::int64_t kDaysInCycle = 12053;
// Days in Farvardin to Shahrivar.
inline constexpr int kDaysInFirstHalf = 186;

// Days from 1 Farvardin 1 to 1 Farvardin of the year: 365 a year, and one
// more for every leap year before it. (8 * year + 21) / 33 counts the leap
// years of the cycle rule from year 1 up to, not including, the year.
// The year is moved on by whole cycles first, so the division works on a
// positive number (any year after -553 million).
constexpr std::int64_t DaysBeforeYear(std::int64_t year) {
    constexpr std::int64_t kShiftCycles = std::int64_t{1} << 24;
    const auto shifted = static_cast<std::uint64_t>(year + 33 * kShiftCycles);
    return 365 * (year - 1) + static_cast<std::int64_t>((8 * shifted + 21) / 33) - 8 * kShiftCycles;
}

// The proleptic Gregorian date of a day (days from 1970-01-01), by the
// method of Neri and Schneider ("Euclidean affine functions and their
// application to calendar algorithms", 2022): unsigned arithmetic on a count
// shifted to start in a March far in the past, divisions by constants only.
// Exact for every day of the years -32767 to 32767 that std::chrono::year holds.
constexpr std::chrono::year_month_day CivilFromDays(std::int64_t dayNumber) {
    constexpr std::uint32_t kEras = 82;  // 400-year eras before 0000-03-01 in the shift
    constexpr std::uint32_t kShift = 719468 + 146097 * kEras;
    const auto n = static_cast<std::uint32_t>(dayNumber + kShift);
    const std::uint32_t n1 = 4 * n + 3;
    const std::uint32_t century = n1 / 146097;
    const std::uint32_t dayOfCentury = n1 % 146097 / 4;
    const std::uint32_t n2 = 4 * dayOfCentury + 3;
    const std::uint64_t p2 = std::uint64_t{2939745} * n2;
    const auto yearOfCentury = static_cast<std::uint32_t>(p2 >> 32U);
    const auto dayOfYear = static_cast<std::uint32_t>(p2 & 0xFFFFFFFFU) / 2939745 / 4;  // from 1 March
    const std::uint32_t n3 = 2141 * dayOfYear + 197913;
    const std::uint32_t monthFromMarch = n3 >> 16U;
    const std::uint32_t day = (n3 & 0xFFFFU) / 2141 + 1;
    const std::uint32_t january = dayOfYear >= 306 ? 1 : 0;  // January and February count to the next year
    const auto year =
        static_cast<int>(100 * century + yearOfCentury + january) - static_cast<int>(400 * kEras);
    const std::uint32_t month = january != 0 ? monthFromMarch - 12 : monthFromMarch;
    return std::chrono::year_month_day{std::chrono::year{year}, std::chrono::month{month},
                                       std::chrono::day{day}};
}

}  // namespace Detail

// --- Years and months -------------------------------------------------------

// True when Esfand of the year has 30 days.
[[nodiscard]] constexpr bool IsLeapYear(std::int64_t year) {
    const std::int64_t position = 25 * year + 11 - Detail::FloorDiv(25 * year + 11, 33) * 33;
    return position < 8;
}

// 365 or 366.
[[nodiscard]] constexpr int DaysInYear(std::int64_t year) { return IsLeapYear(year) ? 366 : 365; }

// 31, 30 or 29; 0 for a month outside 1-12.
[[nodiscard]] constexpr int DaysInMonth(std::int64_t year, int month) {
    if (month < 1 || month > kMonthsInYear) {
        return 0;
    }
    if (month <= 6) {
        return 31;
    }
    if (month <= 11) {
        return 30;
    }
    return IsLeapYear(year) ? 30 : 29;
}

// Days from 1970-01-01 to 1 Farvardin of the year (negative before 1970).
[[nodiscard]] constexpr std::int64_t NewYearDayNumber(std::int64_t year) {
    return Detail::kDayNumberOfYearOne + Detail::DaysBeforeYear(year);
}

// --- Dates ------------------------------------------------------------------

// A Shamsi date: year, month 1-12 (1 is Farvardin), day 1-31.
// Any values can be held; IsValid() tells whether they name a supported day.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    // A real day of the calendar in the years 1-9999.
    [[nodiscard]] constexpr bool IsValid() const {
        return year >= kFirstYear && year <= kLastYear && day >= 1 && day <= DaysInMonth(year, month);
    }

    friend constexpr bool operator==(const Date&, const Date&) = default;
    // Chronological order for valid dates.
    friend constexpr std::strong_ordering operator<=>(const Date&, const Date&) = default;
};

// 1 to 365 or 366.
[[nodiscard]] constexpr int DayOfYear(const Date& date) {
    const int before =
        date.month <= 7 ? (date.month - 1) * 31 : Detail::kDaysInFirstHalf + (date.month - 7) * 30;
    return before + date.day;
}

// The day of a date. The date should be valid; the arithmetic counts any
// other values on from the 1st of the month (day 32 of Mehr is 2 Aban).
[[nodiscard]] constexpr std::chrono::sys_days ToSysDays(const Date& date) {
    return std::chrono::sys_days{std::chrono::days{
        static_cast<std::chrono::days::rep>(NewYearDayNumber(date.year) + DayOfYear(date) - 1)}};
}

// The Shamsi date of a day. Exact for every day; the result is valid (in
// the years 1-9999) when InRange(day).
[[nodiscard]] constexpr Date FromSysDays(std::chrono::sys_days day) {
    // The count is moved on by whole 33-year cycles so that it is positive for
    // every day std::chrono can hold, and the divisions need no rounding fix:
    // the year is 1 + (33 * days + 3) / 12053, counted from 1 Farvardin 1.
    constexpr std::int64_t kShiftCycles = std::int64_t{1} << 24;
    const auto shifted = static_cast<std::uint64_t>(
        day.time_since_epoch().count() - Detail::kDayNumberOfYearOne + kShiftCycles * Detail::kDaysInCycle);
    const std::uint64_t yearsBefore = (33 * shifted + 3) / Detail::kDaysInCycle;  // year - 1, shifted
    const std::uint64_t daysBefore = 365 * yearsBefore + (8 * (yearsBefore + 1) + 21) / 33;
    const auto year = static_cast<int>(static_cast<std::int64_t>(yearsBefore) + 1 - 33 * kShiftCycles);
    const auto dayOfYear = static_cast<int>(shifted - daysBefore);  // from 0
    if (dayOfYear < Detail::kDaysInFirstHalf) {
        return {year, dayOfYear / 31 + 1, dayOfYear % 31 + 1};
    }
    const int inSecondHalf = dayOfYear - Detail::kDaysInFirstHalf;
    return {year, inSecondHalf / 30 + 7, inSecondHalf % 30 + 1};
}

// 1 Farvardin 1 and the last day of Esfand 9999.
inline constexpr std::chrono::sys_days kFirstDay = ToSysDays({kFirstYear, 1, 1});
inline constexpr std::chrono::sys_days kLastDay = ToSysDays({kLastYear + 1, 1, 1}) - std::chrono::days{1};

// True for the days of the years 1-9999.
[[nodiscard]] constexpr bool InRange(std::chrono::sys_days day) {
    return day >= kFirstDay && day <= kLastDay;
}

// The Miladi (proleptic Gregorian) date of a Shamsi date, and back.
[[nodiscard]] constexpr std::chrono::year_month_day ToGregorian(const Date& date) {
    return Detail::CivilFromDays(ToSysDays(date).time_since_epoch().count());
}
[[nodiscard]] constexpr Date FromGregorian(const std::chrono::year_month_day& date) {
    return FromSysDays(std::chrono::sys_days{date});
}

[[nodiscard]] constexpr std::chrono::weekday Weekday(const Date& date) {
    return std::chrono::weekday{ToSysDays(date)};
}

// The date the given number of days later (earlier when negative).
[[nodiscard]] constexpr Date AddDays(const Date& date, std::chrono::days days) {
    return FromSysDays(ToSysDays(date) + days);
}
[[nodiscard]] constexpr Date AddDays(const Date& date, std::int64_t days) {
    return AddDays(date, std::chrono::days{static_cast<std::chrono::days::rep>(days)});
}

}  // namespace Shamsi
