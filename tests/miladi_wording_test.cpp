#include <gtest/gtest.h>

#include "module1.h"
#include "recording_environment.h"

using Runtime::Text;

namespace {

const Text kDateFormat = U"خطا - - - تاريخ را بصورت روز/ماه/سال (YYYY/MM/DD)وارد نماييد";

struct Case {
    Text miladi;
    Text worded;
    int messages;
};

}  // namespace

TEST(MiladiToString, WordsTheFieldsByPosition) {
    const Case cases[] = {
        {U"2003/04/07", U"07 April 2003", 0},
        {U"2003/12/31", U"31 December 2003", 0},
        {U"2003/01/01", U"01 January 2003", 0},
        {U"2003/02/28", U"28 February 2003", 0},
        {U"2003/05/05", U"05 May 2003", 0},
        {U"2003/00/07", U"072003", 0},         // slot 0 is empty
        {U"abcd/05/xy", U"xy May abcd", 0},    // only the month is read as a number
        {U"2003/04/7 ", U"/7 April 2003", 0},  // trimmed to nine characters first
        {U" 2003/04/7", U"/7 April 2003", 0},
        {U"2003/۰۴/07", U"07 April 2003", 0},  // Persian digits in the month
        {U"2003/4/7", U"", 1},
        {U" 2003/04/07", U"", 1},
        {U"   ", U"", 1},
        {U"2003/13/07", U"", 1},
        {U"2003/-1/07", U"", 1},
        {U"2003/4//07", U"", 1},               // month field "4/"
        {U"20030/4/07", U"", 1},               // month field "/4"
        {U"          ", U"", 1},               // all blanks
        {U"   2003/04", U"04 April 2003", 0},  // trimmed to "2003/04"
    };
    for (const auto& c : cases) {
        RecordingEnvironment env;
        Text argument = c.miladi;
        EXPECT_EQ(Module1::MiladiToString(argument, env), c.worded) << Runtime::Utf8FromText(c.miladi);
        EXPECT_EQ(env.Messages(), std::vector<Text>(static_cast<std::size_t>(c.messages), kDateFormat))
            << Runtime::Utf8FromText(c.miladi);
    }
}

TEST(MiladiToString, TheEmptyTextIsTodayWithoutALeadingZero) {
    struct TodayCase {
        Runtime::Date today;
        Text worded;
    };
    const TodayCase cases[] = {
        {{2003, 4, 7}, U"7 April 2003"},
        {{2003, 12, 25}, U"25 December 2003"},
        {{2026, 1, 1}, U"1 January 2026"},
    };
    for (const auto& c : cases) {
        RecordingEnvironment env(c.today);
        Text argument;
        EXPECT_EQ(Module1::MiladiToString(argument, env), c.worded);
        EXPECT_TRUE(env.Messages().empty());
    }
}

TEST(MiladiToString, TrimsItsArgumentInPlace) {
    RecordingEnvironment env;
    Text argument = U"2003/04/7 ";
    (void)Module1::MiladiToString(argument, env);
    EXPECT_EQ(argument, U"2003/04/7");
}
