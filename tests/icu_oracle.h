// ICU's Persian calendar as an independent reference for the conversions.
#pragma once

#include "services.h"

namespace Oracle {

struct ShamsiDate {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;
    friend bool operator==(const ShamsiDate&, const ShamsiDate&) = default;
};

// The Gregorian date of a Shamsi date, as ICU's Persian calendar gives it.
Runtime::Date GregorianOf(const ShamsiDate& shamsi);
// The Shamsi date of a Gregorian date.
ShamsiDate ShamsiOf(const Runtime::Date& date);
// The Shamsi date of a day (days from 1970-01-01), with the day of the year
// (from 1) and the weekday (1 for Sunday to 7 for Saturday).
struct ShamsiDay {
    ShamsiDate date;
    int dayOfYear = 0;
    int weekday = 0;
};
ShamsiDay ShamsiOfDayNumber(long long dayNumber);
// Days in a Shamsi month according to ICU.
int DaysInShamsiMonth(int year, int month);

}  // namespace Oracle
