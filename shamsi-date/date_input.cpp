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
        return result;
    }
    result.time = rest;
    return result;
}

}  // namespace ShamsiDate
