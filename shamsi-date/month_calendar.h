// Month calendars as text, the way cal(1) lays them out, in the Iranian
// week: a title (the month name, and the year), a line of weekday initials
// (the first two letters of the English names where the months go by
// English names), then one line per week. Each week has 7 columns of 3 cells,
// Saturday on the left to Friday on the right, each day's number
// right-aligned in the first 2 cells. A month is 20 cells wide (the last
// column's third cell is left out); months side by side are 2 cells apart.
//
// Persian letters take one cell each in a terminal, so the columns line up
// whatever the terminal does with right-to-left text. Each weekday initial
// is followed by a left-to-right mark (U+200E), so a terminal that lays out
// right-to-left runs (GNOME Terminal, Konsole) keeps the initials in the
// order of the columns instead of turning the line round.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <shamsi/date.h>
#include <shamsi/names.h>
#include <shamsi/text.h>

namespace ShamsiDate {

struct CalendarStyle {
    Shamsi::Digits digits = Shamsi::Digits::kAscii;
    Shamsi::MonthNames names = Shamsi::MonthNames::kIranian;
    // Terminal colours: today in reverse video, Fridays in red.
    bool color = false;
    std::optional<Shamsi::Date> today;
};

// The lines of one month (title, initials, then 4 to 6 weeks), without line
// ends. The title holds the year when withYear.
[[nodiscard]] std::vector<std::string> MonthLines(int year, int month, bool withYear,
                                                  const CalendarStyle& style);

// The cells a line takes in a terminal: code points, less zero-width marks
// and colour sequences.
[[nodiscard]] std::size_t DisplayWidth(std::string_view line);

// One month, as `cal` shows it; each line "\n"-ended, no blanks at the end.
[[nodiscard]] std::string MonthView(int year, int month, const CalendarStyle& style);
// The months before and after it too, side by side (fewer at the ends of
// the years 1-9999).
[[nodiscard]] std::string ThreeMonthView(int year, int month, const CalendarStyle& style);
// The whole year: its number, then the months three by three.
[[nodiscard]] std::string YearView(int year, const CalendarStyle& style);

}  // namespace ShamsiDate
