// What shamsi-date reads as a date: a date of the source calendar in the
// library's usual forms (or in the form --input-format gives), or a word
// for a day, either followed by a time of day that is handed back as it
// was read.
//
//     "1405/09/17"                  the date
//     "2026-12-08T10:30:00+03:30"   the date, and "T10:30:00+03:30"
//     "today", "فردا"               the local day (the TZ variable is honoured)
//
// A time read after a date is taken apart by ReadClockTime when it is to be
// written again or moved to a time zone; "@SECONDS" (ReadUnixSeconds) names
// an instant with no date at all.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <shamsi/text.h>
#include <shamsi/time.h>

namespace ShamsiDate {

// Today in the local time zone, from the system clock: read once, so all of
// a run that goes on past midnight names the same day.
[[nodiscard]] std::chrono::sys_days LocalToday();

class DateInput {
public:
    // inputFormat empty: the usual forms; otherwise it must be a good
    // pattern (Shamsi::Reader::Error() empty).
    DateInput(Shamsi::Calendar calendar, std::string_view inputFormat);

    struct Result {
        Shamsi::ReadError error = Shamsi::ReadError::kUnreadable;
        std::chrono::sys_days day{};  // on kNone, a day of the Shamsi years 1-9999
        std::string_view time;        // the time of day after the date, if any
        bool badOffset = false;       // kUnreadable: a time whose offset from UTC is not one
    };
    // Reads text (blanks around it allowed).
    [[nodiscard]] Result Read(std::string_view text) const;

    // Why a text was refused, for messages.
    [[nodiscard]] std::string_view Reason(Shamsi::ReadError error) const;
    [[nodiscard]] std::string_view Reason(const Result& result) const;

private:
    // A word for a day at the start of text: the day, and where the word ends.
    static bool ReadDayWord(std::string_view text, std::chrono::sys_days& day, std::size_t& end);

    Shamsi::Calendar calendar_;
    Shamsi::Reader reader_;
    std::string unreadable_;  // the reason for an unreadable text
};

// A time of day as read after a date: its separator ('T' or a blank), the
// clock and the offset from UTC if it has one ('Z' is +00:00), and the
// fraction of a second as written (".250", or empty).
struct ClockTime {
    char separator = 'T';
    Shamsi::TimeOfDay time;
    std::string_view fraction;
};
// Takes apart a time that Shamsi::TimeOfDayLength accepts whole.
[[nodiscard]] ClockTime ReadClockTime(std::string_view text);

// "@SECONDS", as GNU date -d takes it: '@', a sign if any, then whole
// seconds since 1970-01-01T00:00:00Z and a fraction if any ("@1796767200",
// "@-1.5"), blanks around allowed.
enum class UnixSecondsRead { kNotSeconds, kGood, kUnreadable, kOutOfRange };
[[nodiscard]] UnixSecondsRead ReadUnixSeconds(std::string_view text, std::int64_t& seconds,
                                              std::string_view& fraction);
inline constexpr std::string_view kNotUnixSeconds =
    "not @ and a number of seconds since 1970-01-01T00:00:00Z";

}  // namespace ShamsiDate
