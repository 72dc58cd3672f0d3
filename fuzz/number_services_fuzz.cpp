// The number-reading services, and the text and date services next to
// them, on any input.
//
// The input is read three ways at once: as text (TextToNumber, TextToInt16,
// DateFromText, Trim, Left, Right, Mid), as raw bytes at the UTF-8 boundary,
// and its first and last eight bytes as a double and as a 64-bit integer
// (RealToInt16, RealToInt32, NumberToText, AppendDecimal).
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"

namespace {

using Fuzz::Text;

constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kExtendedArabicIndicZero = 0x06F0;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The whole text as one number in ASCII for std::strtod: an optional sign,
// digits of any script with at most one decimal point, then optionally an
// exponent mark, an optional sign and digits. Nothing when the text is
// anything else.
std::optional<std::string> WholeNumberInAscii(const Text& text) {
    std::string ascii;
    std::size_t i = 0;
    const auto digits = [&] {
        bool any = false;
        for (; i < text.size(); ++i) {
            const auto digit = Fuzz::AnyDigit(text[i]);
            if (!digit) {
                break;
            }
            ascii += static_cast<char>('0' + *digit);
            any = true;
        }
        return any;
    };
    const auto sign = [&] {
        if (i < text.size() && (text[i] == U'+' || text[i] == U'-')) {
            ascii += static_cast<char>(text[i]);
            ++i;
        }
    };
    sign();
    bool mantissa = digits();
    if (i < text.size() && text[i] == U'.') {
        ascii += '.';
        ++i;
        mantissa = digits() || mantissa;
    }
    if (!mantissa) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == U'e' || text[i] == U'E')) {
        ascii += 'e';
        ++i;
        sign();
        if (!digits()) {
            return std::nullopt;
        }
    }
    return i == text.size() ? std::optional<std::string>(ascii) : std::nullopt;
}

