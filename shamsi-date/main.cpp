// shamsi-date: Shamsi (Iranian solar) and Miladi (Gregorian) dates for
// scripts. See shamsi-date.1 or `shamsi-date --help`.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include "windows_api.h"

// After windows.h, which it builds on.
#include <shellapi.h>
#endif

#include "arithmetic_command.h"
#include "calendar_command.h"
#include "command_line.h"
#include "line_converter.h"
#include "module1.h"
#include "parallel_converter.h"
#include "services.h"

#ifndef SHAMSI_DATE_VERSION
#define SHAMSI_DATE_VERSION "unknown"
#endif

namespace {

using ShamsiDate::kExitBadDate;
using ShamsiDate::UsageError;
using ShamsiDate::WriteAll;

constexpr std::string_view kUsage =
    "Usage: shamsi-date\n"
    "       shamsi-date to-miladi [OPTION]... [DATE]...\n"
    "       shamsi-date to-shamsi [OPTION]... [DATE]...\n"
    "       shamsi-date add [OPTION]... AMOUNT [DATE]...\n"
    "       shamsi-date diff [OPTION]... [DATE1 DATE2]\n"
    "       shamsi-date cal [OPTION]... [[MONTH] YEAR]\n"
    "\n"
    "With no command, print today: the Shamsi date in Persian words, then the\n"
    "Miladi (Gregorian) date in English words.\n"
    "\n"
    "to-miladi reads Shamsi dates and writes their Miladi dates; to-shamsi the\n"
    "other way. With no DATE, standard input is read, one date per line, and\n"
    "one line is written for each line read. A date is\n"
    "  Y/M/D or Y-M-D     the full year, month and day of one or two digits\n"
    "  D MONTH Y          17 آذر 1405, 17 Azar 1405, 8 December 2026, 8 Dec 2026\n"
    "  MONTH D, Y         December 8, 2026, Azar 17, 1405\n"
    "each after a weekday name if any (it must be the date's), in ASCII, Persian\n"
    "or Arabic-Indic digits; or today, yesterday, tomorrow, امروز, دیروز, فردا\n"
    "(the local day). A time after the date (2026-12-08T10:30:00Z,\n"
    "1405/09/17 10:30) is written back as it was, after the converted date.\n"
    "@SECONDS (seconds since 1970-01-01T00:00:00Z) is the date and time of that\n"
    "instant in the local time zone, or in the zone of --zone.\n"
    "\n"
    "add moves each Shamsi DATE by AMOUNT: [+|-] then one or more of Ny, Nm,\n"
    "Nw, Nd (years, months, weeks, days) in that order, as +40d, -3w, 1y2m. A\n"
    "day past the end of the month reached becomes the month's last day.\n"
    "diff writes DATE2 - DATE1 in days; with no DATEs, each line of standard\n"
    "input holds two dates split by the delimiter. cal shows a month (see\n"
    "'shamsi-date cal --help').\n"
    "\n"
    "Options:\n"
    "  --format FMT       write dates as FMT (default %Y/%m/%d):\n"
    "                       %Y year  %m month  %d day  (two digits)\n"
    "                       %-m %-d  month, day without padding\n"
    "                       %y the year's last two digits\n"
    "                       %B month name  %A weekday name  %j day of the year\n"
    "                       %H hour  %M minute  %S second  (two digits)\n"
    "                       %z offset from UTC (+03:30; nothing for a time\n"
    "                          without one)\n"
    "                       %%  a percent sign\n"
    "                     Names are Persian for Shamsi dates, English for Miladi.\n"
    "  --digits WHICH     ascii (default) or persian\n"
    "  --names WHICH      Shamsi month names: iranian (default), afghan, or\n"
    "                     english (Farvardin ... Esfand, with English weekdays)\n"
    "  --input-format FMT read dates of exactly this form, with the fields of\n"
    "                     --format (%m, %d: one or two digits); a blank stands\n"
    "                     for any run of blanks\n"
    "  --header           pass the first line of standard input on as it is\n"
    "  --field N          convert only field N (from 1) of each line; the rest\n"
    "                     of the line is kept as it is\n"
    "  --delimiter C      the byte between fields (default ,); for diff, between\n"
    "                     the two dates of a line\n"
    "  --zone ZONE        to-miladi, to-shamsi: write an instant (a time with an\n"
    "                     offset, 2026-12-08T22:00:00Z, or @SECONDS) as its date\n"
    "                     and time in ZONE, with ZONE's offset then: an IANA name\n"
    "                     (Asia/Tehran, UTC) from the system's zoneinfo, or local\n"
    "                     (TZ, else the system's zone); on Windows UTC and local\n"
    "                     only. A date, or a time without an offset, converts as\n"
    "                     without --zone\n"
    "  --miladi           add, diff: the dates are Miladi, moved in Miladi months\n"
    "  --ymd              diff: the distance as an AMOUNT (+1y8m16d), not in days\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "A line that is not a date of the source calendar, lies outside the Shamsi\n"
    "years 1-9999 or cannot be read gives an empty line (in field mode the field\n"
    "stays as it was) and a message on standard error.\n"
    "\n"
    "Exit status: 0 when every date was good, 1 when any was bad, 2 for a usage\n"
    "error.\n";

// Today from the system clock in the local time zone, for the window's
// routines.
class ClockEnvironment final : public Runtime::Environment {
public:
    [[nodiscard]] Runtime::Date Today() const override {
        const std::time_t now = std::time(nullptr);
        // The program has one thread, so localtime's shared result is safe.
        const std::tm* local = std::localtime(&now);  // NOLINT(concurrency-mt-unsafe)
        if (local == nullptr) {
            return {};
        }
        constexpr int kTmYearBase = 1900;
        return {local->tm_year + kTmYearBase, local->tm_mon + 1, local->tm_mday};
    }
    void MessageBox(const Runtime::Text& text) override {
        WriteAll(stderr, "shamsi-date: " + Runtime::Utf8FromText(text) + "\n");
    }
};

int PrintToday() {
    ClockEnvironment env;
    Runtime::Text miladi;
    const Runtime::Text shamsi = Module1::MiladiToShamsi(miladi, false, env);
    Runtime::Text wordArgument;
    const Runtime::Text worded = Module1::MiladiToString(wordArgument, env);
    if (shamsi.empty() || worded.empty()) {
        WriteAll(stderr, "shamsi-date: today's date is not available\n");
        return kExitBadDate;
    }
    WriteAll(stdout, Runtime::Utf8FromText(shamsi) + "\n" + Runtime::Utf8FromText(worded) + "\n");
    return std::fflush(stdout) == 0 ? 0 : kExitBadDate;
}

#ifdef _WIN32
// The arguments as Windows holds them, in UTF-16, in UTF-8: the narrow argv
// would carry them in the ANSI code page, which may have no Persian digits.
std::vector<std::string> Utf8Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i) {
        const std::wstring_view argument(wide[i]);  // NOLINT(*-pointer-arithmetic)
        arguments.push_back(
            Runtime::Utf8FromText(Runtime::TextFromUtf16(std::u16string(argument.begin(), argument.end()))));
    }
    LocalFree(static_cast<HLOCAL>(wide));
    return arguments;
}
#endif

