// The shamsi extension: Shamsi dates in PostgreSQL, over the Shamsi library.
//
// PostgreSQL reports errors with ereport(ERROR), which leaves the function
// by longjmp: no destructor between the call and the transaction's error
// handler runs. So every function called from SQL keeps only trivially
// destructible values (dates, day numbers, string views, pointers) on its
// stack, no C++ exception leaves this file, and the one object that owns
// memory, a Formatter, lives on the heap and is deleted by a callback of the
// memory context of the SQL call it serves.
//
// The standard and Shamsi headers come first: PostgreSQL's own headers
// redefine printf and its relatives as macros.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string_view>

#include "shamsi/arithmetic.h"
#include "shamsi/date.h"
#include "shamsi/names.h"
#include "shamsi/text.h"

extern "C" {
#include "postgres.h"

#include "fmgr.h"
#include "mb/pg_wchar.h"
#include "utils/builtins.h"
#include "utils/date.h"
#include "utils/datetime.h"
#include "utils/memutils.h"
#include "utils/timestamp.h"

PG_MODULE_MAGIC;
}

namespace {

// PostgreSQL counts days from 2000-01-01, std::chrono from 1970-01-01.
constexpr std::int64_t kPostgresEpochDays = POSTGRES_EPOCH_JDATE - UNIX_EPOCH_JDATE;

constexpr std::chrono::sys_days SysDaysOf(DateADT date) {
    return std::chrono::sys_days{std::chrono::days{date + kPostgresEpochDays}};
}

constexpr DateADT DateOf(std::chrono::sys_days day) {
    return static_cast<DateADT>(day.time_since_epoch().count() - kPostgresEpochDays);
}

constexpr DateADT DateOf(const Shamsi::Date& date) { return DateOf(Shamsi::ToSysDays(date)); }

std::string_view ViewOf(const text* value) { return {VARDATA_ANY(value), VARSIZE_ANY_EXHDR(value)}; }

// The date's text as PostgreSQL writes it (in the session's DateStyle), for
// messages.
const char* DateText(DateADT date) {
    return DatumGetCString(DirectFunctionCall1(date_out, DateADTGetDatum(date)));
}

// The Shamsi date of a day; an error for days outside the Shamsi years 1-9999
// and for infinity.
Shamsi::Date ShamsiOf(DateADT date) {
    if (DATE_NOT_FINITE(date) || !Shamsi::InRange(SysDaysOf(date))) {
        const std::string_view reason =
            Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kMiladi);
        ereport(ERROR,
                (errcode(ERRCODE_DATETIME_FIELD_OVERFLOW),
                 errmsg("'%s': %.*s", DateText(date), static_cast<int>(reason.size()), reason.data())));
    }
    return Shamsi::FromSysDays(SysDaysOf(date));
}

// A text holding length bytes, to be filled by the caller.
text* NewText(std::size_t length) {
    auto* result = static_cast<text*>(palloc(VARHDRSZ + length));
    SET_VARSIZE(result, VARHDRSZ + length);
    return result;
}

