// The Shamsi library: every day of its range against ICU, then reading and
// writing dates.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>

#include <shamsi/date.h>
#include <shamsi/text.h>

#include "icu_oracle.h"

using namespace std::chrono;

namespace {

std::string Show(const Shamsi::Date& date) {
    return std::to_string(date.year) + '/' + std::to_string(date.month) + '/' + std::to_string(date.day);
}

}  // namespace

// Both directions, the weekday, the day of the year, validity, and reading
// back what the formatters write, on every day of the years 1-9999.
TEST(ShamsiLibrary, EveryDayOfTheYears1To9999AgreesWithIcu) {
    const Shamsi::Formatter shamsiText(Shamsi::Calendar::kShamsi);
    const Shamsi::Formatter miladiText(Shamsi::Calendar::kMiladi);
    long long count = 0;
    for (sys_days day = Shamsi::kFirstDay; day <= Shamsi::kLastDay; day += days{1}) {
        const Oracle::ShamsiDay icu = Oracle::ShamsiOfDayNumber(day.time_since_epoch().count());
        const Shamsi::Date expected{icu.date.year, icu.date.month, icu.date.day};
        const Shamsi::Date date = Shamsi::FromSysDays(day);
        ASSERT_EQ(date, expected) << Show(date) << " for " << Show(expected);
        ASSERT_TRUE(date.IsValid()) << Show(date);
        ASSERT_EQ(Shamsi::ToSysDays(expected), day) << Show(expected);
        ASSERT_EQ(Shamsi::ToGregorian(expected), year_month_day{day}) << Show(expected);
        ASSERT_EQ(Shamsi::Weekday(expected).c_encoding() + 1, static_cast<unsigned>(icu.weekday))
            << Show(expected);
        ASSERT_EQ(Shamsi::DayOfYear(expected), icu.dayOfYear) << Show(expected);

        Shamsi::Date readShamsi;
        ASSERT_EQ(Shamsi::ReadShamsi(shamsiText.Format(date), readShamsi), Shamsi::ReadError::kNone)
            << Show(date);
        ASSERT_EQ(readShamsi, date);
        year_month_day readMiladi{};
        ASSERT_EQ(Shamsi::ReadMiladi(miladiText.Format(date), readMiladi), Shamsi::ReadError::kNone)
            << Show(date);
        ASSERT_EQ(sys_days{readMiladi}, day) << Show(date);
        ++count;
    }
    // 9999 years of 365 days, and the leap days of the cycle.
    EXPECT_EQ(count, 9999LL * 365 + (8 * 10000 + 21) / 33);
    EXPECT_EQ(Shamsi::FromSysDays(Shamsi::kFirstDay - days{1}).year, 0);
    EXPECT_FALSE(Shamsi::InRange(Shamsi::kFirstDay - days{1}));
    EXPECT_FALSE(Shamsi::InRange(Shamsi::kLastDay + days{1}));
    EXPECT_FALSE(Shamsi::FromSysDays(Shamsi::kLastDay + days{1}).IsValid());
}

TEST(ShamsiLibrary, YearAndMonthLengthsAddUpToTheNextNewYear) {
    for (int year = -100; year <= 12000; ++year) {
        int sum = 0;
        for (int month = 1; month <= 12; ++month) {
            sum += Shamsi::DaysInMonth(year, month);
        }
        ASSERT_EQ(sum, Shamsi::DaysInYear(year)) << year;
        ASSERT_EQ(Shamsi::NewYearDayNumber(year + 1) - Shamsi::NewYearDayNumber(year), sum) << year;
        ASSERT_EQ(Shamsi::FromSysDays(sys_days{days{Shamsi::NewYearDayNumber(year)}}),
                  (Shamsi::Date{year, 1, 1}));
    }
    EXPECT_EQ(Shamsi::DaysInMonth(1403, 0), 0);
    EXPECT_EQ(Shamsi::DaysInMonth(1403, 13), 0);
}

