// Miladi date text to the Shamsi date, in long or numeric form.
//
// No days are counted: the Gregorian day is placed against a table that
// gives, for each Gregorian month, the day on which the Shamsi month changes
// and the Shamsi day number of the Gregorian 1st. The table describes a year
// whose 1 Farvardin falls on 21 March and whose Esfand began on 20 February;
// the real New Year's Days of the two Shamsi years that meet in the
// Gregorian year, and its leap day, shift it by a day where needed.
#include <array>
#include <cstddef>

#include "module1.h"
#include "shamsi_calendar.h"

namespace Module1 {

namespace {

using Runtime::Text;
using Runtime::TextView;

constexpr int kShamsiYearEndingInGregorian = 622;  // Gregorian year - 622
constexpr int kTableMarchDay = 21;                 // 1 Farvardin in the table's year
constexpr int kMarch = 3;

struct MonthRow {
    int boundaryDay;     // last Gregorian day still in the Shamsi month of the 1st
    int firstDayNumber;  // Shamsi day number of the Gregorian 1st
};

// One row per Gregorian month, January first.
std::array<MonthRow, 12> MonthTable() {
    return {{
        {20, 11},  // January:   Dey -> Bahman
        {19, 12},  // February:  Bahman -> Esfand
        {20, 10},  // March:     Esfand -> Farvardin
        {20, 12},  // April:     Farvardin -> Ordibehesht
        {21, 11},  // May:       Ordibehesht -> Khordad
        {21, 11},  // June:      Khordad -> Tir
        {22, 10},  // July:      Tir -> Mordad
        {22, 10},  // August:    Mordad -> Shahrivar
        {22, 10},  // September: Shahrivar -> Mehr
        {22, 9},   // October:   Mehr -> Aban
        {21, 10},  // November:  Aban -> Azar
        {21, 10},  // December:  Azar -> Dey
    }};
}

// Sunday first.
std::array<TextView, 7> WeekdayNames() {
    return {U"يكشنبه", U"دوشنبه", U"سه شنبه", U"چهارشنبه", U"پنجشنبه", U"جمعه", U"شنبه"};
}

std::array<TextView, 12> MonthNames() {
    return {U"فروردين", U"ارديبهشت", U"خرداد", U"تير", U"مرداد", U"شهريور",
            U"مهر",     U"آبان",     U"آذر",   U"دي",  U"بهمن",  U"اسفند"};
}

std::array<TextView, 12> MonthNumbers() {
    return {U"01", U"02", U"03", U"04", U"05", U"06", U"07", U"08", U"09", U"10", U"11", U"12"};
}

// How many days earlier than 21 March the year begins: +1 on 20 March,
// 0 on 21 March, -1 on 22 March.
int NewYearShift(int shamsiYear) {
    return kTableMarchDay - ShamsiCalendar::FarvardinFirstMarchDay(shamsiYear);
}

// The table row of a Gregorian month, moved to the real calendar of the
// year. endingShift belongs to the Shamsi year that ends in the Gregorian
// year, beginningShift to the one that begins in it; leapDay is 1 when the
// Gregorian year has a 29 February.
MonthRow CorrectedRow(const MonthRow& row, int gregorianMonth, int endingShift, int beginningShift,
                      int leapDay) {
    if (gregorianMonth < kMarch) {
        return {row.boundaryDay - endingShift, row.firstDayNumber + endingShift};
    }
    if (gregorianMonth == kMarch) {
        return {row.boundaryDay - beginningShift, row.firstDayNumber + endingShift + leapDay};
    }
    return {row.boundaryDay - beginningShift, row.firstDayNumber + beginningShift};
}

// The Shamsi month current on the Gregorian 1st: January gives 10 (Dey),
// March 12 (Esfand), April 1 (Farvardin), December 9 (Azar).
int ShamsiMonthOnFirst(int gregorianMonth) {
    const int month = (gregorianMonth + 9) % 13;
    return month < 10 ? month + 1 : month;
}

}  // namespace

Text MiladiToShamsi(Text& miladiText, bool numericForm, Environment& env) {
    const std::array<MonthRow, 12> monthTable = MonthTable();
    const std::array<TextView, 7> weekdayNames = WeekdayNames();
    const std::array<TextView, 12> monthTexts = numericForm ? MonthNumbers() : MonthNames();

    if (miladiText.empty()) {
        miladiText = Runtime::DateToText(env.Today());
    }
    const auto date = Runtime::DateFromText(miladiText);
    if (!date) {
        return {};
    }

    const int leapDay = Runtime::IsGregorianLeapYear(date->year) ? 1 : 0;
    int shamsiYear = date->year - kShamsiYearEndingInGregorian;
    const MonthRow row = CorrectedRow(monthTable[static_cast<std::size_t>(date->month - 1)], date->month,
                                      NewYearShift(shamsiYear), NewYearShift(shamsiYear + 1), leapDay);

    int shamsiMonth = ShamsiMonthOnFirst(date->month);
    int shamsiDay = 0;
    bool afterBoundary = false;
    if (date->day > 0 && date->day <= row.boundaryDay) {
        shamsiDay = date->day + row.firstDayNumber - 1;
    } else {
        shamsiDay = date->day - row.boundaryDay;
        shamsiMonth = shamsiMonth % 12 + 1;
        afterBoundary = true;
    }
    if (date->month > kMarch || (date->month == kMarch && afterBoundary)) {
        ++shamsiYear;
    }

    const TextView monthText = monthTexts[static_cast<std::size_t>(shamsiMonth - 1)];
    Text shamsi;
    if (numericForm) {
        // Characters 3 and 4 of the year: its last two digits in our era.
        const Text year = Runtime::NumberToText(shamsiYear);
        shamsi.append(Runtime::Mid(Runtime::Trim(year), 3, 2)).append(U"/").append(monthText).append(U"/");
        Runtime::AppendDecimal(shamsi, shamsiDay);
        return shamsi;
    }
    // Day and year keep the blank of their number text, so two blanks
    // follow the weekday name and the month name.
    const TextView weekdayName = weekdayNames[static_cast<std::size_t>(Runtime::Weekday(*date) - 1)];
    shamsi.reserve(weekdayName.size() + monthText.size() + 16);
    shamsi.append(weekdayName).append(U" ");
    Runtime::AppendNumberText(shamsi, shamsiDay);
    shamsi.append(U" ").append(monthText).append(U" ");
    Runtime::AppendNumberText(shamsi, shamsiYear);
    return shamsi;
}

}  // namespace Module1
