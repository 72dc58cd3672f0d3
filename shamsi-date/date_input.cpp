#include "date_input.h"

#include <algorithm>
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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int Digits2(std::string_view text, std::size_t pos) { return (text[pos] - '0') * 10 + (text[pos + 1] - '0'); }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

constexpr std::string_view kBadOffset =
    "not an offset from UTC: Z, or + or - and hours 00-23, then minutes and seconds 00-59 if any (+03:30, "
    "-0500, +03)";

std::chrono::sys_days ReadLocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    const bool read = localtime_s(&local, &now) == 0;
#else
    const bool read = localtime_r(&now, &local) != nullptr;
#endif
    if (!read) {
        return std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    }
    constexpr int kTmYearBase = 1900;
    return std::chrono::sys_days{std::chrono::year{local.tm_year + kTmYearBase} /
                                 std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)} /
                                 std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace

std::chrono::sys_days LocalToday() {
    static const std::chrono::sys_days today = ReadLocalToday();
    return today;
}

DateInput::DateInput(Shamsi::Calendar calendar, std::string_view inputFormat)
    : calendar_(calendar),
      reader_(inputFormat.empty() ? Shamsi::Reader(calendar) : Shamsi::Reader(inputFormat, calendar)),
      unreadable_(inputFormat.empty()
                      ? std::string(Shamsi::Describe(Shamsi::ReadError::kUnreadable, calendar))
                      : "not of the form " + std::string(inputFormat)) {}

std::string_view DateInput::Reason(const Result& result) const {
    return result.badOffset ? kBadOffset : Reason(result.error);
}

std::string_view DateInput::Reason(Shamsi::ReadError error) const {
    return error == Shamsi::ReadError::kUnreadable ? std::string_view(unreadable_)
                                                   : Shamsi::Describe(error, calendar_);
}

bool DateInput::ReadDayWord(std::string_view text, std::chrono::sys_days& day, std::size_t& end) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    for (const auto& [word, offset] : kDayWords) {
        const std::size_t length = Shamsi::NameLength(text.substr(start), word);
        if (length == 0) {
            continue;
        }
        day = LocalToday() + std::chrono::days{offset};
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
    if (!rest.empty() && Shamsi::TimeOfDayLength(rest) != rest.size()) {
        result.error = Shamsi::ReadError::kUnreadable;
        // A good clock before a sign: the offset after it is what is wrong.
        const std::size_t sign = rest.find_last_of("+-");
        result.badOffset = sign != std::string_view::npos && sign > 0 &&
                           Shamsi::TimeOfDayLength(rest.substr(0, sign)) == sign;
        return result;
    }
    result.time = rest;
    return result;
}

ClockTime ReadClockTime(std::string_view text) {
    ClockTime clock;
    clock.separator = text[0];
    // The hour has one digit or two; minutes and seconds two each.
    std::size_t pos = IsDigit(text[2]) ? 3 : 2;
    clock.time.hour = pos == 3 ? Digits2(text, 1) : text[1] - '0';
    clock.time.minute = Digits2(text, pos + 1);
    pos += 3;
    if (pos < text.size() && text[pos] == ':') {
        clock.time.second = Digits2(text, pos + 1);
        pos += 3;
    }
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        const std::size_t start = pos++;
        while (pos < text.size() && IsDigit(text[pos])) {
            ++pos;
        }
        clock.fraction = text.substr(start, pos - start);
    }
    if (pos == text.size()) {
        return clock;
    }
    clock.time.hasOffset = true;
    if (text[pos] == 'Z') {
        return clock;
    }
    constexpr int kSecondsPerHour = 3600;
    constexpr int kSecondsPerMinute = 60;
    const bool west = text[pos] == '-';
    int offset = Digits2(text, pos + 1) * kSecondsPerHour;
    pos += 3;
    if (pos < text.size()) {
        const std::size_t colon = text[pos] == ':' ? 1 : 0;
        offset += Digits2(text, pos + colon) * kSecondsPerMinute;
        pos += colon + 2;
        if (pos < text.size()) {
            offset += Digits2(text, pos + colon);
        }
    }
    clock.time.offsetSeconds = west ? -offset : offset;
    return clock;
}

UnixSecondsRead ReadUnixSeconds(std::string_view text, std::int64_t& seconds, std::string_view& fraction) {
    text = Trimmed(text);
    if (text.empty() || text.front() != '@') {
        return UnixSecondsRead::kNotSeconds;
    }
    text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative || (!text.empty() && text.front() == '+')) {
        text.remove_prefix(1);
    }
    const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
    fraction = text.substr(digits);
    if (digits == 0 ||
        (!fraction.empty() && (fraction.size() < 2 || fraction.front() != '.' ||
                               fraction.find_first_not_of("0123456789", 1) != std::string_view::npos))) {
        return UnixSecondsRead::kUnreadable;
    }
    // Far beyond the years 1-9999 either way, and well inside 64 bits.
    constexpr std::size_t kMostDigits = 15;
    std::size_t first = text.find_first_not_of('0');
    first = first > digits ? digits : first;
    if (digits - first > kMostDigits) {
        return UnixSecondsRead::kOutOfRange;
    }
    std::int64_t value = 0;
    for (std::size_t i = first; i < digits; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    // A fraction is taken after a count forwards only: -1.5 is not -1 and .5.
    if (negative && fraction.find_first_not_of("0.") != std::string_view::npos) {
        return UnixSecondsRead::kUnreadable;
    }
    seconds = negative ? -value : value;
    return UnixSecondsRead::kGood;
}

}  // namespace ShamsiDate
