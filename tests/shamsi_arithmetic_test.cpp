// Months, years and periods in the Shamsi library, against a model that
// walks the calendar one month or one day at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include <shamsi/arithmetic.h>

namespace {

using Shamsi::Date;
using Shamsi::Period;

std::string Show(const Date& date) {
    return std::to_string(date.year) + '/' + std::to_string(date.month) + '/' + std::to_string(date.day);
}

// The model: one calendar step at a time, using only the month lengths.
Date StepMonths(Date date, std::int64_t months) {
    for (; months > 0; --months) {
        date.month == 12 ? (date.year += 1, date.month = 1) : ++date.month;
    }
    for (; months < 0; ++months) {
        date.month == 1 ? (date.year -= 1, date.month = 12) : --date.month;
    }
    date.day = std::min(date.day, Shamsi::DaysInMonth(date.year, date.month));
    return date;
}

Date StepDays(Date date, std::int64_t days) {
    for (; days > 0; --days) {
        if (date.day < Shamsi::DaysInMonth(date.year, date.month)) {
            ++date.day;
        } else {
            date = StepMonths({date.year, date.month, 1}, 1);
        }
    }
    for (; days < 0; ++days) {
        if (date.day > 1) {
            --date.day;
        } else {
            date = StepMonths(date, -1);
            date.day = Shamsi::DaysInMonth(date.year, date.month);
        }
    }
    return date;
}

}  // namespace

TEST(ShamsiArithmetic, MonthEndsAndSigns) {
    struct Case {
        Date from;
        Period period;
        Date expected;
    };
    const std::array<Case, 9> cases{{
        {{1405, 6, 31}, {.months = 1}, {1405, 7, 30}},
        {{1403, 12, 30}, {.years = 1}, {1404, 12, 29}},
        {{1403, 12, 30}, {.years = 4}, {1407, 12, 29}},
        {{1408, 12, 30}, {.years = -4, .months = 0}, {1404, 12, 29}},
        {{1405, 9, 17}, {.days = 40}, {1405, 10, 27}},
        {{1405, 9, 17}, {.weeks = -3}, {1405, 8, 26}},
        // 12 * years + months is one move, held to the month's end once.
        {{1405, 6, 31}, {.years = 1, .months = 6, .days = 1}, {1407, 1, 1}},
        {{9999, 12, 29}, {.days = 1}, {10000, 1, 1}},  // past the range: not valid
        {{1405, 1, 1}, {.years = Shamsi::kLongestMove + 1}, {}},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(Shamsi::Add(c.from, c.period), c.expected) << Show(c.from);
    }
    EXPECT_FALSE(Shamsi::Add({9999, 12, 29}, {.days = 1}).IsValid());
    EXPECT_EQ(Shamsi::DaysBetween({1404, 1, 1}, {1405, 9, 17}), 627);
    EXPECT_EQ(Shamsi::Between({1404, 1, 1}, {1405, 9, 17}), (Period{1, 8, 0, 16}));
    EXPECT_EQ(Shamsi::Between({1405, 9, 17}, {1404, 1, 1}), (Period{-1, -8, 0, -16}));
}

// Every day of 1395-1410 moved by months and by days, both ways.
TEST(ShamsiArithmetic, MovesMatchTheStepModel) {
    constexpr std::array<std::int64_t, 11> kMonths = {-25, -13, -12, -11, -1, 0, 1, 6, 12, 13, 37};
    constexpr std::array<std::int64_t, 9> kDays = {-400, -366, -31, -1, 1, 29, 30, 365, 1000};
    for (Date date{1395, 1, 1}; date.year <= 1410; date = Shamsi::AddDays(date, 1)) {
        for (const std::int64_t months : kMonths) {
            ASSERT_EQ(Shamsi::AddMonths(date, months), StepMonths(date, months))
                << Show(date) << " " << months;
        }
        ASSERT_EQ(Shamsi::AddYears(date, 3), StepMonths(date, 36)) << Show(date);
        for (const std::int64_t days : kDays) {
            ASSERT_EQ(Shamsi::Add(date, {.days = days}), StepDays(date, days)) << Show(date) << " " << days;
        }
    }
}

// Between gives the most whole months that fit, then the days; adding it back
// lands on the later date, and the other order gives its negation.
TEST(ShamsiArithmetic, BetweenIsTheLargestMoveThatFits) {
    constexpr std::array<std::int64_t, 12> kGaps = {0, 1, 27, 28, 29, 30, 31, 59, 365, 366, 400, 3000};
    for (Date a{1398, 1, 1}; a.year <= 1405; a = Shamsi::AddDays(a, 1)) {
        for (const std::int64_t gap : kGaps) {
            const Date b = Shamsi::AddDays(a, gap);
            const Period period = Shamsi::Between(a, b);
            ASSERT_EQ(Shamsi::Add(a, period), b) << Show(a) << " to " << Show(b);
            const std::int64_t months = 12 * period.years + period.months;
            ASSERT_LT(b, Shamsi::AddMonths(a, months + 1)) << Show(a) << " to " << Show(b);
            ASSERT_TRUE(period.months >= 0 && period.months < 12 && period.days >= 0 && period.weeks == 0);
            ASSERT_EQ(Shamsi::DaysBetween(a, b), gap);
            const Period back = Shamsi::Between(b, a);
            ASSERT_EQ(back, (Period{-period.years, -period.months, 0, -period.days})) << Show(a);
        }
    }
}
