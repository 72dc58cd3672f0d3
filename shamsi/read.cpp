// Reading dates, numbers and amounts (text.h).
#include "shamsi/text.h"

#include "digits.h"
#include "shamsi/names.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace Shamsi {

namespace {

using Digit::kArabicIndicFirst;
using Digit::kArabicIndicLead;
using Digit::kPersianFirst;
using Digit::kPersianLead;
using std::chrono::year_month_day;

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

// True when text[pos] begins a digit.
bool IsDigitAt(std::string_view text, std::size_t pos) { return ReadDigit(text, pos) >= 0; }

std::size_t BlanksAt(std::string_view text, std::size_t pos) {
    std::size_t count = 0;
    while (pos + count < text.size() && IsBlank(text[pos + count])) {
        ++count;
    }
    return count;
}

struct UsualFields {
    int year = 0;
    int month = 0;
    int day = 0;
};

// "YYYY/MM/DD", the usual form, in bytes.
constexpr std::size_t kUsualLength = 10;

// The usual "YYYY/MM/DD" (or with '-') in ASCII digits at the start of text,
// read in one go; text must have kUsualLength bytes at least. The first
// eight bytes are taken as one number, byte i in bits 8i to 8i + 7, and
// every digit is checked at once: a byte is an ASCII digit when it differs
// from '0' only in its low four bits and those are at most 9.
[[gnu::always_inline]] inline bool ReadUsualFields(std::string_view text, UsualFields& fields) {
    const auto byte = [text](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(text[i])}; };
    std::uint64_t head = 0;  // "YYYY/MM/"
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&head, text.data(), sizeof head);
    } else {
        for (std::size_t i = sizeof head; i-- > 0;) {
            head = head << 8U | byte(i);
        }
    }
    const std::uint64_t separator = (head >> 32U) & 0xFFU;
    if ((separator != '/' && separator != '-') || head >> 56U != separator) {
        return false;
    }
    constexpr std::uint64_t kZeros = 0x3030'3030'3030'3030;
    constexpr std::uint64_t kDigitBytes = 0x00FF'FF00'FFFF'FFFF;  // bytes 0-3, 5 and 6
    constexpr std::uint64_t kHighNibbles = 0xF0F0'F0F0'F0F0'F0F0;
    constexpr std::uint64_t kSixes = 0x0606'0606'0606'0606;
    constexpr std::uint64_t kSixteens = 0x1010'1010'1010'1010;
    const std::uint64_t values = head ^ kZeros;
    const unsigned d0 = static_cast<unsigned>(byte(8)) - '0';
    const unsigned d1 = static_cast<unsigned>(byte(9)) - '0';
    if ((((values & kHighNibbles) | ((values + kSixes) & kSixteens)) & kDigitBytes) != 0 || d0 > 9 ||
        d1 > 9) {
        return false;
    }
    // Each byte times ten plus the next: bytes 0, 2 and 5 are then the
    // two-digit numbers "YY", "YY" and "MM" (at most 99, so no byte carries).
    const std::uint64_t digits = values & kDigitBytes;
    const std::uint64_t pairs = digits * 10 + (digits >> 8U);
    const auto pair = [pairs](unsigned i) { return static_cast<int>((pairs >> (8 * i)) & 0xFFU); };
    fields.year = pair(0) * 100 + pair(2);
    fields.month = pair(5);
    fields.day = static_cast<int>(d0 * 10 + d1);
    return true;
}

}  // namespace

// --- Reading ------------------------------------------------------------------

std::string_view Describe(ReadError error, Calendar calendar) {
    switch (error) {
        case ReadError::kNone:
            return "no error";
        case ReadError::kUnreadable:
            return "not a date of the form Y/M/D, D MONTH Y or MONTH D, Y";
        case ReadError::kNotADate:
            return calendar == Calendar::kShamsi ? "not a day of the Shamsi calendar"
                                                 : "not a day of the Miladi calendar";
        case ReadError::kOutOfRange:
            return calendar == Calendar::kShamsi ? "outside the Shamsi years 1-9999"
                                                 : "outside 0622/03/21-10621/03/19 (the Shamsi years 1-9999)";
        case ReadError::kWrongWeekday:
            return "the weekday is not that date's";
    }
    return "unknown error";
}

