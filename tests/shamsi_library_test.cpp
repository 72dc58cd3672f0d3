// The Shamsi library: its New Year's Days against the calendar authority's
// table and the published list of astronomical corrections (tests/data/),
// every day of its range against ICU, then reading and writing dates.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <shamsi/date.h>
#include <shamsi/text.h>

#include "icu_oracle.h"

using namespace std::chrono;

namespace {

std::string Show(const Shamsi::Date& date) {
    return std::to_string(date.year) + '/' + std::to_string(date.month) + '/' + std::to_string(date.day);
}

// The lines of a file of tests/data/ that are not comments.
std::vector<std::string> DataLines(const std::string& name) {
    std::ifstream file(std::string(DATECONV_TEST_DATA_DIR) + "/" + name);
    EXPECT_TRUE(file.is_open()) << name;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') {
            lines.push_back(line);
        }
    }
    return lines;
}

// The years the astronomical calendar takes the leap day from (to the next
// year), as published.
std::set<int> CorrectedYears() {
    std::set<int> years;
    for (const std::string& line : DataLines("shamsi-astronomical-corrections.txt")) {
        std::istringstream fields(line);
        for (int year = 0; fields >> year;) {
            years.insert(year);
        }
    }
    return years;
}

// A leap year by the 33-year rule alone.
bool LeapByTheRule(int year) {
    static const std::set<int> kLeapRemainders = {1, 5, 9, 13, 17, 22, 26, 30};
    return kLeapRemainders.contains(((year % 33) + 33) % 33);
}

sys_days DayOf(const Runtime::Date& date) {
    return sys_days{year{date.year} / month{static_cast<unsigned>(date.month)} /
                    day{static_cast<unsigned>(date.day)}};
}

}  // namespace

TEST(ShamsiLibrary, NewYearsDaysAreTheAuthoritys1206To1498) {
    int count = 0;
    for (const std::string& line : DataLines("shamsi-new-years-1206-1498.txt")) {
        std::istringstream fields(line);
        int shamsiYear = 0;
        int y = 0;
        int m = 0;
        int d = 0;
        char dash1 = 0;
        char dash2 = 0;
        std::string leap;
        fields >> shamsiYear >> y >> dash1 >> m >> dash2 >> d >> leap;
        ASSERT_EQ(shamsiYear, 1206 + count) << line;
        EXPECT_EQ(Shamsi::ToSysDays({shamsiYear, 1, 1}), DayOf({y, m, d})) << line;
        EXPECT_EQ(Shamsi::IsLeapYear(shamsiYear), leap == "leap") << line;
        ++count;
    }
    EXPECT_EQ(count, 293);
}

// 1 Farvardin 1300 was 21 March 1921; from there, year by year both ways, a
// year has 366 days when the 33-year rule makes it a leap year and it is not
// listed, or when the year before it is listed.
TEST(ShamsiLibrary, NewYearsDaysAreTheRuleMovedByTheList) {
    const std::set<int> listed = CorrectedYears();
    ASSERT_EQ(listed.size(), 78U);
    const auto isLeap = [&listed](int y) {
        return LeapByTheRule(y) != (listed.contains(y) || listed.contains(y - 1));
    };
    std::map<int, sys_days> newYear{{1300, sys_days{1921y / March / 21}}};
    for (int y = 1300; y <= Shamsi::kLastYear; ++y) {
        newYear[y + 1] = newYear[y] + days{isLeap(y) ? 366 : 365};
    }
    for (int y = 1299; y >= Shamsi::kFirstYear; --y) {
        newYear[y] = newYear[y + 1] - days{isLeap(y) ? 366 : 365};
    }
    for (const auto& [y, day] : newYear) {
        ASSERT_EQ(Shamsi::NewYearDayNumber(y), day.time_since_epoch().count()) << y;
        ASSERT_EQ(Shamsi::IsLeapYear(y), isLeap(y)) << y;
    }
    EXPECT_EQ(Shamsi::ToGregorian({1503, 1, 1}), 2124y / March / 20);  // the rule: 21 March
    EXPECT_EQ(Shamsi::DaysInMonth(1502, 12), 29);
    EXPECT_EQ(Shamsi::DaysInMonth(1503, 12), 30);
}

