#include "icu_oracle.h"

#include <memory>
#include <stdexcept>

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

namespace Oracle {

namespace {

std::unique_ptr<icu::Calendar> MakeCalendar(const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone("UTC"), icu::Locale(locale), status));
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU calendar unavailable");
    }
    auto* gregorian = dynamic_cast<icu::GregorianCalendar*>(calendar.get());
    if (gregorian != nullptr) {
        // Proleptic Gregorian throughout, so no Julian dates sneak in.
        gregorian->setGregorianChange(-1e300, status);
    }
    return calendar;
}

icu::Calendar& Persian() {
    static const std::unique_ptr<icu::Calendar> calendar = MakeCalendar("fa_IR@calendar=persian");
    return *calendar;
}

icu::Calendar& Gregorian() {
    static const std::unique_ptr<icu::Calendar> calendar = MakeCalendar("en_US@calendar=gregorian");
    return *calendar;
}

int Field(const icu::Calendar& calendar, UCalendarDateFields field) {
    UErrorCode status = U_ZERO_ERROR;
    const int value = calendar.get(field, status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU field unavailable");
    }
    return value;
}

UDate Moment(const icu::Calendar& calendar) {
    UErrorCode status = U_ZERO_ERROR;
    const UDate moment = calendar.getTime(status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU time unavailable");
    }
    return moment;
}

void SetMoment(icu::Calendar& calendar, UDate moment) {
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(moment, status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU time rejected");
    }
}

constexpr int kNoon = 12;

}  // namespace

Runtime::Date GregorianOf(const ShamsiDate& shamsi) {
    icu::Calendar& persian = Persian();
    persian.clear();
    persian.set(shamsi.year, shamsi.month - 1, shamsi.day, kNoon, 0, 0);
    icu::Calendar& gregorian = Gregorian();
    SetMoment(gregorian, Moment(persian));
    return {Field(gregorian, UCAL_YEAR), Field(gregorian, UCAL_MONTH) + 1, Field(gregorian, UCAL_DATE)};
}

ShamsiDate ShamsiOf(const Runtime::Date& date) {
    icu::Calendar& gregorian = Gregorian();
    gregorian.clear();
    gregorian.set(date.year, date.month - 1, date.day, kNoon, 0, 0);
    icu::Calendar& persian = Persian();
    SetMoment(persian, Moment(gregorian));
    return {Field(persian, UCAL_YEAR), Field(persian, UCAL_MONTH) + 1, Field(persian, UCAL_DATE)};
}

ShamsiDay ShamsiOfDayNumber(long long dayNumber) {
    constexpr double kMillisecondsPerDay = 86400000.0;
    constexpr double kNoonMilliseconds = kMillisecondsPerDay / 2;
    icu::Calendar& persian = Persian();
    SetMoment(persian, static_cast<double>(dayNumber) * kMillisecondsPerDay + kNoonMilliseconds);
    return {{Field(persian, UCAL_YEAR), Field(persian, UCAL_MONTH) + 1, Field(persian, UCAL_DATE)},
            Field(persian, UCAL_DAY_OF_YEAR),
            Field(persian, UCAL_DAY_OF_WEEK)};
}

int DaysInShamsiMonth(int year, int month) {
    icu::Calendar& persian = Persian();
    persian.clear();
    persian.set(year, month - 1, 1, kNoon, 0, 0);
    UErrorCode status = U_ZERO_ERROR;
    const int days = persian.getActualMaximum(UCAL_DATE, status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU month length unavailable");
    }
    return days;
}

}  // namespace Oracle
