#include "shamsi_calendar.h"

#include <shamsi/date.h>

#include "services.h"

// The rules themselves live in the Shamsi library (shamsi/date.h); these are
// the forms the conversion routines ask for.
namespace ShamsiCalendar {

namespace {

constexpr int kGregorianYearOffset = 621;
constexpr int kMarch = 3;

}  // namespace

bool IsLeapYear(std::int64_t shamsiYear) { return Shamsi::IsLeapYear(shamsiYear); }

int DaysInEsfand(std::int64_t shamsiYear) { return Shamsi::DaysInMonth(shamsiYear, Shamsi::kMonthsInYear); }

std::int64_t FarvardinFirstDayNumber(std::int64_t shamsiYear) { return Shamsi::NewYearDayNumber(shamsiYear); }

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