// Threads that convert standard input: one a core, up to four (reading and
// writing, one thread at a time, take as long as converting on four).
unsigned ConvertingThreads() { return std::clamp(std::thread::hardware_concurrency(), 1U, 4U); }

// to-miladi and to-shamsi: the DATE arguments, or standard input.
int Convert(const ShamsiDate::Options& options, const std::vector<std::string_view>& dates) {
    const auto output = [](std::string_view bytes) { WriteAll(stdout, bytes); };
    const auto errors = [](std::string_view message) { WriteAll(stderr, message); };
    bool anyBad = false;
    if (dates.empty()) {
        ShamsiDate::ParallelConverter converter(
            options, [](char* buffer, std::size_t size) { return std::fread(buffer, 1, size, stdin); },
            output, errors, ConvertingThreads());
        anyBad = converter.Run();
        if (std::ferror(stdin) != 0) {
            WriteAll(stderr, "shamsi-date: cannot read the input\n");
            anyBad = true;
        }
    } else {
        // A few dates: a buffer of a few pages, not of a block.
        constexpr std::size_t kArgumentsBuffer = 4096;
        ShamsiDate::LineConverter converter(options, output, errors, kArgumentsBuffer);
        if (options.operation == ShamsiDate::Operation::kDiff && dates.size() == 2) {
            converter.ConvertArgumentPair(dates[0], dates[1]);
        } else {
            for (const std::string_view date : dates) {
                converter.ConvertArgument(date);
            }
        }
        converter.Finish();
        anyBad = converter.AnyBad();
    }
    if (std::fflush(stdout) != 0) {
        WriteAll(stderr, "shamsi-date: cannot write the output\n");
        return kExitBadDate;
    }
    return anyBad ? kExitBadDate : 0;
}

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
    // Bytes in, bytes out: "\r\n" is handled by the converter, as on Linux.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef _WIN32
    // The console shows what is written as UTF-8.
    SetConsoleOutputCP(CP_UTF8);
    static const std::vector<std::string> utf8Arguments = Utf8Arguments();
    // Without the program's own name, as on Linux.
    std::vector<std::string_view> args(utf8Arguments.begin(), utf8Arguments.end());
    if (!args.empty()) {
        args.erase(args.begin());
    }
