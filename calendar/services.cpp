#include "services.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#ifdef _WIN32
#include <charconv>
#include <system_error>
#else
#include <locale.h>  // newlocale (POSIX); strtod_l comes with <cstdlib>
#endif

namespace Runtime {

namespace {

constexpr char32_t kBlank = U' ';
constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsIgnoredInNumber(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n'; }

bool IsSign(char32_t c) { return c == U'+' || c == U'-'; }

bool IsExponentMark(char32_t c) { return c == U'e' || c == U'E'; }

// The number at the start of a text: sign, digits, one decimal point, an
// exponent (a mark, a sign, digits; kept only when it has digits). A plain
// integer is accumulated on the way, which saves the parse of its text.
struct ScannedNumber {
    bool hasDigits = false;    // a mantissa digit was seen
    bool plainInteger = true;  // no decimal point, no exponent, few enough digits
    bool negative = false;
    std::int64_t integer = 0;  // the magnitude, while plainInteger
    std::size_t consumed = 0;  // characters of the number, ignored ones included
};

constexpr int kMaxPlainIntegerDigits = 18;

// Scans from the start of the text. With skipIgnored, blanks, tabs and line
// feeds anywhere are passed over as if they were not there.
ScannedNumber ScanNumber(TextView text, bool skipIgnored) {
    ScannedNumber scanned;
    const auto skip = [&](std::size_t i) {
        while (skipIgnored && i < text.size() && IsIgnoredInNumber(text[i])) {
            ++i;
        }
        return i;
    };
    std::size_t i = skip(0);
    if (i < text.size() && IsSign(text[i])) {
        scanned.negative = text[i] == U'-';
        i = skip(i + 1);
    }
    bool seenPoint = false;
    int digits = 0;
    for (; i < text.size(); i = skip(i + 1)) {
        if (const auto digit = DigitValue(text[i])) {
            scanned.hasDigits = true;
            if (++digits <= kMaxPlainIntegerDigits) {
                scanned.integer = scanned.integer * 10 + *digit;
            } else {
                scanned.plainInteger = false;
            }
        } else if (text[i] == U'.' && !seenPoint) {
            seenPoint = true;
            scanned.plainInteger = false;
        } else {
            break;
        }
    }
    scanned.consumed = i;
    if (!scanned.hasDigits || i >= text.size() || !IsExponentMark(text[i])) {
        return scanned;
    }
    std::size_t j = skip(i + 1);
    if (j < text.size() && IsSign(text[j])) {
        j = skip(j + 1);
    }
    bool exponentHasDigits = false;
    for (; j < text.size() && DigitValue(text[j]); j = skip(j + 1)) {
        exponentHasDigits = true;
    }
    if (exponentHasDigits) {
        scanned.plainInteger = false;
        scanned.consumed = j;
    }
    return scanned;
}

// The scanned characters as std::from_chars and strtod read them: ASCII
// digits, no leading '+', no ignored characters.
std::string AsciiForm(TextView number) {
    std::string ascii;
    for (const char32_t c : number) {
        if (const auto digit = DigitValue(c)) {
            ascii += static_cast<char>('0' + *digit);
        } else if (IsExponentMark(c)) {
            ascii += 'e';
        } else if (c == U'-' || c == U'.' || (c == U'+' && !ascii.empty())) {
            ascii += static_cast<char>(c);
        }
    }
    return ascii;
}

#ifdef _WIN32
// The ASCII form of a number, correctly rounded; beyond the range of a
// double, infinity, or zero for a tiny number.
double ParseAscii(const std::string& s, bool negative) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const auto mark = s.find('e');
        const bool tiny = mark != std::string::npos && mark + 1 < s.size() && s[mark + 1] == '-';
        if (tiny) {
            return negative ? -0.0 : 0.0;
        }
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}
#else
// The same with the C library's strtod_l in the C locale, whatever locale
// the program runs in: correctly rounded as well, and infinity or zero
// beyond the range. std::from_chars for floating point would tie every
// program that links these services to libm (it asks for the rounding
// mode), one more library for the loader at each start of shamsi-date.
double ParseAscii(const std::string& s, bool /*negative*/) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return cLocale != nullptr ? strtod_l(s.c_str(), nullptr, cLocale) : std::strtod(s.c_str(), nullptr);
}
#endif

// The value of the number that ScanNumber found at the start of the text.
double ParseScanned(TextView text, const ScannedNumber& scanned) {
    if (!scanned.hasDigits) {
        return 0.0;
    }
    if (scanned.plainInteger) {
        const auto magnitude = static_cast<double>(scanned.integer);
        return scanned.negative ? -magnitude : magnitude;
    }
    return ParseAscii(AsciiForm(text.substr(0, scanned.consumed)), scanned.negative);
}

template <typename Int>
std::optional<Int> RealToInteger(double value) {
    // Anything this far out cannot round into range (and NaN compares false).
    constexpr double kLow = static_cast<double>(std::numeric_limits<Int>::min()) - 1.0;
    constexpr double kHigh = static_cast<double>(std::numeric_limits<Int>::max()) + 1.0;
    if (!(value > kLow && value < kHigh)) {
        return std::nullopt;
    }
    // In this range the cast is exact; it rounds towards zero, so step
    // down for negative values with a fraction.
    auto whole = static_cast<std::int64_t>(value);
    if (static_cast<double>(whole) > value) {
        --whole;
    }
    const double fraction = value - static_cast<double>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && whole % 2 != 0)) {
        ++whole;
    }
    if (whole < std::numeric_limits<Int>::min() || whole > std::numeric_limits<Int>::max()) {
        return std::nullopt;
    }
    return static_cast<Int>(whole);
}

