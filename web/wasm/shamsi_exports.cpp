// The Shamsi library as the JavaScript package calls it, compiled to
// WebAssembly (web/package/index.js is the other side).
//
// Numbers cross as 32-bit integers. A date comes back in Fields(); texts
// are UTF-8 in two buffers of this module's memory: Input(size) for what
// JavaScript writes, Output() for what it reads. The batches go through
// Batch(), BatchSize() dates at a time. Every function that can refuse
// returns a Shamsi::ReadError (0 for none) or, for the batches, the index of
// the first bad date; Describe() gives the library's reason.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shamsi/arithmetic.h"
#include "shamsi/date.h"
#include "shamsi/names.h"
#include "shamsi/text.h"
#include "shamsi/time.h"

#include "days_to_shamsi.h"

namespace {

using Shamsi::Calendar;
using Shamsi::ReadError;

// A year beyond what std::chrono::year holds lies far outside the range.
constexpr int kLastChronoYear = 32767;
// Returned by Add for a result outside the years 1-9999: the library's
// reasons stop at kWrongWeekday.
constexpr int kMoveOutOfRange = static_cast<int>(ReadError::kWrongWeekday) + 1;
constexpr int kNoBadDate = -1;
constexpr int kUnknownNames = -1;

std::array<std::int32_t, 4> fields{};
// Four arrays of kBatchSize numbers: a batch's input and output. Small
// enough for the processor's cache, large enough that a call costs little.
constexpr std::size_t kBatchSize = 16384;
std::array<std::array<std::int32_t, kBatchSize>, 4> batch{};
std::string input;
std::string output;

// The formatter SetFormat made last.
Shamsi::Formatter& TheFormatter() {
    static Shamsi::Formatter formatter(Calendar::kShamsi);
    return formatter;
}

int Code(ReadError error) { return static_cast<int>(error); }

void SetFields(const Shamsi::Date& date) { fields = {date.year, date.month, date.day, 0}; }

void SetFields(const std::chrono::year_month_day& date) {
    fields = {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
              static_cast<int>(static_cast<unsigned>(date.day())), 0};
}

// As the library's reader checks a Shamsi date: the year first.
ReadError CheckShamsi(const Shamsi::Date& date) {
    if (date.year < Shamsi::kFirstYear || date.year > Shamsi::kLastYear) {
        return ReadError::kOutOfRange;
    }
    return date.IsValid() ? ReadError::kNone : ReadError::kNotADate;
}

// As the reader checks a Miladi date: a day of the proleptic Gregorian
// calendar, in the Shamsi years 1-9999.
ReadError CheckMiladi(int year, int month, int day, std::chrono::sys_days& result) {
    const bool monthAndDay = month >= 1 && month <= 12 && day >= 1 && day <= 31;
    if (year > kLastChronoYear || year < -kLastChronoYear) {
        return monthAndDay ? ReadError::kOutOfRange : ReadError::kNotADate;
    }
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!monthAndDay || !date.ok()) {
        return ReadError::kNotADate;
    }
    result = std::chrono::sys_days{date};
    return Shamsi::InRange(result) ? ReadError::kNone : ReadError::kOutOfRange;
}

constexpr int Packed(int year, int month, int day) { return year * 512 + month * 32 + day; }

int SetOutput(std::string_view text) {
    output.assign(text);
    return static_cast<int>(output.size());
}

// The wall day and time of an instant (whole seconds since 1970, which a
// double holds exactly for every JavaScript Date) at an offset (seconds
// east of UTC), or nothing when that day lies outside the years 1-9999.
std::optional<Shamsi::LocalTime> LocalTimeAt(double unixSeconds, int offsetSeconds) {
    const Shamsi::LocalTime local =
        Shamsi::LocalTimeOf(static_cast<std::int64_t>(unixSeconds), offsetSeconds);
    if (!Shamsi::InRange(local.day)) {
        return std::nullopt;
    }
    return local;
}

}  // namespace

