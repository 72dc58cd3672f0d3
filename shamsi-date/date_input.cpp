#include "date_input.h"

#include <array>
#include <ctime>
#include <utility>

namespace ShamsiDate {

namespace {

// The words for days, and how many days from today each names.
constexpr std::array<std::pair<std::string_view, int>, 6> kDayWords = {{
    {"today", 0},
    {"yesterday", -1},
    {"tomorrow", 1},
    {"امروز", 0},
    {"دیروز", -1},
    {"فردا", 1},
}};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A number of exactly `digits` ASCII digits at text[pos], at most `most`;
// pos moves past it.
bool DigitField(std::string_view text, std::size_t& pos, int most, std::size_t digits = 2) {
    if (pos + digits > text.size()) {
        return false;
    }
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return value <= most;
}

bool IsDigit(std::string_view text, std::size_t pos) {
    return pos < text.size() && text[pos] >= '0' && text[pos] <= '9';
}

}  // namespace

std::size_t TimeOfDayLength(std::string_view text) {
    constexpr int kLastHour = 23;
    constexpr int kLastMinute = 59;
    constexpr int kLastSecond = 60;  // a leap second
    if (text.empty() || (text[0] != 'T' && text[0] != ' ')) {
        return 0;
    }
    std::size_t pos = 1;
    // The hour: one digit, or two.
    if (!DigitField(text, pos, kLastHour, IsDigit(text, 2) ? 2 : 1)) {
        return 0;
    }
    if (pos >= text.size() || text[pos] != ':' || !DigitField(text, ++pos, kLastMinute)) {
        return 0;
    }
    if (pos < text.size() && text[pos] == ':') {
        if (!DigitField(text, ++pos, kLastSecond)) {
            return 0;
        }
        if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
            const std::size_t fraction = ++pos;
            while (IsDigit(text, pos)) {
                ++pos;
            }
            if (pos == fraction) {
                return 0;
            }
        }
    }
    if (pos < text.size() && text[pos] == 'Z') {
        return pos + 1;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (!DigitField(text, ++pos, kLastHour)) {
            return 0;
        }
        if (pos < text.size() && text[pos] == ':') {
            ++pos;
        }
        if (IsDigit(text, pos) && !DigitField(text, pos, kLastMinute)) {
            return 0;
        }
    }
    return pos;
}

std::chrono::sys_days LocalToday() {
    const std::time_t now = std::time(nullptr);
    // The program has one thread, so localtime's shared result is safe.
    const std::tm* local = std::localtime(&now);  // NOLINT(concurrency-mt-unsafe)
    if (local == nullptr) {
        return std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    }
    constexpr int kTmYearBase = 1900;
    return std::chrono::sys_days{std::chrono::year{local->tm_year + kTmYearBase} /
                                 std::chrono::month{static_cast<unsigned>(local->tm_mon + 1)} /
                                 std::chrono::day{static_cast<unsigned>(local->tm_mday)}};
}

DateInput::DateInput(Shamsi::Calendar calendar, std::string_view inputFormat)
    : calendar_(calendar),
      reader_(inputFormat.empty() ? Shamsi::Reader(calendar) : Shamsi::Reader(inputFormat, calendar)),
      unreadable_(inputFormat.empty()
                      ? std::string(Shamsi::Describe(Shamsi::ReadError::kUnreadable, calendar))
                      : "not of the form " + std::string(inputFormat)) {}

std::string_view DateInput::Reason(Shamsi::ReadError error) const {
    return error == Shamsi::ReadError::kUnreadable ? std::string_view(unreadable_)
                                                   : Shamsi::Describe(error, calendar_);
}

bool DateInput::ReadDayWord(std::string_view text, std::chrono::sys_days& day, std::size_t& end) const {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    for (const auto& [word, offset] : kDayWords) {
        const std::size_t length = Shamsi::NameLength(text.substr(start), word);
        if (length == 0) {
            continue;
        }
        if (!today_) {
            today_ = LocalToday();
        }
        day = *today_ + std::chrono::days{offset};
        end = start + length;
        return true;
    }
    return false;
}

DateInput::Result DateInput::Read(std::string_view text) const {
    Result result;
    std::size_t end = 0;
    result.error = reader_.Read(text, result.day, end);
    if (result.error == Shamsi::ReadError::kUnreadable && ReadDayWord(text, result.day, end)) {
        result.error =
            Shamsi::InRange(result.day) ? Shamsi::ReadError::kNone : Shamsi::ReadError::kOutOfRange;
    }
    if (result.error != Shamsi::ReadError::kNone) {
        return result;
    }
    std::string_view rest = text.substr(end);
    while (!rest.empty() && IsBlank(rest.back())) {
        rest.remove_suffix(1);
    }
    if (!rest.empty() && TimeOfDayLength(rest) != rest.size()) {
        result.error = Shamsi::ReadError::kUnreadable;
        return result;
    }
    result.time = rest;
    return result;
}

}  // namespace ShamsiDate
