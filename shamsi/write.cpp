// Writing dates, numbers and amounts (text.h).
#include "shamsi/text.h"

#include "digits.h"
#include "shamsi/names.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace Shamsi {

namespace {

using Digit::kPersianFirst;
using Digit::kPersianLead;
using std::chrono::year_month_day;

// --- Names --------------------------------------------------------------------

template <std::size_t N>
std::size_t LongestName(const std::array<std::string_view, N>& names) {
    std::size_t longest = 0;
    for (const std::string_view name : names) {
        longest = std::max(longest, name.size());
    }
    return longest;
}

// --- Numbers ------------------------------------------------------------------

// "00" to "99".
constexpr std::array<char, 200> kTwoDigits = [] {
    std::array<char, 200> table{};
    for (std::size_t i = 0; i < 100; ++i) {
        table[2 * i] = static_cast<char>('0' + i / 10);
        table[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return table;
}();

// The most bytes a number takes: a sign and nineteen digits of two bytes each.
constexpr std::size_t kLongestNumber = 39;

// A sign, three numbers and two colons.
constexpr std::size_t kLongestOffset = 1 + 3 * kLongestNumber + 2;

char* WriteNumber(char* out, std::int64_t value, int minimumDigits, Digits digits) {
    std::array<char, 20> reversed{};
    std::size_t count = 0;
    const bool negative = value < 0;
    auto magnitude = negative ? 0U - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        reversed[count++] = static_cast<char>(magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count < static_cast<std::size_t>(minimumDigits) && count < reversed.size()) {
        reversed[count++] = 0;
    }
    if (negative) {
        *out++ = '-';
    }
    while (count > 0) {
        const int digit = static_cast<unsigned char>(reversed[--count]);
        if (digits == Digits::kAscii) {
            *out++ = static_cast<char>('0' + digit);
        } else {
            *out++ = static_cast<char>(kPersianLead);
            *out++ = static_cast<char>(kPersianFirst + digit);
        }
    }
    return out;
}

char* WriteTwoDigits(char* out, int value) {
    std::memcpy(out, &kTwoDigits[2 * static_cast<std::size_t>(value)], 2);
    return out + 2;
}

// Year of four digits, month and day of two, between two separators.
char* WritePlain(char* out, int year, int month, int day, char separator) {
    const int high = year / 100;
    out = WriteTwoDigits(out, high);
    out = WriteTwoDigits(out, year - high * 100);
    *out++ = separator;
    out = WriteTwoDigits(out, month);
    *out++ = separator;
    return WriteTwoDigits(out, day);
}

char* WriteName(char* out, std::string_view name) {
    std::memcpy(out, name.data(), name.size());
    return out + name.size();
}

}  // namespace

char* WritePeriod(char* out, const Period& period, Digits digits) {
    const std::array<std::int64_t, 4> parts{period.years, period.months, period.weeks, period.days};
    constexpr std::string_view kUnits = "ymwd";
    const bool negative = std::any_of(parts.begin(), parts.end(), [](std::int64_t part) { return part < 0; });
    const bool zero = std::all_of(parts.begin(), parts.end(), [](std::int64_t part) { return part == 0; });
    if (zero) {
        out = WriteNumber(out, 0, 1, digits);
        *out++ = 'd';
        return out;
    }
    *out++ = negative ? '-' : '+';
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts.at(i) != 0) {
            const std::int64_t part = parts.at(i);
            out = WriteNumber(out, part < 0 ? -part : part, 1, digits);
            *out++ = kUnits[i];
        }
    }
    return out;
}

std::string FormatPeriod(const Period& period, Digits digits) {
    std::string text(kLongestPeriodText, '\0');
    text.resize(static_cast<std::size_t>(WritePeriod(text.data(), period, digits) - text.data()));
    return text;
}

