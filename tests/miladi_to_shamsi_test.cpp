#include <gtest/gtest.h>

#include "module1.h"
#include "recording_environment.h"

using Runtime::Text;

namespace {

Text Numeric(Text miladi, RecordingEnvironment& env) { return Module1::MiladiToShamsi(miladi, true, env); }
Text Long(Text miladi, RecordingEnvironment& env) { return Module1::MiladiToShamsi(miladi, false, env); }

}  // namespace

TEST(MiladiToShamsi, NumericFormAcrossTheMonthTable) {
    struct Case {
        Text miladi;
        Text shamsi;
    };
    const Case cases[] = {
        // A year in which Farvardin 1 falls on 21 March with no leap day.
        {U"2023/03/21", U"02/01/1"},
        {U"2023/03/20", U"01/12/29"},
        {U"2023/02/19", U"01/11/30"},
        {U"2023/02/20", U"01/12/1"},
        {U"2023/01/01", U"01/10/11"},
        {U"2023/12/31", U"02/10/10"},
        {U"2023/09/23", U"02/07/1"},
        {U"2023/10/22", U"02/07/30"},
        {U"2023/10/23", U"02/08/1"},
        {U"2023/12/22", U"02/10/1"},
        {U"2006/03/21", U"85/01/1"},
        // Leap days on either side.
        {U"2003/04/01", U"82/01/12"},
        {U"2004/03/20", U"83/01/1"},
        {U"2004/03/19", U"82/12/29"},
        {U"2005/03/20", U"83/12/30"},
        {U"2005/03/21", U"84/01/1"},
        {U"2000/02/29", U"78/12/10"},
        {U"2000/03/01", U"78/12/11"},
        {U"2024/03/20", U"03/01/1"},
        {U"2025/03/20", U"03/12/30"},
        // Farvardin 1 on 22 March (1301-1338).
        {U"1922/03/22", U"01/01/1"},
        {U"1922/03/21", U"00/12/30"},
        {U"1959/03/21", U"37/12/30"},
        {U"1959/03/22", U"38/01/1"},
        {U"1980/08/01", U"59/05/10"},
        {U"1950/01/01", U"28/10/11"},
        // Farvardin 1 on 20 March of a common Gregorian year (from 1408).
        {U"2029/03/20", U"08/01/1"},
        {U"2029/03/19", U"07/12/29"},
        {U"2029/02/19", U"07/12/1"},
        {U"2029/04/01", U"08/01/13"},
        // The first and last days of the range.
        {U"1921/03/21", U"00/01/1"},
        {U"2121/03/20", U"99/12/29"},
    };
    RecordingEnvironment env;
    for (const auto& c : cases) {
        EXPECT_EQ(Numeric(c.miladi, env), c.shamsi) << Runtime::Utf8FromText(c.miladi);
    }
    EXPECT_TRUE(env.Messages().empty());
}

TEST(MiladiToShamsi, LongFormHasTwoBlanksAfterTheWeekdayAndTheMonthName) {
    struct Case {
        Text miladi;
        Text shamsi;
    };
    const Case cases[] = {
        {U"2023/03/21", U"سه شنبه  1 فروردين  1402"}, {U"2003/04/01", U"سه شنبه  12 فروردين  1382"},
        {U"2003/03/21", U"جمعه  1 فروردين  1382"},    {U"2023/03/20", U"دوشنبه  29 اسفند  1401"},
        {U"2023/12/31", U"يكشنبه  10 دي  1402"},      {U"2023/10/23", U"دوشنبه  1 آبان  1402"},
        {U"2023/06/17", U"شنبه  27 خرداد  1402"},     {U"2023/06/15", U"پنجشنبه  25 خرداد  1402"},
        {U"2023/06/14", U"چهارشنبه  24 خرداد  1402"}, {U"2023/05/01", U"دوشنبه  11 ارديبهشت  1402"},
        {U"2023/07/01", U"شنبه  10 تير  1402"},       {U"2023/08/01", U"سه شنبه  10 مرداد  1402"},
        {U"2023/09/01", U"جمعه  10 شهريور  1402"},    {U"2023/10/01", U"يكشنبه  9 مهر  1402"},
        {U"2023/11/30", U"پنجشنبه  9 آذر  1402"},     {U"2023/02/01", U"چهارشنبه  12 بهمن  1401"},
    };
    RecordingEnvironment env;
    for (const auto& c : cases) {
        EXPECT_EQ(Long(c.miladi, env), c.shamsi) << Runtime::Utf8FromText(c.miladi);
    }
}

TEST(MiladiToShamsi, TheEmptyTextIsTodayAndIsReplacedByTodaysDateText) {
    RecordingEnvironment env({2003, 4, 7});  // a Monday
    Text argument;
    EXPECT_EQ(Module1::MiladiToShamsi(argument, false, env), U"دوشنبه  18 فروردين  1382");
    EXPECT_EQ(argument, U"2003/04/07");
    EXPECT_EQ(Numeric(U"", env), U"82/01/18");

    RecordingEnvironment later({2026, 12, 8});
    EXPECT_EQ(Long(U"", later), U"سه شنبه  17 آذر  1405");
    EXPECT_TRUE(env.Messages().empty());
    EXPECT_TRUE(later.Messages().empty());
}

TEST(MiladiToShamsi, ATextThatIsNoDateGivesTheEmptyTextSilently) {
    RecordingEnvironment env;
    for (const Text text :
         {U" ", U"2003", U"2003/13/01", U"2003/02/29", U"abcd/05/xy", U"82/01/12x", U"2003/4/"}) {
        EXPECT_EQ(Long(text, env), U"") << Runtime::Utf8FromText(text);
        EXPECT_EQ(Numeric(text, env), U"") << Runtime::Utf8FromText(text);
    }
    EXPECT_TRUE(env.Messages().empty());
}