// Round to nearest with ties to the even neighbour is the floating-point
// environment's default, so std::nearbyint is the reference.
template <typename Int>
std::optional<Int> Rounded(double value) {
    if (std::isnan(value)) {
        return std::nullopt;
    }
    const double nearest = std::nearbyint(value);
    if (nearest < static_cast<double>(std::numeric_limits<Int>::min()) ||
        nearest > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(nearest);
}

Text Without(const Text& text, std::u32string_view characters) {
    Text out;
    for (const char32_t c : text) {
        if (characters.find(c) == std::u32string_view::npos) {
            out += c;
        }
    }
    return out;
}

Text InExtendedArabicIndicDigits(Text text) {
    for (char32_t& c : text) {
        if (const auto digit = Fuzz::AnyDigit(c)) {
            c = kExtendedArabicIndicZero + static_cast<char32_t>(*digit);
        }
    }
    return text;
}

void CheckTextToNumber(const Fuzz::Checker& check, const Text& text) {
    const double number = Runtime::TextToNumber(text);
    check.Require(!std::isnan(number), "TextToNumber never gives NaN");
    check.Require(Runtime::TextToNumber(text + U"x") == number,
                  "TextToNumber stops at a character that cannot continue a number");
    const Text stripped = Without(text, U" \t\n");
    check.Require(Runtime::TextToNumber(stripped) == number,
                  "TextToNumber ignores blanks, tabs and line feeds anywhere");
    check.Require(Runtime::TextToNumber(InExtendedArabicIndicDigits(text)) == number,
                  "TextToNumber reads Persian digits as it reads any other");
    if (const auto ascii = WholeNumberInAscii(stripped)) {
        const double expected = std::strtod(ascii->c_str(), nullptr);
        check.Require(number == expected, "TextToNumber of one whole number is that number",
                      Fuzz::FromAscii(std::to_string(number)));
    }
}

void CheckTextToInt16(const Fuzz::Checker& check, const Text& text) {
    const auto got = Runtime::TextToInt16(text);
    const auto ascii = WholeNumberInAscii(Fuzz::WithoutOuterBlanks(text));
    if (!ascii) {
        check.Require(!got.has_value(), "TextToInt16 gives nothing for a text that is not one number");
        return;
    }
    check.Require(got == Rounded<std::int16_t>(std::strtod(ascii->c_str(), nullptr)),
                  "TextToInt16 gives the number, rounded half to even, or nothing beyond 16 bits");
    if (got) {
        check.Require(Runtime::RealToInt16(Runtime::TextToNumber(text)) == got,
                      "TextToInt16 agrees with RealToInt16 of TextToNumber");
    }
}

void CheckRounding(const Fuzz::Checker& check, double value) {
    check.Require(Runtime::RealToInt16(value) == Rounded<std::int16_t>(value),
                  "RealToInt16 rounds half to even and refuses what is beyond 16 bits or NaN");
    check.Require(Runtime::RealToInt32(value) == Rounded<std::int32_t>(value),
                  "RealToInt32 rounds half to even and refuses what is beyond 32 bits or NaN");
    // From 2^52 on every double is whole.
    constexpr double kAllWhole = 4503599627370496.0;
    const double whole = Runtime::WholePart(value);
    if (std::isnan(value)) {
        check.Require(std::isnan(whole), "WholePart keeps NaN");
    } else if (std::fabs(value) >= kAllWhole) {
        check.Require(whole == value, "WholePart keeps a value that is whole already");
    } else {
        check.Require(whole == std::trunc(whole) && whole <= value && value < whole + 1,
                      "WholePart is the greatest whole number not above the value");
    }
}

void CheckNumberToText(const Fuzz::Checker& check, std::int64_t number) {
    const Text text = Runtime::NumberToText(number);
    check.Require(!text.empty() && (text.front() == U' ') == (number >= 0),
                  "NumberToText puts a blank before a non-negative number only", text);
    check.Require(Runtime::TextToNumber(text) == static_cast<double>(number), "NumberToText reads back",
                  text);
    if (number >= std::numeric_limits<std::int16_t>::min() &&
        number <= std::numeric_limits<std::int16_t>::max()) {
        check.Require(Runtime::TextToInt16(text) == static_cast<std::int16_t>(number),
                      "NumberToText of a 16-bit value reads back through TextToInt16", text);
    }
}

// Widths up to 20 cover every 64-bit number and some zero padding too.
void CheckDecimal(const Fuzz::Checker& check, std::int64_t number, int minimumDigits) {
    Text text = U"x";
    Runtime::AppendDecimal(text, number, minimumDigits);
    std::string digits = std::to_string(number);
    const bool negative = digits.front() == '-';
    if (negative) {
        digits.erase(0, 1);
    }
    if (digits.size() < static_cast<std::size_t>(minimumDigits)) {
        digits.insert(0, static_cast<std::size_t>(minimumDigits) - digits.size(), '0');
    }
    check.Require(text == U"x" + Fuzz::FromAscii((negative ? "-" : "") + digits),
                  "AppendDecimal appends the sign, zeros up to the width, then the digits", text);
}

void CheckTextOperations(const Fuzz::Checker& check, const Text& text, std::size_t count) {
    const std::size_t n = text.size();
    const Text left(Runtime::Left(text, count));
    const Text right(Runtime::Right(text, count));
    check.Require(left.size() == std::min(count, n) && text.compare(0, left.size(), left) == 0,
                  "Left gives the first characters, fewer when the text is shorter", left);
    check.Require(
        right.size() == std::min(count, n) && text.compare(n - right.size(), right.size(), right) == 0,
        "Right gives the last characters, fewer when the text is shorter", right);
    check.Require(Text(Runtime::Trim(text)) == Fuzz::WithoutOuterBlanks(text),
                  "Trim removes the outer blanks only");
    check.Require(Runtime::Mid(text, 0, count).empty() && Runtime::Mid(text, n + 1, count).empty(),
                  "Mid is empty for start 0 and for a start past the end");
    const std::size_t start = n == 0 ? 1 : count % n + 1;
    if (start <= n) {
        const Text rest(Runtime::Mid(text, start, std::numeric_limits<std::size_t>::max()));
        check.Require(Text(Runtime::Left(text, start - 1)) + rest == text, "Mid from a start takes the rest",
                      rest);
        const Text mid(Runtime::Mid(text, start, count));
        check.Require(mid.size() == std::min(count, rest.size()) && rest.compare(0, mid.size(), mid) == 0,
                      "Mid takes count characters from the start, fewer when the text ends first", mid);
    }
}

void CheckDateText(const Fuzz::Checker& check, const Text& text) {
    const auto date = Runtime::DateFromText(text);
    if (!date) {
        return;
    }
    check.Require(date->year >= 1 && date->year <= std::numeric_limits<std::int16_t>::max() &&
                      date->day >= 1 && date->day <= Runtime::DaysInGregorianMonth(date->year, date->month),
                  "DateFromText reads real dates of years 1-32767 only");
    const Text written = Runtime::DateToText(*date);
    check.Require(Runtime::DateFromText(written) == date, "DateToText reads back as the same date", written);
    const int weekday = Runtime::Weekday(*date);
    check.Require(weekday >= 1 && weekday <= 7, "Weekday is 1 to 7");
}

void CheckUtf8(const Fuzz::Checker& check, std::string_view bytes, const Text& text) {
    const Text decoded = Runtime::TextFromUtf8(bytes);
    check.Require(decoded.size() <= bytes.size(), "decoding never makes more characters than bytes", decoded);
    bool replaced = false;
    for (const char32_t c : decoded) {
        check.Require(c <= kLastCodePoint && !IsSurrogate(c), "decoding gives Unicode scalar values only",
                      decoded);
        replaced = replaced || c == kReplacementCharacter;
    }
    const std::string encoded = Runtime::Utf8FromText(decoded);
    check.Require(Runtime::TextFromUtf8(encoded) == decoded, "a decoded text survives encoding", decoded);
    if (!replaced) {
        check.Require(encoded == bytes, "well-formed UTF-8 encodes back to the same bytes", decoded);
    }
    Text scalars = text;
    for (char32_t& c : scalars) {
        if (c > kLastCodePoint || IsSurrogate(c)) {
            c = kReplacementCharacter;
        }
    }
    check.Require(Runtime::TextFromUtf8(Runtime::Utf8FromText(text)) == scalars,
                  "any text encodes, with U+FFFD for what is not a scalar value");
}

template <typename T>
T FromBytes(const std::uint8_t* data, std::size_t size, bool fromEnd) {
    T value{};
    if (size >= sizeof(T)) {
        std::memcpy(&value, data + (fromEnd ? size - sizeof(T) : 0), sizeof(T));
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text text = Fuzz::InputText(data, size);
    const Fuzz::Checker check("number services", text);
    check.Require(std::fegetround() == FE_TONEAREST, "the floating-point environment rounds to nearest");

    CheckTextToNumber(check, text);
    CheckTextToInt16(check, text);
    CheckRounding(check, FromBytes<double>(data, size, false));
    CheckRounding(check, Runtime::TextToNumber(text));
    CheckNumberToText(check, FromBytes<std::int64_t>(data, size, true));
    constexpr int kWidths = 21;
    CheckDecimal(check, FromBytes<std::int64_t>(data, size, true), size == 0 ? 0 : data[size - 1] % kWidths);
    CheckTextOperations(check, text, FromBytes<std::size_t>(data, size, true));
    CheckDateText(check, text);
    CheckUtf8(check, std::string(data, data + size), text);
    return 0;
}