// Both directions, the weekday, the day of the year, validity, and reading
// back what the formatters write, on every day of the years 1-9999. ICU 72
// follows the 33-year rule alone, so the library's date is ICU's wherever
// the list moves nothing. For a listed year L it moves the 366 days from
// ICU's 30 Esfand L to ICU's 29 Esfand L+1: the library has 1 Farvardin L+1
// to 30 Esfand L+1 there, on each day the date ICU gives the next day, and
// 30 Esfand on the last.
TEST(ShamsiLibrary, EveryDayOfTheYears1To9999IsIcusSaveTheListedSpans) {
    struct Span {
        sys_days last;
        int listedYear = 0;
    };
    std::map<sys_days, Span> spans;  // by the first day
    for (const int listedYear : CorrectedYears()) {
        spans.emplace(DayOf(Oracle::GregorianOf({listedYear + 1, 1, 1})) - days{1},
                      Span{DayOf(Oracle::GregorianOf({listedYear + 2, 1, 1})) - days{1}, listedYear});
    }
    const Shamsi::Formatter shamsiText(Shamsi::Calendar::kShamsi);
    const Shamsi::Formatter miladiText(Shamsi::Calendar::kMiladi);
    long long count = 0;
    long long moved = 0;
    auto span = spans.begin();
    Oracle::ShamsiDay icuNext = Oracle::ShamsiOfDayNumber(Shamsi::kFirstDay.time_since_epoch().count());
    for (sys_days day = Shamsi::kFirstDay; day <= Shamsi::kLastDay; day += days{1}) {
        const Oracle::ShamsiDay icu = icuNext;
        icuNext = Oracle::ShamsiOfDayNumber(day.time_since_epoch().count() + 1);
        if (span != spans.end() && day > span->second.last) {
            ++span;
        }
        Shamsi::Date expected{icu.date.year, icu.date.month, icu.date.day};
        int dayOfYear = icu.dayOfYear;
        if (span != spans.end() && day >= span->first) {
            const int listedYear = span->second.listedYear;
            if (day == span->first) {
                ASSERT_EQ(expected, (Shamsi::Date{listedYear, 12, 30}));
            }
            if (day < span->second.last) {
                expected = {icuNext.date.year, icuNext.date.month, icuNext.date.day};
                dayOfYear = icuNext.dayOfYear;
            } else {
                ASSERT_EQ(expected, (Shamsi::Date{listedYear + 1, 12, 29}));
                expected.day = 30;
                dayOfYear = 366;
            }
            ++moved;
        }
        const Shamsi::Date date = Shamsi::FromSysDays(day);
        ASSERT_EQ(date, expected) << Show(date) << " for " << Show(expected);
        ASSERT_TRUE(date.IsValid()) << Show(date);
        ASSERT_EQ(Shamsi::ToSysDays(expected), day) << Show(expected);
        ASSERT_EQ(Shamsi::ToGregorian(expected), year_month_day{day}) << Show(expected);
        ASSERT_EQ(Shamsi::Weekday(expected).c_encoding() + 1, static_cast<unsigned>(icu.weekday))
            << Show(expected);
        ASSERT_EQ(Shamsi::DayOfYear(expected), dayOfYear) << Show(expected);

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
    // 9999 years of 365 days, and the leap days of the cycle (the list moves
    // leap days, never adds or drops one); 78 spans of 366 days.
    EXPECT_EQ(count, 9999LL * 365 + (8 * 10000 + 21) / 33);
    EXPECT_EQ(moved, 78 * 366);
    EXPECT_EQ(spans.begin()->first, sys_days{2124y / March / 20});
    EXPECT_EQ(spans.rbegin()->second.last, sys_days{3610y / March / 20});
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
        {"1502/12/30", ReadError::kNotADate, {}, ReadError::kNone},
        {"1503/12/30", ReadError::kNone, {1503, 12, 30}, ReadError::kNone},
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