extern "C" {

std::int32_t* Fields() { return fields.data(); }

std::int32_t* Batch() { return batch[0].data(); }

int BatchSize() { return static_cast<int>(kBatchSize); }

// Room for size bytes of text; valid until the next call to Input.
char* Input(std::size_t size) {
    input.resize(size);
    return input.data();
}

const char* Output() { return output.data(); }

// The library's reason for an error, in Output(); returns its length.
int Describe(int error, int calendar) {
    if (error == kMoveOutOfRange) {
        return SetOutput(Shamsi::kMoveOutOfRange);
    }
    return SetOutput(Shamsi::Describe(static_cast<ReadError>(error), static_cast<Calendar>(calendar)));
}

// The conversions return the date in one number, year * 512 + month * 32 +
// day (no memory to read back, for the functions called most), or minus the
// error.
int ToShamsi(int year, int month, int day) {
    std::chrono::sys_days miladi{};
    const ReadError error = CheckMiladi(year, month, day, miladi);
    if (error != ReadError::kNone) {
        return -Code(error);
    }
    const Shamsi::Date date = Shamsi::FromSysDays(miladi);
    return Packed(date.year, date.month, date.day);
}

int ToMiladi(int year, int month, int day) {
    const Shamsi::Date date{year, month, day};
    const ReadError error = CheckShamsi(date);
    if (error != ReadError::kNone) {
        return -Code(error);
    }
    const std::chrono::year_month_day miladi = Shamsi::ToGregorian(date);
    return Packed(static_cast<int>(miladi.year()), static_cast<int>(static_cast<unsigned>(miladi.month())),
                  static_cast<int>(static_cast<unsigned>(miladi.day())));
}

// Reads the size bytes of Input() in the usual forms of the calendar.
int Parse(int calendar, std::size_t size) {
    static const Shamsi::Reader shamsiReader(Calendar::kShamsi);
    static const Shamsi::Reader miladiReader(Calendar::kMiladi);
    const auto which = static_cast<Calendar>(calendar);
    const Shamsi::Reader& reader = which == Calendar::kShamsi ? shamsiReader : miladiReader;
    std::chrono::sys_days day{};
    const ReadError error = reader.Read(std::string_view(input.data(), size), day);
    if (error == ReadError::kNone) {
        if (which == Calendar::kShamsi) {
            SetFields(Shamsi::FromSysDays(day));
        } else {
            SetFields(std::chrono::year_month_day{day});
        }
    }
    return Code(error);
}

// Input() holds the pattern (patternSize bytes) and then the word that
// chooses the month names ("iranian", "afghan", "english": namesSize
// bytes); digits is a Shamsi::Digits. 0; kUnknownNames for a word that
// chooses no names; or for a bad pattern the length of the reason, which
// Output() then holds.
int SetFormat(std::size_t patternSize, int digits, std::size_t namesSize) {
    const std::string_view pattern(input.data(), patternSize);
    const std::optional<Shamsi::MonthNames> names =
        Shamsi::MonthNamesCalled(std::string_view(input.data() + patternSize, namesSize));
    if (!names) {
        return kUnknownNames;
    }
    Shamsi::Formatter& formatter = TheFormatter();
    formatter = Shamsi::Formatter(pattern, Calendar::kShamsi, static_cast<Shamsi::Digits>(digits), *names);
    if (!formatter.Error().empty()) {
        return SetOutput(formatter.Error());
    }
    output.resize(formatter.MaxSize());
    return 0;
}

// Writes a Shamsi date and a time of no particular offset with the pattern
// of SetFormat into Output(): its length, or minus the error.
int Format(int year, int month, int day, int hour, int minute, int second) {
    const Shamsi::Date date{year, month, day};
    const ReadError error = CheckShamsi(date);
    if (error != ReadError::kNone) {
        return -Code(error);
    }
    const Shamsi::TimeOfDay time{hour, minute, second, false, 0};
    return static_cast<int>(TheFormatter().Write(output.data(), Shamsi::ToSysDays(date), time) -
                            output.data());
}

// The Shamsi date of an instant at an offset, packed as ToShamsi's, with
// its hour, minute and second in Fields(); or minus kOutOfRange.
int ToShamsiAt(double unixSeconds, int offsetSeconds) {
    const std::optional<Shamsi::LocalTime> local = LocalTimeAt(unixSeconds, offsetSeconds);
    if (!local) {
        return -Code(ReadError::kOutOfRange);
    }
    const Shamsi::Date date = Shamsi::FromSysDays(local->day);
    fields = {local->time.hour, local->time.minute, local->time.second, 0};
    return Packed(date.year, date.month, date.day);
}

// Writes an instant's wall date and time at an offset, and the offset, with
// the pattern of SetFormat into Output(): its length, or minus kOutOfRange.
int FormatAt(double unixSeconds, int offsetSeconds) {
    const std::optional<Shamsi::LocalTime> local = LocalTimeAt(unixSeconds, offsetSeconds);
    if (!local) {
        return -Code(ReadError::kOutOfRange);
    }
    return static_cast<int>(TheFormatter().Write(output.data(), local->day, local->time) - output.data());
}

// The days from 1970-01-01 of a Shamsi date in Fields()[0]: 0, or the error.
int DaysOf(int year, int month, int day) {
    const Shamsi::Date date{year, month, day};
    const ReadError error = CheckShamsi(date);
    if (error != ReadError::kNone) {
        return Code(error);
    }
    fields[0] = static_cast<std::int32_t>(Shamsi::ToSysDays(date).time_since_epoch().count());
    return 0;
}

// 0 or 1; minus kOutOfRange for a year outside 1-9999.
int IsLeapYear(int year) {
    if (year < Shamsi::kFirstYear || year > Shamsi::kLastYear) {
        return -Code(ReadError::kOutOfRange);
    }
    return Shamsi::IsLeapYear(year) ? 1 : 0;
}

// 29 to 31, or minus the error.
int DaysInMonth(int year, int month) {
    if (year < Shamsi::kFirstYear || year > Shamsi::kLastYear) {
        return -Code(ReadError::kOutOfRange);
    }
    const int days = Shamsi::DaysInMonth(year, month);
    return days == 0 ? -Code(ReadError::kNotADate) : days;
}

int Add(int year, int month, int day, int years, int months, int weeks, int days) {
    const Shamsi::Date date{year, month, day};
    const ReadError error = CheckShamsi(date);
    if (error != ReadError::kNone) {
        return Code(error);
    }
    const Shamsi::Date moved = Shamsi::Add(date, {years, months, weeks, days});
    if (!moved.IsValid()) {
        return kMoveOutOfRange;
    }
    SetFields(moved);
    return 0;
}

// b - a as years, months and days in Fields().
int Between(int yearA, int monthA, int dayA, int yearB, int monthB, int dayB) {
    const Shamsi::Date a{yearA, monthA, dayA};
    const Shamsi::Date b{yearB, monthB, dayB};
    ReadError error = CheckShamsi(a);
    if (error == ReadError::kNone) {
        error = CheckShamsi(b);
    }
    if (error != ReadError::kNone) {
        return Code(error);
    }
    const Shamsi::Period period = Shamsi::Between(a, b);
    fields = {static_cast<std::int32_t>(period.years), static_cast<std::int32_t>(period.months),
              static_cast<std::int32_t>(period.days), 0};
    return 0;
}

// The Shamsi dates of the count days (from 1970-01-01) in the first array
// of Batch(), into the other three: kNoBadDate, or the index of the first
// day outside the years 1-9999 (which Fields()[0] then holds).
int ShamsiFromDays(int count) {
    const std::int32_t* days = batch[0].data();
    const int bad = DaysToShamsi(days, count, batch[1].data(), batch[2].data(), batch[3].data());
    if (bad >= 0) {
        fields[0] = days[bad];
        return bad;
    }
    return kNoBadDate;
}

// The days (from 1970-01-01) of the count Shamsi dates in the first three
// arrays of Batch() (years, months, days), into the fourth: kNoBadDate, or
// the index of the first bad date, whose error Fields()[0] then holds.
int DaysFromShamsi(int count) {
    const std::int32_t* years = batch[0].data();
    const std::int32_t* months = batch[1].data();
    const std::int32_t* daysOfMonth = batch[2].data();
    std::int32_t* days = batch[3].data();
    for (int i = 0; i < count; ++i) {
        const Shamsi::Date date{years[i], months[i], daysOfMonth[i]};
        const ReadError error = CheckShamsi(date);
        if (error != ReadError::kNone) {
            fields[0] = Code(error);
            return i;
        }
        days[i] = static_cast<std::int32_t>(Shamsi::ToSysDays(date).time_since_epoch().count());
    }
    return kNoBadDate;
}

}  // extern "C"

