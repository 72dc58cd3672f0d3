// Miladi date text in English words: "DD Month YYYY".
//
// Fields are taken by position from the trimmed text; only the month is
// read as a number, the day and the year are copied as they stand.
#include <array>
#include <cstddef>

#include "module1.h"

namespace Module1 {

namespace {

using Runtime::Text;

constexpr std::size_t kDateTextLength = 10;  // "YYYY/MM/DD"

constexpr Runtime::TextView kMessageDateFormat =
    U"خطا - - - تاريخ را بصورت روز/ماه/سال (YYYY/MM/DD)وارد نماييد";

// Slot 0 is empty, so a month of 0 joins day and year directly. Every name
// carries its own separating blanks.
std::array<Runtime::TextView, 13> MonthNameTable() {
    return {U"",       U" January ", U" February ",  U" March ",   U" April ",    U" May ",     U" June ",
            U" July ", U" August ",  U" September ", U" October ", U" November ", U" December "};
}

}  // namespace

Text MiladiToString(Text& miladiText, Environment& env) {
    const std::array<Runtime::TextView, 13> monthNames = MonthNameTable();

    if (miladiText.empty()) {
        const Runtime::Date today = env.Today();
        if (today.month < 1 || today.month > 12) {
            return {};  // not a date: nothing sensible to word
        }
        // The day without a leading zero.
        Text worded;
        Runtime::AppendDecimal(worded, today.day);
        worded += monthNames[static_cast<std::size_t>(today.month)];
        Runtime::AppendDecimal(worded, today.year);
        return worded;
    }
    if (Runtime::Length(miladiText) != kDateTextLength) {
        env.MessageBox(Text(kMessageDateFormat));
        return {};
    }
    miladiText = Runtime::Trim(miladiText);

    const Runtime::TextView dayText = Runtime::Right(miladiText, 2);
    const auto month = Runtime::TextToInt16(Runtime::Mid(miladiText, 6, 2));
    const Runtime::TextView yearText = Runtime::Left(miladiText, 4);

    if (!month || *month < 0 || *month >= static_cast<int>(monthNames.size())) {
        env.MessageBox(Text(kMessageDateFormat));
        return {};
    }
    const Runtime::TextView monthName = monthNames[static_cast<std::size_t>(*month)];
    Text worded;
    worded.reserve(dayText.size() + monthName.size() + yearText.size());
    worded.append(dayText).append(monthName).append(yearText);
    return worded;
}

}  // namespace Module1
