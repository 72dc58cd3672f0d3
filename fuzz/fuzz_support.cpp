#include "fuzz_support.h"

#include <cstdlib>
#include <iostream>

#include "shamsi_calendar.h"

namespace Fuzz {

namespace {

constexpr std::uint8_t kRawCodePointsMark = 0xFF;
constexpr std::size_t kCodePointBytes = 4;
constexpr int kFirstThirtyDayMonth = 7;
constexpr int kDaysInFirstHalf = 6 * 31;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

Text InputText(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || data[0] != kRawCodePointsMark) {
        return Runtime::TextFromUtf8(std::string(data, data + size));
    }
    Text text;
    for (std::size_t i = 1; i + kCodePointBytes <= size; i += kCodePointBytes) {
        char32_t c = 0;
        for (std::size_t k = 0; k < kCodePointBytes; ++k) {
            c |= static_cast<char32_t>(data[i + k]) << (8 * k);
        }
        text += c;
    }
    return text;
}

std::string CodePoints(const Text& text) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    for (const char32_t c : text) {
        if (!out.empty()) {
            out += ' ';
        }
        out += "U+";
        int shift = c > 0xFFFF ? 28 : 12;
        while (shift > 12 && ((c >> static_cast<unsigned>(shift)) & 0xFU) == 0) {
            shift -= 4;
        }
        for (; shift >= 0; shift -= 4) {
            out += kHex[(c >> static_cast<unsigned>(shift)) & 0xFU];
        }
    }
    return out;
}

void Checker::Require(bool holds, std::string_view invariant) const {
    if (!holds) {
        Fail(invariant, nullptr);
    }
}

void Checker::Require(bool holds, std::string_view invariant, const Text& detail) const {
    if (!holds) {
        Fail(invariant, &detail);
    }
}

void Checker::Fail(std::string_view invariant, const Text* detail) const {
    std::cerr << "\n*** " << target_ << ": invariant broken: " << invariant << "\n    input: \""
              << Runtime::Utf8FromText(input_) << "\"\n    input code points: " << CodePoints(input_) << '\n';
    if (detail != nullptr) {
        std::cerr << "    got: \"" << Runtime::Utf8FromText(*detail)
                  << "\"\n    got code points: " << CodePoints(*detail) << '\n';
    }
    std::cerr.flush();
    std::abort();
}

Text WithoutOuterBlanks(const Text& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] == U' ') {
        ++first;
    }
    while (last > first && text[last - 1] == U' ') {
        --last;
    }
    return text.substr(first, last - first);
}

std::vector<Text> MessageList(std::initializer_list<TextView> texts) {
    std::vector<Text> list;
    list.reserve(texts.size());
    for (const TextView text : texts) {
        list.emplace_back(text);
    }
    return list;
}

Text FromAscii(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::optional<int> AnyDigit(char32_t c) {
    for (const char32_t zero : {U'0', U'\u0660', U'\u06F0'}) {
        if (c >= zero && c <= zero + 9) {
            return static_cast<int>(c - zero);
        }
    }
    return std::nullopt;
}

std::optional<int> TwoDigitField(const Text& text, std::size_t index) {
    if (index + 2 > text.size()) {
        return std::nullopt;
    }
    const auto tens = AnyDigit(text[index]);
    const auto units = AnyDigit(text[index + 1]);
    if (!tens || !units) {
        return std::nullopt;
    }
    return *tens * 10 + *units;
}

int WeekdayIndexSundayFirst(std::int64_t dayNumber) {
    constexpr std::int64_t kThursday = 4;
    return static_cast<int>(dayNumber + kThursday - FloorDiv(dayNumber + kThursday, 7) * 7);
}

int DaysInShamsiMonth(std::int64_t year, int month) {
    if (month < kFirstThirtyDayMonth) {
        return 31;
    }
    return month < 12 ? 30 : ShamsiCalendar::DaysInEsfand(year);
}

std::int64_t ShamsiDayNumber(std::int64_t year, int month, int day) {
    std::int64_t number = ShamsiCalendar::FarvardinFirstDayNumber(year);
    for (int m = 1; m < month; ++m) {
        number += DaysInShamsiMonth(year, m);
    }
    return number + day - 1;
}

ShamsiDate ShamsiOfDayNumber(std::int64_t dayNumber) {
    // Start from the Gregorian year of the day (146097 days in 400 years),
    // which is the Shamsi year + 621 or + 622.
    constexpr std::int64_t kDaysIn400Years = 146097;
    std::int64_t year = 1970 - 621 + FloorDiv(dayNumber * 400, kDaysIn400Years);
    while (ShamsiCalendar::FarvardinFirstDayNumber(year + 1) <= dayNumber) {
        ++year;
    }
    while (ShamsiCalendar::FarvardinFirstDayNumber(year) > dayNumber) {
        --year;
    }
    const auto dayOfYear = static_cast<int>(dayNumber - ShamsiCalendar::FarvardinFirstDayNumber(year));
    if (dayOfYear < kDaysInFirstHalf) {
        return {year, dayOfYear / 31 + 1, dayOfYear % 31 + 1};
    }
    const int rest = dayOfYear - kDaysInFirstHalf;
    return {year, rest / 30 + kFirstThirtyDayMonth, rest % 30 + 1};
}

}  // namespace Fuzz
