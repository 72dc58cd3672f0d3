#include "calendar_command.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string>

#ifdef _WIN32
#include <io.h>
#include "windows_api.h"
#else
#include <unistd.h>
#endif

#include <shamsi/names.h>
#include <shamsi/text.h>

#include "command_line.h"
#include "month_calendar.h"

namespace ShamsiDate {

namespace {

constexpr std::string_view kCalendarUsage =
    "Usage: shamsi-date cal [OPTION]... [[MONTH] YEAR]\n"
    "\n"
    "Show a Shamsi month as a calendar, Saturday to Friday. With no argument,\n"
    "this month; with a YEAR alone, the whole year. MONTH is 1-12 or a month's\n"
    "name (فروردین ... اسفند, حمل ... حوت, or Farvardin ... Esfand); YEAR is\n"
    "1-9999.\n"
    "\n"
    "Options:\n"
    "  -y, --year         the whole year\n"
    "  -3                 the month before and the month after too\n"
    "  --digits WHICH     ascii (default) or persian\n"
    "  --names WHICH      the months' names: iranian (default), afghan or english\n"
    "  --color WHEN       never, auto (default: when writing to a terminal) or\n"
    "                     always: today in reverse video, Fridays in red\n"
    "  --help             show this help and exit\n";

// Today in the local time zone.
std::optional<Shamsi::Date> Today() {
    const std::time_t now = std::time(nullptr);
    // The program has one thread, so localtime's shared result is safe.
    const std::tm* local = std::localtime(&now);  // NOLINT(concurrency-mt-unsafe)
    if (local == nullptr) {
        return std::nullopt;
    }
    constexpr int kTmYearBase = 1900;
    const std::chrono::year_month_day day{std::chrono::year{local->tm_year + kTmYearBase},
                                          std::chrono::month{static_cast<unsigned>(local->tm_mon + 1)},
                                          std::chrono::day{static_cast<unsigned>(local->tm_mday)}};
    if (!day.ok() || !Shamsi::InRange(std::chrono::sys_days{day})) {
        return std::nullopt;
    }
    return Shamsi::FromGregorian(day);
}

// True when standard output is a terminal that shows colour sequences. On
// Windows the console's virtual-terminal mode is switched on for them; where
// it cannot be (consoles before Windows 10), there is no colour.
bool TerminalShowsColor() {
#ifdef _WIN32
    if (_isatty(_fileno(stdout)) == 0) {
        return false;
    }
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode) != 0 &&
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
#else
    return isatty(STDOUT_FILENO) == 1;
#endif
}

#ifdef _WIN32
// --color=always on a Windows console: the sequences work only in
// virtual-terminal mode.
void AllowColorSequences() {
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode) != 0) {
        SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}
#endif

// The number of the month a word names, in any set of names and any
// spelling the date reader takes (ي for ی, ك for ک, Latin letters in any
// case, Amordad and Dei); 0 for none.
int MonthNamed(std::string_view word) {
    const auto names = [word](std::string_view name) {
        return !word.empty() && !name.empty() && Shamsi::NameLength(word, name) == word.size();
    };
    for (int month = 1; month <= 12; ++month) {
        const auto index = static_cast<std::size_t>(month - 1);
        if (names(Shamsi::kIranianMonthNames.at(index)) || names(Shamsi::kAfghanMonthNames.at(index)) ||
            names(Shamsi::kEnglishMonthNames.at(index)) || names(Shamsi::kEnglishMonthOtherNames.at(index))) {
            return month;
        }
    }
    return 0;
}

int BadArgument(std::size_t number, std::string_view text, std::string_view reason) {
    std::string message = "shamsi-date: argument " + std::to_string(number) + ": '";
    message.append(text).append("': ").append(reason).append("\n");
    WriteAll(stderr, message);
    return kExitBadDate;
}

}  // namespace

int RunCalendar(const std::vector<std::string_view>& args) {
    enum class View { kMonth, kThreeMonths, kYear };
    std::optional<View> chosen;
    std::string_view color = "auto";
    CalendarStyle style;
    std::vector<std::string_view> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            WriteAll(stdout, kCalendarUsage);
            return std::fflush(stdout) == 0 ? 0 : kExitBadDate;
        } else if (arg == "-y" || arg == "--year" || arg == "-3") {
            const View view = arg == "-3" ? View::kThreeMonths : View::kYear;
            if (chosen && *chosen != view) {
                return UsageError("cal: -y and -3 do not go together");
            }
            chosen = view;
        } else {
            std::string_view name = arg;
            std::optional<std::string_view> value;
            if (const auto equals = arg.find('='); equals != std::string_view::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
            }
            if (name != "--digits" && name != "--names" && name != "--color") {
                return UsageError("cal: unknown option '" + std::string(arg) + "'");
            }
            if (!value) {
                if (i + 1 == args.size()) {
                    return UsageError("option '" + std::string(name) + "' needs a value");
                }
                value = args[++i];
            }
            if (name == "--digits") {
                if (*value != "ascii" && *value != "persian") {
                    return UsageError("--digits takes ascii or persian, not '" + std::string(*value) + "'");
                }
                style.digits = *value == "persian" ? Shamsi::Digits::kPersian : Shamsi::Digits::kAscii;
            } else if (name == "--names") {
                const std::optional<Shamsi::MonthNames> names = Shamsi::MonthNamesCalled(*value);
                if (!names) {
                    return UsageError("--names takes iranian, afghan or english, not '" +
                                      std::string(*value) + "'");
                }
                style.names = *names;
            } else {
                if (*value != "never" && *value != "auto" && *value != "always") {
                    return UsageError("--color takes never, auto or always, not '" + std::string(*value) +
                                      "'");
                }
                color = *value;
            }
        }
    }
    if (words.size() > 2) {
        return UsageError("cal takes at most a MONTH and a YEAR");
    }
    if (chosen == View::kThreeMonths && words.size() == 1) {
        return UsageError("cal -3 takes a MONTH and a YEAR, or neither");
    }

    const std::optional<Shamsi::Date> today = Today();
    int year = today ? today->year : 0;
    int month = today ? today->month : 0;
    if (!words.empty()) {
        const std::size_t yearAt = words.size() - 1;
        if (!Shamsi::ReadNumber(words[yearAt], year) || year < Shamsi::kFirstYear ||
            year > Shamsi::kLastYear) {
            return BadArgument(yearAt + 1, words[yearAt], "not a year from 1 to 9999");
        }
        if (words.size() == 2) {
            month = MonthNamed(words[0]);
            if (month == 0 && (!Shamsi::ReadNumber(words[0], month) || month < 1 || month > 12)) {
                return BadArgument(1, words[0], "not a month: 1-12 or its name");
            }
        }
    } else if (!today) {
        WriteAll(stderr, "shamsi-date: today's date is not available\n");
        return kExitBadDate;
    }
    const View view = chosen.value_or(words.size() == 1 ? View::kYear : View::kMonth);

    style.color = color == "always" || (color == "auto" && TerminalShowsColor());
#ifdef _WIN32
    if (color == "always") {
        AllowColorSequences();
    }
#endif
    style.today = today;
    const std::string text = view == View::kYear          ? YearView(year, style)
                             : view == View::kThreeMonths ? ThreeMonthView(year, month, style)
                                                          : MonthView(year, month, style);
    WriteAll(stdout, text);
    return std::fflush(stdout) == 0 ? 0 : kExitBadDate;
}

}  // namespace ShamsiDate