bool ReadPlainDay(std::string_view text, Calendar calendar, std::chrono::sys_days& day) {
    UsualFields fields;
    if (text.size() != kUsualLength || !ReadUsualFields(text, fields)) {
        return false;
    }
    if (calendar == Calendar::kShamsi) {
        const Date date{fields.year, fields.month, fields.day};
        if (!date.IsValid()) {
            return false;
        }
        day = ToSysDays(date);
        return true;
    }
    const auto month = static_cast<unsigned>(fields.month);
    const auto dayOfMonth = static_cast<unsigned>(fields.day);
    if (month < 1 || month > 12 || dayOfMonth < 1 ||
        dayOfMonth > Detail::MiladiDaysInMonth(fields.year, month)) {
        return false;
    }
    day = std::chrono::sys_days{std::chrono::days{Detail::DaysFromCivil(fields.year, month, dayOfMonth)}};
    return InRange(day);
}

std::size_t NameLength(std::string_view text, std::string_view name) {
    constexpr std::string_view kHalfSpace = "\u200c";
    constexpr std::string_view kYeh = "ی";
    constexpr std::string_view kKeheh = "ک";
    constexpr std::array<std::string_view, 2> kOtherYehs = {"ي", "ى"};
    constexpr std::string_view kArabicKaf = "ك";
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    // Most names are told apart by their first letter.
    if (name.empty() || text.empty()) {
        return 0;
    }
    if (!name.starts_with(kYeh) && !name.starts_with(kKeheh)) {
        const bool ascii = static_cast<unsigned char>(name[0]) < 0x80;
        if (ascii ? lower(text[0]) != lower(name[0]) : text.substr(0, 2) != name.substr(0, 2)) {
            return 0;
        }
    }
    const auto at = [text](std::size_t pos, std::string_view what) {
        return text.substr(pos, what.size()) == what;
    };
    std::size_t t = 0;
    std::size_t n = 0;
    while (n < name.size()) {
        const std::string_view rest = name.substr(n);
        if (rest.starts_with(kHalfSpace)) {
            n += kHalfSpace.size();
            t += at(t, kHalfSpace) ? kHalfSpace.size() : BlanksAt(text, t);
            continue;
        }
        if (n > 0 && at(t, kHalfSpace)) {
            t += kHalfSpace.size();
            continue;
        }
        if (rest.starts_with(kYeh) && (at(t, kOtherYehs[0]) || at(t, kOtherYehs[1]))) {
            n += kYeh.size();
            t += kOtherYehs[0].size();
            continue;
        }
        if (rest.starts_with(kKeheh) && at(t, kArabicKaf)) {
            n += kKeheh.size();
            t += kArabicKaf.size();
            continue;
        }
        if (t >= text.size()) {
            return 0;
        }
        if (lower(text[t]) != lower(name[n])) {
            return 0;
        }
        ++t;
        ++n;
    }
    return t;
}

// The fields of a date as a form gave them; -1 for those it did not have.
struct Reader::Fields {
    int year = -1;  // saturated at kYearCeiling + 1
    int yearOfCentury = -1;
    int month = -1;
    int monthName = -1;
    int day = -1;
    int dayOfYear = -1;
    int weekday = -1;  // 0 for Saturday
};

// One attempt to read a text in the forms of a reader: each piece takes what
// it can at the current place and hands the rest on; a number or name that
// can be read in more than one way is tried each way in turn.
class Reader::Match {
public:
    Match(const Reader& reader, std::string_view text, bool whole)
        : reader_(reader), text_(text), whole_(whole) {}

    // Reads from pos with the pieces from index piece on.
    bool From(std::size_t piece, std::size_t pos, const Fields& fields) {
        const Piece& current = reader_.pieces_[piece];
        switch (current.part) {
            case Part::kEnd:
                return End(pos, fields);
            case Part::kLiteral: {
                const std::string_view literal =
                    std::string_view(reader_.literals_).substr(current.start, current.length);
                return text_.substr(pos, literal.size()) == literal &&
                       From(piece + 1, pos + literal.size(), fields);
            }
            case Part::kBlanks: {
                const std::size_t blanks = BlanksAt(text_, pos);
                return blanks > 0 && From(piece + 1, pos + blanks, fields);
            }
            case Part::kWeekdayBefore:
                return (!IsDigitAt(text_, pos) && WeekdayBefore(piece, pos, fields)) ||
                       From(piece + 1, pos, fields);
            case Part::kWeekdayName:
                return Names(piece, pos, fields, &Fields::weekday);
            case Part::kMonthName:
                return Names(piece, pos, fields, &Fields::monthName);
            case Part::kYear:
            case Part::kYearOfCentury:
            case Part::kMonth:
            case Part::kDay:
            case Part::kDayOfYear:
                return Number(piece, pos, fields);
        }
        return false;
    }

