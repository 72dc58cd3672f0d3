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

bool IsDigit(std::string_view text, std::size_t pos) {
    return pos < text.size() && static_cast<unsigned char>(text[pos]) - unsigned{'0'} <= 9;
}

// Two ASCII digits at text[pos] whose number is at most `most`.
bool TwoDigits(std::string_view text, std::size_t pos, unsigned most) {
    if (pos + 2 > text.size()) {
        return false;
    }
    const unsigned high = static_cast<unsigned char>(text[pos]) - unsigned{'0'};
    const unsigned low = static_cast<unsigned char>(text[pos + 1]) - unsigned{'0'};
    return high <= 9 && low <= 9 && high * 10 + low <= most;
}

constexpr unsigned kLastHour = 23;
constexpr unsigned kLastMinute = 59;
constexpr unsigned kLastSecond = 60;  // a leap second

// Past the end of text reads as '\0', which is none of the characters looked for.
char At(std::string_view text, std::size_t pos) { return pos < text.size() ? text[pos] : '\0'; }

// The hour (one or two digits), minutes and seconds if any of a time, after
// its 'T' or blank at text[0]: where they end, or 0; seconds tells whether
// they came. The usual "HH:MM:SS" is taken straight away.
std::size_t ClockLength(std::string_view text, bool& seconds) {
    constexpr std::size_t kUsual = 9;
    seconds = true;
    if (text.size() >= kUsual && text[3] == ':' && text[6] == ':' && TwoDigits(text, 1, kLastHour) &&
        TwoDigits(text, 4, kLastMinute) && TwoDigits(text, 7, kLastSecond)) {
        return kUsual;
    }
    const std::size_t colon = TwoDigits(text, 1, kLastHour) ? 3 : 2;
    if (!IsDigit(text, 1) || At(text, colon) != ':' || !TwoDigits(text, colon + 1, kLastMinute)) {
        return 0;
    }
    const std::size_t end = colon + 3;
    seconds = At(text, end) == ':';
    if (!seconds) {
        return end;
    }
    return TwoDigits(text, end + 1, kLastSecond) ? end + 3 : 0;
}

}  // namespace

std::size_t TimeOfDayLength(std::string_view text) {
    if (At(text, 0) != 'T' && At(text, 0) != ' ') {
        return 0;
    }
    bool seconds = false;
    std::size_t pos = ClockLength(text, seconds);
    if (pos == 0) {
        return 0;
    }
    if (seconds && (At(text, pos) == '.' || At(text, pos) == ',')) {
        const std::size_t fraction = ++pos;
        while (IsDigit(text, pos)) {
            ++pos;
        }
        if (pos == fraction) {
            return 0;
        }
    }
    const char zone = At(text, pos);
    if (zone == 'Z') {
        return pos + 1;
    }
    if (zone == '+' || zone == '-') {
        if (!TwoDigits(text, pos + 1, kLastHour)) {
            return 0;
        }
        pos += 3;
        const std::size_t minutes = At(text, pos) == ':' ? pos + 1 : pos;
        if (IsDigit(text, minutes)) {
            if (!TwoDigits(text, minutes, kLastMinute)) {
                return 0;
            }
            pos = minutes + 2;
        }
    }
    return pos;
}

namespace {

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
    if (!rest.empty() && TimeOfDayLength(rest) != rest.size()) {
        result.error = Shamsi::ReadError::kUnreadable;
        return result;
    }
    result.time = rest;
    return result;
}

}  // namespace ShamsiDate
