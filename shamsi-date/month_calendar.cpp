#include "month_calendar.h"

#include <algorithm>
#include <array>

#include <shamsi/names.h>

namespace ShamsiDate {

namespace {

constexpr std::size_t kMonthWidth = 20;
constexpr std::string_view kGap = "  ";
constexpr std::string_view kLeftToRightMark = "\u200e";
constexpr std::string_view kZeroWidthNonJoiner = "\u200c";
constexpr std::string_view kReverse = "\x1b[7m";
constexpr std::string_view kReverseOff = "\x1b[27m";
constexpr std::string_view kRed = "\x1b[31m";
constexpr std::string_view kColorOff = "\x1b[39m";
constexpr unsigned kFriday = 6;

std::string Number(int value, Shamsi::Digits digits) {
    std::array<char, 48> text{};
    return {text.data(), Shamsi::WriteInteger(text.data(), value, digits)};
}

// The text centred in width cells (the odd cell to the right), without
// blanks after it.
std::string Centred(std::string_view text, std::size_t width) {
    const std::size_t used = DisplayWidth(text);
    const std::size_t left = used < width ? (width - used) / 2 : 0;
    return std::string(left, ' ').append(text);
}

std::string_view WithoutTrailingBlanks(std::string_view line) {
    const std::size_t end = line.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : line.substr(0, end + 1);
}

// Lines laid side by side, each padded to kMonthWidth, kGap between them.
std::string SideBySide(const std::vector<std::vector<std::string>>& months) {
    std::size_t rows = 0;
    for (const auto& lines : months) {
        rows = std::max(rows, lines.size());
    }
    std::string out;
    for (std::size_t row = 0; row < rows; ++row) {
        std::string line;
        for (std::size_t i = 0; i < months.size(); ++i) {
            const std::string_view part = row < months[i].size() ? std::string_view(months[i][row]) : "";
            if (i > 0) {
                line.append(kGap);
            }
            line.append(part).append(kMonthWidth - std::min(kMonthWidth, DisplayWidth(part)), ' ');
        }
        out.append(WithoutTrailingBlanks(line)).push_back('\n');
    }
    return out;
}

// The heads of the week's columns (Shamsi::WeekdayInitial), right-aligned
// like the days.
std::string WeekdayHeads(const CalendarStyle& style) {
    const bool english = style.names == Shamsi::MonthNames::kEnglish;
    std::string heads;
    for (unsigned column = 0; column < 7; ++column) {
        const bool friday = style.color && column == kFriday;
        const std::string_view head = Shamsi::WeekdayInitial(column, style.names);
        heads.append(column == 0 ? 2 - DisplayWidth(head) : 3 - DisplayWidth(head), ' ');
        heads.append(friday ? kRed : "").append(head).append(friday ? kColorOff : "");
        heads.append(english ? "" : kLeftToRightMark);
    }
    return heads;
}

}  // namespace

std::size_t DisplayWidth(std::string_view line) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte == 0x1B) {
            // A colour sequence: ESC [ ... m.
            const std::size_t end = line.find('m', i);
            i = end == std::string_view::npos ? line.size() : end;
            continue;
        }
        if ((byte & 0xC0U) == 0x80U) {
            continue;  // inside a character
        }
        if (line.substr(i, kLeftToRightMark.size()) == kLeftToRightMark ||
            line.substr(i, kZeroWidthNonJoiner.size()) == kZeroWidthNonJoiner) {
            continue;
        }
        ++width;
    }
    return width;
}

std::vector<std::string> MonthLines(int year, int month, bool withYear, const CalendarStyle& style) {
    std::vector<std::string> lines;
    std::string title(Shamsi::MonthName(month, style.names));
    if (withYear) {
        title.append(" ").append(Number(year, style.digits));
    }
    lines.push_back(Centred(title, kMonthWidth));

    lines.push_back(WeekdayHeads(style));

    const unsigned first = Shamsi::SaturdayFirstIndex(Shamsi::Weekday({year, month, 1}));
    const int days = Shamsi::DaysInMonth(year, month);
    std::string week(std::size_t{3} * first, ' ');
    unsigned column = first;
    for (int day = 1; day <= days; ++day) {
        std::string number = Number(day, style.digits);
        if (day < 10) {
            number.insert(0, " ");
        }
        const bool today = style.color && style.today == Shamsi::Date{year, month, day};
        if (today) {
            number = std::string(kReverse).append(number).append(kReverseOff);
        }
        if (style.color && column == kFriday) {
            number = std::string(kRed).append(number).append(kColorOff);
        }
        week.append(number);
        if (++column == 7 || day == days) {
            lines.emplace_back(WithoutTrailingBlanks(week));
            week.clear();
            column = 0;
        } else {
            week.push_back(' ');
        }
    }
    return lines;
}

std::string MonthView(int year, int month, const CalendarStyle& style) {
    return SideBySide({MonthLines(year, month, true, style)});
}

std::string ThreeMonthView(int year, int month, const CalendarStyle& style) {
    std::vector<std::vector<std::string>> months;
    const int index = year * 12 + month - 1;
    for (int i = index - 1; i <= index + 1; ++i) {
        const int y = i / 12;
        if (y >= Shamsi::kFirstYear && y <= Shamsi::kLastYear) {
            months.push_back(MonthLines(y, i % 12 + 1, true, style));
        }
    }
    return SideBySide(months);
}

std::string YearView(int year, const CalendarStyle& style) {
    constexpr std::size_t kMonthsAcross = 3;
    std::string out = Centred(Number(year, style.digits), kMonthsAcross * kMonthWidth + 2 * kGap.size());
    out.append("\n");
    for (int row = 0; row < 4; ++row) {
        std::vector<std::vector<std::string>> months;
        for (int i = 1; i <= 3; ++i) {
            months.push_back(MonthLines(year, row * 3 + i, false, style));
        }
        out.append("\n").append(SideBySide(months));
    }
    return out;
}

}  // namespace ShamsiDate
