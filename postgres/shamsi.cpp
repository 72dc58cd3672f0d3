// The shamsi extension: Shamsi dates in PostgreSQL, over the Shamsi library.
//
// PostgreSQL reports errors with ereport(ERROR), which leaves the function
// by longjmp: no destructor between the call and the transaction's error
// handler runs. So every function called from SQL keeps only trivially
// destructible values (dates, day numbers, string views, pointers) on its
// stack, and the one object that owns memory, a Formatter, lives on the heap
// and is deleted by a callback of the memory context of the SQL call it
// serves. No C++ exception leaves this file: every entry point runs its
// work inside Guarded, which turns one into a PostgreSQL error.
//
// The standard and Shamsi headers come first: PostgreSQL's own headers
// redefine printf and its relatives as macros.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "shamsi/arithmetic.h"
#include "shamsi/date.h"
#include "shamsi/names.h"
#include "shamsi/text.h"

extern "C" {
#include "postgres.h"

#include "access/detoast.h"
#include "fmgr.h"
#include "lib/stringinfo.h"
#include "libpq/pqformat.h"
#include "mb/pg_wchar.h"
#include "utils/builtins.h"
#include "utils/date.h"
#include "utils/datetime.h"
#include "utils/guc.h"
#include "utils/memutils.h"
#include "utils/timestamp.h"

PG_MODULE_MAGIC;
}

namespace {

// The version of the extension this module serves (shamsi.control's
// default_version, passed in by the build).
constexpr std::string_view kExtensionVersion = SHAMSI_EXTENSION_VERSION;

// PostgreSQL counts days from 2000-01-01, std::chrono from 1970-01-01. A
// shamsi value is held as a date is: its day counted from 2000-01-01.
constexpr std::int64_t kPostgresEpochDays = POSTGRES_EPOCH_JDATE - UNIX_EPOCH_JDATE;

constexpr std::chrono::sys_days SysDaysOf(DateADT date) {
    return std::chrono::sys_days{std::chrono::days{date + kPostgresEpochDays}};
}

constexpr DateADT DateOf(std::chrono::sys_days day) {
    return static_cast<DateADT>(day.time_since_epoch().count() - kPostgresEpochDays);
}

constexpr DateADT DateOf(const Shamsi::Date& date) { return DateOf(Shamsi::ToSysDays(date)); }

std::string_view ViewOf(const text* value) { return {VARDATA_ANY(value), VARSIZE_ANY_EXHDR(value)}; }

// --- Messages ---------------------------------------------------------------------
//
// In PostgreSQL's style: a primary message in lower case without a final
// period, the value in double quotes; shamsi-date's reason as the detail
// sentence; the accepted values as a hint. Every text in a message is in
// the server's encoding.

// Values longer than this are cut, on a character boundary, and end in "...".
constexpr int kLongestQuotedValue = 64;

// A value in the server's encoding, cut for a message.
const char* Quoted(std::string_view value) {
    const int length = static_cast<int>(value.size());
    const int kept = pg_mbcliplen(value.data(), length, kLongestQuotedValue);
    return kept < length ? psprintf("%.*s...", kept, value.data()) : pnstrdup(value.data(), value.size());
}
const char* Quoted(const text* value) { return Quoted(ViewOf(value)); }

// UTF-8 bytes in the server's encoding; bytes that are not whole UTF-8
// characters are left out.
const char* ServerTextOf(std::string_view utf8) {
    const int valid = pg_encoding_verifymbstr(PG_UTF8, utf8.data(), static_cast<int>(utf8.size()));
    const char* bytes = pnstrdup(utf8.data(), static_cast<std::size_t>(valid));
    return pg_any_to_server(bytes, valid, PG_UTF8);
}

// A reason of the library ("not a day of the Shamsi calendar") as a detail
// sentence: "Not a day of the Shamsi calendar."
int ReasonDetail(std::string_view reason) {
    const char* sentence = ServerTextOf(reason);
    return errdetail("%c%s.", pg_ascii_toupper(sentence[0]), sentence + (sentence[0] != '\0' ? 1 : 0));
}

// The date's text as PostgreSQL writes it (in the session's DateStyle), for
// messages.
const char* DateText(DateADT date) {
    return DatumGetCString(DirectFunctionCall1(date_out, DateADTGetDatum(date)));
}

[[noreturn]] void DateOutOfRange(DateADT date) {
    ereport(ERROR,
            (errcode(ERRCODE_DATETIME_FIELD_OVERFLOW),
             errmsg("date out of range for the Shamsi calendar: \"%s\"", DateText(date)),
             ReasonDetail(Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kMiladi))));
    pg_unreachable();
}

// The Shamsi date of a day; an error for days outside the Shamsi years 1-9999
// and for infinity.
Shamsi::Date ShamsiOf(DateADT date) {
    if (DATE_NOT_FINITE(date) || !Shamsi::InRange(SysDaysOf(date))) {
        DateOutOfRange(date);
    }
    return Shamsi::FromSysDays(SysDaysOf(date));
}

