// Date, text and number services that the conversion routines rely on.
//
// Texts are sequences of Unicode code points (std::u32string), so every
// length and every 1-based position counts characters, never bytes.
// The outside world (today's date, the message box) is reached only through
// the Environment interface, which the window implements with Qt and the
// tests implement with a recorder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Runtime {

using Text = std::u32string;
using TextView = std::u32string_view;

// A calendar date in the Gregorian calendar: full year, month 1-12, day 1-31.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

// Everything the calendar core needs from outside itself.
class Environment {
public:
    Environment() = default;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    Environment(Environment&&) = delete;
    Environment& operator=(Environment&&) = delete;
    virtual ~Environment() = default;

    // Today's local calendar date; the time of day is never used.
    [[nodiscard]] virtual Date Today() const = 0;
    // A modal box with the text, one OK button and the application title.
    // Returns when the user has closed it.
    virtual void MessageBox(const Text& text) = 0;
};

// --- Dates ------------------------------------------------------------------

[[nodiscard]] bool IsGregorianLeapYear(int year);
[[nodiscard]] int DaysInGregorianMonth(int year, int month);
// Division rounded down, for day arithmetic before an epoch: -1 / 7 gives -1.
[[nodiscard]] constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Days from 1970-01-01 (proleptic Gregorian calendar) to the date.
[[nodiscard]] constexpr std::int64_t DaysFromCivil(int year, int month, int day) {
    // Counts from 1 March so that February, with its leap day, ends the year.
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t monthFromMarch = (month + 9) % 12;
    const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// 1 for Sunday up to 7 for Saturday.
[[nodiscard]] int Weekday(const Date& date);
// "YYYY/MM/DD"; DateFromText reads it back as the same date.
[[nodiscard]] Text DateToText(const Date& date);
// Reads "Y/M/D" (blanks around allowed, '/' or '-' between the fields) as a
// real Gregorian date with a year from 1 to 32767; nothing otherwise.
[[nodiscard]] std::optional<Date> DateFromText(TextView text);

// --- Numbers ----------------------------------------------------------------

// The decimal value of a digit: ASCII, Arabic-Indic (U+0660-U+0669) or
// Extended Arabic-Indic (U+06F0-U+06F9); nothing for any other character.
[[nodiscard]] std::optional<int> DigitValue(char32_t c);

// Shortest decimal form; a non-negative number gets one leading blank.
[[nodiscard]] Text NumberToText(std::int64_t number);
// Appends what NumberToText gives, without making a text of its own.
void AppendNumberText(Text& text, std::int64_t number);
// Appends the decimal form without a blank, with leading zeros up to
// minimumDigits digits: AppendDecimal(t, 4, 2) appends "04".
void AppendDecimal(Text& text, std::int64_t number, int minimumDigits = 1);

// Reads the number at the start of the text, ignoring blanks, tabs and line
// feeds anywhere: an optional sign, digits, one decimal point, an exponent.
// Reading stops at the first character that cannot continue the number.
// An empty or non-numeric text gives 0; a number too large for a double
// gives an infinity.
[[nodiscard]] double TextToNumber(TextView text);

// Nearest whole number, ties to the even one; nothing when out of range
// (or not a number).
[[nodiscard]] std::optional<std::int16_t> RealToInt16(double value);
[[nodiscard]] std::optional<std::int32_t> RealToInt32(double value);

// The number the text holds, with blanks around it allowed, rounded as
// RealToInt16; nothing when the text is not exactly one number or the number
// is out of range.
[[nodiscard]] std::optional<std::int16_t> TextToInt16(TextView text);

// The greatest whole number not above the value: -2.5 gives -3.
[[nodiscard]] double WholePart(double value);

// --- Texts ------------------------------------------------------------------
//
// Trim, Left, Right and Mid return views into their argument, so they copy
// nothing; the view is valid as long as the text it was taken from. Keep a
// text of your own (Text(view)) to hold the result longer.

// The text without its leading and trailing blanks (U+0020 only).
[[nodiscard]] TextView Trim(TextView text);
// The first / last count characters, fewer when the text is shorter.
[[nodiscard]] TextView Left(TextView text, std::size_t count);
[[nodiscard]] TextView Right(TextView text, std::size_t count);
// count characters from the 1-based start; empty when start lies past the end.
[[nodiscard]] TextView Mid(TextView text, std::size_t start, std::size_t count);
[[nodiscard]] std::size_t Length(TextView text);
[[nodiscard]] Text Join(TextView left, TextView right);

// --- Text encodings at the boundary of the core -----------------------------

// Decodes UTF-8; every malformed sequence becomes U+FFFD.
[[nodiscard]] Text TextFromUtf8(std::string_view utf8);
// Encodes as UTF-8; a code point that is not a Unicode scalar value becomes
// U+FFFD.
[[nodiscard]] std::string Utf8FromText(TextView text);

// Decodes UTF-16, a surrogate pair as one character; a lone surrogate
// becomes U+FFFD.
[[nodiscard]] Text TextFromUtf16(std::u16string_view utf16);
// Encodes as UTF-16, a character beyond U+FFFF as a surrogate pair; a code
// point that is not a Unicode scalar value becomes U+FFFD.
[[nodiscard]] std::u16string Utf16FromText(TextView text);

}  // namespace Runtime
