// Moving Shamsi dates by months, years and periods, and the distance
// between two dates.
//
//     Shamsi::AddMonths({1405, 6, 31}, 1)                  // 1405/07/30: Mehr has 30 days
//     Shamsi::AddYears({1403, 12, 30}, 1)                  // 1404/12/29: 1404 is no leap year
//     Shamsi::Add({1405, 9, 17}, {.days = 40})             // 1405/10/27
//     Shamsi::Between({1404, 1, 1}, {1405, 9, 17})         // 1 year, 8 months, 16 days
//     Shamsi::DaysBetween({1404, 1, 1}, {1405, 9, 17})     // 627
//
// The same moves in the Miladi (proleptic Gregorian) calendar take and give
// std::chrono::year_month_day, with Gregorian months:
//
//     Shamsi::Add(2024y / February / 29, {.years = 1})       // 2025-02-28
//
// A move by months keeps the day of the month; a day past the end of the
// target month becomes its last day. Results are checked the usual way:
// a result outside the years 1-9999 is not IsValid(), and nor is the result
// of a move too large to be meant (see kLongestMove).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string_view>

#include "shamsi/date.h"

namespace Shamsi {

// A span of the calendar, as people say it: "1 year, 2 months and 3 days".
struct Period {
    std::int64_t years = 0;
    std::int64_t months = 0;
    std::int64_t weeks = 0;
    std::int64_t days = 0;