// A day as a shamsi value: itself, when it lies in the Shamsi years 1-9999.
DateADT ShamsiDay(DateADT date) {
    if (DATE_NOT_FINITE(date) || !Shamsi::InRange(SysDaysOf(date))) {
        DateOutOfRange(date);
    }
    return date;
}

// --- Guarding the entry points ----------------------------------------------------

// shamsi.debug_throw: when set (by a superuser), every entry point throws
// that C++ exception before its work, so that the tests can show what
// becomes of one. Off by default.
enum DebugThrow : int { kThrowNothing, kThrowBadAlloc, kThrowOther };
constexpr std::array<config_enum_entry, 4> kDebugThrowValues = {{
    {"none", kThrowNothing, false},
    {"bad_alloc", kThrowBadAlloc, false},
    {"runtime_error", kThrowOther, false},
    {nullptr, 0, false},
}};
int debugThrow = kThrowNothing;

// What failed in Guarded, kept outside its try block.
enum class Failure { kNone, kOutOfMemory, kOther };

[[noreturn]] void ReportFailure(const char* function, Failure failure, const char* what) {
    if (failure == Failure::kOutOfMemory) {
        ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY), errmsg("out of memory"),
                        errdetail("A C++ allocation failed in %s.", function)));
    }
    ereport(ERROR, (errcode(ERRCODE_INTERNAL_ERROR), errmsg("unexpected C++ exception in %s", function),
                    errdetail_internal("%s", what)));
    pg_unreachable();
}

// Runs the work of an entry point; a C++ exception that escapes it becomes
// an error (53200 for memory, XX000 for anything else). An ereport inside
// the work leaves through the try block by longjmp, which is defined: the
// block holds nothing with a destructor.
Datum Guarded(const char* function, FunctionCallInfo fcinfo, Datum (*work)(FunctionCallInfo)) {
    Failure failure = Failure::kNone;
    const char* what = "";
    try {
        if (debugThrow == kThrowBadAlloc) {
            throw std::bad_alloc();
        }
        if (debugThrow == kThrowOther) {
            throw std::runtime_error("shamsi.debug_throw is runtime_error");
        }
        return work(fcinfo);
    } catch (const std::bad_alloc&) {
        failure = Failure::kOutOfMemory;
    } catch (const std::exception& exception) {
        failure = Failure::kOther;
        // Copied out before the exception object goes, without allocating:
        // nothing in a handler may leave it by longjmp.
        static std::array<char, 256> whatCopy;
        strlcpy(whatCopy.data(), exception.what(), whatCopy.size());
        what = whatCopy.data();
    } catch (...) {
        failure = Failure::kOther;
    }
    ReportFailure(function, failure, what);
}

// --- Texts --------------------------------------------------------------------------

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

// "YYYY/MM/DD" at out (ten bytes): the years 1-9999 always take four digits.
constexpr std::size_t kPlainLength = 10;
void WritePlain(char* out, const Shamsi::Date& date) {
    char* end = out + kPlainLength;
    end = WriteDigits(end, date.day, 2);
    *--end = '/';
    end = WriteDigits(end, date.month, 2);
    *--end = '/';
    WriteDigits(end, date.year, 4);
}

text* PlainText(const Shamsi::Date& date) {
    text* result = NewText(kPlainLength);
    WritePlain(VARDATA(result), date);
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

// The UTF-8 bytes of bytes in the database's encoding.
std::string_view Utf8Of(std::string_view bytes) {
    if (GetDatabaseEncoding() == PG_UTF8) {
        return bytes;
    }
    const char* converted = pg_server_to_any(bytes.data(), static_cast<int>(bytes.size()), PG_UTF8);
    return converted == bytes.data() ? bytes : std::string_view{converted};
}
std::string_view Utf8Of(const text* value) { return Utf8Of(ViewOf(value)); }

// --- Reading ------------------------------------------------------------------------

// The day of a Shamsi date in the database's encoding (what shamsi_date(text)
// and the shamsi type read); an error naming value when it is not one.
DateADT ReadShamsiDay(std::string_view value) {
    Shamsi::Date date;
    const Shamsi::ReadError error = Shamsi::ReadShamsi(Utf8Of(value), date);
    if (error == Shamsi::ReadError::kNone) {
        return DateOf(date);
    }
    // A weekday that is not the date's makes the text as a whole wrong, as
    // an unreadable one is; a day the calendar lacks is a field's fault.
    const bool badText = error == Shamsi::ReadError::kUnreadable || error == Shamsi::ReadError::kWrongWeekday;
    const std::string_view reason = Shamsi::Describe(error, Shamsi::Calendar::kShamsi);
    if (badText) {
        ereport(ERROR, (errcode(ERRCODE_INVALID_DATETIME_FORMAT),
                        errmsg("invalid Shamsi date: \"%s\"", Quoted(value)), ReasonDetail(reason)));
    }
    ereport(ERROR, (errcode(ERRCODE_DATETIME_FIELD_OVERFLOW),
                    errmsg("Shamsi date out of range: \"%s\"", Quoted(value)), ReasonDetail(reason)));
    pg_unreachable();
}

// --- Formatters kept between rows ---------------------------------------------

// Format patterns longer than this are refused before anything is made of
// them: the same bound as the longest text a reader reads.
constexpr std::size_t kLongestPattern = Shamsi::kLongestDateText;

// The words to_shamsi's names argument takes, for the hint; the library
// (Shamsi::MonthNamesCalled) reads them.
constexpr std::array<std::string_view, 3> kMonthNamesWords = {"iranian", "afghan", "english"};

// "iranian, afghan and english".
const char* MonthNamesList() {
    StringInfoData list;
    initStringInfo(&list);
    for (std::size_t i = 0; i < kMonthNamesWords.size(); ++i) {
        if (i > 0) {
            appendStringInfoString(&list, i + 1 == kMonthNamesWords.size() ? " and " : ", ");
        }
        appendBinaryStringInfo(&list, kMonthNamesWords[i].data(),
                               static_cast<int>(kMonthNamesWords[i].size()));
    }
    return list.data;
}

Shamsi::MonthNames MonthNamesArgument(const text* value) {
    if (const std::optional<Shamsi::MonthNames> names = Shamsi::MonthNamesCalled(ViewOf(value))) {
        return *names;
    }
    ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                    errmsg("month names \"%s\" not recognized", Quoted(value)),
                    errhint("The month names are %s.", MonthNamesList())));
    pg_unreachable();
}

