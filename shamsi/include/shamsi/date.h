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
// 30, Esfand (12) 29, or 30 in a leap year. Leap years follow the 33-year
// rule (a year is a leap year when its remainder by 33 is 1, 5, 9, 13, 17,
// 22, 26 or 30) with 78 exceptions between 1502 and 2987
// (Detail::kAstronomicalCorrections): in each of those years the rule would
// have Esfand 30 but the astronomical calendar (the year begins on the day of
// the March equinox, or the next day when it falls after noon, at 52.5 degrees
// east, Iran's standard-time meridian) does not, so Esfand has 29 days and the
// year after is the leap year instead; its 1 Farvardin comes one day earlier
// than the rule gives. The list is the published one (CC0, roozbehp/
// persiancalendar; the correction table of ICU4X's Persian calendar), which
// checks the rule against the sky from 1178 to 3000. No list exists outside
// those years: there the 33-year rule alone holds, and the sky may drift from
// it by a day now and then. 1 Farvardin 1300 fell on 21 March 1921; every
// other New Year's Day follows from the lengths of the years between, so
// 1 Farvardin 1 is 21 March 622 (proleptic Gregorian).
//
// What the tests show (tests/shamsi_library_test.cpp):
// - ShamsiLibrary.NewYearsDaysAreTheAuthoritys1206To1498: 1 Farvardin and
//   the leap years of 1206-1498 as the Iranian calendar authority (Geophysics
//   Institute, University of Tehran) publishes them, all 293.
// - ShamsiLibrary.NewYearsDaysAreTheRuleMovedByTheList: 1 Farvardin and the
//   leap years of every year 1-9999, counted year by year from 1 Farvardin 1300
//   with the 33-year rule and the published list (tests/data/).
// - ShamsiLibrary.EveryDayOfTheYears1To9999IsIcusSaveTheListedSpans: every
//   day of the years 1-9999, both ways, against ICU's Persian calendar (ICU
//   72, the 33-year rule alone): the same date, except on the 366 days from
//   the astronomical 1 Farvardin of each year after a listed one to its
//   30 Esfand (78 spans, 28,548 days, the first 20 March 2124 to 20 March
//   2125, the last 20 March 3609 to 20 March 3610), where the date is the
//   day after ICU's: ICU's 30 Esfand of the listed year is 1 Farvardin of
//   the next, and ICU's 29 Esfand of that year its 30 Esfand.
//
// Range: the supported dates are every day of the years 1-9999
// (kFirstDay to kLastDay, 21 March 622 to 19 March 10621). The arithmetic is
// exact for years far beyond that as well, but Date::IsValid() and
// InRange() accept only the supported years.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <compare>
#include <cstddef>
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

// The years that the 33-year rule makes leap years and the astronomical
// calendar does not (checked from 1178 to 3000; there are none before 1502).
// Esfand of each has 29 days, and the year after has a 30-day Esfand.
inline constexpr std::array<std::int16_t, 78> kAstronomicalCorrections = {
    1502,                                                  //
    1601, 1634, 1667,                                      //
    1700, 1733, 1766, 1799,                                //
    1832, 1865, 1898,                                      //
    1931, 1964, 1997,                                      //
    2030, 2059, 2063, 2096,                                //
    2129, 2158, 2162, 2191, 2195,                          //
    2224, 2228, 2257, 2261, 2290, 2294,                    //
    2323, 2327, 2356, 2360, 2389, 2393,                    //
    2422, 2426, 2455, 2459, 2488, 2492,                    //
    2521, 2525, 2554, 2558, 2587, 2591,                    //
    2620, 2624, 2653, 2657, 2686, 2690,                    //
    2719, 2723, 2748, 2752, 2756, 2781, 2785, 2789,        //
    2818, 2822, 2847, 2851, 2855, 2880, 2884, 2888,        //
    2913, 2917, 2921, 2946, 2950, 2954, 2979, 2983, 2987,  //
};

// What the list changes in a year: kShortEsfand for a listed year,
// kEarlyNewYear for the year after one, which begins a day before the
// rule's day and has 30 days in Esfand. One byte a year from 1502 to 2988,
// and a 0 after them that stands for every year outside.
inline constexpr std::uint8_t kEarlyNewYear = 1;
inline constexpr std::uint8_t kShortEsfand = 2;
inline constexpr std::int64_t kFirstCorrectedYear = kAstronomicalCorrections.front();
inline constexpr std::uint64_t kCorrectedYears =
    static_cast<std::uint64_t>(kAstronomicalCorrections.back() + 1 - kFirstCorrectedYear + 1);
