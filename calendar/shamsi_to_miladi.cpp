// Shamsi "YY/MM/DD" to Miladi "YYYY/MM/DD".
//
// The typed date becomes a count of days from 1 January of the Gregorian
// year (Shamsi year + 621), and the count is walked through the Gregorian
// month lengths.
#include <array>
#include <cstdint>
#include <limits>
#include <optional>

#include "module1.h"
#include "shamsi_calendar.h"

namespace Module1 {

namespace {

using Runtime::Text;

constexpr std::size_t kTypedLength = 8;  // "YY/MM/DD"
constexpr int kFirstYear = 1300;         // the century "13" is always supplied
constexpr int kGregorianYearOffset = 621;
// The Gregorian year is a 16-bit value, and the walk may step one year on.
constexpr int kLastYear = std::numeric_limits<std::int16_t>::max() - kGregorianYearOffset - 1;

constexpr Runtime::TextView kMessageDateFormat = U"خطا - - - تاريخ را بصورت روز/ماه/سال وارد نماييد";
constexpr Runtime::TextView kMessageTwoDigits = U"تمامي فيلدها بايد به صورت دو رقمي وارد شود";
constexpr Runtime::TextView kMessageYear = U"خطا - - - سال را شمسي وارد نماييد";
constexpr Runtime::TextView kMessageMonth = U"خطا  - - - ماه را درست وارد نماييد";
constexpr Runtime::TextView kMessageDay = U"xxxxxxxxx1";

using MonthLengths = std::array<int, 12>;

// Farvardin to Shahrivar have 31 days, Mehr to Bahman 30, Esfand 29 or 30.
MonthLengths ShamsiMonthLengths(int shamsiYear) {
    return {31, 31, 31, 31, 31, 31, 30, 30, 30, 30, 30, ShamsiCalendar::DaysInEsfand(shamsiYear)};
}

MonthLengths GregorianMonthLengths(int gregorianYear) {
    return {31, Runtime::DaysInGregorianMonth(gregorianYear, 2), 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

// A field of the working text, read as a number and rounded to 16 bits.
// A number beyond 16 bits reads as `beyondRange`, which the caller chooses
// so that its own range check refuses it.
int ReadField(const Text& workingText, std::size_t start, std::size_t length, int beyondRange) {
    return Runtime::RealToInt16(Runtime::TextToNumber(Runtime::Mid(workingText, start, length)))
        .value_or(beyondRange);
}

}  // namespace

Text ShamsiToMiladi(Text& shamsiText, Environment& env) {
    if (Runtime::Length(shamsiText) != kTypedLength) {
        env.MessageBox(Text(kMessageDateFormat));
        env.MessageBox(Text(kMessageTwoDigits));
        return {};
    }
    shamsiText.insert(0, U"13");  // the working text "13YY/MM/DD"

    // Two characters always fit in 16 bits; four may not ("13e9").
    const int year = ReadField(shamsiText, 1, 4, 0);
    const int month = ReadField(shamsiText, 6, 2, 0);
    const int day = ReadField(shamsiText, 9, 2, 0);

    if (year < kFirstYear || year > kLastYear) {
        env.MessageBox(Text(kMessageYear));
        return {};
    }
    if (month < 1 || month > 12) {
        env.MessageBox(Text(kMessageMonth));
        return {};
    }

    const MonthLengths shamsiMonths = ShamsiMonthLengths(year);
    int gregorianYear = year + kGregorianYearOffset;
    MonthLengths gregorianMonths = GregorianMonthLengths(gregorianYear);

    // A day outside its month is told but not corrected: the count below
    // simply runs into the neighbouring month.
    if (day < 1 || day > shamsiMonths[static_cast<std::size_t>(month - 1)]) {
        env.MessageBox(Text(kMessageDay));
    }

    int dayCount = ShamsiCalendar::DaysBeforeFarvardinFirst(year) + day;
    for (int m = 1; m < month; ++m) {
        dayCount += shamsiMonths[static_cast<std::size_t>(m - 1)];
    }

    int gregorianMonth = 1;
    while (dayCount > gregorianMonths[static_cast<std::size_t>(gregorianMonth - 1)]) {
        dayCount -= gregorianMonths[static_cast<std::size_t>(gregorianMonth - 1)];
        ++gregorianMonth;
        if (gregorianMonth == 13) {  // past 31 December
            gregorianMonth = 1;
            ++gregorianYear;
            gregorianMonths = GregorianMonthLengths(gregorianYear);
        }
    }

    // The year in as many digits as it has; month and day in two.
    Text miladi;
    miladi.reserve(kTypedLength + 3);
    Runtime::AppendDecimal(miladi, gregorianYear);
    miladi += U'/';
    Runtime::AppendDecimal(miladi, gregorianMonth, 2);
    miladi += U'/';
    Runtime::AppendDecimal(miladi, dayCount, 2);
    return miladi;
}

}  // namespace Module1