// The formatter of one call site of to_shamsi(date, format, ...), kept in
// its fn_extra while the pattern and options stay the same (they nearly
// always do: a query passes one constant pattern). Only a good formatter is
// kept: formatter is null, and the call site has none, until one is made
// without error.
struct FormatCache {
    char* pattern;  // in the call's memory context
    std::size_t patternLength;
    bool persian;
    Shamsi::MonthNames names;
    Shamsi::Formatter* formatter;  // on the heap; deleted with the context
    MemoryContextCallback callback;
};

void DeleteFormatter(void* argument) noexcept {
    auto* cache = static_cast<FormatCache*>(argument);
    delete cache->formatter;
    cache->formatter = nullptr;
}

// The library's complaint about a pattern as a detail sentence in the
// server's encoding. It ends with the bytes after the %; when they are only
// the start of a character, the character is taken whole from the pattern.
int PatternDetail(const std::string& error, std::string_view pattern) {
    std::string_view reason = error;
    const int valid = pg_encoding_verifymbstr(PG_UTF8, reason.data(), static_cast<int>(reason.size()));
    const auto cut = static_cast<std::size_t>(valid);
    if (cut < reason.size() && cut > 0 && reason[cut - 1] == '%') {
        const std::size_t at = pattern.find(reason.substr(cut - 1));
        if (at != std::string_view::npos) {
            const auto length = static_cast<std::size_t>(pg_encoding_mblen(PG_UTF8, pattern.data() + at + 1));
            if (at + 1 + length <= pattern.size()) {
                const char* whole = psprintf("%.*s%.*s", valid, reason.data(), static_cast<int>(length),
                                             pattern.data() + at + 1);
                return ReasonDetail(whole);
            }
        }
    }
    return ReasonDetail(reason);
}

// The formatter for this pattern and these options, made when the call
// site has none yet or had others; an error for a bad or too long pattern.
const Shamsi::Formatter& FormatterFor(FunctionCallInfo fcinfo, int patternArgument, bool persian,
                                      Shamsi::MonthNames names, bool timeFields) {
    const Size patternSize = toast_raw_datum_size(PG_GETARG_DATUM(patternArgument)) - VARHDRSZ;
    if (patternSize > kLongestPattern) {
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE), errmsg("format pattern too long"),
                        errdetail("The pattern has %zu bytes; at most %zu are accepted.",
                                  static_cast<std::size_t>(patternSize), kLongestPattern)));
    }
    const text* patternText = PG_GETARG_TEXT_PP(patternArgument);
    auto* cache = static_cast<FormatCache*>(fcinfo->flinfo->fn_extra);
    const std::string_view pattern = ViewOf(patternText);
    if (cache != nullptr && cache->formatter != nullptr && cache->persian == persian &&
        cache->names == names && pattern == std::string_view{cache->pattern, cache->patternLength}) {
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
    // The old formatter goes first: if anything below fails, the call site
    // is left with none, and the next call makes one again.
    DeleteFormatter(cache);
    if (cache->pattern != nullptr) {
        pfree(cache->pattern);
        cache->pattern = nullptr;
    }
    auto* copy = static_cast<char*>(MemoryContextAlloc(fcinfo->flinfo->fn_mcxt, pattern.size() + 1));
    std::memcpy(copy, pattern.data(), pattern.size());
    const std::string_view utf8 = Utf8Of(patternText);
    // A bad_alloc here is Guarded's; nothing is kept.
    auto* made = new Shamsi::Formatter(utf8, Shamsi::Calendar::kShamsi,
                                       persian ? Shamsi::Digits::kPersian : Shamsi::Digits::kAscii, names);
    if (!made->Error().empty() || (!timeFields && made->WritesTime())) {
        const char* error = pstrdup(made->Error().c_str());
        delete made;
        pfree(copy);
        const char* fields =
            timeFields ? "The fields are %Y, %y, %m, %-m, %d, %-d, %B, %A, %j, %H, %M, %S, %z and %%."
                       : "The fields are %Y, %y, %m, %-m, %d, %-d, %B, %A, %j and %%.";
        ereport(ERROR,
                (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                 errmsg("invalid format pattern: \"%s\"", Quoted(patternText)),
                 *error != '\0' ? PatternDetail(error, utf8)
                                : errdetail("A date has no time of day: %%H, %%M, %%S and %%z are for a "
                                            "timestamp or a timestamptz (extension version 1.2)."),
                 errhint("%s", fields)));
    }
    cache->pattern = copy;
    cache->patternLength = pattern.size();
    cache->persian = persian;
    cache->names = names;
    cache->formatter = made;
    return *made;
}

