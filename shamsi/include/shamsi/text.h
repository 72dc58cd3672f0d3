// Reading and writing Shamsi and Miladi dates as UTF-8 text.
//
// Nothing here depends on the C or C++ locale: digits, names and
// separators are fixed.
//
//     Shamsi::Date date;
//     if (Shamsi::ReadShamsi("۱۴۰۴/۱/۱", date) == Shamsi::ReadError::kNone) {
//         const Shamsi::Formatter persian("%A %-d %B %Y", Shamsi::Calendar::kShamsi,
//         Shamsi::Digits::kPersian); std::string text = persian.Format(date);  // "جمعه ۱ فروردین ۱۴۰۴"
//     }
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shamsi/arithmetic.h"
#include "shamsi/date.h"
#include "shamsi/names.h"
#include "shamsi/time.h"

namespace Shamsi {

// The calendar a text is read in or written in. Miladi is the proleptic
// Gregorian calendar.
enum class Calendar { kShamsi, kMiladi };

// --- Reading ----------------------------------------------------------------
//
// The usual forms of a date, read by ReadShamsi, ReadMiladi and Reader(calendar):
//   - "Y/M/D" or "Y-M-D": the full year (no century is guessed, "82" is the
//     year 82), then month and day of one or two digits each;
//   - "D MONTH Y": "17 آذر 1405", "8 December 2026", "08 Dec 2026";
//   - "MONTH D, Y" and "MONTH D Y": "December 8, 2026", "Azar 17, 1405".
// Any of them may come after a weekday name, a comma if any ("," or "،")
// and blanks: "سه‌شنبه ۱۷ آذر ۱۴۰۵", "Tuesday, 8 December 2026"; the
// weekday must be the date's (kWrongWeekday otherwise). Blanks and tabs may
// stand around the date, and any run of them between its words.
//
// Digits may be ASCII, Persian (U+06F0-U+06F9) or Arabic-Indic
// (U+0660-U+0669), mixed freely. Shamsi months go by their Iranian or their
// Afghan names, or their Iranian names in Latin letters in any case ("Azar",
// also "Amordad" and "Dei"; names.h), and take any of these forms too;
// their weekdays go by Persian or English names. Miladi months and all
// English weekdays by their English names, whole or their first three
// letters, in any case. Persian names are read in the spellings NameLength
// accepts.

enum class ReadError {
    kNone,
    kUnreadable,    // not of the form
    kNotADate,      // of the form, but no such day in the calendar
    kOutOfRange,    // a day outside the Shamsi years 1-9999
    kWrongWeekday,  // a weekday name that is not the date's
};

// Why a text was refused, in English, for messages: "not a day of the
// Shamsi calendar".
[[nodiscard]] std::string_view Describe(ReadError error, Calendar calendar);

// The longest text ReadShamsi and ReadMiladi can accept, in bytes: longer
// texts are kUnreadable whatever they hold.
inline constexpr std::size_t kLongestDateText = 256;

// Reads a Shamsi date. On kNone, date holds a valid date; otherwise date is
// left as it was.
[[nodiscard]] ReadError ReadShamsi(std::string_view text, Date& date);
// Reads a Miladi date whose day lies in the Shamsi years 1-9999.
[[nodiscard]] ReadError ReadMiladi(std::string_view text, std::chrono::year_month_day& date);

// The usual "YYYY/MM/DD" or "YYYY-MM-DD" in ASCII digits, exactly ten
// bytes, read in one pass for loops over many dates: true, with the day,
// when text is such a date of the calendar in the Shamsi years 1-9999;
// false for anything else, which a Reader reads (and tells why it refuses).
[[nodiscard]] bool ReadPlainDay(std::string_view text, Calendar calendar, std::chrono::sys_days& day);

// How many bytes at the start of text spell name, 0 if none. Besides the
// name as it stands, ASCII letters match in any case, ی may be written ي or
// ى and ک as ك (as older keyboards and Windows-1256 text have them), and a
// half-space (U+200C) in the name may be written as a run of blanks or left
// out; a half-space in the text inside the name is passed over.
//     NameLength("سه شنبه ۱۷", "سه\u200cشنبه")   // 13
//     NameLength("DECEMBER 8", "December")        // 8
[[nodiscard]] std::size_t NameLength(std::string_view text, std::string_view name);

// A reader of dates of one calendar: in the usual forms above, or in the
// form of a pattern of the Formatter's fields (below):
//   %Y  the year, one digit or more        %y  its last two digits
//   %m  %-m  the month, one or two digits  %d  %-d  the day, one or two digits
//   %B  the month's name                   %A  the weekday's name
//   %j  the day of the year, 1-3 digits    %%  a %
// A blank or tab in the pattern stands for any run of blanks and tabs; any
// other byte for itself. The pattern needs %Y, a month (%m, %-m or %B) and
// a day (%d or %-d); every field it reads must agree with the date
// (%A gives kWrongWeekday, the others kNotADate). What a Formatter writes
// with a pattern reads back with the same pattern.
class Reader {
public:
    // The usual forms.
    explicit Reader(Calendar calendar);
    Reader(std::string_view pattern, Calendar calendar);

