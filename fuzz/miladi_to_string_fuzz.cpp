// MiladiToString on any text.
//
// A text of the wrong length, or one whose month field is not a whole number
// from 0 to 12, gives the empty text after exactly one message. Any other
// gives the last two characters of the trimmed text, one of the thirteen
// month slots and its first four characters, with no message. The empty
// text words today without a leading zero.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "module1.h"

namespace {

using Fuzz::Text;

constexpr std::size_t kDateTextLength = 10;

// The slot that stands between the day and the year text, if any does.
std::optional<std::size_t> SlotOf(const Text& middle) {
    for (std::size_t slot = 0; slot < Fuzz::kEnglishMonthSlots.size(); ++slot) {
        if (middle == Fuzz::kEnglishMonthSlots.at(slot)) {
            return slot;
        }
    }
    return std::nullopt;
}

void CheckToday(const Fuzz::Checker& check, const Text& result, const std::vector<Text>& messages) {
    const Runtime::Date today = Fuzz::kToday;
    const Text expected = Fuzz::FromAscii(std::to_string(today.day)) +
                          Text(Fuzz::kEnglishMonthSlots.at(static_cast<std::size_t>(today.month))) +
                          Fuzz::FromAscii(std::to_string(today.year));
    check.Require(result == expected, "the empty text words today, the day without a leading zero", result);
    check.Require(messages.empty(), "today is worded without a message");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text input = Fuzz::InputText(data, size);
    const Fuzz::Checker check("MiladiToString", input);
    Fuzz::RecordingEnvironment env;
    Text argument = input;
    const Text result = Module1::MiladiToString(argument, env);
    const std::vector<Text>& messages = env.Messages();

    check.Require(messages.size() <= 1, "at most one message per call");
    if (input.empty()) {
        CheckToday(check, result, messages);
        return 0;
    }
    if (input.size() != kDateTextLength) {
        check.Require(result.empty(), "a wrong length gives the empty text", result);
        check.Require(messages == Fuzz::MessageList({Fuzz::kMiladiDateFormat}),
                      "a wrong length shows the message once");
        check.Require(argument == input, "a wrong length leaves the argument as it was", argument);
        return 0;
    }
    const Text trimmed = Fuzz::WithoutOuterBlanks(input);
    check.Require(argument == trimmed, "the argument is trimmed in place", argument);

    const auto plainMonth = Fuzz::TwoDigitField(trimmed, 5);
    if (result.empty()) {
        check.Require(messages == Fuzz::MessageList({Fuzz::kMiladiDateFormat}),
                      "an empty result follows the message, once");
        check.Require(!plainMonth || *plainMonth > 12, "a two-digit month from 00 to 12 is always worded");
        return 0;
    }
    check.Require(messages.empty(), "a worded date shows no message");

    const std::size_t dayLength = std::min<std::size_t>(2, trimmed.size());
    const std::size_t yearLength = std::min<std::size_t>(4, trimmed.size());
    check.Require(result.size() >= dayLength + yearLength, "the result holds the day and the year text",
                  result);
    check.Require(result.substr(0, dayLength) == trimmed.substr(trimmed.size() - dayLength),
                  "the result starts with the last two characters", result);
    check.Require(result.substr(result.size() - yearLength) == trimmed.substr(0, yearLength),
                  "the result ends with the first four characters", result);
    const auto slot = SlotOf(result.substr(dayLength, result.size() - dayLength - yearLength));
    check.Require(slot.has_value(), "a month slot, or nothing for slot 0, stands between day and year",
                  result);
    check.Require(!plainMonth || *plainMonth == static_cast<int>(*slot),
                  "a two-digit month picks its own slot", result);
    check.Require(Runtime::TextToInt16(Runtime::Mid(trimmed, 6, 2)) == static_cast<std::int16_t>(*slot),
                  "the slot is the month field's number", result);
    return 0;
}