char* WriteInteger(char* out, std::int64_t value, Digits digits) {
    if (digits != Digits::kAscii) {
        return WriteNumber(out, value, 1, digits);
    }
    // Two digits at a time from the right, from the table.
    std::array<char, 20> text{};
    std::size_t start = text.size();
    if (value < 0) {
        *out++ = '-';
    }
    auto magnitude = value < 0 ? 0U - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    while (magnitude >= 100) {
        start -= 2;
        std::memcpy(&text.at(start), &kTwoDigits.at(2 * (magnitude % 100)), 2);
        magnitude /= 100;
    }
    if (magnitude >= 10) {
        start -= 2;
        std::memcpy(&text.at(start), &kTwoDigits.at(2 * magnitude), 2);
    } else {
        text.at(--start) = static_cast<char>('0' + magnitude);
    }
    std::memcpy(out, &text.at(start), text.size() - start);
    return out + (text.size() - start);
}

// --- Writing ------------------------------------------------------------------

Formatter::Formatter(Calendar calendar) : Formatter("%Y/%m/%d", calendar) {}

Formatter::Formatter(std::string_view pattern, Calendar calendar, Digits digits, MonthNames names)
    : calendar_(calendar), digits_(digits), names_(names) {
    const bool shamsi = calendar == Calendar::kShamsi;
    const std::size_t monthName = LongestName(shamsi ? ShamsiMonthNames(names) : kMiladiMonthNames);
    const std::size_t weekdayName = LongestName(WeekdayNames());

    auto addText = [this](std::string_view text) {
        if (!pieces_.empty() && pieces_.back().field == Field::kText) {
            pieces_.back().textLength += text.size();
        } else {
            pieces_.push_back({Field::kText, literals_.size(), text.size()});
        }
        literals_ += text;
        maxSize_ += text.size();
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            addText(pattern.substr(i, 1));
            continue;
        }
        std::string_view directive = pattern.substr(i + 1, 1);
        if (directive == "-") {
            directive = pattern.substr(i + 1, 2);
        }
        Field field = Field::kText;
        std::size_t size = kLongestNumber;
        if (directive == "%") {
            addText("%");
        } else if (directive == "Y") {
            field = Field::kYear;
        } else if (directive == "y") {
            field = Field::kYearOfCentury;
        } else if (directive == "m") {
            field = Field::kMonth;
        } else if (directive == "-m") {
            field = Field::kMonthPlain;
        } else if (directive == "d") {
            field = Field::kDay;
        } else if (directive == "-d") {
            field = Field::kDayPlain;
        } else if (directive == "j") {
            field = Field::kDayOfYear;
        } else if (directive == "B") {
            field = Field::kMonthName;
            size = monthName;
        } else if (directive == "A") {
            field = Field::kWeekdayName;
            size = weekdayName;
        } else if (directive == "H") {
            field = Field::kHour;
        } else if (directive == "M") {
            field = Field::kMinute;
        } else if (directive == "S") {
            field = Field::kSecond;
        } else if (directive == "z") {
            field = Field::kOffset;
            size = kLongestOffset;
        } else {
            error_ = directive.empty() ? std::string("a lone % at the end")
                                       : "unknown field %" + std::string(directive);
            pieces_.clear();
            maxSize_ = 0;
            return;
        }
        if (field != Field::kText) {
            pieces_.push_back({field, 0, 0});
            maxSize_ += size;
        }
        i += directive.size();
    }
    writesTime_ = std::any_of(pieces_.begin(), pieces_.end(), [](const Piece& piece) {
        return piece.field == Field::kHour || piece.field == Field::kMinute ||
               piece.field == Field::kSecond || piece.field == Field::kOffset;
    });
    const auto isPiece = [this](std::size_t index, Field field) { return pieces_[index].field == field; };
    if (digits == Digits::kAscii && pieces_.size() == 5 && isPiece(0, Field::kYear) &&
        isPiece(1, Field::kText) && isPiece(2, Field::kMonth) && isPiece(3, Field::kText) &&
        isPiece(4, Field::kDay) && (literals_ == "//" || literals_ == "--")) {
        plainNumeric_ = true;
        plainSeparator_ = literals_[0];
    }
}

