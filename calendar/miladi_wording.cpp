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
std::array<Text, 13> MonthNameTable() {
    return {U"",       U" January ", U" February ",  U" March ",   U" April ",    U" May ",     U" June ",
            U" July ", U" August ",  U" September ", U" October ", U" November ", U" December "};
}

}  // namespace

Text MiladiToString(Text& miladiText, Environment& env) {
    const std::array<Text, 13> monthNames = MonthNameTable();

    if (miladiText.empty()) {
        const Runtime::Date today = env.Today();
        if (today.month < 1 || today.month > 12) {
            return {};  // not a date: nothing sensible to word
        }
        return Runtime::Trim(Runtime::NumberToText(today.day)) +
               monthNames[static_cast<std::size_t>(today.month)] +
               Runtime::Trim(Runtime::NumberToText(today.year));
    }
    if (Runtime::Length(miladiText) != kDateTextLength) {
        env.MessageBox(Text(kMessageDateFormat));
        return {};
    }
    miladiText = Runtime::Trim(miladiText);

    const Text dayText = Runtime::Right(miladiText, 2);
    const auto month = Runtime::TextToInt16(Runtime::Mid(miladiText, 6, 2));
    const Text yearText = Runtime::Left(miladiText, 4);

    if (!month || *month < 0 || *month >= static_cast<int>(monthNames.size())) {
        env.MessageBox(Text(kMessageDateFormat));
        return {};
    }
    return dayText + monthNames[static_cast<std::size_t>(*month)] + yearText;
}

}  // namespace Module1