// The date, and its time of day when time is given, written with the
// pattern of argument 1, in Persian digits when argument 2 is true, with the
// month names given. Only a timestamp's forms (time given) take the time
// fields.
text* FormattedText(FunctionCallInfo fcinfo, DateADT day, Shamsi::MonthNames names,
                    const Shamsi::TimeOfDay* time = nullptr) {
    const Shamsi::Date date = ShamsiOf(day);
    const Shamsi::Formatter& formatter = FormatterFor(fcinfo, 1, PG_GETARG_BOOL(2), names, time != nullptr);
    const auto write = [&formatter, &date, time, day](char* out) {
        return time == nullptr ? formatter.Write(out, date) : formatter.Write(out, SysDaysOf(day), *time);
    };
    if (GetDatabaseEncoding() == PG_UTF8) {
        text* result = NewText(formatter.MaxSize());
        const char* end = write(VARDATA(result));
        SET_VARSIZE(result, VARHDRSZ + (end - VARDATA(result)));
        return result;
    }
    auto* bytes = static_cast<char*>(palloc(formatter.MaxSize()));
    const char* end = write(bytes);
    return TextFromUtf8(bytes, static_cast<std::size_t>(end - bytes));
}
text* FormattedText(FunctionCallInfo fcinfo, DateADT day) {
    return FormattedText(fcinfo, day, Shamsi::MonthNames::kIranian);
}

DateADT DateOfTimestamp(Datum timestamp) {
    return DatumGetDateADT(DirectFunctionCall1(timestamp_date, timestamp));
}
DateADT DateOfTimestampTz(Datum timestamp) {
    return DatumGetDateADT(DirectFunctionCall1(timestamptz_date, timestamp));
}

// A timestamp's day and wall time; a timestamptz's in the session's
// TimeZone, with the offset it keeps at that instant.
struct Stamp {
    DateADT day = 0;
    Shamsi::TimeOfDay time;
};
Stamp StampOf(Datum value, bool inZone) {
    const Timestamp timestamp = DatumGetTimestamp(value);
    if (TIMESTAMP_NOT_FINITE(timestamp)) {
        DateOutOfRange(inZone ? DateOfTimestampTz(value) : DateOfTimestamp(value));
    }
    pg_tm tm{};
    fsec_t fraction = 0;
    int west = 0;  // seconds west of UTC
    if (timestamp2tm(timestamp, inZone ? &west : nullptr, &tm, &fraction, nullptr, nullptr) != 0) {
        ereport(ERROR, (errcode(ERRCODE_DATETIME_VALUE_OUT_OF_RANGE), errmsg("timestamp out of range")));
    }
    return {static_cast<DateADT>(date2j(tm.tm_year, tm.tm_mon, tm.tm_mday) - POSTGRES_EPOCH_JDATE),
            {tm.tm_hour, tm.tm_min, tm.tm_sec, inZone, -west}};
}

// to_shamsi of a timestamp or timestamptz with a pattern, its time fields
// taken; names in argument 3 when there are four arguments.
text* StampText(FunctionCallInfo fcinfo, bool inZone) {
    const Shamsi::MonthNames names =
        PG_NARGS() > 3 ? MonthNamesArgument(PG_GETARG_TEXT_PP(3)) : Shamsi::MonthNames::kIranian;
    const Stamp stamp = StampOf(PG_GETARG_DATUM(0), inZone);
    return FormattedText(fcinfo, stamp.day, names, &stamp.time);
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
// takes (listed for the hint).
Field FieldArgument(const text* name, std::initializer_list<Field> allowed, const char* function,
                    const char* names) {
    const Field field = FieldOf(ViewOf(name));
    for (const Field each : allowed) {
        if (each == field) {
            return field;
        }
    }
    ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                    errmsg("field \"%s\" not recognized by %s", Quoted(name), function),
                    errhint("The fields of %s are %s.", function, names)));
    pg_unreachable();
}

constexpr int Quarter(const Shamsi::Date& date) { return (date.month - 1) / 3 + 1; }

// 0 for Saturday to 6 for Friday.
int DayOfWeek(DateADT date) {
    return static_cast<int>(Shamsi::SaturdayFirstIndex(std::chrono::weekday{SysDaysOf(date)}));
}

