#include "services.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace Runtime {

namespace {

constexpr char32_t kBlank = U' ';
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Floor division and remainder, for day arithmetic before the epoch.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

bool IsIgnoredInNumber(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n'; }

bool IsSign(char32_t c) { return c == U'+' || c == U'-'; }

bool IsExponentMark(char32_t c) { return c == U'e' || c == U'E'; }

// The longest prefix of `chars` that is a number: sign, digits, one decimal
// point, an exponent (a mark, a sign, digits; kept only when it has digits).
// Digits are normalised to ASCII so std::from_chars can read the result.
struct ScannedNumber {
    std::string ascii;       // what std::from_chars reads, without a leading '+'
    bool hasDigits = false;  // a mantissa digit was seen
    std::size_t consumed = 0;
};

ScannedNumber ScanNumber(const Text& chars) {
    ScannedNumber scanned;
    std::size_t i = 0;
    if (i < chars.size() && IsSign(chars[i])) {
        if (chars[i] == U'-') {
            scanned.ascii += '-';
        }
        ++i;
    }
    bool seenPoint = false;
    for (; i < chars.size(); ++i) {
        if (const auto digit = DigitValue(chars[i])) {
            scanned.ascii += static_cast<char>('0' + *digit);
            scanned.hasDigits = true;
        } else if (chars[i] == U'.' && !seenPoint) {
            scanned.ascii += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    scanned.consumed = i;
    if (!scanned.hasDigits || i >= chars.size() || !IsExponentMark(chars[i])) {
        return scanned;
    }
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (j < chars.size() && IsSign(chars[j])) {
        exponent += static_cast<char>(chars[j]);
        ++j;
    }
    bool exponentHasDigits = false;
    for (; j < chars.size(); ++j) {
        const auto digit = DigitValue(chars[j]);
        if (!digit) {
            break;
        }
        exponent += static_cast<char>('0' + *digit);
        exponentHasDigits = true;
    }
    if (exponentHasDigits) {
        scanned.ascii += exponent;
        scanned.consumed = j;
    }
    return scanned;
}

// Reads the ASCII number that ScanNumber produced.
double ParseScanned(const ScannedNumber& scanned) {
    if (!scanned.hasDigits) {
        return 0.0;
    }
    const std::string& s = scanned.ascii;
    double value = 0.0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const bool negative = !s.empty() && s.front() == '-';
        const auto mark = s.find('e');
        const bool tiny = mark != std::string::npos && mark + 1 < s.size() && s[mark + 1] == '-';
        if (tiny) {
            return negative ? -0.0 : 0.0;
        }
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}

template <typename Int>
std::optional<Int> RealToInteger(double value) {
    if (std::isnan(value)) {
        return std::nullopt;
    }
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    if (whole < static_cast<double>(std::numeric_limits<Int>::min()) ||
        whole > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(whole);
}

// Reads the unsigned decimal field of a date text; nothing when it is empty,
// holds a non-digit or is far too long to be a date field.
std::optional<int> ReadDateField(TextView field) {
    constexpr std::size_t kMaxFieldLength = 5;
    if (field.empty() || field.size() > kMaxFieldLength) {
        return std::nullopt;
    }
    int value = 0;
    for (const char32_t c : field) {
        const auto digit = DigitValue(c);
        if (!digit) {
            return std::nullopt;
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

std::int64_t DaysFromCivil(int year, int month, int day) {
    // Counts from 1 March so that February, with its leap day, ends the year.
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t monthFromMarch = (month + 9) % 12;
    const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int Weekday(const Date& date) {
    // 1970-01-01 was a Thursday, weekday 5.
    const std::int64_t days = DaysFromCivil(date.year, date.month, date.day);
    return static_cast<int>(days - FloorDiv(days + 4, 7) * 7 + 4) + 1;
}

Text DateToText(const Date& date) {
    const auto twoDigits = [](int n) {
        Text t = Trim(NumberToText(n));
        return t.size() < 2 ? U"0" + t : t;
    };
    return Trim(NumberToText(date.year)) + U"/" + twoDigits(date.month) + U"/" + twoDigits(date.day);
}

std::optional<Date> DateFromText(TextView text) {
    const Text trimmed = Trim(text);
    const std::size_t first = trimmed.find_first_of(U"/-");
    if (first == Text::npos) {
        return std::nullopt;
    }
    const std::size_t second = trimmed.find_first_of(U"/-", first + 1);
    if (second == Text::npos) {
        return std::nullopt;
    }
    const TextView all(trimmed);
    const auto year = ReadDateField(all.substr(0, first));
    const auto month = ReadDateField(all.substr(first + 1, second - first - 1));
    const auto day = ReadDateField(all.substr(second + 1));
    if (!year || !month || !day) {
        return std::nullopt;
    }
    if (*year < 1 || *year > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    if (*day < 1 || *day > DaysInGregorianMonth(*year, *month)) {
        return std::nullopt;
    }
    return Date{*year, *month, *day};
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

Text NumberToText(std::int64_t number) {
    const std::string digits = std::to_string(number);
    Text text = number >= 0 ? Text(1, kBlank) : Text();
    text.append(digits.begin(), digits.end());
    return text;
}

double TextToNumber(TextView text) {
    Text chars;
    chars.reserve(text.size());
    for (const char32_t c : text) {
        if (!IsIgnoredInNumber(c)) {
            chars += c;
        }
    }
    return ParseScanned(ScanNumber(chars));
}

std::optional<std::int16_t> RealToInt16(double value) { return RealToInteger<std::int16_t>(value); }

std::optional<std::int32_t> RealToInt32(double value) { return RealToInteger<std::int32_t>(value); }

std::optional<std::int16_t> TextToInt16(TextView text) {
    const Text trimmed = Trim(text);
    const ScannedNumber scanned = ScanNumber(trimmed);
    if (!scanned.hasDigits || scanned.consumed != trimmed.size()) {
        return std::nullopt;
    }
    return RealToInt16(ParseScanned(scanned));
}

double WholePart(double value) { return std::floor(value); }

// --- Texts ------------------------------------------------------------------

Text Trim(TextView text) {
    const std::size_t first = text.find_first_not_of(kBlank);
    if (first == TextView::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kBlank);
    return Text(text.substr(first, last - first + 1));
}

Text Left(TextView text, std::size_t count) { return Text(text.substr(0, count)); }

Text Right(TextView text, std::size_t count) {
    return count >= text.size() ? Text(text) : Text(text.substr(text.size() - count));
}

Text Mid(TextView text, std::size_t start, std::size_t count) {
    if (start == 0 || start > text.size()) {
        return {};
    }
    return Text(text.substr(start - 1, count));
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

}  // namespace Runtime
