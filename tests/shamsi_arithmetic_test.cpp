// Months, years and periods in the Shamsi library, against a model that
// walks the calendar one month or one day at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include <shamsi/arithmetic.h>
#include <shamsi/text.h>

namespace {

using Shamsi::Date;
using Shamsi::Period;

std::string Show(const Date& date) {
    return std::to_string(date.year) + '/' + std::to_string(date.month) + '/' + std::to_string(date.day);
}

std::string Show(const std::chrono::year_month_day& date) {
    return std::to_string(static_cast<int>(date.year())) + '-' +
           std::to_string(static_cast<unsigned>(date.month())) + '-' +
           std::to_string(static_cast<unsigned>(date.day()));
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

// The same moves in Gregorian months, and Between over many pairs.
TEST(MiladiArithmetic, MonthEndsAndBetween) {
    using namespace std::chrono;
    struct Case {
        year_month_day from{};
        Period period;
        year_month_day expected{};
    };
    const std::array<Case, 6> cases{{
        {year{2024} / February / 29, {.years = 1}, year{2025} / February / 28},
        {year{2025} / January / 31, {.months = 1}, year{2025} / February / 28},
        {year{2024} / March / 31, {.months = -1}, year{2024} / February / 29},
        {year{2025} / January / 31, {.years = 1, .months = 1, .days = 1}, year{2026} / March / 1},
        {year{2026} / December / 8, {.weeks = -3}, year{2026} / November / 17},
        {year{2026} / December / 8, {.years = Shamsi::kLongestMove + 1}, year_month_day{}},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(Shamsi::Add(c.from, c.period), c.expected) << Show(c.from);
    }
    constexpr std::array<int, 8> kGaps = {0, 1, 28, 29, 30, 31, 365, 1500};
    for (sys_days day = year{2019} / January / 1; day < sys_days{year{2029} / January / 1}; day += days{1}) {
        for (const int gap : kGaps) {
            const year_month_day a{day};
            const year_month_day b{day + days{gap}};
            const Period period = Shamsi::Between(a, b);
            ASSERT_EQ(Shamsi::Add(a, period), b) << Show(a) << " to " << Show(b);
            ASSERT_LT(sys_days{b}, sys_days{Shamsi::AddMonths(a, 12 * period.years + period.months + 1)})
                << Show(a);
            ASSERT_TRUE(period.months >= 0 && period.months < 12 && period.days >= 0)
                << Show(a) << " to " << Show(b);
            ASSERT_EQ(Shamsi::Between(b, a), (Period{-period.years, -period.months, 0, -period.days}))
                << Show(a);
        }
    }
}

// Amounts: what reads, what it reads as, and how a period is written back.
TEST(ShamsiAmount, ReadAndWrite) {
    struct Case {
        std::string_view text;
        bool good;
        Period period;
        std::string_view written;  // WritePeriod of the period read
    };
    const std::array<Case, 14> cases{{
        {"+40d", true, {.days = 40}, "+40d"},
        {"-3w", true, {.weeks = -3}, "-3w"},
        {"1y2m", true, {.years = 1, .months = 2}, "+1y2m"},
        {"+1y8m0w16d", true, {1, 8, 0, 16}, "+1y8m16d"},
        {"-0d", true, {}, "0d"},
        {"+۱m", true, {.months = 1}, "+1m"},
        {"٢y", true, {.years = 2}, "+2y"},
        {"", false, {}, ""},
        {"+", false, {}, ""},
        {"5", false, {}, ""},
        {"1m1y", false, {}, ""},
        {"1d1d", false, {}, ""},
        {"+1 d", false, {}, ""},
        {"1D", false, {}, ""},
    }};
    for (const Case& c : cases) {
        Period period{9, 9, 9, 9};
        ASSERT_EQ(Shamsi::ReadPeriod(c.text, period), c.good) << c.text;
        if (c.good) {
            EXPECT_EQ(period, c.period) << c.text;
            EXPECT_EQ(Shamsi::FormatPeriod(period, Shamsi::Digits::kAscii), c.written) << c.text;
        } else {
            EXPECT_EQ(period, (Period{9, 9, 9, 9})) << c.text;
        }
    }
    EXPECT_EQ(Shamsi::FormatPeriod({-1, -8, 0, -16}, Shamsi::Digits::kPersian), "-۱y۸m۱۶d");
}
