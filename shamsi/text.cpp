#include "shamsi/text.h"

#include "shamsi/names.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace Shamsi {

namespace {

using std::chrono::year_month_day;

// Lead bytes of the UTF-8 forms of the two Arabic-script digit runs; the
// second byte is 0xB0 + digit (U+06F0-U+06F9) or 0xA0 + digit
// (U+0660-U+0669).
constexpr unsigned char kPersianLead = 0xDB;
constexpr unsigned char kPersianFirst = 0xB0;
constexpr unsigned char kArabicIndicLead = 0xD9;
constexpr unsigned char kArabicIndicFirst = 0xA0;

// The largest year value kept while reading; anything longer is out of range.
constexpr int kYearCeiling = 99'999'999;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The digit at text[pos], advancing pos past it; -1 (pos unchanged) for
// anything else.
int ReadDigit(std::string_view text, std::size_t& pos) {
    if (pos >= text.size()) {
        return -1;
    }
    const auto first = static_cast<unsigned char>(text[pos]);
    if (first >= '0' && first <= '9') {
        ++pos;
        return first - '0';
    }
    if ((first == kPersianLead || first == kArabicIndicLead) && pos + 1 < text.size()) {
        const auto second = static_cast<unsigned char>(text[pos + 1]);
        const unsigned char zero = first == kPersianLead ? kPersianFirst : kArabicIndicFirst;
        if (second >= zero && second <= zero + 9) {
            pos += 2;
            return second - zero;
        }
    }
    return -1;
}

// A run of at least one and at most maxDigits digits (0: no limit), its
// value saturated at kYearCeiling + 1.
bool ReadNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits, int& value) {
    std::size_t count = 0;
    value = 0;
    for (int digit = ReadDigit(text, pos); digit >= 0; digit = ReadDigit(text, pos)) {
        ++count;
        if (maxDigits != 0 && count > maxDigits) {
            return false;
        }
        value = value > kYearCeiling ? value : value * 10 + digit;
    }
    return count > 0;
}

struct Fields {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The usual "YYYY/MM/DD" (or with '-') in ASCII digits, read in one go.
bool ReadUsualFields(std::string_view text, Fields& fields) {
    constexpr std::size_t kUsualLength = 10;
    if (text.size() != kUsualLength || (text[4] != '/' && text[4] != '-') || text[7] != text[4]) {
        return false;
    }
    const auto digit = [text](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(text[i])) - '0';
    };
    const unsigned y0 = digit(0);
    const unsigned y1 = digit(1);
    const unsigned y2 = digit(2);
    const unsigned y3 = digit(3);
    const unsigned m0 = digit(5);
    const unsigned m1 = digit(6);
    const unsigned d0 = digit(8);
    const unsigned d1 = digit(9);
    const bool digits = static_cast<int>(y0 <= 9) + static_cast<int>(y1 <= 9) + static_cast<int>(y2 <= 9) +
                            static_cast<int>(y3 <= 9) + static_cast<int>(m0 <= 9) +
                            static_cast<int>(m1 <= 9) + static_cast<int>(d0 <= 9) +
                            static_cast<int>(d1 <= 9) ==
                        8;
    if (!digits) {
        return false;
    }
    fields.year = static_cast<int>(((y0 * 10 + y1) * 10 + y2) * 10 + y3);
    fields.month = static_cast<int>(m0 * 10 + m1);
    fields.day = static_cast<int>(d0 * 10 + d1);
    return true;
}

bool ReadFields(std::string_view text, Fields& fields) {
    if (ReadUsualFields(text, fields)) {
        return true;
    }
    if (text.size() > kLongestDateText) {
        return false;
    }
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    text = text.substr(begin, end - begin);

    std::size_t pos = 0;
    if (!ReadNumber(text, pos, 0, fields.year) || pos >= text.size()) {
        return false;
    }
    const char separator = text[pos];
    if (separator != '/' && separator != '-') {
        return false;
    }
    ++pos;
    if (!ReadNumber(text, pos, 2, fields.month) || pos >= text.size() || text[pos] != separator) {
        return false;
    }
    ++pos;
    return ReadNumber(text, pos, 2, fields.day) && pos == text.size();
}

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

// --- Reading ------------------------------------------------------------------

std::string_view Describe(ReadError error, Calendar calendar) {
    switch (error) {
        case ReadError::kNone:
            return "no error";
        case ReadError::kUnreadable:
            return "not a date of the form Y/M/D";
        case ReadError::kNotADate:
            return calendar == Calendar::kShamsi ? "not a day of the Shamsi calendar"
                                                 : "not a day of the Miladi calendar";
        case ReadError::kOutOfRange:
            return calendar == Calendar::kShamsi ? "outside the Shamsi years 1-9999"
                                                 : "outside 0622/03/21-10621/03/19 (the Shamsi years 1-9999)";
    }
    return "unknown error";
}

