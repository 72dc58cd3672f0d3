// Every day of the ranges the program serves, against ICU's Persian calendar,
// and Module1's Miladi-to-Shamsi table against the Shamsi library.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>
#include <utility>

#include <shamsi/date.h>

#include <unicode/datefmt.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <shamsi/text.h>

#include "icu_oracle.h"
#include "module1.h"
#include "recording_environment.h"

using Runtime::Date;
using Runtime::Text;

namespace {

Text TwoDigits(int n) {
    Text text;
    Runtime::AppendDecimal(text, n, 2);
    return text;
}

Text ShamsiTyped(const Oracle::ShamsiDate& d) {
    return TwoDigits(d.year % 100) + U"/" + TwoDigits(d.month) + U"/" + TwoDigits(d.day);
}

Text MiladiText(const Date& d) {
    return Runtime::TextFromUtf8(std::to_string(d.year)) + U"/" + TwoDigits(d.month) + U"/" +
           TwoDigits(d.day);
}

Text NumericShamsi(const Oracle::ShamsiDate& d) {
    return TwoDigits(d.year % 100) + U"/" + TwoDigits(d.month) + U"/" +
           Runtime::TextFromUtf8(std::to_string(d.day));
}

Date NextDay(const Date& d) {
    if (d.day < Runtime::DaysInGregorianMonth(d.year, d.month)) {
        return {d.year, d.month, d.day + 1};
    }
    return d.month < 12 ? Date{d.year, d.month + 1, 1} : Date{d.year + 1, 1, 1};
}

// ICU's own English wording of a date, "dd MMMM yyyy".
class IcuWording {
public:
    IcuWording() {
        UErrorCode status = U_ZERO_ERROR;
        // The status of the construction is checked right after it.
        // cppcheck-suppress useInitializationList
        format_ = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString("dd MMMM yyyy"),
                                                          icu::Locale("en_US"), status);
        EXPECT_TRUE(U_SUCCESS(status));
        format_->setTimeZone(*icu::TimeZone::getGMT());
        calendar_ = std::make_unique<icu::GregorianCalendar>(*icu::TimeZone::getGMT(), status);
        calendar_->setGregorianChange(-1e300, status);
        EXPECT_TRUE(U_SUCCESS(status));
    }

    Text Word(const Date& d) {
        UErrorCode status = U_ZERO_ERROR;
        calendar_->clear();
        calendar_->set(d.year, d.month - 1, d.day, 12, 0, 0);
        const UDate moment = calendar_->getTime(status);
        icu::UnicodeString out;
        format_->format(moment, out);
        std::string utf8;
        out.toUTF8String(utf8);
        return Runtime::TextFromUtf8(utf8);
    }

private:
    std::unique_ptr<icu::SimpleDateFormat> format_;
    std::unique_ptr<icu::GregorianCalendar> calendar_;
};

const std::array<Text, 7> kWeekdayNames = {U"يكشنبه",  U"دوشنبه", U"سه شنبه", U"چهارشنبه",
                                           U"پنجشنبه", U"جمعه",   U"شنبه"};
const std::array<Text, 12> kMonthNames = {U"فروردين", U"ارديبهشت", U"خرداد", U"تير", U"مرداد", U"شهريور",
                                          U"مهر",     U"آبان",     U"آذر",   U"دي",  U"بهمن",  U"اسفند"};

}  // namespace

TEST(Exhaustive, EveryShamsiDayOf1300To1399ConvertsAsIcuSaysOnConsecutiveDays) {
    RecordingEnvironment env;
    int days = 0;
    Date previous{};
    for (int year = 1300; year <= 1399; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const int length = Oracle::DaysInShamsiMonth(year, month);
            for (int day = 1; day <= length; ++day) {
                const Oracle::ShamsiDate shamsi{year, month, day};
                const Date expected = Oracle::GregorianOf(shamsi);
                Text typed = ShamsiTyped(shamsi);
                ASSERT_EQ(Module1::ShamsiToMiladi(typed, env), MiladiText(expected))
                    << year << '/' << month << '/' << day;
                if (days > 0) {
                    ASSERT_EQ(expected, NextDay(previous)) << year << '/' << month << '/' << day;
                }
                previous = expected;
                ++days;
            }
        }
    }
    EXPECT_EQ(days, 36525);
    EXPECT_TRUE(env.Messages().empty());
}

