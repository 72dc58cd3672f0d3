#include "shamsi_calendar.h"

#include <algorithm>
#include <array>

#include "services.h"

namespace ShamsiCalendar {

namespace {

using Runtime::FloorDiv;

constexpr int kCycleYears = 33;
// The positions in the 33-year cycle that are leap years.
constexpr std::array<int, 8> kLeapPositions = {1, 5, 9, 13, 17, 22, 26, 30};

constexpr int kEpochYear = 1300;  // 1 Farvardin 1300 = 21 March 1921
constexpr int kEpochGregorianYear = 1921;
constexpr int kEpochMarchDay = 21;
constexpr int kGregorianYearOffset = 621;
constexpr int kMarch = 3;

constexpr int CyclePosition(std::int64_t shamsiYear) {
    return static_cast<int>(shamsiYear - FloorDiv(shamsiYear, kCycleYears) * kCycleYears);
}

// How many leap years there are from year 0 up to, not including, the year.
constexpr std::int64_t LeapYearsBefore(std::int64_t shamsiYear) {
    const int position = CyclePosition(shamsiYear);
    const auto earlierInCycle =
        std::ranges::count_if(kLeapPositions, [position](int leap) { return leap < position; });
    return FloorDiv(shamsiYear, kCycleYears) * static_cast<std::int64_t>(kLeapPositions.size()) +
           earlierInCycle;
}

}  // namespace

bool IsLeapYear(std::int64_t shamsiYear) {
    return std::ranges::find(kLeapPositions, CyclePosition(shamsiYear)) != kLeapPositions.end();
}

int DaysInEsfand(std::int64_t shamsiYear) { return IsLeapYear(shamsiYear) ? 30 : 29; }

std::int64_t FarvardinFirstDayNumber(std::int64_t shamsiYear) {
    constexpr std::int64_t kEpoch = Runtime::DaysFromCivil(kEpochGregorianYear, kMarch, kEpochMarchDay);
    const std::int64_t years = shamsiYear - kEpochYear;
    constexpr std::int64_t kLeapYearsBeforeEpoch = LeapYearsBefore(kEpochYear);
    const std::int64_t leapDays = LeapYearsBefore(shamsiYear) - kLeapYearsBeforeEpoch;
    return kEpoch + years * kDaysInCommonYear + leapDays;
}

int DaysBeforeFarvardinFirst(std::int64_t shamsiYear) {
    const auto gregorianYear = static_cast<int>(shamsiYear + kGregorianYearOffset);
    return static_cast<int>(FarvardinFirstDayNumber(shamsiYear) -
                            Runtime::DaysFromCivil(gregorianYear, 1, 1));
}

int FarvardinFirstMarchDay(std::int64_t shamsiYear) {
    const auto gregorianYear = static_cast<int>(shamsiYear + kGregorianYearOffset);
    return static_cast<int>(FarvardinFirstDayNumber(shamsiYear) -
                            Runtime::DaysFromCivil(gregorianYear, kMarch, 1)) +
           1;
}

}  // namespace ShamsiCalendar