// Writes value in width ASCII digits, with leading zeros, before end.
char* WriteDigits(char* end, int value, int width) {
    for (int i = 0; i < width; ++i) {
        *--end = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return end;
}

// "YYYY/MM/DD": the years 1-9999 always take four digits.
text* PlainText(const Shamsi::Date& date) {
    constexpr std::size_t kLength = 10;
    text* result = NewText(kLength);
    char* end = VARDATA(result) + kLength;
    end = WriteDigits(end, date.day, 2);
    *--end = '/';
    end = WriteDigits(end, date.month, 2);
    *--end = '/';
    WriteDigits(end, date.year, 4);
    return result;
}

// A text in the database's encoding from UTF-8 bytes; an error when a
// character has no place in that encoding.
text* TextFromUtf8(const char* bytes, std::size_t length) {
    if (GetDatabaseEncoding() == PG_UTF8) {
        return cstring_to_text_with_len(bytes, static_cast<int>(length));
    }
    const char* converted = pg_any_to_server(bytes, static_cast<int>(length), PG_UTF8);
    // The same bytes back when they need no conversion, not ended by a zero.
    return converted == bytes ? cstring_to_text_with_len(bytes, static_cast<int>(length))
                              : cstring_to_text(converted);
}

// The UTF-8 bytes of a text in the database's encoding.
std::string_view Utf8Of(const text* value) {
    const std::string_view bytes = ViewOf(value);
    if (GetDatabaseEncoding() == PG_UTF8) {
        return bytes;
    }
    const char* converted = pg_server_to_any(bytes.data(), static_cast<int>(bytes.size()), PG_UTF8);
    return converted == bytes.data() ? bytes : std::string_view{converted};
}

// --- Formatters kept between rows ---------------------------------------------

// The formatter of one call site of to_shamsi(date, format, persian_digits),
// kept in its fn_extra while the pattern stays the same (it nearly always
// does: a query passes one constant pattern).
struct FormatCache {
    char* pattern;  // in the call's memory context
    std::size_t patternLength;
    bool persian;
    Shamsi::Formatter* formatter;  // on the heap; deleted with the context
    MemoryContextCallback callback;
};

void DeleteFormatter(void* argument) noexcept {
    auto* cache = static_cast<FormatCache*>(argument);
    delete cache->formatter;
    cache->formatter = nullptr;
}

// A new formatter, or null when memory ran out; never throws.
Shamsi::Formatter* NewFormatter(std::string_view pattern, bool persian) noexcept {
    try {
        return new Shamsi::Formatter(pattern, Shamsi::Calendar::kShamsi,
                                     persian ? Shamsi::Digits::kPersian : Shamsi::Digits::kAscii);
    } catch (...) {
        return nullptr;
    }
}

// The formatter for this pattern, made when the call site has none yet or
// had another pattern; an error for a bad pattern.
const Shamsi::Formatter& FormatterFor(FunctionCallInfo fcinfo, const text* patternText, bool persian) {
    auto* cache = static_cast<FormatCache*>(fcinfo->flinfo->fn_extra);
    const std::string_view pattern = ViewOf(patternText);
    if (cache != nullptr && cache->formatter != nullptr && cache->persian == persian &&
        pattern == std::string_view{cache->pattern, cache->patternLength}) {
        return *cache->formatter;
    }
    if (cache == nullptr) {
        cache =
            static_cast<FormatCache*>(MemoryContextAllocZero(fcinfo->flinfo->fn_mcxt, sizeof(FormatCache)));
        cache->callback.func = DeleteFormatter;
        cache->callback.arg = cache;
        MemoryContextRegisterResetCallback(fcinfo->flinfo->fn_mcxt, &cache->callback);
        fcinfo->flinfo->fn_extra = cache;
    }
    DeleteFormatter(cache);
    if (cache->pattern != nullptr) {
        pfree(cache->pattern);
        cache->pattern = nullptr;
    }
    cache->pattern = static_cast<char*>(MemoryContextAlloc(fcinfo->flinfo->fn_mcxt, pattern.size() + 1));
    std::memcpy(cache->pattern, pattern.data(), pattern.size());
    cache->patternLength = pattern.size();
    cache->persian = persian;
    cache->formatter = NewFormatter(Utf8Of(patternText), persian);
    if (cache->formatter == nullptr) {
        ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY), errmsg("out of memory")));
    }
    if (!cache->formatter->Error().empty()) {
        // Not kept: the next call makes its formatter again.
        const char* error = pstrdup(cache->formatter->Error().c_str());
        DeleteFormatter(cache);
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                        errmsg("'%s': %s", text_to_cstring(patternText), error)));
    }
    return *cache->formatter;
}