    [[nodiscard]] const Fields& Found() const { return found_; }
    [[nodiscard]] std::size_t End() const { return end_; }

private:
    bool End(std::size_t pos, const Fields& fields) {
        if (whole_ ? pos + BlanksAt(text_, pos) != text_.size() : IsDigitAt(text_, pos)) {
            return false;
        }
        found_ = fields;
        end_ = pos;
        return true;
    }

    // The names a piece reads, in the order they are tried, each with the
    // value it gives (a month 1-12, a weekday 0-6), handed to each in turn
    // until it returns true.
    template <typename Try>
    bool EachName(Part part, Try&& attempt) const {
        const bool shamsi = reader_.calendar_ == Calendar::kShamsi;
        // An empty name (a month without another Latin spelling) is never
        // tried.
        const auto named = [&](std::string_view name, int value) {
            return !name.empty() && attempt(name, value);
        };
        if (part == Part::kMonthName) {
            for (std::size_t i = 0; i < kMonthsInYear; ++i) {
                const int month = static_cast<int>(i) + 1;
                if (shamsi
                        ? named(kIranianMonthNames.at(i), month) || named(kAfghanMonthNames.at(i), month) ||
                              named(kEnglishMonthNames.at(i), month) ||
                              named(kEnglishMonthOtherNames.at(i), month)
                        : named(kMiladiMonthNames.at(i), month) ||
                              named(kMiladiMonthNames.at(i).substr(0, 3), month)) {
                    return true;
                }
            }
            return false;
        }
        for (std::size_t i = 0; i < kPersianWeekdayNames.size(); ++i) {
            const int weekday = static_cast<int>(i);
            if ((shamsi && named(kPersianWeekdayNames.at(i), weekday)) ||
                named(kEnglishWeekdayNames.at(i), weekday) ||
                named(kEnglishWeekdayNames.at(i).substr(0, 3), weekday)) {
                return true;
            }
        }
        return false;
    }

    bool Names(std::size_t piece, std::size_t pos, const Fields& fields, int Fields::*field) {
        return EachName(reader_.pieces_[piece].part, [&](std::string_view name, int value) {
            const std::size_t length = NameLength(text_.substr(pos), name);
            if (length == 0) {
                return false;
            }
            Fields next = fields;
            next.*field = value;
            return From(piece + 1, pos + length, next);
        });
    }

    // A weekday name, then a comma ("," or "،") and blanks, or one of them.
    bool WeekdayBefore(std::size_t piece, std::size_t pos, const Fields& fields) {
        constexpr std::string_view kPersianComma = "،";
        return EachName(Part::kWeekdayName, [&](std::string_view name, int value) {
            const std::size_t length = NameLength(text_.substr(pos), name);
            if (length == 0) {
                return false;
            }
            std::size_t after = pos + length;
            std::size_t comma = 0;
            if (text_.substr(after, 1) == ",") {
                comma = 1;
            } else if (text_.substr(after, kPersianComma.size()) == kPersianComma) {
                comma = kPersianComma.size();
            }
            after += comma;
            const std::size_t blanks = BlanksAt(text_, after);
            if (comma == 0 && blanks == 0) {
                return false;
            }
            Fields next = fields;
            next.weekday = value;
            return From(piece + 1, after + blanks, next);
        });
    }

    bool Number(std::size_t piece, std::size_t pos, const Fields& fields) {
        const Part part = reader_.pieces_[piece].part;
        // A year of more digits than kTried is read whole or not at all.
        constexpr std::size_t kTried = 12;
        std::size_t most = 2;
        if (part == Part::kYear) {
            most = kLongestDateText;
        } else if (part == Part::kDayOfYear) {
            most = 3;
        }
        // ends[k] and values[k]: after k + 1 digits.
        std::array<std::size_t, kTried> ends{};
        std::array<int, kTried> values{};
        std::size_t count = 0;
        int value = 0;
        for (std::size_t at = pos; count < most; ++count) {
            const int digit = ReadDigit(text_, at);
            if (digit < 0) {
                break;
            }
            value = value > kYearCeiling ? value : value * 10 + digit;
            ends.at(std::min(count, kTried - 1)) = at;
            values.at(std::min(count, kTried - 1)) = value;
        }
        if (count > kTried) {
            count = kTried;  // the last entry holds the whole run
        }
        const auto attempt = [&](std::size_t digits) {
            Fields next = fields;
            const int read = values.at(digits - 1);
            switch (part) {
                case Part::kYear:
                    next.year = read;
                    break;
                case Part::kYearOfCentury:
                    next.yearOfCentury = read;
                    break;
                case Part::kMonth:
                    next.month = read;
                    break;
                case Part::kDay:
                    next.day = read;
                    break;
                default:
                    next.dayOfYear = read;
                    break;
            }
            return From(piece + 1, ends.at(digits - 1), next);
        };
        if (part == Part::kYearOfCentury) {
            return count == 2 && attempt(2);
        }
        // A year is written with four digits at least: those lengths come
        // first, for a year right before another number ("%Y%m%d").
        const std::size_t longFrom = part == Part::kYear ? 4 : 1;
        for (std::size_t digits = longFrom; digits <= count; ++digits) {
            const std::size_t tried = part == Part::kYear ? digits : count + longFrom - digits;
            if (attempt(tried)) {
                return true;
            }
        }
        for (std::size_t digits = std::min(count, longFrom - 1); digits >= 1; --digits) {
            if (attempt(digits)) {
                return true;
            }
        }
        return false;
    }