inline constexpr auto kCorrections = [] {
    std::array<std::uint8_t, kCorrectedYears + 1> corrections{};
    for (const std::int16_t year : kAstronomicalCorrections) {
        corrections[static_cast<std::size_t>(year - kFirstCorrectedYear)] = kShortEsfand;
        corrections[static_cast<std::size_t>(year + 1 - kFirstCorrectedYear)] = kEarlyNewYear;
    }
    return corrections;
}();

// kShortEsfand, kEarlyNewYear or 0 (every year outside 1502-2988): one
// byte read, with no branch to mispredict when the years are mixed.
constexpr std::uint8_t Correction(std::int64_t year) {
    const auto offset = static_cast<std::uint64_t>(year - kFirstCorrectedYear);
    return kCorrections[std::min(offset, kCorrectedYears)];
}

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

// Days from 1970-01-01 to a proleptic Gregorian date, the other way by the
// same method: the year counted from 1 March, so that February comes last.
// The month must be 1-12; exact for the years -32767 to 32767.
constexpr std::int64_t DaysFromCivil(int year, unsigned month, unsigned day) {
    constexpr std::uint32_t kEras = 82;  // as in CivilFromDays
    const std::uint32_t january = month <= 2 ? 1 : 0;
    const auto marchYear = static_cast<std::uint32_t>(year + static_cast<int>(400 * kEras)) - january;
    const std::uint32_t century = marchYear / 100;
    const std::uint32_t daysInYears = 1461 * marchYear / 4 - century + century / 4;
    const std::uint32_t monthFromMarch = month + 12 * january;  // 3 to 14
    const std::uint32_t daysInMonths = (979 * monthFromMarch - 2919) / 32;
    return static_cast<std::int64_t>(daysInYears + daysInMonths + day - 1) - (719468 + 146097 * kEras);
}

// 28 to 31; the month must be 1-12.
constexpr unsigned MiladiDaysInMonth(int year, unsigned month) {
    if (month == 2) {
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        return leap ? 29 : 28;
    }
    return 30 + ((month + month / 8) & 1U);  // 31 in January, March, May, July, August, October, December
}

}  // namespace Detail

// --- Years and months -------------------------------------------------------

// True when Esfand of the year has 30 days.
[[nodiscard]] constexpr bool IsLeapYear(std::int64_t year) {
    const std::int64_t position = 25 * year + 11 - Detail::FloorDiv(25 * year + 11, 33) * 33;
    const bool byTheRule = position < 8;
    return byTheRule != (Detail::Correction(year) != 0);
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
// A year after a listed one begins a day before the rule's day.
[[nodiscard]] constexpr std::int64_t NewYearDayNumber(std::int64_t year) {
    return Detail::kDayNumberOfYearOne + Detail::DaysBeforeYear(year) -
           (Detail::Correction(year) == Detail::kEarlyNewYear ? 1 : 0);
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

namespace Detail {

// The month (high byte) and day of each day of a leap year, from 0: six
// months of 31 days, five of 30, and Esfand. A table, because the two
// halves of the year would otherwise need a branch that mispredicts on
// mixed days.
inline constexpr auto kMonthAndDayOfYear = [] {
    std::array<std::uint16_t, 366> table{};
    std::size_t before = 0;
    for (int month = 1; month <= kMonthsInYear; ++month) {
        const int days = month <= 6 ? 31 : 30;
        for (int day = 1; day <= days; ++day) {
            table[before++] = static_cast<std::uint16_t>(month << 8 | day);
        }
    }
    return table;
}();

}  // namespace Detail

// The date of the dayOfYear-th day (from 1) of the year; DayOfYear the
// other way. A day outside 1-366 gives month and day 0, no date.
[[nodiscard]] constexpr Date FromDayOfYear(int year, int dayOfYear) {
    if (dayOfYear < 1 || dayOfYear > static_cast<int>(Detail::kMonthAndDayOfYear.size())) {
        return {year, 0, 0};
    }
    const unsigned monthAndDay = Detail::kMonthAndDayOfYear[static_cast<std::size_t>(dayOfYear - 1)];
    return {year, static_cast<int>(monthAndDay >> 8U), static_cast<int>(monthAndDay & 0xFFU)};
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
    auto year = static_cast<int>(static_cast<std::int64_t>(yearsBefore) + 1 - 33 * kShiftCycles);
    auto dayOfYear = static_cast<int>(shifted - daysBefore);  // from 0, by the 33-year rule
    // The listed years: the rule's 30 Esfand is 1 Farvardin of the next year,
    // which begins a day early and so counts every day one further.
    const std::uint8_t correction = Detail::Correction(year);
    if (correction == Detail::kEarlyNewYear) {
        ++dayOfYear;
    } else if (correction == Detail::kShortEsfand && dayOfYear == 365) {
        ++year;
        dayOfYear = 0;
    }
    return FromDayOfYear(year, dayOfYear + 1);
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
