// shamsi-date cal: every month of 1300-1500 laid out, read back from the text
// and held against ICU's Persian calendar (the weekday of the 1st and the
// number of days).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "icu_oracle.h"
#include "month_calendar.h"

namespace {

// 0 for Saturday to 6 for Friday, from ICU's Gregorian date of the day.
unsigned OracleColumn(int year, int month, int day) {
    const Runtime::Date g = Oracle::GregorianOf({year, month, day});
    const std::chrono::year_month_day date{std::chrono::year{g.year},
                                           std::chrono::month{static_cast<unsigned>(g.month)},
                                           std::chrono::day{static_cast<unsigned>(g.day)}};
    const std::chrono::weekday weekday{std::chrono::sys_days{date}};
    return (weekday.c_encoding() + 1) % 7;
}

}  // namespace

TEST(MonthCalendar, EveryMonthOf1300To1500) {
    for (int year = 1300; year <= 1500; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const std::vector<std::string> lines = ShamsiDate::MonthLines(year, month, true, {});
            ASSERT_GE(lines.size(), 6U);
            ASSERT_EQ(ShamsiDate::DisplayWidth(lines[1]), 20U);
            // Every cell of every week, in order: the days must run 1, 2, ...
            // from the column of the 1st, one column after another.
            int expected = 1;
            const unsigned first = OracleColumn(year, month, 1);
            for (std::size_t row = 2; row < lines.size(); ++row) {
                const std::string& line = lines[row];
                ASSERT_LE(line.size(), 20U) << year << '/' << month;
                for (std::size_t column = 0; 3 * column < line.size(); ++column) {
                    const std::string cell = line.substr(3 * column, 2);
                    if (cell == "  ") {
                        ASSERT_TRUE(row == 2 && column < first) << year << '/' << month << " row " << row;
                        continue;
                    }
                    ASSERT_EQ(std::stoi(cell), expected) << year << '/' << month << " row " << row;
                    ASSERT_EQ((first + static_cast<std::size_t>(expected) - 1) % 7, column)
                        << year << '/' << month;
                    ++expected;
                }
            }
            ASSERT_EQ(expected - 1, Oracle::DaysInShamsiMonth(year, month)) << year << '/' << month;
        }
    }
}
