// ShamsiToMiladi on any text the window could hand it.
//
// Every call must end in one of two ways: the empty text after one or two
// messages, or a real Miladi date "Y...Y/MM/DD" in ASCII digits, with at most
// the day marker. A date it gives must be the day that counting from
// 1 Farvardin says, and a date typed in plain digits must come back through
// MiladiToShamsi as typed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "module1.h"

namespace {

using Fuzz::Text;

constexpr std::size_t kTypedLength = 8;
constexpr int kFirstYear = 1300;
constexpr int kGregorianYearOffset = 621;
constexpr int kLargestInt16 = 32767;

// A number of ASCII digits only; nothing for anything else.
std::optional<int> AsciiNumber(const Text& text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (i >= text.size() || text[i] < U'0' || text[i] > U'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<int>(text[i] - U'0');
    }
    return value;
}

// "YYYY/MM/DD" or "YYYYY/MM/DD" in ASCII digits naming a real date.
std::optional<Runtime::Date> ReadMiladi(const Text& text) {
    if (text.size() != 10 && text.size() != 11) {
        return std::nullopt;
    }
    const std::size_t yearDigits = text.size() - 6;
    if (text[yearDigits] != U'/' || text[yearDigits + 3] != U'/' || text[0] == U'0') {
        return std::nullopt;
    }
    const auto year = AsciiNumber(text, 0, yearDigits);
    const auto month = AsciiNumber(text, yearDigits + 1, 2);
    const auto day = AsciiNumber(text, yearDigits + 4, 2);
    if (!year || !month || !day || *day < 1 || *day > Runtime::DaysInGregorianMonth(*year, *month)) {
        return std::nullopt;
    }
    return Runtime::Date{*year, *month, *day};
}

Text TwoDigits(int n) { return Fuzz::FromAscii((n < 10 ? "0" : "") + std::to_string(n)); }

// A field of the working text, read the way the core reads numbers.
std::optional<std::int16_t> Field(const Text& workingText, std::size_t start, std::size_t length) {
    return Runtime::RealToInt16(Runtime::TextToNumber(Runtime::Mid(workingText, start, length)));
}

void CheckPlainDigits(const Fuzz::Checker& check, const Text& typed, const Text& result,
                      const std::vector<Text>& messages, std::optional<std::int16_t> readYear) {
    const auto yy = Fuzz::TwoDigitField(typed, 0);
    const auto mm = Fuzz::TwoDigitField(typed, 3);
    const auto dd = Fuzz::TwoDigitField(typed, 6);
    if (!yy || !mm || !dd) {
        return;
    }
    check.Require(readYear == kFirstYear + *yy, "two digits of any script read as the year 13YY");
    if (*mm < 1 || *mm > 12) {
        check.Require(result.empty() && messages == Fuzz::MessageList({Fuzz::kShamsiMonth}),
                      "a month outside 1-12 shows the month message and gives the empty text", result);
        return;
    }
    check.Require(!result.empty(), "a date typed in digits with a good month converts");
    const bool dayInMonth = *dd >= 1 && *dd <= Fuzz::DaysInShamsiMonth(kFirstYear + *yy, *mm);
    check.Require(messages.empty() == dayInMonth,
                  "the day marker is shown exactly for a day outside its month");
    if (!dayInMonth) {
        return;
    }
    Fuzz::RecordingEnvironment env;
    Text miladi = result;
    const Text back = Module1::MiladiToShamsi(miladi, true, env);
    const Text expected =
        TwoDigits(*yy) + U"/" + TwoDigits(*mm) + U"/" + Fuzz::FromAscii(std::to_string(*dd));
    check.Require(back == expected, "the result converts back to the typed date", back);
    check.Require(env.Messages().empty(), "the way back shows no message");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text typed = Fuzz::InputText(data, size);
    const Fuzz::Checker check("ShamsiToMiladi", typed);
    Fuzz::RecordingEnvironment env;
    Text argument = typed;
    const Text result = Module1::ShamsiToMiladi(argument, env);
    const std::vector<Text>& messages = env.Messages();

    check.Require(messages.size() <= 2, "at most two messages per call");
    if (typed.size() != kTypedLength) {
        check.Require(result.empty(), "a wrong length gives the empty text", result);
        check.Require(messages == Fuzz::MessageList({Fuzz::kShamsiDateFormat, Fuzz::kShamsiTwoDigits}),
                      "a wrong length shows the two format messages, in order");
        check.Require(argument == typed, "a wrong length leaves the argument as it was", argument);
        return 0;
    }
    check.Require(argument == U"13" + typed, "the argument becomes the working text 13YY/MM/DD", argument);

    const auto year = Field(argument, 1, 4);
    const auto month = Field(argument, 6, 2);
    const auto day = Field(argument, 9, 2);

    if (result.empty()) {
        check.Require(messages.size() == 1, "an empty result follows exactly one message");
        const bool yearFits = year && *year >= kFirstYear && *year + kGregorianYearOffset < kLargestInt16;
        if (messages.front() == Fuzz::kShamsiYear) {
            check.Require(!yearFits, "the year message only for a year below 1300 or beyond 16 bits");
        } else {
            check.Require(messages.front() == Fuzz::kShamsiMonth,
                          "an empty result follows the year or month message", messages.front());
            check.Require(yearFits && (!month || *month < 1 || *month > 12),
                          "the month message only for a good year and a month outside 1-12");
        }
    } else {
        const auto miladi = ReadMiladi(result);
        check.Require(miladi.has_value(), "a result is Y...Y/MM/DD in ASCII digits naming a real date",
                      result);
        check.Require(year && month && day && *year >= kFirstYear && *month >= 1 && *month <= 12,
                      "a result only for a year from 1300 and a month 1-12");
        const bool dayInMonth = *day >= 1 && *day <= Fuzz::DaysInShamsiMonth(*year, *month);
        check.Require(messages.empty() == dayInMonth &&
                          (messages.empty() || messages == Fuzz::MessageList({Fuzz::kShamsiDay})),
                      "the day marker, alone, exactly for a day outside its month");
        check.Require(Runtime::DaysFromCivil(miladi->year, miladi->month, miladi->day) ==
                          Fuzz::ShamsiDayNumber(*year, *month, *day),
                      "the result is the day that counting from 1 Farvardin gives", result);
    }
    CheckPlainDigits(check, typed, result, messages, year);
    return 0;
}
