// What every fuzz target shares: turning the fuzzer's bytes into the core's
// text, an environment with a fixed today that records every message, the
// texts the routines show, and a checker that stops the run with a readable
// account of the input when an invariant breaks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services.h"

namespace Fuzz {

using Runtime::Text;
using Runtime::TextView;

// Bytes as the core receives text. Normally they are UTF-8, decoded as the
// window's text is (a malformed sequence becomes U+FFFD). An input whose
// first byte is 0xFF, which never starts well-formed UTF-8, is instead read
// as raw little-endian 32-bit code points after that byte, so that values
// no decoder produces (surrogates, beyond U+10FFFF) reach the core too.
[[nodiscard]] Text InputText(const std::uint8_t* data, std::size_t size);

// Today is fixed, so every run of an input gives the same result.
inline constexpr Runtime::Date kToday{2003, 4, 7};

class RecordingEnvironment final : public Runtime::Environment {
public:
    [[nodiscard]] Runtime::Date Today() const override { return kToday; }
    void MessageBox(const Text& text) override { messages_.push_back(text); }
    [[nodiscard]] const std::vector<Text>& Messages() const { return messages_; }

private:
    std::vector<Text> messages_;
};

// Prints what broke, the input as UTF-8 and as code points, and aborts,
// which libFuzzer reports as a crash and saves as an artifact.
class Checker {
public:
    Checker(std::string_view target, const Text& input) : target_(target), input_(input) {}
    void Require(bool holds, std::string_view invariant) const;
    void Require(bool holds, std::string_view invariant, const Text& detail) const;

private:
    [[noreturn]] void Fail(std::string_view invariant, const Text* detail) const;
    std::string_view target_;
    const Text& input_;
};

// "U+0041 U+FFFD ..." for a failure report.
[[nodiscard]] std::string CodePoints(const Text& text);
// The text without the blanks (U+0020) at either end.
[[nodiscard]] Text WithoutOuterBlanks(const Text& text);
// The texts as the list of messages a routine shows.
[[nodiscard]] std::vector<Text> MessageList(std::initializer_list<TextView> texts);
// The ASCII text as the core's text.
[[nodiscard]] Text FromAscii(std::string_view ascii);
// The decimal value of a digit of any script the core reads; nothing else.
[[nodiscard]] std::optional<int> AnyDigit(char32_t c);
// Two characters that are both digits, as a number 0-99.
[[nodiscard]] std::optional<int> TwoDigitField(const Text& text, std::size_t index);
// 1 January 1970 is day 0; day 0 was a Thursday.
[[nodiscard]] int WeekdayIndexSundayFirst(std::int64_t dayNumber);

// --- Texts the routines show --------------------------------------------------

inline constexpr TextView kShamsiDateFormat = U"خطا - - - تاريخ را بصورت روز/ماه/سال وارد نماييد";
inline constexpr TextView kShamsiTwoDigits = U"تمامي فيلدها بايد به صورت دو رقمي وارد شود";
inline constexpr TextView kShamsiYear = U"خطا - - - سال را شمسي وارد نماييد";
inline constexpr TextView kShamsiMonth = U"خطا  - - - ماه را درست وارد نماييد";
inline constexpr TextView kShamsiDay = U"xxxxxxxxx1";
inline constexpr TextView kMiladiDateFormat = U"خطا - - - تاريخ را بصورت روز/ماه/سال (YYYY/MM/DD)وارد نماييد";

inline constexpr std::array<TextView, 7> kWeekdayNames = {U"يكشنبه",  U"دوشنبه", U"سه شنبه", U"چهارشنبه",
                                                          U"پنجشنبه", U"جمعه",   U"شنبه"};
inline constexpr std::array<TextView, 12> kShamsiMonthNames = {U"فروردين", U"ارديبهشت", U"خرداد", U"تير",
                                                               U"مرداد",   U"شهريور",   U"مهر",   U"آبان",
                                                               U"آذر",     U"دي",       U"بهمن",  U"اسفند"};
inline constexpr std::array<TextView, 13> kEnglishMonthSlots = {
    U"",       U" January ", U" February ",  U" March ",   U" April ",    U" May ",     U" June ",
    U" July ", U" August ",  U" September ", U" October ", U" November ", U" December "};

// --- An independent Shamsi calendar -------------------------------------------

struct ShamsiDate {
    std::int64_t year = 0;
    int month = 0;
    int day = 0;
};

// Days in a Shamsi month: 31 for months 1-6, 30 for 7-11, Esfand 29 or 30.
[[nodiscard]] int DaysInShamsiMonth(std::int64_t year, int month);
// Days from 1 January 1970 to the Shamsi date, counted from the year's
// 1 Farvardin; a day outside its month simply runs into the next or the
// previous one.
[[nodiscard]] std::int64_t ShamsiDayNumber(std::int64_t year, int month, int day);
// The Shamsi date of a day number.
[[nodiscard]] ShamsiDate ShamsiOfDayNumber(std::int64_t dayNumber);

}  // namespace Fuzz
