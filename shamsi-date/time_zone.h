// The offset from UTC a place keeps at an instant, from the system's time
// zone database: the compiled zoneinfo files (TZif, RFC 8536) under TZDIR
// or /usr/share/zoneinfo, and the POSIX TZ rule each ends with for the
// years after its last listed change.
//
//     std::string error;
//     const auto tehran = ShamsiDate::TimeZone::Load("Asia/Tehran", error);
//     tehran->OffsetAt(1796767200);   // 12600: +03:30
//
// "local" is the zone the TZ variable names (a zone name, a file, or a POSIX
// rule such as "EST5EDT,M3.2.0,M11.1.0"), or else the system's own
// (/etc/localtime); UTC where neither gives one, as the C library does. On
// Windows, which has no zoneinfo, only "UTC" and "local" (the system's own
// zone, through the C run-time) are known.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ShamsiDate {

class TimeZone {
public:
    // The zone called name, or null with error saying why ("unknown time
    // zone 'Mars/Olympus'").
    [[nodiscard]] static std::shared_ptr<const TimeZone> Load(std::string_view name, std::string& error);
    // The local zone, loaded on first use and kept; safe from any thread.
    [[nodiscard]] static std::shared_ptr<const TimeZone> Local();

    // Instants from `from` up to, not including, `to` keep offset.
    struct Span {
        std::int64_t from = 1;
        std::int64_t to = 0;  // empty until a look-up fills it
        int offset = 0;
        bool known = true;  // false: the zone gives no offset for these instants
    };
    // The span holding the instant (seconds since 1970-01-01T00:00:00Z).
    [[nodiscard]] Span SpanAt(std::int64_t unixSeconds) const;

    // The offset at an instant, in seconds east of UTC, through a span kept
    // by the caller: the next instant nearby costs two comparisons. False
    // where the zone gives none (only the Windows C run-time's zone has
    // such instants: before 1970 and after 3000).
    bool OffsetAt(std::int64_t unixSeconds, Span& last, int& offset) const {
        if (unixSeconds < last.from || unixSeconds >= last.to) {
            last = SpanAt(unixSeconds);
        }
        offset = last.offset;
        return last.known;
    }

    // A POSIX TZ rule: a standard offset, and a daylight saving one with the
    // days and times it starts and ends, if any.
    struct Rule {
        struct Change {
            enum class Kind : unsigned char { kJulian, kDayOfYear, kMonthWeekDay } kind = Kind::kMonthWeekDay;
            int day = 0;  // kJulian: 1-365, Feb 29 never counted; kDayOfYear: 0-365
            int month = 0;
            int week = 0;                // 1-5, 5 the last
            int weekday = 0;             // 0 Sunday
            int secondOfDay = 2 * 3600;  // local time of day, may be negative or past 24h
        };
        int standard = 0;  // seconds east of UTC
        bool saving = false;
        int daylight = 0;
        Change start;
        Change end;
    };
    // Reads a POSIX TZ rule ("<+0330>-3:30", "EST5EDT,M3.2.0,M11.1.0").
    [[nodiscard]] static bool ReadRule(std::string_view text, Rule& rule);

    // A zone of changes listed up to a rule's years: before the first
    // change, initialOffset; from changes[i] on, offsets[i]; after the last
    // change, the rule if there is one (else the last offset).
    TimeZone(int initialOffset, std::vector<std::int64_t> changes, std::vector<int> offsets,
             const Rule* rule = nullptr);

private:
    struct SystemZone {};
    explicit TimeZone(SystemZone /*unused*/);
    [[nodiscard]] Span RuleSpanAt(std::int64_t unixSeconds) const;

    int initialOffset_ = 0;
    std::vector<std::int64_t> changes_;
    std::vector<int> offsets_;
    bool hasRule_ = false;
    Rule rule_;
    bool system_ = false;  // Windows: the C run-time's local time
};

}  // namespace ShamsiDate
