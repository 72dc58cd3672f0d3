// The names of months and weekdays, in the spellings this library reads and
// writes.
//
//     Shamsi::MonthName(9, Shamsi::MonthNames::kAfghan)           // "قوس"
//     Shamsi::MonthName(9, Shamsi::MonthNames::kEnglish)          // "Azar"
//     Shamsi::PersianWeekdayName(std::chrono::Tuesday)              // "سه‌شنبه"
//
// Persian names are in today's spelling, with ی and ک, and with the
// half-space (zero-width non-joiner, U+200C) inside سه‌شنبه and پنج‌شنبه.
// Weeks start on Saturday, as the Iranian week does: index 0 is Saturday,
// 6 is Friday.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

namespace Shamsi {

// Which names the Shamsi months go by: Iran's (فروردین ... اسفند),
// Afghanistan's (حمل ... حوت, the signs of the zodiac), or Iran's in Latin
// letters (Farvardin ... Esfand), as English texts write them. With English
// names a Shamsi date's weekday is written in English too.
enum class MonthNames { kIranian, kAfghan, kEnglish };

inline constexpr std::array<std::string_view, 12> kIranianMonthNames = {
    "فروردین", "اردیبهشت", "خرداد", "تیر", "مرداد", "شهریور", "مهر", "آبان", "آذر", "دی", "بهمن", "اسفند",
};
inline constexpr std::array<std::string_view, 12> kAfghanMonthNames = {
    "حمل", "ثور", "جوزا", "سرطان", "اسد", "سنبله", "میزان", "عقرب", "قوس", "جدی", "دلو", "حوت",
};
// Iran's names in Latin letters, in the spelling of English texts (and of
// ICU's English names for the Persian calendar).
inline constexpr std::array<std::string_view, 12> kEnglishMonthNames = {
    "Farvardin", "Ordibehesht", "Khordad", "Tir", "Mordad", "Shahrivar",
    "Mehr",      "Aban",        "Azar",    "Dey", "Bahman", "Esfand",
};
// Other common Latin spellings, read but never written: Amordad for Mordad,
// Dei for Dey. Empty where a month has none.
inline constexpr std::array<std::string_view, 12> kEnglishMonthOtherNames = {
    "", "", "", "", "Amordad", "", "", "", "", "Dei", "", "",
};
inline constexpr std::array<std::string_view, 12> kMiladiMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December",
};

// Saturday first.
inline constexpr std::array<std::string_view, 7> kPersianWeekdayNames = {
    "شنبه", "یکشنبه", "دوشنبه", "سه\u200cشنبه", "چهارشنبه", "پنج\u200cشنبه", "جمعه",
};
inline constexpr std::array<std::string_view, 7> kEnglishWeekdayNames = {
    "Saturday", "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
};

// The initial of each weekday, as the heads of a month's columns.
inline constexpr std::array<std::string_view, 7> kPersianWeekdayInitials = {
    "ش", "ی", "د", "س", "چ", "پ", "ج",
};

// 0 for Saturday to 6 for Friday.
[[nodiscard]] constexpr unsigned SaturdayFirstIndex(std::chrono::weekday day) {
    return (day.c_encoding() + 1) % 7;
}

// The set of names a word chooses, as options and arguments spell them:
// "iranian", "afghan" or "english"; nothing for any other word.
[[nodiscard]] constexpr std::optional<MonthNames> MonthNamesCalled(std::string_view word) {
    if (word == "iranian") {
        return MonthNames::kIranian;
    }
    if (word == "afghan") {
        return MonthNames::kAfghan;
    }
    if (word == "english") {
        return MonthNames::kEnglish;
    }
    return std::nullopt;
}

// The twelve names of the Shamsi months, Farvardin first.
[[nodiscard]] constexpr const std::array<std::string_view, 12>& ShamsiMonthNames(MonthNames names) {
    switch (names) {
        case MonthNames::kAfghan:
            return kAfghanMonthNames;
        case MonthNames::kEnglish:
            return kEnglishMonthNames;
        case MonthNames::kIranian:
            break;
    }
    return kIranianMonthNames;
}

// The name of a Shamsi month 1-12; empty for any other number.
[[nodiscard]] constexpr std::string_view MonthName(int month, MonthNames names = MonthNames::kIranian) {
    return month < 1 || month > 12 ? std::string_view{}
                                   : ShamsiMonthNames(names).at(static_cast<std::size_t>(month - 1));
}

// The English name of a Miladi month 1-12; empty for any other number.
[[nodiscard]] constexpr std::string_view MiladiMonthName(int month) {
    return month < 1 || month > 12 ? std::string_view{}
                                   : kMiladiMonthNames.at(static_cast<std::size_t>(month - 1));
}

// The head of a weekday's column in a month's calendar, index 0 Saturday to
// 6 Friday: the Persian initial, or the first two letters of the English
// name ("Sa" to "Fr") where the months go by English names.
[[nodiscard]] constexpr std::string_view WeekdayInitial(std::size_t index, MonthNames names) {
    return names == MonthNames::kEnglish ? kEnglishWeekdayNames.at(index).substr(0, 2)
                                         : kPersianWeekdayInitials.at(index);
}

[[nodiscard]] constexpr std::string_view PersianWeekdayName(std::chrono::weekday day) {
    return kPersianWeekdayNames.at(SaturdayFirstIndex(day));
}
[[nodiscard]] constexpr std::string_view EnglishWeekdayName(std::chrono::weekday day) {
    return kEnglishWeekdayNames.at(SaturdayFirstIndex(day));
}

}  // namespace Shamsi
