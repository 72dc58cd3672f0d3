// shamsi-date cal: month calendars (see month_calendar.h for the layout).
#pragma once

#include <string_view>
#include <vector>

namespace ShamsiDate {

// Runs `shamsi-date cal` with the arguments after "cal"; returns the exit
// status.
int RunCalendar(const std::vector<std::string_view>& args);

}  // namespace ShamsiDate