// --- The work of each function called from SQL ----------------------------------

// to_shamsi(date) -> text: "YYYY/MM/DD".
Datum ToShamsi(FunctionCallInfo fcinfo) { PG_RETURN_TEXT_P(PlainText(ShamsiOf(PG_GETARG_DATEADT(0)))); }

// to_shamsi(date, format text, persian_digits boolean) -> text.
Datum ToShamsiFormat(FunctionCallInfo fcinfo) {
    PG_RETURN_TEXT_P(FormattedText(fcinfo, PG_GETARG_DATEADT(0)));
}

// to_shamsi(date, format text, persian_digits boolean, names text) -> text.
Datum ToShamsiNames(FunctionCallInfo fcinfo) {
    const Shamsi::MonthNames names = MonthNamesArgument(PG_GETARG_TEXT_PP(3));
    PG_RETURN_TEXT_P(FormattedText(fcinfo, PG_GETARG_DATEADT(0), names));
}

// The same for a timestamp, whose day is its date, and for a timestamptz,
// whose day is its date in the session's TimeZone (as ::date takes it).
Datum TimestampToShamsi(FunctionCallInfo fcinfo) {
    PG_RETURN_TEXT_P(PlainText(ShamsiOf(DateOfTimestamp(PG_GETARG_DATUM(0)))));
}
Datum TimestampToShamsiFormat(FunctionCallInfo fcinfo) {
    PG_RETURN_TEXT_P(FormattedText(fcinfo, DateOfTimestamp(PG_GETARG_DATUM(0))));
}
Datum TimestampTzToShamsi(FunctionCallInfo fcinfo) {
    PG_RETURN_TEXT_P(PlainText(ShamsiOf(DateOfTimestampTz(PG_GETARG_DATUM(0)))));
}
Datum TimestampTzToShamsiFormat(FunctionCallInfo fcinfo) {
    PG_RETURN_TEXT_P(FormattedText(fcinfo, DateOfTimestampTz(PG_GETARG_DATUM(0))));
}

// From extension version 1.2: the same with the time fields, and with the
// month names chosen.
Datum TimestampToShamsiTime(FunctionCallInfo fcinfo) { PG_RETURN_TEXT_P(StampText(fcinfo, false)); }
Datum TimestampTzToShamsiTime(FunctionCallInfo fcinfo) { PG_RETURN_TEXT_P(StampText(fcinfo, true)); }

// shamsi(timestamp), shamsi(timestamptz) -> shamsi: the casts, the day as
// ::date takes it (a timestamptz's in the session's TimeZone).
Datum FromTimestamp(FunctionCallInfo fcinfo) {
    PG_RETURN_DATEADT(ShamsiDay(DateOfTimestamp(PG_GETARG_DATUM(0))));
}
Datum FromTimestampTz(FunctionCallInfo fcinfo) {
    PG_RETURN_DATEADT(ShamsiDay(DateOfTimestampTz(PG_GETARG_DATUM(0))));
}

// shamsi_date(text) -> date: what shamsi-date to-miladi reads.
Datum DateFromText(FunctionCallInfo fcinfo) {
    PG_RETURN_DATEADT(ReadShamsiDay(ViewOf(PG_GETARG_TEXT_PP(0))));
}

// shamsi_date(year, month, day) -> date.
Datum DateFromFields(FunctionCallInfo fcinfo) {
    const Shamsi::Date date{PG_GETARG_INT32(0), PG_GETARG_INT32(1), PG_GETARG_INT32(2)};
    if (!date.IsValid()) {
        const Shamsi::ReadError error = date.year < Shamsi::kFirstYear || date.year > Shamsi::kLastYear
                                            ? Shamsi::ReadError::kOutOfRange
                                            : Shamsi::ReadError::kNotADate;
        ereport(ERROR, (errcode(ERRCODE_DATETIME_FIELD_OVERFLOW),
                        errmsg("Shamsi date out of range: \"%d/%d/%d\"", date.year, date.month, date.day),
                        ReasonDetail(Shamsi::Describe(error, Shamsi::Calendar::kShamsi))));
    }
    PG_RETURN_DATEADT(DateOf(date));
}

