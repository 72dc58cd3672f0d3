#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "services.h"

using namespace Runtime;

TEST(TextToNumber, ReadsAsFarAsANumberGoes) {
    struct Case {
        Text text;
        double expected;
    };
    const Case cases[] = {
        {U"", 0},
        {U"abc", 0},
        {U"1382", 1382},
        {U"130A", 130},       // stops at the first letter
        {U"13 8 2", 1382},    // blanks anywhere are ignored
        {U"1\t3\n82", 1382},  // and so are tabs and line feeds
        {U"13\r82", 13},      // a carriage return is not ignored
        {U"-9", -9},
        {U"+7", 7},
        {U"--7", 0},  // a second sign cannot continue a number
        {U"1.5", 1.5},
        {U"1.5.5", 1.5},  // one decimal point only
        {U".5", 0.5},
        {U"-.5", -0.5},
        {U"- 1 . 5 e 1", -15},  // blanks inside every part
        {U"+1e+1", 10},
        {U"0012", 12},
        {U"1234567890123456789", 1234567890123456789.0},  // past the plain-integer reading
        {U"13e2", 1300},
        {U"13E-1", 1.3},
        {U"13e", 13},  // an exponent without digits is not read
        {U"13e+", 13},
        {U"/01", 0},
        {U"01/", 1},
        {U"۱۳۸۲", 1382},  // Extended Arabic-Indic digits
        {U"١٣٨٢", 1382},  // Arabic-Indic digits
        {U"13۸۲", 1382},  // mixed
        {U"۱۳e۲", 1300},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.expected) << Utf8FromText(c.text);
    }
}

TEST(TextToNumber, HugeExponentsGiveInfinityAndTinyOnesZero) {
    EXPECT_TRUE(std::isinf(TextToNumber(U"13e999")));
    EXPECT_GT(TextToNumber(U"13e999"), 0);
    EXPECT_LT(TextToNumber(U"-13e999"), 0);
    EXPECT_EQ(TextToNumber(U"13e-999"), 0.0);
    EXPECT_DOUBLE_EQ(TextToNumber(U"13e9"), 13e9);
}

TEST(RealToInt16, RoundsHalfToEvenWithinRange) {
    struct Case {
        double value = 0;
        std::optional<std::int16_t> expected;
    };
    const Case cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        {32767, 32767},
        {-32768, -32768},
        {32767.4, 32767},
        {32767.5, std::nullopt},
        {-32768.5, -32768},
        {-32768.6, std::nullopt},
        {1e10, std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RealToInt16(c.value), c.expected) << c.value;
    }
    EXPECT_EQ(RealToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(RealToInt32(2147483648.0), std::nullopt);
    EXPECT_EQ(RealToInt32(-3.5), -4);
}

TEST(TextToInt16, NeedsTheWholeTextToBeOneNumber) {
    struct Case {
        Text text;
        std::optional<std::int16_t> expected;
    };
    const Case cases[] = {
        {U"04", 4},
        {U" 4", 4},
        {U"4 ", 4},
        {U"  12  ", 12},
        {U"-1", -1},
        {U"+3", 3},
        {U"2.5", 2},
        {U"0.5", 0},
        {U"1e1", 10},
        {U"۰۴", 4},
        {U"", std::nullopt},
        {U"  ", std::nullopt},
        {U"4/", std::nullopt},
        {U"/4", std::nullopt},
        {U"xy", std::nullopt},
        {U"4e", std::nullopt},
        {U"1 2", std::nullopt},
        {U"\t4", std::nullopt},
        {U"99999", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToInt16(c.text), c.expected) << Utf8FromText(c.text);
    }
}

TEST(NumberToText, GivesNonNegativeNumbersALeadingBlank) {
    EXPECT_EQ(NumberToText(0), U" 0");
    EXPECT_EQ(NumberToText(1382), U" 1382");
    EXPECT_EQ(NumberToText(-9), U"-9");
    EXPECT_EQ(NumberToText(std::numeric_limits<std::int64_t>::min()), U"-9223372036854775808");
    struct Case {
        std::int64_t number;
        int minimumDigits;
        Text appended;
    };
    const Case cases[] = {{4, 2, U"x04"}, {12, 2, U"x12"},  {2003, 2, U"x2003"},
                          {0, 1, U"x0"},  {-7, 2, U"x-07"}, {13621, 1, U"x13621"}};
    for (const auto& c : cases) {
        Text text = U"x";
        AppendDecimal(text, c.number, c.minimumDigits);
        EXPECT_EQ(text, c.appended) << c.number;
    }
    EXPECT_EQ(WholePart(-2.5), -3);
    EXPECT_EQ(WholePart(2.5), 2);
}