// The date of the first argument written with the pattern of the second,
// in Persian digits when the third is true.
text* FormattedText(FunctionCallInfo fcinfo, DateADT day) {
    const Shamsi::Date date = ShamsiOf(day);
    const Shamsi::Formatter& formatter = FormatterFor(fcinfo, PG_GETARG_TEXT_PP(1), PG_GETARG_BOOL(2));
    if (GetDatabaseEncoding() == PG_UTF8) {
        text* result = NewText(formatter.MaxSize());
        const char* end = formatter.Write(VARDATA(result), date);
        SET_VARSIZE(result, VARHDRSZ + (end - VARDATA(result)));
        return result;
    }
    auto* bytes = static_cast<char*>(palloc(formatter.MaxSize()));
    const char* end = formatter.Write(bytes, date);
    return TextFromUtf8(bytes, static_cast<std::size_t>(end - bytes));
}

DateADT DateOfTimestamp(Datum timestamp) {
    return DatumGetDateADT(DirectFunctionCall1(timestamp_date, timestamp));
}
DateADT DateOfTimestampTz(Datum timestamp) {
    return DatumGetDateADT(DirectFunctionCall1(timestamptz_date, timestamp));
}

// --- Fields ---------------------------------------------------------------------

enum class Field { kYear, kQuarter, kMonth, kWeek, kDay, kDayOfYear, kDayOfWeek, kUnknown };

struct FieldName {
    std::string_view name;
    Field field;
};

constexpr std::array<FieldName, 7> kFieldNames = {{
    {"year", Field::kYear},
    {"quarter", Field::kQuarter},
    {"month", Field::kMonth},
    {"week", Field::kWeek},
    {"day", Field::kDay},
    {"doy", Field::kDayOfYear},
    {"dow", Field::kDayOfWeek},
}};

// The field a name gives, in any mix of upper and lower case.
Field FieldOf(std::string_view name) {
    for (const FieldName& known : kFieldNames) {
        if (known.name.size() == name.size() &&
            pg_strncasecmp(known.name.data(), name.data(), static_cast<int>(name.size())) == 0) {
            return known.field;
        }
    }
    return Field::kUnknown;
}

// The field named by the text, which must be one of those the function
// takes (listed for the message).
Field FieldArgument(const text* name, std::initializer_list<Field> allowed, const char* function,
                    const char* names) {
    const Field field = FieldOf(ViewOf(name));
    for (const Field each : allowed) {
        if (each == field) {
            return field;
        }
    }
    ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                    errmsg("'%s': not a field of %s (%s)", text_to_cstring(name), function, names)));
    return Field::kUnknown;
}

constexpr int Quarter(const Shamsi::Date& date) { return (date.month - 1) / 3 + 1; }

// 0 for Saturday to 6 for Friday.
int DayOfWeek(DateADT date) {
    return static_cast<int>(Shamsi::SaturdayFirstIndex(std::chrono::weekday{SysDaysOf(date)}));
}

}  // namespace

// --- Functions called from SQL --------------------------------------------------