// shamsi_part(field, date) -> integer.
Datum Part(FunctionCallInfo fcinfo) {
    const Field field = FieldArgument(
        PG_GETARG_TEXT_PP(0),
        {Field::kYear, Field::kQuarter, Field::kMonth, Field::kDay, Field::kDayOfYear, Field::kDayOfWeek},
        "shamsi_part", "year, quarter, month, day, doy and dow");
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

// shamsi_year(date) ... shamsi_dow(date), and the same of a shamsi (held as
// a date is): one field each, with no text argument.
Datum YearOf(FunctionCallInfo fcinfo) { PG_RETURN_INT32(ShamsiOf(PG_GETARG_DATEADT(0)).year); }
Datum QuarterOf(FunctionCallInfo fcinfo) { PG_RETURN_INT32(Quarter(ShamsiOf(PG_GETARG_DATEADT(0)))); }
Datum MonthOf(FunctionCallInfo fcinfo) { PG_RETURN_INT32(ShamsiOf(PG_GETARG_DATEADT(0)).month); }
Datum DayOf(FunctionCallInfo fcinfo) { PG_RETURN_INT32(ShamsiOf(PG_GETARG_DATEADT(0)).day); }
Datum DayOfYearOf(FunctionCallInfo fcinfo) {
    PG_RETURN_INT32(Shamsi::DayOfYear(ShamsiOf(PG_GETARG_DATEADT(0))));
}
Datum DayOfWeekOf(FunctionCallInfo fcinfo) { PG_RETURN_INT32(DayOfWeek(ShamsiDay(PG_GETARG_DATEADT(0)))); }

// shamsi_trunc(field, date) -> date: the first day of the Shamsi year,
// quarter or month, or the Saturday that starts the week.
Datum Trunc(FunctionCallInfo fcinfo) {
    const Field field =
        FieldArgument(PG_GETARG_TEXT_PP(0), {Field::kYear, Field::kQuarter, Field::kMonth, Field::kWeek},
                      "shamsi_trunc", "year, quarter, month and week");
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

const char* IntervalText(const Interval* span) {
    return DatumGetCString(DirectFunctionCall1(interval_out, IntervalPGetDatum(span)));
}

// shamsi_add(date, interval) -> date: the interval's years and months in
// Shamsi months, held once to the end of the month reached, then its days.
Datum Add(FunctionCallInfo fcinfo) {
    const DateADT day = PG_GETARG_DATEADT(0);
    const Interval* span = PG_GETARG_INTERVAL_P(1);
    const Shamsi::Date date = ShamsiOf(day);
    if (span->time != 0) {
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                        errmsg("interval \"%s\" has a time part", IntervalText(span)),
                        errdetail("The function shamsi_add moves by years, months and days only.")));
    }
    const Shamsi::Date moved = Shamsi::Add(date, {.months = span->month, .days = span->day});
    if (!moved.IsValid()) {
        ereport(
            ERROR,
            (errcode(ERRCODE_DATETIME_FIELD_OVERFLOW),
             errmsg("result of shamsi_add out of range: \"%s\" + \"%s\"", DateText(day), IntervalText(span)),
             ReasonDetail(Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kShamsi))));
    }
    PG_RETURN_DATEADT(DateOf(moved));
}

// shamsi_age(later, earlier) -> interval: Shamsi years, months and days.
Datum Age(FunctionCallInfo fcinfo) {
    const Shamsi::Date later = ShamsiOf(PG_GETARG_DATEADT(0));
    const Shamsi::Date earlier = ShamsiOf(PG_GETARG_DATEADT(1));
    const Shamsi::Period period = Shamsi::Between(earlier, later);
    auto* result = static_cast<Interval*>(palloc(sizeof(Interval)));
    result->time = 0;
    result->day = static_cast<int32>(period.days);
    result->month = static_cast<int32>(period.years * Shamsi::kMonthsInYear + period.months);
    PG_RETURN_INTERVAL_P(result);
}

// --- The type shamsi: a day of the Shamsi years 1-9999, held as a date ----------

// shamsi_in(cstring) -> shamsi: what shamsi_date(text) reads.
Datum TypeIn(FunctionCallInfo fcinfo) {
    const char* value = PG_GETARG_CSTRING(0);
    PG_RETURN_DATEADT(ReadShamsiDay(value));
}

// shamsi_out(shamsi) -> cstring: "YYYY/MM/DD".
Datum TypeOut(FunctionCallInfo fcinfo) {
    auto* result = static_cast<char*>(palloc(kPlainLength + 1));
    WritePlain(result, ShamsiOf(PG_GETARG_DATEADT(0)));
    result[kPlainLength] = '\0';
    PG_RETURN_CSTRING(result);
}

// shamsi_recv(internal) -> shamsi: the day as a date's binary form has it
// (a 4-byte count of days from 2000-01-01), which must be a Shamsi day.
Datum TypeReceive(FunctionCallInfo fcinfo) {
    auto* buffer = static_cast<StringInfo>(static_cast<void*>(PG_GETARG_POINTER(0)));
    const auto day = static_cast<DateADT>(pq_getmsgint(buffer, sizeof(DateADT)));
    if (DATE_NOT_FINITE(day) || !Shamsi::InRange(SysDaysOf(day))) {
        ereport(ERROR,
                (errcode(ERRCODE_DATETIME_VALUE_OUT_OF_RANGE), errmsg("Shamsi date out of range"),
                 ReasonDetail(Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kMiladi))));
    }
    PG_RETURN_DATEADT(day);
}

// shamsi(date) -> shamsi: the same day; an error outside the years 1-9999.
Datum FromDate(FunctionCallInfo fcinfo) { PG_RETURN_DATEADT(ShamsiDay(PG_GETARG_DATEADT(0))); }