    const Reader& reader_;
    std::string_view text_;
    bool whole_;
    Fields found_;
    std::size_t end_ = 0;
};

Reader::Reader(Calendar calendar) : calendar_(calendar), usual_(true) {
    constexpr std::array<std::string_view, 5> kUsualForms = {"%Y/%m/%d", "%Y-%m-%d", "%d %B %Y", "%B %d, %Y",
                                                             "%B %d %Y"};
    for (const std::string_view form : kUsualForms) {
        pieces_.push_back({Part::kWeekdayBefore, 0, 0});
        AddForm(form);
    }
}

Reader::Reader(std::string_view pattern, Calendar calendar) : calendar_(calendar), usual_(false) {
    if (pattern.size() > kLongestDateText) {
        error_ = "longer than " + std::to_string(kLongestDateText) + " bytes";
        return;
    }
    AddForm(pattern);
    if (!error_.empty()) {
        pieces_.clear();
    }
}

void Reader::AddForm(std::string_view pattern) {
    std::string seen;  // the fields read so far, one letter each
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (IsBlank(pattern[i])) {
            if (pieces_.empty() || pieces_.back().part != Part::kBlanks) {
                pieces_.push_back({Part::kBlanks, 0, 0});
            }
            continue;
        }
        std::string_view directive;
        if (pattern[i] == '%') {
            directive = pattern.substr(i + 1, pattern.substr(i + 1, 1) == "-" ? 2 : 1);
            i += directive.size();
        }
        if ((pattern[i] != '%' && directive.empty()) || directive == "%") {
            if (!pieces_.empty() && pieces_.back().part == Part::kLiteral) {
                ++pieces_.back().length;
            } else {
                pieces_.push_back({Part::kLiteral, literals_.size(), 1});
            }
            literals_ += pattern[i];
            continue;
        }
        Part part = Part::kEnd;
        const char field = directive.back();
        if (directive == "Y") {
            part = Part::kYear;
        } else if (directive == "y") {
            part = Part::kYearOfCentury;
        } else if (directive == "m" || directive == "-m") {
            part = Part::kMonth;
        } else if (directive == "d" || directive == "-d") {
            part = Part::kDay;
        } else if (directive == "j") {
            part = Part::kDayOfYear;
        } else if (directive == "B") {
            part = Part::kMonthName;
        } else if (directive == "A") {
            part = Part::kWeekdayName;
        } else {
            error_ = directive.empty() ? std::string("a lone % at the end")
                                       : std::string("unknown field %").append(directive);
            return;
        }
        if (seen.find(field) != std::string::npos) {
            std::string twice(1, '%');
            twice.append(directive).append(" comes twice");
            error_ = std::move(twice);
            return;
        }
        seen += field;
        pieces_.push_back({part, 0, 0});
    }
    pieces_.push_back({Part::kEnd, 0, 0});
    if (seen.find('Y') == std::string::npos) {
        error_ = "no year (%Y)";
    } else if (seen.find('m') == std::string::npos && seen.find('B') == std::string::npos) {
        error_ = "no month (%m, %-m or %B)";
    } else if (seen.find('d') == std::string::npos) {
        error_ = "no day (%d or %-d)";
    }
}