TEST(Exhaustive, EveryGregorianDayFrom1921To2121GivesIcusShamsiDateAndItsWeekday) {
    RecordingEnvironment env;
    int days = 0;
    for (Date d{1921, 3, 21}; !(d == Date{2121, 3, 21}); d = NextDay(d)) {
        const Oracle::ShamsiDate shamsi = Oracle::ShamsiOf(d);
        Text numericArgument = MiladiText(d);
        ASSERT_EQ(Module1::MiladiToShamsi(numericArgument, true, env), NumericShamsi(shamsi))
            << Runtime::Utf8FromText(MiladiText(d));

        Text longArgument = MiladiText(d);
        const Text longForm = Module1::MiladiToShamsi(longArgument, false, env);
        const Text& weekday = kWeekdayNames[static_cast<std::size_t>(Runtime::Weekday(d) - 1)];
        const Text year = U"  " + Runtime::TextFromUtf8(std::to_string(shamsi.year));
        ASSERT_EQ(longForm.substr(0, weekday.size() + 2), weekday + U"  ") << Runtime::Utf8FromText(longForm);
        ASSERT_EQ(longForm.substr(longForm.size() - year.size()), year) << Runtime::Utf8FromText(longForm);
        // The library reads the window's words back, in its older spelling.
        Shamsi::Date read;
        ASSERT_EQ(Shamsi::ReadShamsi(Runtime::Utf8FromText(longForm), read), Shamsi::ReadError::kNone)
            << Runtime::Utf8FromText(longForm);
        ASSERT_EQ(read, (Shamsi::Date{shamsi.year, shamsi.month, shamsi.day}))
            << Runtime::Utf8FromText(longForm);
        ++days;
    }
    EXPECT_EQ(days, 73049);
    EXPECT_TRUE(env.Messages().empty());
}

TEST(Exhaustive, EveryShamsiDayOf1300To1399SurvivesTheRoundTrip) {
    RecordingEnvironment env;
    for (int year = 1300; year <= 1399; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const int length = month <= 6 ? 31 : month <= 11 ? 30 : (Oracle::DaysInShamsiMonth(year, 12));
            for (int day = 1; day <= length; ++day) {
                const Oracle::ShamsiDate shamsi{year, month, day};
                Text typed = ShamsiTyped(shamsi);
                Text miladi = Module1::ShamsiToMiladi(typed, env);
                ASSERT_EQ(Module1::MiladiToShamsi(miladi, true, env), NumericShamsi(shamsi))
                    << Runtime::Utf8FromText(ShamsiTyped(shamsi));
            }
        }
    }
    EXPECT_TRUE(env.Messages().empty());
}

TEST(Exhaustive, EveryGregorianDayFrom1921To2121IsWordedAsIcuWordsIt) {
    RecordingEnvironment env;
    IcuWording icu;
    for (Date d{1921, 3, 21}; !(d == Date{2121, 3, 21}); d = NextDay(d)) {
        Text argument = MiladiText(d);
        const Text words = Module1::MiladiToString(argument, env);
        ASSERT_EQ(words, icu.Word(d)) << Runtime::Utf8FromText(MiladiText(d));
        std::chrono::year_month_day read{};
        ASSERT_EQ(Shamsi::ReadMiladi(Runtime::Utf8FromText(words), read), Shamsi::ReadError::kNone)
            << Runtime::Utf8FromText(words);
        ASSERT_EQ(read, std::chrono::year{d.year} / d.month / d.day) << Runtime::Utf8FromText(words);
    }
    EXPECT_TRUE(env.Messages().empty());
}

// The table of MiladiToShamsi, shifted by the New Year's Days, on every day
// of the Shamsi years 1178-3000 (20, 21 and 22 March, and the years the
// astronomical corrections move, from 20 March 2124 on) and of the two years
// around the first 1 Farvardin on 19 March (4675).
TEST(Exhaustive, EveryGregorianDayOfTheShamsiYears1178To3000GivesTheLibrarysDate) {
    using namespace std::chrono;
    int earlyYear = 3001;
    while (Shamsi::ToGregorian({earlyYear, 1, 1}).day() != day{19}) {
        ++earlyYear;
    }
    EXPECT_EQ(earlyYear, 4675);
    RecordingEnvironment env;
    int count = 0;
    for (const auto& [first, last] : {std::pair{1178, 3000}, std::pair{earlyYear - 1, earlyYear}}) {
        for (sys_days day = Shamsi::ToSysDays({first, 1, 1}); day < Shamsi::ToSysDays({last + 1, 1, 1});
             day += days{1}) {
            const year_month_day miladi{day};
            const Date d{static_cast<int>(miladi.year()),
                         static_cast<int>(static_cast<unsigned>(miladi.month())),
                         static_cast<int>(static_cast<unsigned>(miladi.day()))};
            const Shamsi::Date shamsi = Shamsi::FromSysDays(day);
            Text argument = MiladiText(d);
            const Text expected = kWeekdayNames[weekday{day}.c_encoding()] + U"  " +
                                  Runtime::TextFromUtf8(std::to_string(shamsi.day)) + U" " +
                                  kMonthNames[static_cast<std::size_t>(shamsi.month - 1)] + U"  " +
                                  Runtime::TextFromUtf8(std::to_string(shamsi.year));
            ASSERT_EQ(Module1::MiladiToShamsi(argument, false, env), expected)
                << Runtime::Utf8FromText(argument);
            ++count;
        }
    }
    EXPECT_EQ(count, 1823 * 365 + 442 + 365 * 2 + 1);
    EXPECT_TRUE(env.Messages().empty());
}