char* Formatter::Write(char* out, const Date& shamsi) const { return WriteShamsi(out, shamsi, TimeOfDay{}); }

char* Formatter::Write(char* out, const year_month_day& miladi) const {
    return WriteMiladi(out, miladi, TimeOfDay{});
}

char* Formatter::Write(char* out, std::chrono::sys_days day) const { return WriteDay(out, day, TimeOfDay{}); }

char* Formatter::Write(char* out, std::chrono::sys_days day, const TimeOfDay& time) const {
    return WriteDay(out, day, time);
}

// The plain patterns have no time fields, so the time matters only to the
// others.
char* Formatter::WriteShamsi(char* out, const Date& shamsi, const TimeOfDay& time) const {
    if (calendar_ == Calendar::kMiladi) {
        const year_month_day miladi = ToGregorian(shamsi);
        const int year = static_cast<int>(miladi.year());
        if (plainNumeric_ && year >= 1000 && year <= 9999) {
            return WritePlain(out, year, static_cast<int>(static_cast<unsigned>(miladi.month())),
                              static_cast<int>(static_cast<unsigned>(miladi.day())), plainSeparator_);
        }
        return WriteMiladi(out, miladi, time);
    }
    if (plainNumeric_ && shamsi.year >= 1000 && shamsi.year <= 9999 && shamsi.month >= 1 &&
        shamsi.month <= 12 && shamsi.day >= 1 && shamsi.day <= 31) {
        return WritePlain(out, shamsi.year, shamsi.month, shamsi.day, plainSeparator_);
    }
    const unsigned weekday = SaturdayFirstIndex(Weekday(shamsi));
    return WriteFields(out, {shamsi.year, shamsi.month, shamsi.day, DayOfYear(shamsi), weekday, time});
}

char* Formatter::WriteMiladi(char* out, const year_month_day& miladi, const TimeOfDay& time) const {
    if (calendar_ == Calendar::kShamsi) {
        return WriteShamsi(out, FromGregorian(miladi), time);
    }
    const int year = static_cast<int>(miladi.year());
    const auto month = static_cast<int>(static_cast<unsigned>(miladi.month()));
    const auto day = static_cast<int>(static_cast<unsigned>(miladi.day()));
    if (plainNumeric_ && year >= 1000 && year <= 9999 && miladi.month().ok() && miladi.day().ok()) {
        return WritePlain(out, year, month, day, plainSeparator_);
    }
    const std::chrono::sys_days days{miladi};
    const std::chrono::sys_days newYear{miladi.year() / std::chrono::January / 1};
    const auto dayOfYear = static_cast<int>((days - newYear).count()) + 1;
    const unsigned weekday = SaturdayFirstIndex(std::chrono::weekday{days});
    return WriteFields(out, {year, month, day, dayOfYear, weekday, time});
}

char* Formatter::WriteDay(char* out, std::chrono::sys_days day, const TimeOfDay& time) const {
    if (calendar_ == Calendar::kShamsi) {
        const Date shamsi = FromSysDays(day);
        if (plainNumeric_ && shamsi.year >= 1000 && shamsi.year <= 9999) {
            return WritePlain(out, shamsi.year, shamsi.month, shamsi.day, plainSeparator_);
        }
        return WriteShamsi(out, shamsi, time);
    }
    const year_month_day miladi = Detail::CivilFromDays(day.time_since_epoch().count());
    const int year = static_cast<int>(miladi.year());
    if (plainNumeric_ && year >= 1000 && year <= 9999) {
        return WritePlain(out, year, static_cast<int>(static_cast<unsigned>(miladi.month())),
                          static_cast<int>(static_cast<unsigned>(miladi.day())), plainSeparator_);
    }
    return WriteMiladi(out, miladi, time);
}