ReadError Reader::Check(const Fields& fields, std::chrono::sys_days& day) const {
    const int month = fields.month >= 0 ? fields.month : fields.monthName;
    if (fields.month >= 0 && fields.monthName >= 0 && fields.month != fields.monthName) {
        return ReadError::kNotADate;
    }
    std::chrono::sys_days read{};
    int dayOfYear = 0;  // only when the form has %j
    if (calendar_ == Calendar::kShamsi) {
        if (fields.year < kFirstYear || fields.year > kLastYear) {
            return ReadError::kOutOfRange;
        }
        const Date date{fields.year, month, fields.day};
        if (!date.IsValid()) {
            return ReadError::kNotADate;
        }
        read = ToSysDays(date);
        dayOfYear = fields.dayOfYear >= 0 ? DayOfYear(date) : 0;
    } else {
        // Years beyond what std::chrono::year holds lie far outside the range.
        constexpr int kLastChronoYear = 32767;
        if (fields.year > kLastChronoYear) {
            return month >= 1 && month <= 12 && fields.day >= 1 && fields.day <= 31 ? ReadError::kOutOfRange
                                                                                    : ReadError::kNotADate;
        }
        const year_month_day date{std::chrono::year{fields.year},
                                  std::chrono::month{static_cast<unsigned>(month)},
                                  std::chrono::day{static_cast<unsigned>(fields.day)}};
        if (!date.ok()) {
            return ReadError::kNotADate;
        }
        read = std::chrono::sys_days{date};
        if (!InRange(read)) {
            return ReadError::kOutOfRange;
        }
        if (fields.dayOfYear >= 0) {
            const std::chrono::sys_days newYear{date.year() / std::chrono::January / 1};
            dayOfYear = static_cast<int>((read - newYear).count()) + 1;
        }
    }
    if ((fields.yearOfCentury >= 0 && fields.yearOfCentury != fields.year % 100) ||
        (fields.dayOfYear >= 0 && fields.dayOfYear != dayOfYear)) {
        return ReadError::kNotADate;
    }
    if (fields.weekday >= 0 &&
        static_cast<unsigned>(fields.weekday) != SaturdayFirstIndex(std::chrono::weekday{read})) {
        return ReadError::kWrongWeekday;
    }
    day = read;
    return ReadError::kNone;
}

ReadError Reader::Read(std::string_view text, std::chrono::sys_days& day) const {
    std::size_t end = 0;
    return Read(text, day, end, true);
}

ReadError Reader::Read(std::string_view text, std::chrono::sys_days& day, std::size_t& end) const {
    return Read(text, day, end, false);
}

ReadError Reader::Read(std::string_view text, std::chrono::sys_days& day, std::size_t& end,
                       bool whole) const {
    if (usual_ && text.size() >= kUsualLength &&
        (whole ? text.size() == kUsualLength : !IsDigitAt(text, kUsualLength))) {
        UsualFields usual;
        if (ReadUsualFields(text, usual)) {
            Fields fields;
            fields.year = usual.year;
            fields.month = usual.month;
            fields.day = usual.day;
            end = kUsualLength;
            return Check(fields, day);
        }
    }
    if (text.size() > kLongestDateText || pieces_.empty()) {
        return ReadError::kUnreadable;
    }
    const std::size_t start = BlanksAt(text, 0);
    for (std::size_t form = 0; form < pieces_.size(); ++form) {
        Match match(*this, text, whole);
        if (match.From(form, start, Fields{})) {
            end = match.End();
            return Check(match.Found(), day);
        }
        while (pieces_[form].part != Part::kEnd) {
            ++form;
        }
    }
    return ReadError::kUnreadable;
}

ReadError ReadShamsi(std::string_view text, Date& date) {
    static const Reader reader(Calendar::kShamsi);
    std::chrono::sys_days day{};
    const ReadError error = reader.Read(text, day);
    if (error == ReadError::kNone) {
        date = FromSysDays(day);
    }
    return error;
}

ReadError ReadMiladi(std::string_view text, year_month_day& date) {
    static const Reader reader(Calendar::kMiladi);
    std::chrono::sys_days day{};
    const ReadError error = reader.Read(text, day);
    if (error == ReadError::kNone) {
        date = Detail::CivilFromDays(day.time_since_epoch().count());
    }
    return error;
}

namespace {

// A run of one or more digits at pos, advancing pos past it; the value is
// held at 100,000,000 once past 99,999,999.
bool ReadDigitRun(std::string_view text, std::size_t& pos, int& value) {
    constexpr int kCeiling = 100'000'000;
    std::size_t count = 0;
    value = 0;
    for (int digit = ReadDigit(text, pos); digit >= 0; digit = ReadDigit(text, pos)) {
        ++count;
        value = std::min(kCeiling, value * 10 + digit);
    }
    return count > 0;
}

}  // namespace

bool ReadNumber(std::string_view text, int& value) {
    std::size_t pos = 0;
    int read = 0;
    if (!ReadDigitRun(text, pos, read) || pos != text.size()) {
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
        if (!ReadDigitRun(text, pos, value) || pos >= text.size()) {
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

}  // namespace Shamsi