TEST(TextOperations, ShortTextsGiveShorterResults) {
    EXPECT_EQ(Trim(U"  a b  "), U"a b");
    EXPECT_EQ(Trim(U"\ta "), U"\ta");  // only blanks are trimmed
    EXPECT_EQ(Trim(U"   "), U"");
    EXPECT_EQ(Left(U"2003/04/07", 4), U"2003");
    EXPECT_EQ(Left(U"20", 4), U"20");
    EXPECT_EQ(Right(U"2003/04/07", 2), U"07");
    EXPECT_EQ(Right(U"7", 2), U"7");
    EXPECT_EQ(Mid(U"2003/04/07", 6, 2), U"04");
    EXPECT_EQ(Mid(U"2003/04", 6, 5), U"04");
    EXPECT_EQ(Mid(U"2003", 5, 2), U"");
    EXPECT_EQ(Mid(U"2003", 9, 2), U"");
    EXPECT_EQ(Length(U"۸۲/۰۱/۱۲"), 8u);  // characters, not bytes
    EXPECT_EQ(Join(U"13", U"82/01/12"), U"1382/01/12");
}

TEST(Dates, WeekdayStartsOnSunday) {
    struct Case {
        Date date;
        int weekday = 0;
    };
    const Case cases[] = {
        {{2003, 4, 1}, 3},    // Tuesday
        {{2023, 3, 21}, 3},   // Tuesday
        {{1970, 1, 1}, 5},    // Thursday
        {{1969, 12, 28}, 1},  // Sunday
        {{2000, 2, 29}, 3},   // Tuesday
        {{1921, 3, 21}, 2},   // Monday
        {{2026, 12, 12}, 7},  // Saturday
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Weekday(c.date), c.weekday) << c.date.year << '/' << c.date.month << '/' << c.date.day;
    }
}

TEST(Dates, DateTextReadsBackAsTheSameDate) {
    for (const Date date : {Date{2003, 4, 7}, Date{1921, 12, 31}, Date{2000, 2, 29}, Date{9, 1, 1}}) {
        EXPECT_EQ(DateFromText(DateToText(date)), date);
    }
    EXPECT_EQ(DateToText({2003, 4, 7}), U"2003/04/07");
    EXPECT_EQ(DateFromText(U" 2003-4-7 "), (Date{2003, 4, 7}));
    EXPECT_EQ(DateFromText(U"13621/03/21"), (Date{13621, 3, 21}));
}

TEST(Dates, TextsThatAreNoDateAreRefused) {
    for (const Text text :
         {U"", U"2003", U"2003/04", U"2003/13/01", U"2003/00/01", U"2003/02/29", U"1900/02/29", U"2003/04/31",
          U"0000/01/01", U"abcd/05/xy", U"2003/04/07/", U"2003//07", U"40000/01/01", U"2003/+4/07"}) {
        EXPECT_EQ(DateFromText(text), std::nullopt) << Utf8FromText(text);
    }
}

TEST(Utf8, DecodesAndReplacesMalformedSequences) {
    EXPECT_EQ(TextFromUtf8("82/01/12"), U"82/01/12");
    EXPECT_EQ(TextFromUtf8("\xDB\xB8\xDB\xB2"), U"۸۲");
    EXPECT_EQ(TextFromUtf8("\xF0\x9F\x98\x80"), U"\U0001F600");
    EXPECT_EQ(TextFromUtf8("\xFF"), U"\uFFFD");
    EXPECT_EQ(TextFromUtf8("\xC0\xAF"), U"\uFFFD");      // overlong
    EXPECT_EQ(TextFromUtf8("\xED\xA0\x80"), U"\uFFFD");  // surrogate
    EXPECT_EQ(TextFromUtf8("\xE2\x82"), U"\uFFFD");      // cut short
    EXPECT_EQ(TextFromUtf8("a\xE2\x82z"), U"a\uFFFDz");
    EXPECT_EQ(Utf8FromText(U"۸۲"), "\xDB\xB8\xDB\xB2");
    EXPECT_EQ(Utf8FromText(Text(1, static_cast<char32_t>(0xD800))), "\xEF\xBF\xBD");
    const Text all = U"a\u00e9\u06F8\U0001F600";
    EXPECT_EQ(TextFromUtf8(Utf8FromText(all)), all);
}

TEST(Utf16, EveryScalarValueRoundTripsAndLoneSurrogatesAreReplaced) {
    Text all;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c < 0xD800 || c > 0xDFFF) {
            all += c;
        }
    }
    const std::u16string utf16 = Utf16FromText(all);
    // One unit below U+10000, a pair above.
    EXPECT_EQ(utf16.size(), all.size() + (0x110000 - 0x10000));
    EXPECT_EQ(TextFromUtf16(utf16), all);

    EXPECT_EQ(Utf16FromText(U"\U0001F600"), u"\xD83D\xDE00");
    EXPECT_EQ(Utf16FromText(Text(1, static_cast<char32_t>(0xDC00))), u"\uFFFD");
    const struct {
        std::u16string utf16;
        Text expected;
    } cases[] = {
        {u"\xD83D", U"\uFFFD"},                      // high surrogate at the end
        {u"\xDE00\xD83D", U"\uFFFD\uFFFD"},          // low before high
        {std::u16string{0xD83D, u'z'}, U"\uFFFDz"},  // high before a letter
        {u"\xD83D\xD83D\xDE00", U"\uFFFD\U0001F600"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextFromUtf16(c.utf16), c.expected) << Utf8FromText(c.expected);
    }
}