constexpr int kNoDateField = -1;

// The position of the next '/' or '-' from `from` on; npos when there is none.
std::size_t FindDateSeparator(TextView text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == U'/' || text[i] == U'-') {
            return i;
        }
    }
    return TextView::npos;
}

// Reads the unsigned decimal field of a date text; kNoDateField when it is
// empty, holds a non-digit or is far too long to be a date field.
int ReadDateField(TextView field) {
    constexpr std::size_t kMaxFieldLength = 5;
    if (field.empty() || field.size() > kMaxFieldLength) {
        return kNoDateField;
    }
    int value = 0;
    for (const char32_t c : field) {
        const auto digit = DigitValue(c);
        if (!digit) {
            return kNoDateField;
        }
        value = value * 10 + *digit;
    }
    return value;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = kReplacementCharacter;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

// --- Dates ------------------------------------------------------------------

bool IsGregorianLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInGregorianMonth(int year, int month) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    if (month == 2 && IsGregorianLeapYear(year)) {
        return 29;
    }
    return kDays[static_cast<std::size_t>(month - 1)];
}

int Weekday(const Date& date) {
    // 1970-01-01 was a Thursday, weekday 5.
    const std::int64_t days = DaysFromCivil(date.year, date.month, date.day);
    return static_cast<int>(days - FloorDiv(days + 4, 7) * 7 + 4) + 1;
}

Text DateToText(const Date& date) {
    Text text;
    text.reserve(10);
    AppendDecimal(text, date.year);
    text += U'/';
    AppendDecimal(text, date.month, 2);
    text += U'/';
    AppendDecimal(text, date.day, 2);
    return text;
}

std::optional<Date> DateFromText(TextView text) {
    const TextView all = Trim(text);
    const std::size_t first = FindDateSeparator(all, 0);
    if (first == TextView::npos) {
        return std::nullopt;
    }
    const std::size_t second = FindDateSeparator(all, first + 1);
    if (second == TextView::npos) {
        return std::nullopt;
    }
    const int year = ReadDateField(all.substr(0, first));
    const int month = ReadDateField(all.substr(first + 1, second - first - 1));
    const int day = ReadDateField(all.substr(second + 1));
    // DaysInGregorianMonth is 0 for a month outside 1-12.
    if (year < 1 || year > std::numeric_limits<std::int16_t>::max() || day < 1 ||
        day > DaysInGregorianMonth(year, month)) {
        return std::nullopt;
    }
    return Date{year, month, day};
}

// --- Numbers ----------------------------------------------------------------