char* Formatter::WriteFields(char* out, const Fields& fields) const {
    const bool shamsi = calendar_ == Calendar::kShamsi;
    const auto monthIndex = static_cast<std::size_t>(std::clamp(fields.month, 1, 12) - 1);
    for (const Piece& piece : pieces_) {
        switch (piece.field) {
            case Field::kText:
                out = WriteName(out, std::string_view(literals_).substr(piece.textStart, piece.textLength));
                break;
            case Field::kYear:
                out = WriteNumber(out, fields.year, 4, digits_);
                break;
            case Field::kYearOfCentury:
                out = WriteNumber(out, fields.year % 100, 2, digits_);
                break;
            case Field::kMonth:
                out = WriteNumber(out, fields.month, 2, digits_);
                break;
            case Field::kMonthPlain:
                out = WriteNumber(out, fields.month, 1, digits_);
                break;
            case Field::kDay:
                out = WriteNumber(out, fields.day, 2, digits_);
                break;
            case Field::kDayPlain:
                out = WriteNumber(out, fields.day, 1, digits_);
                break;
            case Field::kDayOfYear:
                out = WriteNumber(out, fields.dayOfYear, 3, digits_);
                break;
            case Field::kMonthName:
                out = WriteName(out, shamsi ? MonthName(static_cast<int>(monthIndex) + 1, names_)
                                            : kMiladiMonthNames.at(monthIndex));
                break;
            case Field::kWeekdayName:
                out = WriteName(out, WeekdayNames().at(fields.weekday % 7));
                break;
            case Field::kHour:
                out = WriteNumber(out, fields.time.hour, 2, digits_);
                break;
            case Field::kMinute:
                out = WriteNumber(out, fields.time.minute, 2, digits_);
                break;
            case Field::kSecond:
                out = WriteNumber(out, fields.time.second, 2, digits_);
                break;
            case Field::kOffset:
                if (fields.time.hasOffset) {
                    out = WriteOffset(out, fields.time.offsetSeconds);
                }
                break;
        }
    }
    return out;
}

// "+03:30", "-05:00", "+00:00"; the seconds only where there are some, as
// in the local mean times of the 19th century ("+03:25:44").
char* Formatter::WriteOffset(char* out, int offsetSeconds) const {
    constexpr std::int64_t kSecondsPerHour = 3600;
    constexpr std::int64_t kSecondsPerMinute = 60;
    *out++ = offsetSeconds < 0 ? '-' : '+';
    const std::int64_t magnitude =
        offsetSeconds < 0 ? -std::int64_t{offsetSeconds} : std::int64_t{offsetSeconds};
    out = WriteNumber(out, magnitude / kSecondsPerHour, 2, digits_);
    *out++ = ':';
    out = WriteNumber(out, magnitude / kSecondsPerMinute % kSecondsPerMinute, 2, digits_);
    if (magnitude % kSecondsPerMinute != 0) {
        *out++ = ':';
        out = WriteNumber(out, magnitude % kSecondsPerMinute, 2, digits_);
    }
    return out;
}

// Persian for Shamsi dates, unless their months go by English names; English
// for Miladi dates.
const std::array<std::string_view, 7>& Formatter::WeekdayNames() const {
    const bool persian = calendar_ == Calendar::kShamsi && names_ != MonthNames::kEnglish;
    return persian ? kPersianWeekdayNames : kEnglishWeekdayNames;
}

std::string Formatter::Format(const Date& shamsi) const {
    std::string text(maxSize_, '\0');
    text.resize(static_cast<std::size_t>(Write(text.data(), shamsi) - text.data()));
    return text;
}

std::string Formatter::Format(const year_month_day& miladi) const {
    std::string text(maxSize_, '\0');
    text.resize(static_cast<std::size_t>(Write(text.data(), miladi) - text.data()));
    return text;
}

std::string Formatter::Format(std::chrono::sys_days day, const TimeOfDay& time) const {
    std::string text(maxSize_, '\0');
    text.resize(static_cast<std::size_t>(WriteDay(text.data(), day, time) - text.data()));
    return text;
}

std::string Formatter::Format(const Date& shamsi, const TimeOfDay& time) const {
    std::string text(maxSize_, '\0');
    text.resize(static_cast<std::size_t>(WriteShamsi(text.data(), shamsi, time) - text.data()));
    return text;
}

}  // namespace Shamsi