ReadError ReadShamsi(std::string_view text, Date& date) {
    Fields fields;
    if (!ReadFields(text, fields)) {
        return ReadError::kUnreadable;
    }
    if (fields.year < kFirstYear || fields.year > kLastYear) {
        return ReadError::kOutOfRange;
    }
    const Date read{fields.year, fields.month, fields.day};
    if (!read.IsValid()) {
        return ReadError::kNotADate;
    }
    date = read;
    return ReadError::kNone;
}

ReadError ReadMiladi(std::string_view text, year_month_day& date) {
    Fields fields;
    if (!ReadFields(text, fields)) {
        return ReadError::kUnreadable;
    }
    // Years beyond what std::chrono::year holds lie far outside the range.
    constexpr int kLastChronoYear = 32767;
    if (fields.year > kLastChronoYear) {
        return fields.month >= 1 && fields.month <= 12 && fields.day >= 1 && fields.day <= 31
                   ? ReadError::kOutOfRange
                   : ReadError::kNotADate;
    }
    const year_month_day read{std::chrono::year{fields.year},
                              std::chrono::month{static_cast<unsigned>(fields.month)},
                              std::chrono::day{static_cast<unsigned>(fields.day)}};
    if (!read.ok()) {
        return ReadError::kNotADate;
    }
    if (!InRange(std::chrono::sys_days{read})) {
        return ReadError::kOutOfRange;
    }
    date = read;
    return ReadError::kNone;
}

bool ReadNumber(std::string_view text, int& value) {
    std::size_t pos = 0;
    int read = 0;
    if (!ReadNumber(text, pos, 0, read) || pos != text.size()) {
        return false;
    }
    value = read;
    return true;
}

// --- Amounts ------------------------------------------------------------------

bool ReadPeriod(std::string_view text, Period& period) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    constexpr std::string_view kUnits = "ymwd";
    std::array<std::int64_t, 4> parts{};
    std::size_t nextUnit = 0;
    bool any = false;
    while (pos < text.size()) {
        int value = 0;
        if (!ReadNumber(text, pos, 0, value) || pos >= text.size()) {
            return false;
        }
        const std::size_t unit = kUnits.find(text[pos], nextUnit);
        if (unit == std::string_view::npos) {
            return false;
        }
        parts.at(unit) = negative ? -std::int64_t{value} : std::int64_t{value};
        nextUnit = unit + 1;
        ++pos;
        any = true;
    }
    if (!any) {
        return false;
    }
    period = {parts[0], parts[1], parts[2], parts[3]};
    return true;
}

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

Formatter::Formatter(std::string_view pattern, Calendar calendar, Digits digits)
    : calendar_(calendar), digits_(digits) {
    const bool shamsi = calendar == Calendar::kShamsi;
    const std::size_t monthName = shamsi ? LongestName(kIranianMonthNames) : LongestName(kMiladiMonthNames);
    const std::size_t weekdayName =
        shamsi ? LongestName(kPersianWeekdayNames) : LongestName(kEnglishWeekdayNames);

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
    const auto isPiece = [this](std::size_t index, Field field) { return pieces_[index].field == field; };
    if (digits == Digits::kAscii && pieces_.size() == 5 && isPiece(0, Field::kYear) &&
        isPiece(1, Field::kText) && isPiece(2, Field::kMonth) && isPiece(3, Field::kText) &&
        isPiece(4, Field::kDay) && (literals_ == "//" || literals_ == "--")) {
        plainNumeric_ = true;
        plainSeparator_ = literals_[0];
    }
}

char* Formatter::Write(char* out, const Date& shamsi) const {
    if (calendar_ == Calendar::kMiladi) {
        const year_month_day miladi = ToGregorian(shamsi);
        const int year = static_cast<int>(miladi.year());
        if (plainNumeric_ && year >= 1000 && year <= 9999) {
            return WritePlain(out, year, static_cast<int>(static_cast<unsigned>(miladi.month())),
                              static_cast<int>(static_cast<unsigned>(miladi.day())), plainSeparator_);
        }
        return Write(out, miladi);
    }
    if (plainNumeric_ && shamsi.year >= 1000 && shamsi.year <= 9999 && shamsi.month >= 1 &&
        shamsi.month <= 12 && shamsi.day >= 1 && shamsi.day <= 31) {
        return WritePlain(out, shamsi.year, shamsi.month, shamsi.day, plainSeparator_);
    }
    const unsigned weekday = SaturdayFirstIndex(Weekday(shamsi));
    return WriteFields(out, {shamsi.year, shamsi.month, shamsi.day, DayOfYear(shamsi), weekday});
}

char* Formatter::Write(char* out, const year_month_day& miladi) const {
    if (calendar_ == Calendar::kShamsi) {
        return Write(out, FromGregorian(miladi));
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
    return WriteFields(out, {year, month, day, dayOfYear, weekday});
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
                out = WriteName(
                    out, shamsi ? kIranianMonthNames.at(monthIndex) : kMiladiMonthNames.at(monthIndex));
                break;
            case Field::kWeekdayName:
                out = WriteName(out, shamsi ? kPersianWeekdayNames.at(fields.weekday % 7)
                                            : kEnglishWeekdayNames.at(fields.weekday % 7));
                break;
        }
    }
    return out;
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

}  // namespace Shamsi