#else
    const std::vector<std::string_view> args(argv + 1, argv + argc);  // NOLINT(*-pointer-arithmetic)
#endif
    if (!args.empty() && args[0] == "cal") {
        return ShamsiDate::RunCalendar(std::vector<std::string_view>(args.begin() + 1, args.end()));
    }
    ShamsiDate::Arguments parsed;
    if (const std::string error = ShamsiDate::ParseArguments(args, parsed); !error.empty()) {
        return UsageError(error);
    }
    if (parsed.help) {
        WriteAll(stdout, kUsage);
        return std::fflush(stdout) == 0 ? 0 : kExitBadDate;
    }
    if (parsed.version) {
        WriteAll(stdout, "shamsi-date " SHAMSI_DATE_VERSION "\n");
        return std::fflush(stdout) == 0 ? 0 : kExitBadDate;
    }
    if (parsed.operands.empty()) {
        if (args.empty()) {
            return PrintToday();
        }
        return UsageError("a command is needed: to-miladi, to-shamsi, add, diff or cal");
    }
    const std::string_view command = parsed.operands.front();
    const std::vector<std::string_view> dates(parsed.operands.begin() + 1, parsed.operands.end());
    if (command == "to-miladi" || command == "to-shamsi") {
        parsed.options.direction =
            command == "to-miladi" ? ShamsiDate::Direction::kToMiladi : ShamsiDate::Direction::kToShamsi;
        if (const std::string error = ShamsiDate::CheckOptions(parsed.options, !dates.empty());
            !error.empty()) {
            return UsageError(error);
        }
        if (parsed.options.zoneGiven) {
            std::string error;
            parsed.options.timeZone = ShamsiDate::TimeZone::Load(parsed.options.zone, error);
            if (parsed.options.timeZone == nullptr) {
                WriteAll(stderr, "shamsi-date: " + error + "\n");
                return ShamsiDate::kExitUsage;
            }
        }
        return Convert(parsed.options, dates);
    }
    if (command == "add" || command == "diff") {
        std::vector<std::string_view> operands = dates;
        std::string error = ShamsiDate::SetUpArithmetic(command, parsed.options, operands);
        if (error.empty()) {
            error = ShamsiDate::CheckOptions(parsed.options, !operands.empty());
        }
        return error.empty() ? Convert(parsed.options, operands) : UsageError(error);
    }
    return UsageError("unknown command '" + std::string(command) + "'");
}
