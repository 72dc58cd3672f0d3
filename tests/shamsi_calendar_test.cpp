#include <gtest/gtest.h>

#include "icu_oracle.h"
#include "shamsi_calendar.h"

using namespace ShamsiCalendar;

TEST(ShamsiCalendar, LeapYearsFollowTheThirtyThreeYearCycle) {
    for (const int year : {1300, 1309, 1375, 1379, 1383, 1387, 1391, 1395, 1399, 1403, 1408}) {
        EXPECT_TRUE(IsLeapYear(year)) << year;
    }
    for (const int year : {1301, 1372, 1371, 1382, 1398, 1400, 1404, 1407}) {
        EXPECT_FALSE(IsLeapYear(year)) << year;
    }
}

// ICU follows the 33-year rule alone; the astronomical calendar gives 1502
// a 29-day Esfand and 1503 the leap day, its first change after 1178.
TEST(ShamsiCalendar, NewYearsDayIsIcusFrom1200To1600SaveTheYearsAfter1501) {
    for (int year = 1200; year <= 1600; ++year) {
        const Runtime::Date icu = Oracle::GregorianOf({year, 1, 1});
        ASSERT_EQ(icu.month, 3) << year;
        const int moved = year == 1503 ? 1 : 0;
        ASSERT_EQ(FarvardinFirstMarchDay(year), icu.day - moved) << year;
        const int esfand = year == 1502 ? 29 : year == 1503 ? 30 : Oracle::DaysInShamsiMonth(year, 12);
        ASSERT_EQ(DaysInEsfand(year), esfand) << year;
    }
    EXPECT_EQ(Oracle::DaysInShamsiMonth(1502, 12), 30);
    EXPECT_EQ(Oracle::DaysInShamsiMonth(1503, 12), 29);
}

TEST(ShamsiCalendar, KnownNewYearsDays) {
    EXPECT_EQ(FarvardinFirstMarchDay(1300), 21);  // 1921
    EXPECT_EQ(FarvardinFirstMarchDay(1301), 22);  // 1922
    EXPECT_EQ(FarvardinFirstMarchDay(1371), 21);  // 1992
    EXPECT_EQ(FarvardinFirstMarchDay(1383), 20);  // 2004
    EXPECT_EQ(FarvardinFirstMarchDay(1503), 20);  // 2124, a leap year
    EXPECT_EQ(DaysBeforeFarvardinFirst(1382), 79);
    EXPECT_EQ(DaysBeforeFarvardinFirst(1383), 79);  // 20 March of a leap year
    EXPECT_EQ(DaysBeforeFarvardinFirst(1301), 80);
}