    friend constexpr bool operator==(const Period&, const Period&) = default;
};

// Moves of more years than this, in any unit, give Date{}: no such move can
// end inside the years 1-9999, and refusing them keeps the arithmetic far
// from overflow.
inline constexpr std::int64_t kLongestMove = 20'000;

// Why a move was refused, for messages: its result is not IsValid() (not
// InRange() for Miladi dates), or the move was longer than any can be.
inline constexpr std::string_view kMoveOutOfRange = "the result falls outside the Shamsi years 1-9999";

namespace Detail {

// Months from Farvardin of the year 0 to the month of the date.
constexpr std::int64_t MonthIndex(const Date& date) {
    return std::int64_t{date.year} * kMonthsInYear + date.month - 1;
}

constexpr bool IsLongerThanAnyMove(std::int64_t amount, std::int64_t unitsInYear) {
    return amount > kLongestMove * unitsInYear || amount < -kLongestMove * unitsInYear;
}

// A period no move inside the years 1-9999 can need, in any of its parts or
// in its weeks and days together.
constexpr bool IsLongerThanAnyPeriod(const Period& period) {
    constexpr std::int64_t kDaysInLongYear = 366;
    return IsLongerThanAnyMove(period.years, 1) || IsLongerThanAnyMove(period.months, kMonthsInYear) ||
           IsLongerThanAnyMove(period.weeks, kDaysInLongYear / 7 + 1) ||
           IsLongerThanAnyMove(period.days, kDaysInLongYear) ||
           IsLongerThanAnyMove(7 * period.weeks + period.days, kDaysInLongYear);
}

}  // namespace Detail

// The same day of the month the given number of months later (earlier when
// negative), or the last day of that month when it is shorter.
[[nodiscard]] constexpr Date AddMonths(const Date& date, std::int64_t months) {
    if (Detail::IsLongerThanAnyMove(months, kMonthsInYear)) {
        return {};
    }
    const std::int64_t index = Detail::MonthIndex(date) + months;
    const std::int64_t year = Detail::FloorDiv(index, kMonthsInYear);
    const auto month = static_cast<int>(index - year * kMonthsInYear + 1);
    return {static_cast<int>(year), month, std::min(date.day, DaysInMonth(year, month))};
}

// The same day and month the given number of years later: 30 Esfand of a
// leap year becomes 29 Esfand in a common year.
[[nodiscard]] constexpr Date AddYears(const Date& date, std::int64_t years) {
    if (Detail::IsLongerThanAnyMove(years, 1)) {
        return {};
    }
    return AddMonths(date, years * kMonthsInYear);
}

// Years and months first, together as one move of 12 * years + months
// months (so the day is held to the month's end only once), then weeks and
// days.
[[nodiscard]] constexpr Date Add(const Date& date, const Period& period) {
    if (Detail::IsLongerThanAnyPeriod(period)) {
        return {};
    }
    const std::int64_t days = 7 * period.weeks + period.days;
    const Date moved = AddMonths(date, period.years * kMonthsInYear + period.months);
    return moved == Date{} || days == 0 ? moved : AddDays(moved, days);
}

// b - a in days: negative when b is earlier.
[[nodiscard]] constexpr std::int64_t DaysBetween(const Date& a, const Date& b) {
    return (ToSysDays(b) - ToSysDays(a)).count();
}

// b - a as years, months and days (weeks are always 0): for a <= b, the most
// whole months n with AddMonths(a, n) <= b, then the days left, as n / 12
// years and n % 12 months; for b < a, the negation of Between(b, a).
// Add(a, Between(a, b)) == b whenever a <= b. Both dates should be valid.
[[nodiscard]] constexpr Period Between(const Date& a, const Date& b) {
    if (b < a) {
        const Period forward = Between(b, a);
        return {-forward.years, -forward.months, 0, -forward.days};
    }
    std::int64_t months = Detail::MonthIndex(b) - Detail::MonthIndex(a);
    if (b < AddMonths(a, months)) {
        --months;
    }
    return {months / kMonthsInYear, months % kMonthsInYear, 0, DaysBetween(AddMonths(a, months), b)};
}

// --- The same in the Miladi (proleptic Gregorian) calendar -------------------
//
// Moves of more than kLongestMove years give year_month_day{}, which is not
// ok(); a result outside the Shamsi years 1-9999 is ok() but not InRange().

namespace Detail {

constexpr std::int64_t MonthIndex(const std::chrono::year_month_day& date) {
    return std::int64_t{static_cast<int>(date.year())} * kMonthsInYear + static_cast<unsigned>(date.month()) -
           1;
}

}  // namespace Detail

[[nodiscard]] constexpr std::chrono::year_month_day AddMonths(const std::chrono::year_month_day& date,
                                                              std::int64_t months) {
    if (Detail::IsLongerThanAnyMove(months, kMonthsInYear)) {
        return {};
    }
    const std::int64_t index = Detail::MonthIndex(date) + months;
    const std::int64_t year = Detail::FloorDiv(index, kMonthsInYear);
    const std::chrono::year_month month{
        std::chrono::year{static_cast<int>(year)},
        std::chrono::month{static_cast<unsigned>(index - year * kMonthsInYear + 1)}};
    const std::chrono::day last = std::chrono::year_month_day_last{month / std::chrono::last}.day();
    return month / std::min(date.day(), last);
}

[[nodiscard]] constexpr std::chrono::year_month_day AddYears(const std::chrono::year_month_day& date,
                                                             std::int64_t years) {
    if (Detail::IsLongerThanAnyMove(years, 1)) {
        return {};
    }
    return AddMonths(date, years * kMonthsInYear);
}

[[nodiscard]] constexpr std::chrono::year_month_day Add(const std::chrono::year_month_day& date,
                                                        const Period& period) {
    if (Detail::IsLongerThanAnyPeriod(period)) {
        return {};
    }
    const std::int64_t days = 7 * period.weeks + period.days;
    const std::chrono::year_month_day moved = AddMonths(date, period.years * kMonthsInYear + period.months);
    return !moved.ok() || days == 0
               ? moved
               : std::chrono::year_month_day{std::chrono::sys_days{moved} + std::chrono::days{days}};
}

[[nodiscard]] constexpr std::int64_t DaysBetween(const std::chrono::year_month_day& a,
                                                 const std::chrono::year_month_day& b) {
    return (std::chrono::sys_days{b} - std::chrono::sys_days{a}).count();
}

// As Between for Shamsi dates, in Gregorian months: 2024-01-31 to 2024-03-01
// is 1 month and 1 day (31 January + 1 month is 29 February).
[[nodiscard]] constexpr Period Between(const std::chrono::year_month_day& a,
                                       const std::chrono::year_month_day& b) {
    if (std::chrono::sys_days{b} < std::chrono::sys_days{a}) {
        const Period forward = Between(b, a);
        return {-forward.years, -forward.months, 0, -forward.days};
    }
    std::int64_t months = Detail::MonthIndex(b) - Detail::MonthIndex(a);
    if (std::chrono::sys_days{b} < std::chrono::sys_days{AddMonths(a, months)}) {
        --months;
    }
    return {months / kMonthsInYear, months % kMonthsInYear, 0, DaysBetween(AddMonths(a, months), b)};
}

}  // namespace Shamsi