// shamsi + integer, shamsi - integer -> shamsi.
Datum MovedBy(DateADT day, std::int64_t days) {
    const std::int64_t moved = std::int64_t{day} + days;
    if (!Shamsi::InRange(std::chrono::sys_days{std::chrono::days{moved + kPostgresEpochDays}})) {
        ereport(ERROR,
                (errcode(ERRCODE_DATETIME_VALUE_OUT_OF_RANGE), errmsg("Shamsi date out of range"),
                 ReasonDetail(Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kShamsi))));
    }
    PG_RETURN_DATEADT(static_cast<DateADT>(moved));
}
Datum PlusDays(FunctionCallInfo fcinfo) { return MovedBy(PG_GETARG_DATEADT(0), PG_GETARG_INT32(1)); }
Datum DaysPlus(FunctionCallInfo fcinfo) { return MovedBy(PG_GETARG_DATEADT(1), PG_GETARG_INT32(0)); }
Datum MinusDays(FunctionCallInfo fcinfo) {
    return MovedBy(PG_GETARG_DATEADT(0), -std::int64_t{PG_GETARG_INT32(1)});
}

// --- The calendar's data ----------------------------------------------------------

// FNV-1a of the correction list's years, two bytes each: a change to the
// list changes it.
constexpr std::uint32_t CorrectionsHash() {
    std::uint32_t hash = 2166136261U;
    for (const std::int16_t year : Shamsi::Detail::kAstronomicalCorrections) {
        for (const int shift : {0, 8}) {
            hash = (hash ^ ((static_cast<std::uint32_t>(year) >> shift) & 0xFFU)) * 16777619U;
        }
    }
    return hash;
}

// shamsi_calendar_version() -> text.
Datum CalendarVersion(FunctionCallInfo /*fcinfo*/) {
    const auto& corrections = Shamsi::Detail::kAstronomicalCorrections;
    const Shamsi::Date first{Shamsi::kFirstYear, 1, 1};
    const std::chrono::year_month_day firstDay = Shamsi::ToGregorian(first);
    PG_RETURN_TEXT_P(cstring_to_text(psprintf(
        "shamsi %.*s; 33-year rule (leap years at 1, 5, 9, 13, 17, 22, 26, 30 of 33) with %zu astronomical "
        "corrections %d-%d (FNV-1a %08x); years %d-%d from %04d-%02u-%02u",
        static_cast<int>(kExtensionVersion.size()), kExtensionVersion.data(), corrections.size(),
        corrections.front(), corrections.back(), CorrectionsHash(), Shamsi::kFirstYear, Shamsi::kLastYear,
        static_cast<int>(firstDay.year()), static_cast<unsigned>(firstDay.month()),
        static_cast<unsigned>(firstDay.day()))));
}

}  // namespace

// --- Functions called from SQL --------------------------------------------------

