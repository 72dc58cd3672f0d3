#include <gtest/gtest.h>

#include "icu_oracle.h"
#include "module1.h"
#include "recording_environment.h"

using Runtime::Text;

namespace {

const Text kDateFormat = U"خطا - - - تاريخ را بصورت روز/ماه/سال وارد نماييد";
const Text kTwoDigits = U"تمامي فيلدها بايد به صورت دو رقمي وارد شود";
const Text kYear = U"خطا - - - سال را شمسي وارد نماييد";
const Text kMonth = U"خطا  - - - ماه را درست وارد نماييد";
const Text kDay = U"xxxxxxxxx1";

struct Case {
    Text typed;
    Text expected;
    std::vector<Text> messages;
};

void ExpectConversion(const Case& c) {
    RecordingEnvironment env;
    Text argument = c.typed;
    const Text result = Module1::ShamsiToMiladi(argument, env);
    EXPECT_EQ(result, c.expected) << Runtime::Utf8FromText(c.typed);
    EXPECT_EQ(env.Messages(), c.messages) << Runtime::Utf8FromText(c.typed);
}

}  // namespace

TEST(ShamsiToMiladi, ConvertsGoodDatesSilently) {
    const Case cases[] = {
        {U"82/01/01", U"2003/03/21", {}},
        {U"82/01/11", U"2003/03/31", {}},
        {U"82/01/12", U"2003/04/01", {}},
        {U"83/01/01", U"2004/03/20", {}},
        {U"82/12/29", U"2004/03/19", {}},
        {U"83/12/30", U"2005/03/20", {}},
        {U"79/12/30", U"2001/03/20", {}},
        {U"80/01/01", U"2001/03/21", {}},
        {U"00/01/01", U"1921/03/21", {}},
        {U"99/12/30", U"2021/03/20", {}},
        {U"00/10/10", U"1921/12/31", {}},
        {U"00/10/11", U"1922/01/01", {}},  // the walk crosses the year end
        {U"78/12/10", U"2000/02/29", {}},  // February of the second year
        {U"78/12/11", U"2000/03/01", {}},
        {U"82-01-01", U"2003/03/21", {}},  // separators are not examined
        {U"82x01y01", U"2003/03/21", {}},
        // Years where the four-year rule would be a day early.
        {U"71/01/01", U"1992/03/21", {}},
        {U"59/05/10", U"1980/08/01", {}},
        {U"01/01/01", U"1922/03/22", {}},
        {U"40/01/01", U"1961/03/21", {}},
        {U"62/12/29", U"1984/03/19", {}},
        // Persian keyboards type Extended Arabic-Indic digits.
        {U"۸۲/۰۱/۱۲", U"2003/04/01", {}},
        {U"٨٢/٠١/١٢", U"2003/04/01", {}},
        {U"8۲/0۱/1٢", U"2003/04/01", {}},
        {U"82/+1/01", U"2003/03/21", {}},
        {U"82/1./12", U"2003/04/01", {}},
    };
    for (const auto& c : cases) {
        ExpectConversion(c);
    }
}

TEST(ShamsiToMiladi, ADayOutsideItsMonthIsToldAndConvertedAnyway) {
    const Case cases[] = {
        {U"82/07/31", U"2003/10/23", {kDay}}, {U"82/01/00", U"2003/03/20", {kDay}},
        {U"82/12/30", U"2004/03/20", {kDay}},  // Esfand 30 of a common year is Farvardin 1
        {U"82/01/-9", U"2003/03/11", {kDay}}, {U"82/01/32", U"2003/04/21", {kDay}},
        {U"82/12/99", U"2004/05/28", {kDay}}, {U"99/12/99", U"2021/05/28", {kDay}},
        {U"82/06/32", U"2003/09/23", {kDay}}, {U"82/01/ab", U"2003/03/20", {kDay}},  // reads as day 0
    };
    for (const auto& c : cases) {
        ExpectConversion(c);
    }
}

TEST(ShamsiToMiladi, BadInputIsToldAndGivesTheEmptyText) {
    const std::vector<Text> wrongLength = {kDateFormat, kTwoDigits};
    const Case cases[] = {
        {U"82/1/1", U"", wrongLength},
        {U"82/01/1", U"", wrongLength},
        {U"82/01/011", U"", wrongLength},
        {U"", U"", wrongLength},
        {U"\U0001F600\U0001F600/01/01", U"", {kYear}},  // one character each
        {U"82/13/01", U"", {kMonth}},
        {U"82/00/05", U"", {kMonth}},
        {U"82/-1/05", U"", {kMonth}},
        {U"82/ab/05", U"", {kMonth}},
        {U"0A/01/01", U"", {kYear}},
        {U"-1/01/01", U"", {kYear}},
        {U"ab/13/45", U"", {kYear}},  // the year is tested first
        {U"e9/01/01", U"", {kYear}},  // 13e9 is beyond 16 bits
        {U"e4/01/01", U"", {kYear}},  // 130000 too
    };
    for (const auto& c : cases) {
        ExpectConversion(c);
    }
}

TEST(ShamsiToMiladi, RewritesTheArgumentOnlyOnceTheLengthIsRight) {
    RecordingEnvironment env;
    Text good = U"82/01/12";
    (void)Module1::ShamsiToMiladi(good, env);
    EXPECT_EQ(good, U"1382/01/12");

    Text bad = U"82/13/01";
    EXPECT_EQ(Module1::ShamsiToMiladi(bad, env), U"");
    EXPECT_EQ(bad, U"1382/13/01");

    Text wrongLength = U"82/1/1";
    EXPECT_EQ(Module1::ShamsiToMiladi(wrongLength, env), U"");
    EXPECT_EQ(wrongLength, U"82/1/1");
}

TEST(ShamsiToMiladi, AYearTextReadingAsAFiveDigitYearStillConverts) {
    // "13e3" reads as 13000; the 33-year rule carries on that far, as ICU's does.
    RecordingEnvironment env;
    Text typed = U"e3/01/01";
    const Runtime::Date expected = Oracle::GregorianOf({13000, 1, 1});
    EXPECT_EQ(expected.year, 13621);
    EXPECT_EQ(Module1::ShamsiToMiladi(typed, env), Runtime::DateToText(expected));
    EXPECT_TRUE(env.Messages().empty());
}