// Weeks and names: what a month's calendar draws.
extern "C" {

// The weekday of a Shamsi date, 0 for Saturday to 6 for Friday, or minus the
// error.
int WeekdayOf(int year, int month, int day) {
    const Shamsi::Date date{year, month, day};
    const ReadError error = CheckShamsi(date);
    if (error != ReadError::kNone) {
        return -Code(error);
    }
    return static_cast<int>(Shamsi::SaturdayFirstIndex(Shamsi::Weekday(date)));
}

// Input() holds the word that chooses the names (namesSize bytes). Writes
// into Output(), one a line, the twelve month names (kind 0), the seven
// weekday names, Saturday first (kind 1), or the seven heads of a month's
// columns (kind 2); returns the length, or kUnknownNames.
int Names(int kind, std::size_t namesSize) {
    const std::optional<Shamsi::MonthNames> names =
        Shamsi::MonthNamesCalled(std::string_view(input.data(), namesSize));
    if (!names) {
        return kUnknownNames;
    }
    output.clear();
    const std::size_t count =
        kind == 0 ? Shamsi::kIranianMonthNames.size() : Shamsi::kPersianWeekdayNames.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            output.push_back('\n');
        }
        if (kind == 0) {
            output.append(Shamsi::ShamsiMonthNames(*names).at(i));
        } else if (kind == 1) {
            output.append(*names == Shamsi::MonthNames::kEnglish ? Shamsi::kEnglishWeekdayNames.at(i)
                                                                 : Shamsi::kPersianWeekdayNames.at(i));
        } else {
            output.append(Shamsi::WeekdayInitial(i, *names));
        }
    }
    return static_cast<int>(output.size());
}

}  // extern "C"
