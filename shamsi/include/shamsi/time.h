// The time of day beside a date: a wall-clock time, the offset from UTC it
// was taken at, and the step from an instant to its wall day and time at a
// given offset. Which offset a place keeps at an instant is a time zone
// database's business, not the library's: each program asks its own.
#pragma once

#include <chrono>
#include <cstdint>

namespace Shamsi {

// A wall-clock time, and the offset from UTC it was taken at when it has one.
struct TimeOfDay {
    int hour = 0;            // 0-23
    int minute = 0;          // 0-59
    int second = 0;          // 0-60 (60: a leap second, as read)
    bool hasOffset = false;  // false: a time of no particular place
    int offsetSeconds = 0;   // east of UTC: +03:30 is 12600

    friend constexpr bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// A day and its wall time.
struct LocalTime {
    std::chrono::sys_days day;
    TimeOfDay time;

    friend constexpr bool operator==(const LocalTime&, const LocalTime&) = default;
};

inline constexpr std::int64_t kSecondsPerDay = 86'400;

// The wall day and time of an instant (seconds since 1970-01-01T00:00:00Z)
// at an offset (seconds east of UTC). Days before 1970 count down, so an
// instant a second before midnight is on the day before, at 23:59:59.
[[nodiscard]] constexpr LocalTime LocalTimeOf(std::int64_t unixSeconds, int offsetSeconds) {
    const std::int64_t local = unixSeconds + offsetSeconds;
    std::int64_t days = local / kSecondsPerDay;
    std::int64_t seconds = local % kSecondsPerDay;
    if (seconds < 0) {
        seconds += kSecondsPerDay;
        --days;
    }
    const auto secondOfDay = static_cast<int>(seconds);
    return {std::chrono::sys_days{std::chrono::days{days}},
            {secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60, true, offsetSeconds}};
}

}  // namespace Shamsi