std::optional<int> DigitValue(char32_t c) {
    if (c >= U'0' && c <= U'9') {
        return static_cast<int>(c - U'0');
    }
    if (c >= 0x0660 && c <= 0x0669) {
        return static_cast<int>(c - 0x0660);
    }
    if (c >= 0x06F0 && c <= 0x06F9) {
        return static_cast<int>(c - 0x06F0);
    }
    return std::nullopt;
}

void AppendDecimal(Text& text, std::int64_t number, int minimumDigits) {
    // Magnitude as unsigned, so the most negative number is no special case.
    std::uint64_t rest =
        number < 0 ? ~static_cast<std::uint64_t>(number) + 1 : static_cast<std::uint64_t>(number);
    // Written backwards from the end of a buffer that holds any 64-bit
    // number with its sign and the widest zero padding asked for here.
    constexpr std::size_t kCapacity = 24;
    // Filled from the end; only the part written is read.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init)
    std::array<char32_t, kCapacity> buffer;
    std::size_t first = kCapacity;
    do {
        buffer[--first] = static_cast<char32_t>(U'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    const std::size_t width =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(minimumDigits, 1)), kCapacity - 1);
    while (kCapacity - first < width) {
        buffer[--first] = U'0';
    }
    if (number < 0) {
        buffer[--first] = U'-';
    }
    text.append(buffer.data() + first, kCapacity - first);
}

void AppendNumberText(Text& text, std::int64_t number) {
    if (number >= 0) {
        text += kBlank;
    }
    AppendDecimal(text, number);
}

Text NumberToText(std::int64_t number) {
    Text text;
    AppendNumberText(text, number);
    return text;
}

double TextToNumber(TextView text) { return ParseScanned(text, ScanNumber(text, true)); }

std::optional<std::int16_t> RealToInt16(double value) { return RealToInteger<std::int16_t>(value); }

std::optional<std::int32_t> RealToInt32(double value) { return RealToInteger<std::int32_t>(value); }

std::optional<std::int16_t> TextToInt16(TextView text) {
    const TextView trimmed = Trim(text);
    const ScannedNumber scanned = ScanNumber(trimmed, false);
    if (!scanned.hasDigits || scanned.consumed != trimmed.size()) {
        return std::nullopt;
    }
    return RealToInt16(ParseScanned(trimmed, scanned));
}

double WholePart(double value) { return std::floor(value); }

// --- Texts ------------------------------------------------------------------

TextView Trim(TextView text) {
    const std::size_t first = text.find_first_not_of(kBlank);
    if (first == TextView::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kBlank);
    return text.substr(first, last - first + 1);
}

TextView Left(TextView text, std::size_t count) { return text.substr(0, count); }

TextView Right(TextView text, std::size_t count) {
    return count >= text.size() ? text : text.substr(text.size() - count);
}

TextView Mid(TextView text, std::size_t start, std::size_t count) {
    if (start == 0 || start > text.size()) {
        return {};
    }
    return text.substr(start - 1, count);
}

std::size_t Length(TextView text) { return text.size(); }

Text Join(TextView left, TextView right) {
    Text joined(left);
    joined += right;
    return joined;
}

// --- Text encodings ---------------------------------------------------------

Text TextFromUtf8(std::string_view utf8) {
    Text text;
    text.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            c = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            c = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            c = lead & 0x07;
            minimum = 0x10000;
        } else {
            text += kReplacementCharacter;
            ++i;
            continue;
        }
        std::size_t k = 1;
        for (; k < length && i + k < utf8.size(); ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                break;
            }
            c = (c << 6) | (next & 0x3F);
        }
        const bool malformed = k < length || c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF);
        text += malformed ? kReplacementCharacter : c;
        i += malformed ? std::max<std::size_t>(k, 1) : length;
    }
    return text;
}

std::string Utf8FromText(TextView text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text) {
        AppendUtf8(out, c);
    }
    return out;
}

Text TextFromUtf16(std::u16string_view utf16) {
    Text text;
    text.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            text += static_cast<char32_t>(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                          (utf16[i + 1] - 0xDC00));
            ++i;
        } else {
            text += (high || low) ? kReplacementCharacter : static_cast<char32_t>(unit);
        }
    }
    return text;
}

std::u16string Utf16FromText(TextView text) {
    std::u16string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = kReplacementCharacter;
        }
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

}  // namespace Runtime
