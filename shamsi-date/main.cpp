// shamsi-date: Shamsi (Iranian solar) and Miladi (Gregorian) dates for
// scripts. See shamsi-date.1 or `shamsi-date --help`.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include "windows_api.h"

// After windows.h, which it builds on.
#include <shellapi.h>
#endif

#include "calendar_command.h"
#include "command_line.h"
#include "line_converter.h"
#include "module1.h"
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
    "other way. A DATE is Y/M/D or Y-M-D with the full year and a month and day\n"
    "of one or two digits, in ASCII, Persian or Arabic-Indic digits. With no\n"
    "DATE, standard input is read, one date per line, and one line is written\n"
    "for each line read.\n"
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
    "                       %B month name  %A weekday name  %j day of the year\n"
    "                       %%  a percent sign\n"
    "                     Names are Persian for Shamsi dates, English for Miladi.\n"
    "  --digits WHICH     ascii (default) or persian\n"
    "  --field N          convert only field N (from 1) of each line; the rest\n"
    "                     of the line is kept as it is\n"
    "  --delimiter C      the byte between fields (default ,); for diff, between\n"
    "                     the two dates of a line\n"
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

constexpr std::string_view kAmountGrammar = "[+|-] then one or more of Ny, Nm, Nw, Nd, in that order";

// The options that take a value (--name VALUE or --name=VALUE), and those
// that take none.
constexpr std::array<std::string_view, 4> kValueOptions = {"--format", "--digits", "--field", "--delimiter"};
constexpr std::array<std::string_view, 6> kPlainOptions = {"--",        "--help",   "-h",
                                                           "--version", "--miladi", "--ymd"};

bool IsKnownOption(std::string_view arg) {
    const std::string_view name = arg.substr(0, arg.find('='));
    return std::find(kValueOptions.begin(), kValueOptions.end(), name) != kValueOptions.end() ||
           std::find(kPlainOptions.begin(), kPlainOptions.end(), arg) != kPlainOptions.end();
}

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