    // Empty when the pattern is good; otherwise what is wrong with it, such
    // as "unknown field %q". A reader with a bad pattern reads nothing.
    [[nodiscard]] const std::string& Error() const { return error_; }

    // Reads the whole text (blanks around the date allowed) as a date: on
    // kNone, day is a day of the Shamsi years 1-9999.
    [[nodiscard]] ReadError Read(std::string_view text, std::chrono::sys_days& day) const;
    // Reads the date at the start of text, after any blanks; on kNone, end is
    // where the date ends, and what follows it (a time of day, say) is left
    // to the caller. A date is never followed by a digit.
    [[nodiscard]] ReadError Read(std::string_view text, std::chrono::sys_days& day, std::size_t& end) const;

private:
    enum class Part : unsigned char {
        kEnd,            // the end of a form
        kLiteral,        // bytes of the pattern, as they stand
        kBlanks,         // one or more blanks or tabs
        kWeekdayBefore,  // a weekday name, a comma if any, and blanks; or nothing
        kYear,
        kYearOfCentury,
        kMonth,
        kMonthName,
        kDay,
        kDayOfYear,
        kWeekdayName,
    };
    struct Piece {
        Part part = Part::kEnd;
        std::size_t start = 0;  // kLiteral: its bytes in literals_
        std::size_t length = 0;
    };
    struct Fields;
    class Match;
    void AddForm(std::string_view pattern);
    [[nodiscard]] ReadError Read(std::string_view text, std::chrono::sys_days& day, std::size_t& end,
                                 bool whole) const;
    [[nodiscard]] ReadError Check(const Fields& fields, std::chrono::sys_days& day) const;

    Calendar calendar_;
    bool usual_;  // the usual forms, with the one-pass "YYYY/MM/DD" first
    // Each form is a run of pieces in pieces_, ended by an end piece;
    // literals_ holds the pattern bytes that literal pieces match.
    std::vector<Piece> pieces_;
    std::string literals_;
    std::string error_;
};

// The length of a time of day at the start of text, 0 when there is none:
// 'T' or one blank, the hour (one or two digits) and minutes, then seconds
// and a fraction of them if any, and a zone if any ('Z', or '+' or '-' with
// hours, minutes and seconds if any: "+03", "+0330", "+03:30", "+03:25:44").
// ASCII digits only. What
// follows the date a Reader reads in "2026-12-08T10:30:00+03:30".
[[nodiscard]] std::size_t TimeOfDayLength(std::string_view text);

// A whole text of digits (ASCII, Persian or Arabic-Indic, mixed freely) as
// a number: "۱۴۰۵" is 1405. Values beyond 99,999,999 are read as
// 100,000,000. On false, value is left as it was.
[[nodiscard]] bool ReadNumber(std::string_view text, int& value);

// The digits numbers are written in: ASCII, or Persian (U+06F0-U+06F9).
enum class Digits { kAscii, kPersian };

// --- Amounts ----------------------------------------------------------------
//
// A period as a short text, an amount: an optional sign (+ or -), then one
// or more of Ny, Nm, Nw and Nd (years, months, weeks, days), in that order,
// each N one or more digits of any of the three kinds: "+40d", "-3w",
// "1y2m", "+۱m". The sign applies to every part.

// Reads an amount; on false, period is left as it was. Numbers beyond
// 99,999,999 are read as 100,000,000, far past any move Add accepts.
[[nodiscard]] bool ReadPeriod(std::string_view text, Period& period);

// The longest text WritePeriod writes.
inline constexpr std::size_t kLongestPeriodText = 160;

// Writes a period whose parts share one sign as an amount: "+1y8m16d",
// "-5d", and "0d" when every part is 0; parts that are 0 are left out.
char* WritePeriod(char* out, const Period& period, Digits digits);
[[nodiscard]] std::string FormatPeriod(const Period& period, Digits digits);

// A whole number, with a "-" when negative: "627", "-12".
char* WriteInteger(char* out, std::int64_t value, Digits digits);

// --- Writing ----------------------------------------------------------------
//
// A pattern holds text, copied as it stands, and these fields:
//   %Y  year, at least four digits      %j  day of the year, three digits
//   %y  the year's last two digits
//   %m  month, two digits               %-m month without padding
//   %d  day, two digits                 %-d day without padding
//   %B  month name                      %A  weekday name
//   %H  hour, two digits (00-23)        %M  minute, two digits
//   %S  second, two digits              %z  offset from UTC: "+03:30",
//                                           "-05:00", "+03:25:44"
//   %%  a single %
// The time fields write a TimeOfDay given with the date; a date alone is
// at 00:00:00 of no particular offset, for which %z writes nothing. Every
// number, the time's and the offset's included, is written in the
// formatter's digits; an offset's sign is always "+" or "-".
// Names are Persian for the Shamsi calendar ("فروردین", "جمعه"; Shamsi
// months by their Iranian or Afghan names), or English with English month
// names ("Farvardin", "Friday"), and English for the Miladi one ("March",
// "Friday").

class Formatter {
public:
    // The pattern "%Y/%m/%d" in ASCII digits.
    explicit Formatter(Calendar calendar);
    Formatter(std::string_view pattern, Calendar calendar, Digits digits = Digits::kAscii,
              MonthNames names = MonthNames::kIranian);

