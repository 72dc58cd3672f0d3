// The options of shamsi-date's commands, and the reading of its arguments.
//
// Every command that reads dates takes the same options for what it reads
// (--input-format, --header, --field, --delimiter) and for what it writes
// (--format, --digits, --names): ParseArguments reads them all, wherever
// they stand, and leaves the command and its operands in order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <shamsi/names.h>
#include <shamsi/text.h>

namespace ShamsiDate {

enum class Direction { kToMiladi, kToShamsi };

// The calendar a direction reads, and the one it writes.
[[nodiscard]] constexpr Shamsi::Calendar SourceCalendar(Direction direction) {
    return direction == Direction::kToMiladi ? Shamsi::Calendar::kShamsi : Shamsi::Calendar::kMiladi;
}
[[nodiscard]] constexpr Shamsi::Calendar TargetCalendar(Direction direction) {
    return direction == Direction::kToMiladi ? Shamsi::Calendar::kMiladi : Shamsi::Calendar::kShamsi;
}

struct Options {
    Direction direction = Direction::kToMiladi;
    std::string format = "%Y/%m/%d";
    Shamsi::Digits digits = Shamsi::Digits::kAscii;
    Shamsi::MonthNames names = Shamsi::MonthNames::kIranian;
    std::string inputFormat;  // empty: the usual forms (Shamsi::Reader)
    bool header = false;      // the first line of standard input is passed on as it is
    int field = 0;            // 1-based field to convert; 0 converts whole lines
    char delimiter = ',';
    bool delimiterGiven = false;
};

struct Arguments {
    Options options;
    std::vector<std::string_view> operands;  // the command first, then its operands
    bool help = false;
    bool version = false;
};

// Reads the arguments (without the program's name). Returns the usage error,
// or an empty string. --help and --version end the reading.
[[nodiscard]] std::string ParseArguments(const std::vector<std::string_view>& args, Arguments& parsed);

// What is wrong with options that ParseArguments accepted, for a command
// that reads dates (fromArguments: dates given as operands, not read from
// standard input); empty when they are good.
[[nodiscard]] std::string CheckOptions(const Options& options, bool fromArguments);

}  // namespace ShamsiDate