std::optional<int> ReadCount(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
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
    std::optional<std::string_view> command;
    ShamsiDate::Options options;
    bool delimiterGiven = false;
    bool formatGiven = false;
    std::optional<std::string_view> amount;
    std::vector<std::string_view> dates;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        // The first word after add that is no option is the amount, even
        // when it starts with a "-".
        if (command == "add" && !amount && (!isOption || !IsKnownOption(arg))) {
            amount = arg;
            continue;
        }
        if (!isOption) {
            if (!command) {
                if (arg != "to-miladi" && arg != "to-shamsi" && arg != "add" && arg != "diff") {
                    return UsageError("unknown command '" + std::string(arg) + "'");
                }
                command = arg;
            } else {
                dates.push_back(arg);
            }
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            WriteAll(stdout, kUsage);
            return std::fflush(stdout) == 0 ? 0 : kExitBadDate;
        }
        if (arg == "--version") {
            WriteAll(stdout, "shamsi-date " SHAMSI_DATE_VERSION "\n");
            return std::fflush(stdout) == 0 ? 0 : kExitBadDate;
        }
        // --name VALUE or --name=VALUE
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (const auto equals = arg.find('='); equals != std::string_view::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        if (arg == "--miladi" || arg == "--ymd") {
            (arg == "--miladi" ? options.miladi : options.ymd) = true;
            continue;
        }
        if (std::find(kValueOptions.begin(), kValueOptions.end(), name) == kValueOptions.end()) {
            return UsageError("unknown option '" + std::string(arg) + "'");
        }
        if (!value) {
            if (i + 1 == args.size()) {
                return UsageError("option '" + std::string(name) + "' needs a value");
            }
            value = args[++i];
        }
        if (name == "--format") {
            options.format = std::string(*value);
            formatGiven = true;
        } else if (name == "--digits") {
            if (*value == "persian") {
                options.digits = Shamsi::Digits::kPersian;
            } else if (*value == "ascii") {
                options.digits = Shamsi::Digits::kAscii;
            } else {
                return UsageError("--digits takes ascii or persian, not '" + std::string(*value) + "'");
            }
        } else if (name == "--field") {
            const auto field = ReadCount(*value);
            if (!field || *field < 1) {
                return UsageError("--field takes a field number from 1, not '" + std::string(*value) + "'");
            }
            options.field = *field;
        } else {
            if (value->size() != 1 || (*value)[0] == '\n' || (*value)[0] == '\r') {
                return UsageError("--delimiter takes one byte other than a line end, not '" +
                                  std::string(*value) + "'");
            }
            options.delimiter = (*value)[0];
            delimiterGiven = true;
        }
    }

    if (!command) {
        if (args.empty()) {
            return PrintToday();
        }
        return UsageError("a command is needed: to-miladi, to-shamsi, add, diff or cal");
    }
    options.operation = *command == "add"    ? ShamsiDate::Operation::kAdd
                        : *command == "diff" ? ShamsiDate::Operation::kDiff
                                             : ShamsiDate::Operation::kConvert;
    options.direction =
        *command == "to-shamsi" ? ShamsiDate::Direction::kToShamsi : ShamsiDate::Direction::kToMiladi;
    const bool diff = options.operation == ShamsiDate::Operation::kDiff;
    if (options.miladi && options.operation == ShamsiDate::Operation::kConvert) {
        return UsageError("--miladi is for add and diff; " + std::string(*command) + " knows its calendars");
    }
    if (options.ymd && !diff) {
        return UsageError("--ymd is for diff");
    }
    if (diff && (formatGiven || options.field > 0)) {
        return UsageError(std::string(formatGiven ? "--format" : "--field") + " is not for diff");
    }
    if (diff && !dates.empty() && dates.size() != 2) {
        return UsageError("diff takes two DATEs, or none to read pairs from standard input");
    }
    if (options.operation == ShamsiDate::Operation::kAdd) {
        if (!amount) {
            return UsageError("add needs an AMOUNT (" + std::string(kAmountGrammar) + ")");
        }
        if (!Shamsi::ReadPeriod(*amount, options.amount)) {
            return UsageError("'" + std::string(*amount) + "' is not an AMOUNT (" +
                              std::string(kAmountGrammar) + ")");
        }
    }
    if (delimiterGiven && options.field == 0 && !diff) {
        return UsageError("--delimiter needs --field");
    }
    if (options.field > 0 && !dates.empty()) {
        return UsageError("--field reads lines from standard input, not DATE arguments");
    }
    const Shamsi::Formatter check(options.format, Shamsi::Calendar::kShamsi);
    if (!check.Error().empty()) {
        return UsageError("--format: " + check.Error());
    }

    ShamsiDate::LineConverter converter(
        options, [](std::string_view bytes) { WriteAll(stdout, bytes); },
        [](std::string_view message) { WriteAll(stderr, message); });
    if (diff && !dates.empty()) {
        converter.ConvertArgumentPair(dates[0], dates[1]);
    } else if (!dates.empty()) {
        for (const std::string_view date : dates) {
            converter.ConvertArgument(date);
        }
    } else {
        constexpr std::size_t kReadSize = std::size_t{1} << 18;
        std::vector<char> input(kReadSize);
        for (;;) {
            const std::size_t got = std::fread(input.data(), 1, input.size(), stdin);
            if (got > 0) {
                converter.Feed(std::string_view(input.data(), got));
            }
            if (got < input.size()) {
                break;
            }
        }
        if (std::ferror(stdin) != 0) {
            converter.Finish();
            WriteAll(stderr, "shamsi-date: cannot read the input\n");
            return kExitBadDate;
        }
    }
    converter.Finish();
    if (std::fflush(stdout) != 0) {
        WriteAll(stderr, "shamsi-date: cannot write the output\n");
        return kExitBadDate;
    }
    return converter.AnyBad() ? kExitBadDate : 0;
}