    // Empty when the pattern is good; otherwise what is wrong with it, such
    // as "unknown field %q". A formatter with a bad pattern writes nothing.
    [[nodiscard]] const std::string& Error() const { return error_; }

    // The most bytes Write can produce for one date.
    [[nodiscard]] std::size_t MaxSize() const { return maxSize_; }

    // Whether the pattern has a time field (%H, %M, %S or %z).
    [[nodiscard]] bool WritesTime() const { return writesTime_; }

    // Writes the date at out, which must have room for MaxSize() bytes, and
    // returns the end of what was written. The date should be valid. It is
    // written in the formatter's calendar: a Shamsi date given to a Miladi
    // formatter is written as its Miladi date, and the other way round.
    char* Write(char* out, const Date& shamsi) const;
    char* Write(char* out, const std::chrono::year_month_day& miladi) const;
    // A day of the Shamsi years 1-9999, in the formatter's calendar.
    char* Write(char* out, std::chrono::sys_days day) const;

    // A day and its time of day, for patterns with time fields.
    char* Write(char* out, std::chrono::sys_days day, const TimeOfDay& time) const;

    // The same, as a string of its own.
    [[nodiscard]] std::string Format(const Date& shamsi) const;
    [[nodiscard]] std::string Format(const std::chrono::year_month_day& miladi) const;
    [[nodiscard]] std::string Format(std::chrono::sys_days day, const TimeOfDay& time) const;
    [[nodiscard]] std::string Format(const Date& shamsi, const TimeOfDay& time) const;

private:
    enum class Field {
        kText,
        kYear,
        kYearOfCentury,
        kMonth,
        kMonthPlain,
        kDay,
        kDayPlain,
        kMonthName,
        kWeekdayName,
        kDayOfYear,
        kHour,
        kMinute,
        kSecond,
        kOffset
    };
    struct Piece {
        Field field = Field::kText;
        std::size_t textStart = 0;  // kText: the text in literals_
        std::size_t textLength = 0;
    };

    struct Fields {
        int year = 0;
        int month = 0;
        int day = 0;
        int dayOfYear = 0;
        unsigned weekday = 0;  // 0 for Saturday
        TimeOfDay time;
    };
    char* WriteShamsi(char* out, const Date& shamsi, const TimeOfDay& time) const;
    char* WriteMiladi(char* out, const std::chrono::year_month_day& miladi, const TimeOfDay& time) const;
    char* WriteDay(char* out, std::chrono::sys_days day, const TimeOfDay& time) const;
    char* WriteFields(char* out, const Fields& fields) const;
    char* WriteOffset(char* out, int offsetSeconds) const;
    [[nodiscard]] const std::array<std::string_view, 7>& WeekdayNames() const;

    Calendar calendar_;
    Digits digits_;
    MonthNames names_;
    bool plainNumeric_ = false;  // "%Y/%m/%d" or "%Y-%m-%d" in ASCII digits
    char plainSeparator_ = '/';
    std::vector<Piece> pieces_;
    std::string literals_;
    std::string error_;
    std::size_t maxSize_ = 0;
    bool writesTime_ = false;
};

}  // namespace Shamsi