TEST(ShamsiLibrary, AddsDaysAcrossMonthsAndYears) {
    struct Case {
        Shamsi::Date from;
        long long days = 0;
        Shamsi::Date to;
    };
    const Case cases[] = {
        {{1403, 12, 29}, 1, {1403, 12, 30}}, {{1403, 12, 30}, 1, {1404, 1, 1}},
        {{1404, 12, 29}, 1, {1405, 1, 1}},   {{1404, 1, 1}, -1, {1403, 12, 30}},
        {{1404, 6, 31}, 1, {1404, 7, 1}},    {{1404, 1, 1}, 365, {1405, 1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Shamsi::AddDays(c.from, c.days), c.to) << Show(c.from) << " + " << c.days;
    }
    static_assert(Shamsi::ToGregorian({1404, 1, 1}) == 2025y / March / 21);
    static_assert(Shamsi::Weekday({1404, 1, 1}) == Friday);
}

TEST(ShamsiLibrary, ReadsDatesInEitherCalendar) {
    using Shamsi::ReadError;
    struct Case {
        std::string_view text;
        ReadError shamsi;  // read as a Shamsi date
        Shamsi::Date date;
        ReadError miladi;  // read as a Miladi date
    };
    const Case cases[] = {
        {"1404/01/01", ReadError::kNone, {1404, 1, 1}, ReadError::kNone},
        {" \t1404-1-1 \t", ReadError::kNone, {1404, 1, 1}, ReadError::kNone},
        {"۱۴۰۳/۱۲/۳۰", ReadError::kNone, {1403, 12, 30}, ReadError::kNone},
        {"١٤٠٤/٠١/٠٢", ReadError::kNone, {1404, 1, 2}, ReadError::kNone},
        {"۱۴۰۴/1/٠٢", ReadError::kNone, {1404, 1, 2}, ReadError::kNone},
        {"82/01/12", ReadError::kNone, {82, 1, 12}, ReadError::kOutOfRange},
        {"0001/1/1", ReadError::kNone, {1, 1, 1}, ReadError::kOutOfRange},
        {"9999/12/29", ReadError::kNone, {9999, 12, 29}, ReadError::kNone},
        {"1404/12/30", ReadError::kNotADate, {}, ReadError::kNone},
        {"1404/07/31", ReadError::kNotADate, {}, ReadError::kNone},
        {"1404/13/01", ReadError::kNotADate, {}, ReadError::kNotADate},
        {"1404/00/10", ReadError::kNotADate, {}, ReadError::kNotADate},
        {"2024/02/29", ReadError::kNone, {2024, 2, 29}, ReadError::kNone},
        {"2025/02/29", ReadError::kNone, {2025, 2, 29}, ReadError::kNotADate},
        {"2025/02/30", ReadError::kNone, {2025, 2, 30}, ReadError::kNotADate},
        {"2025/02/32", ReadError::kNotADate, {}, ReadError::kNotADate},
        {"0/1/1", ReadError::kOutOfRange, {}, ReadError::kOutOfRange},
        {"10000/1/1", ReadError::kOutOfRange, {}, ReadError::kNone},
        {"10621/03/20", ReadError::kOutOfRange, {}, ReadError::kOutOfRange},
        {"99999999999/1/1", ReadError::kOutOfRange, {}, ReadError::kOutOfRange},
        {"1404/1/1/", ReadError::kUnreadable, {}, ReadError::kUnreadable},
        {"1404/1-1", ReadError::kUnreadable, {}, ReadError::kUnreadable},
        {"1404/001/1", ReadError::kUnreadable, {}, ReadError::kUnreadable},
        {"1404 /1/1", ReadError::kUnreadable, {}, ReadError::kUnreadable},
        {"+1404/1/1", ReadError::kUnreadable, {}, ReadError::kUnreadable},
        {"1404/1/", ReadError::kUnreadable, {}, ReadError::kUnreadable},
        {"", ReadError::kUnreadable, {}, ReadError::kUnreadable},
        {"\xDB\xBA/1/1", ReadError::kUnreadable, {}, ReadError::kUnreadable},
        {"\xDB", ReadError::kUnreadable, {}, ReadError::kUnreadable},
    };
    for (const Case& c : cases) {
        Shamsi::Date date{-1, -1, -1};
        EXPECT_EQ(Shamsi::ReadShamsi(c.text, date), c.shamsi) << c.text;
        const Shamsi::Date unchanged{-1, -1, -1};
        EXPECT_EQ(date, c.shamsi == ReadError::kNone ? c.date : unchanged) << c.text;
        year_month_day miladi{};
        EXPECT_EQ(Shamsi::ReadMiladi(c.text, miladi), c.miladi) << c.text;
    }
    const std::string tooLong(Shamsi::kLongestDateText, ' ');
    Shamsi::Date date;
    EXPECT_EQ(Shamsi::ReadShamsi(tooLong + "1404/1/1", date), ReadError::kUnreadable);
    EXPECT_EQ(Shamsi::ReadShamsi(tooLong.substr(8) + "1404/1/1", date), ReadError::kNone);
}

TEST(ShamsiLibrary, WritesEveryFieldInBothCalendars) {
    struct Case {
        std::string_view pattern;
        Shamsi::Calendar calendar;
        Shamsi::Digits digits;
        std::string_view expected;  // for 1 Farvardin 1404, Friday 21 March 2025
    };
    using Shamsi::Calendar;
    using Shamsi::Digits;
    const Case cases[] = {
        {"%Y/%m/%d", Calendar::kShamsi, Digits::kAscii, "1404/01/01"},
        {"%Y/%m/%d", Calendar::kMiladi, Digits::kAscii, "2025/03/21"},
        {"%Y-%m-%d", Calendar::kMiladi, Digits::kAscii, "2025-03-21"},
        {"%-d.%-m.%Y %j %%", Calendar::kMiladi, Digits::kAscii, "21.3.2025 080 %"},
        {"%A %-d %B %Y", Calendar::kShamsi, Digits::kPersian, "جمعه ۱ فروردین ۱۴۰۴"},
        {"%A, %d %B %Y", Calendar::kMiladi, Digits::kAscii, "Friday, 21 March 2025"},
        {"%j/%Y/%m/%d", Calendar::kShamsi, Digits::kPersian, "۰۰۱/۱۴۰۴/۰۱/۰۱"},
        {"روز %d", Calendar::kShamsi, Digits::kAscii, "روز 01"},
    };
    for (const Case& c : cases) {
        const Shamsi::Formatter formatter(c.pattern, c.calendar, c.digits);
        EXPECT_TRUE(formatter.Error().empty()) << c.pattern;
        EXPECT_EQ(formatter.Format(Shamsi::Date{1404, 1, 1}), c.expected) << c.pattern;
        EXPECT_EQ(formatter.Format(2025y / March / 21), c.expected) << c.pattern;
        EXPECT_LE(c.expected.size(), formatter.MaxSize()) << c.pattern;
    }
    // Names of every month and weekday, and the short years.
    const Shamsi::Formatter names("%B %A %Y", Calendar::kShamsi);
    EXPECT_EQ(names.Format(Shamsi::Date{82, 12, 29}), "اسفند یکشنبه 0082");
    EXPECT_EQ(names.Format(Shamsi::Date{1405, 9, 17}), "آذر سه\u200cشنبه 1405");
    EXPECT_EQ(Shamsi::Formatter("%B %A", Calendar::kMiladi).Format(Shamsi::Date{1405, 9, 17}),
              "December Tuesday");
    for (const std::string_view bad : {"%Y/%q", "%", "%Y%-", "%-Y"}) {
        const Shamsi::Formatter formatter(bad, Calendar::kShamsi);
        EXPECT_FALSE(formatter.Error().empty()) << bad;
        EXPECT_EQ(formatter.Format(Shamsi::Date{1404, 1, 1}), "") << bad;
    }
}