extern "C" {

PG_FUNCTION_INFO_V1(shamsi_to_shamsi);
PG_FUNCTION_INFO_V1(shamsi_to_shamsi_format);
PG_FUNCTION_INFO_V1(shamsi_timestamp_to_shamsi);
PG_FUNCTION_INFO_V1(shamsi_timestamp_to_shamsi_format);
PG_FUNCTION_INFO_V1(shamsi_timestamptz_to_shamsi);
PG_FUNCTION_INFO_V1(shamsi_timestamptz_to_shamsi_format);
PG_FUNCTION_INFO_V1(shamsi_date_from_text);
PG_FUNCTION_INFO_V1(shamsi_date_from_fields);
PG_FUNCTION_INFO_V1(shamsi_part);
PG_FUNCTION_INFO_V1(shamsi_trunc);
PG_FUNCTION_INFO_V1(shamsi_add);
PG_FUNCTION_INFO_V1(shamsi_age);

// to_shamsi(date) -> text: "YYYY/MM/DD".
Datum shamsi_to_shamsi(PG_FUNCTION_ARGS) { PG_RETURN_TEXT_P(PlainText(ShamsiOf(PG_GETARG_DATEADT(0)))); }

// to_shamsi(date, format text, persian_digits boolean) -> text.
Datum shamsi_to_shamsi_format(PG_FUNCTION_ARGS) {
    PG_RETURN_TEXT_P(FormattedText(fcinfo, PG_GETARG_DATEADT(0)));
}

// The same for a timestamp, whose day is its date, and for a timestamptz,
// whose day is its date in the session's TimeZone (as ::date takes it).
Datum shamsi_timestamp_to_shamsi(PG_FUNCTION_ARGS) {
    PG_RETURN_TEXT_P(PlainText(ShamsiOf(DateOfTimestamp(PG_GETARG_DATUM(0)))));
}
Datum shamsi_timestamp_to_shamsi_format(PG_FUNCTION_ARGS) {
    PG_RETURN_TEXT_P(FormattedText(fcinfo, DateOfTimestamp(PG_GETARG_DATUM(0))));
}
Datum shamsi_timestamptz_to_shamsi(PG_FUNCTION_ARGS) {
    PG_RETURN_TEXT_P(PlainText(ShamsiOf(DateOfTimestampTz(PG_GETARG_DATUM(0)))));
}
Datum shamsi_timestamptz_to_shamsi_format(PG_FUNCTION_ARGS) {
    PG_RETURN_TEXT_P(FormattedText(fcinfo, DateOfTimestampTz(PG_GETARG_DATUM(0))));
}

// shamsi_date(text) -> date: what shamsi-date to-miladi reads.
Datum shamsi_date_from_text(PG_FUNCTION_ARGS) {
    const text* value = PG_GETARG_TEXT_PP(0);
    Shamsi::Date date;
    const Shamsi::ReadError error = Shamsi::ReadShamsi(Utf8Of(value), date);
    if (error != Shamsi::ReadError::kNone) {
        const std::string_view reason = Shamsi::Describe(error, Shamsi::Calendar::kShamsi);
        // A weekday that is not the date's makes the text as a whole wrong,
        // as an unreadable one is; a day the calendar lacks is a field's fault.
        const bool badText =
            error == Shamsi::ReadError::kUnreadable || error == Shamsi::ReadError::kWrongWeekday;
        ereport(ERROR, (errcode(badText ? ERRCODE_INVALID_DATETIME_FORMAT : ERRCODE_DATETIME_FIELD_OVERFLOW),
                        errmsg("'%s': %.*s", text_to_cstring(value), static_cast<int>(reason.size()),
                               reason.data())));
    }
    PG_RETURN_DATEADT(DateOf(date));
}

// shamsi_date(year, month, day) -> date.
Datum shamsi_date_from_fields(PG_FUNCTION_ARGS) {
    const Shamsi::Date date{PG_GETARG_INT32(0), PG_GETARG_INT32(1), PG_GETARG_INT32(2)};
    if (!date.IsValid()) {
        const Shamsi::ReadError error = date.year < Shamsi::kFirstYear || date.year > Shamsi::kLastYear
                                            ? Shamsi::ReadError::kOutOfRange
                                            : Shamsi::ReadError::kNotADate;
        const std::string_view reason = Shamsi::Describe(error, Shamsi::Calendar::kShamsi);
        ereport(ERROR, (errcode(ERRCODE_DATETIME_FIELD_OVERFLOW),
                        errmsg("'%d/%d/%d': %.*s", date.year, date.month, date.day,
                               static_cast<int>(reason.size()), reason.data())));
    }
    PG_RETURN_DATEADT(DateOf(date));
}

// shamsi_part(field, date) -> integer.
Datum shamsi_part(PG_FUNCTION_ARGS) {
    const Field field = FieldArgument(
        PG_GETARG_TEXT_PP(0),
        {Field::kYear, Field::kQuarter, Field::kMonth, Field::kDay, Field::kDayOfYear, Field::kDayOfWeek},
        "shamsi_part", "year, quarter, month, day, doy or dow");
    const DateADT day = PG_GETARG_DATEADT(1);
    const Shamsi::Date date = ShamsiOf(day);
    switch (field) {
        case Field::kYear:
            PG_RETURN_INT32(date.year);
        case Field::kQuarter:
            PG_RETURN_INT32(Quarter(date));
        case Field::kMonth:
            PG_RETURN_INT32(date.month);
        case Field::kDay:
            PG_RETURN_INT32(date.day);
        case Field::kDayOfYear:
            PG_RETURN_INT32(Shamsi::DayOfYear(date));
        default:
            PG_RETURN_INT32(DayOfWeek(day));
    }
}

// shamsi_trunc(field, date) -> date: the first day of the Shamsi year,
// quarter or month, or the Saturday that starts the week.
Datum shamsi_trunc(PG_FUNCTION_ARGS) {
    const Field field =
        FieldArgument(PG_GETARG_TEXT_PP(0), {Field::kYear, Field::kQuarter, Field::kMonth, Field::kWeek},
                      "shamsi_trunc", "year, quarter, month or week");
    const DateADT day = PG_GETARG_DATEADT(1);
    const Shamsi::Date date = ShamsiOf(day);
    switch (field) {
        case Field::kYear:
            PG_RETURN_DATEADT(DateOf(Shamsi::Date{date.year, 1, 1}));
        case Field::kQuarter:
            PG_RETURN_DATEADT(DateOf(Shamsi::Date{date.year, (Quarter(date) - 1) * 3 + 1, 1}));
        case Field::kMonth:
            PG_RETURN_DATEADT(day - date.day + 1);
        default:
            // The week of the year's first days may start in the year before,
            // outside the years 1-9999: still a day PostgreSQL can hold.
            PG_RETURN_DATEADT(day - DayOfWeek(day));
    }
}

// shamsi_add(date, interval) -> date: the interval's years and months in
// Shamsi months, held once to the end of the month reached, then its days.
Datum shamsi_add(PG_FUNCTION_ARGS) {
    const DateADT day = PG_GETARG_DATEADT(0);
    const Interval* span = PG_GETARG_INTERVAL_P(1);
    const Shamsi::Date date = ShamsiOf(day);
    if (span->time != 0) {
        ereport(ERROR,
                (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                 errmsg("'%s': shamsi_add moves by years, months and days, and the interval has a time part",
                        DatumGetCString(DirectFunctionCall1(interval_out, IntervalPGetDatum(span))))));
    }
    const Shamsi::Date moved = Shamsi::Add(date, {.months = span->month, .days = span->day});
    if (!moved.IsValid()) {
        const std::string_view reason =
            Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kShamsi);
        ereport(ERROR, (errcode(ERRCODE_DATETIME_FIELD_OVERFLOW),
                        errmsg("'%s' + '%s': %.*s", DateText(day),
                               DatumGetCString(DirectFunctionCall1(interval_out, IntervalPGetDatum(span))),
                               static_cast<int>(reason.size()), reason.data())));
    }
    PG_RETURN_DATEADT(DateOf(moved));
}

// shamsi_age(later, earlier) -> interval: Shamsi years, months and days.
Datum shamsi_age(PG_FUNCTION_ARGS) {
    const Shamsi::Date later = ShamsiOf(PG_GETARG_DATEADT(0));
    const Shamsi::Date earlier = ShamsiOf(PG_GETARG_DATEADT(1));
    const Shamsi::Period period = Shamsi::Between(earlier, later);
    auto* result = static_cast<Interval*>(palloc(sizeof(Interval)));
    result->time = 0;
    result->day = static_cast<int32>(period.days);
    result->month = static_cast<int32>(period.years * Shamsi::kMonthsInYear + period.months);
    PG_RETURN_INTERVAL_P(result);
}

}  // extern "C"