extern "C" {

// Called by PostgreSQL when it loads the module, by this name.
void _PG_init(void);   // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
void _PG_init(void) {  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
    DefineCustomEnumVariable("shamsi.debug_throw",
                             "Makes every shamsi function throw this C++ exception, for tests.", nullptr,
                             &debugThrow, kThrowNothing, kDebugThrowValues.data(), PGC_SUSET,
                             GUC_NOT_IN_SAMPLE | GUC_NO_SHOW_ALL, nullptr, nullptr, nullptr);
    MarkGUCPrefixReserved("shamsi");
}

PG_FUNCTION_INFO_V1(shamsi_to_shamsi);
PG_FUNCTION_INFO_V1(shamsi_to_shamsi_format);
PG_FUNCTION_INFO_V1(shamsi_to_shamsi_names);
PG_FUNCTION_INFO_V1(shamsi_timestamp_to_shamsi);
PG_FUNCTION_INFO_V1(shamsi_timestamp_to_shamsi_format);
PG_FUNCTION_INFO_V1(shamsi_timestamptz_to_shamsi);
PG_FUNCTION_INFO_V1(shamsi_timestamptz_to_shamsi_format);
PG_FUNCTION_INFO_V1(shamsi_timestamp_to_shamsi_time);
PG_FUNCTION_INFO_V1(shamsi_timestamptz_to_shamsi_time);
PG_FUNCTION_INFO_V1(shamsi_from_timestamp);
PG_FUNCTION_INFO_V1(shamsi_from_timestamptz);
PG_FUNCTION_INFO_V1(shamsi_date_from_text);
PG_FUNCTION_INFO_V1(shamsi_date_from_fields);
PG_FUNCTION_INFO_V1(shamsi_part);
PG_FUNCTION_INFO_V1(shamsi_year_of);
PG_FUNCTION_INFO_V1(shamsi_quarter_of);
PG_FUNCTION_INFO_V1(shamsi_month_of);
PG_FUNCTION_INFO_V1(shamsi_day_of);
PG_FUNCTION_INFO_V1(shamsi_doy_of);
PG_FUNCTION_INFO_V1(shamsi_dow_of);
PG_FUNCTION_INFO_V1(shamsi_trunc);
PG_FUNCTION_INFO_V1(shamsi_add);
PG_FUNCTION_INFO_V1(shamsi_age);
PG_FUNCTION_INFO_V1(shamsi_in);
PG_FUNCTION_INFO_V1(shamsi_out);
PG_FUNCTION_INFO_V1(shamsi_recv);
PG_FUNCTION_INFO_V1(shamsi_from_date);
PG_FUNCTION_INFO_V1(shamsi_plus_days);
PG_FUNCTION_INFO_V1(shamsi_days_plus);
PG_FUNCTION_INFO_V1(shamsi_minus_days);
PG_FUNCTION_INFO_V1(shamsi_calendar_version);

Datum shamsi_to_shamsi(PG_FUNCTION_ARGS) { return Guarded("to_shamsi", fcinfo, ToShamsi); }
Datum shamsi_to_shamsi_format(PG_FUNCTION_ARGS) { return Guarded("to_shamsi", fcinfo, ToShamsiFormat); }
Datum shamsi_to_shamsi_names(PG_FUNCTION_ARGS) { return Guarded("to_shamsi", fcinfo, ToShamsiNames); }
Datum shamsi_timestamp_to_shamsi(PG_FUNCTION_ARGS) { return Guarded("to_shamsi", fcinfo, TimestampToShamsi); }
Datum shamsi_timestamp_to_shamsi_format(PG_FUNCTION_ARGS) {
    return Guarded("to_shamsi", fcinfo, TimestampToShamsiFormat);
}
Datum shamsi_timestamptz_to_shamsi(PG_FUNCTION_ARGS) {
    return Guarded("to_shamsi", fcinfo, TimestampTzToShamsi);
}
Datum shamsi_timestamptz_to_shamsi_format(PG_FUNCTION_ARGS) {
    return Guarded("to_shamsi", fcinfo, TimestampTzToShamsiFormat);
}
Datum shamsi_timestamp_to_shamsi_time(PG_FUNCTION_ARGS) {
    return Guarded("to_shamsi", fcinfo, TimestampToShamsiTime);
}
Datum shamsi_timestamptz_to_shamsi_time(PG_FUNCTION_ARGS) {
    return Guarded("to_shamsi", fcinfo, TimestampTzToShamsiTime);
}
Datum shamsi_from_timestamp(PG_FUNCTION_ARGS) { return Guarded("shamsi", fcinfo, FromTimestamp); }
Datum shamsi_from_timestamptz(PG_FUNCTION_ARGS) { return Guarded("shamsi", fcinfo, FromTimestampTz); }
Datum shamsi_date_from_text(PG_FUNCTION_ARGS) { return Guarded("shamsi_date", fcinfo, DateFromText); }
Datum shamsi_date_from_fields(PG_FUNCTION_ARGS) { return Guarded("shamsi_date", fcinfo, DateFromFields); }
Datum shamsi_part(PG_FUNCTION_ARGS) { return Guarded("shamsi_part", fcinfo, Part); }
Datum shamsi_year_of(PG_FUNCTION_ARGS) { return Guarded("shamsi_year", fcinfo, YearOf); }
Datum shamsi_quarter_of(PG_FUNCTION_ARGS) { return Guarded("shamsi_quarter", fcinfo, QuarterOf); }
Datum shamsi_month_of(PG_FUNCTION_ARGS) { return Guarded("shamsi_month", fcinfo, MonthOf); }
Datum shamsi_day_of(PG_FUNCTION_ARGS) { return Guarded("shamsi_day", fcinfo, DayOf); }
Datum shamsi_doy_of(PG_FUNCTION_ARGS) { return Guarded("shamsi_doy", fcinfo, DayOfYearOf); }
Datum shamsi_dow_of(PG_FUNCTION_ARGS) { return Guarded("shamsi_dow", fcinfo, DayOfWeekOf); }
Datum shamsi_trunc(PG_FUNCTION_ARGS) { return Guarded("shamsi_trunc", fcinfo, Trunc); }
Datum shamsi_add(PG_FUNCTION_ARGS) { return Guarded("shamsi_add", fcinfo, Add); }
Datum shamsi_age(PG_FUNCTION_ARGS) { return Guarded("shamsi_age", fcinfo, Age); }
Datum shamsi_in(PG_FUNCTION_ARGS) { return Guarded("shamsi_in", fcinfo, TypeIn); }
Datum shamsi_out(PG_FUNCTION_ARGS) { return Guarded("shamsi_out", fcinfo, TypeOut); }
Datum shamsi_recv(PG_FUNCTION_ARGS) { return Guarded("shamsi_recv", fcinfo, TypeReceive); }
Datum shamsi_from_date(PG_FUNCTION_ARGS) { return Guarded("shamsi", fcinfo, FromDate); }
Datum shamsi_plus_days(PG_FUNCTION_ARGS) { return Guarded("shamsi_plus_days", fcinfo, PlusDays); }
Datum shamsi_days_plus(PG_FUNCTION_ARGS) { return Guarded("shamsi_days_plus", fcinfo, DaysPlus); }
Datum shamsi_minus_days(PG_FUNCTION_ARGS) { return Guarded("shamsi_minus_days", fcinfo, MinusDays); }
Datum shamsi_calendar_version(PG_FUNCTION_ARGS) {
    return Guarded("shamsi_calendar_version", fcinfo, CalendarVersion);
}

}  // extern "C"
