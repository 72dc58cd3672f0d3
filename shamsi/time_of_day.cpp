// The time of day that may follow a date in a text (TimeOfDayLength, text.h).
#include <cstddef>
#include <string_view>

#include "shamsi/text.h"

namespace Shamsi {

namespace {

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
        const bool colons = At(text, pos) == ':';
        const std::size_t minutes = colons ? pos + 1 : pos;
        if (IsDigit(text, minutes)) {
            if (!TwoDigits(text, minutes, kLastMinute)) {
                return 0;
            }
            pos = minutes + 2;
            // Seconds too, as the offsets of local mean time have them
            // ("+03:25:44", "+032544").
            const std::size_t offsetSeconds = colons && At(text, pos) == ':' ? pos + 1 : pos;
            if ((colons ? offsetSeconds != pos : IsDigit(text, pos))) {
                if (!TwoDigits(text, offsetSeconds, kLastMinute)) {
                    return 0;
                }
                pos = offsetSeconds + 2;
            }
        }
    }
    return pos;
}

}  // namespace Shamsi
