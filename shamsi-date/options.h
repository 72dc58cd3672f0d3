// The options of shamsi-date's commands, and the reading of its arguments.
//
// Every command that reads dates takes the same options for what it reads
// (--input-format, --header, --field, --delimiter) and for what it writes
// (--format, --digits, --names): ParseArguments reads them all, wherever
// they stand, and leaves the command and its operands in order.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <shamsi/arithmetic.h>
#include <shamsi/names.h>
#include <shamsi/text.h>

#include "time_zone.h"

namespace ShamsiDate {

enum class Direction { kToMiladi, kToShamsi };

// The calendar a direction reads, and the one it writes.
[[nodiscard]] constexpr Shamsi::Calendar SourceCalendar(Direction direction) {
    return direction == Direction::kToMiladi ? Shamsi::Calendar::kShamsi : Shamsi::Calendar::kMiladi;
}
[[nodiscard]] constexpr Shamsi::Calendar TargetCalendar(Direction direction) {
    return direction == Direction::kToMiladi ? Shamsi::Calendar::kMiladi : Shamsi::Calendar::kShamsi;
}

// What is done with each date read: converting it to the other calendar
// (to-miladi, to-shamsi), moving it by an amount in its own calendar (add),
// or, for two dates on one line, writing the distance between them (diff).
enum class Operation { kConvert, kAdd, kDiff };

struct Options {
    Operation operation = Operation::kConvert;
    Direction direction = Direction::kToMiladi;  // kConvert
    bool miladi = false;                         // kAdd, kDiff: the dates are Miladi
    Shamsi::Period amount;                       // kAdd
    bool ymd = false;                            // kDiff: the distance as an amount
    std::string format = "%Y/%m/%d";
    bool formatGiven = false;
    Shamsi::Digits digits = Shamsi::Digits::kAscii;
    Shamsi::MonthNames names = Shamsi::MonthNames::kIranian;
    std::string inputFormat;  // empty: the usual forms (Shamsi::Reader)
    bool header = false;      // the first line of standard input is passed on as it is
    int field = 0;            // 1-based field to convert; 0 converts whole lines
    char delimiter = ',';
    bool delimiterGiven = false;
    std::string zone;  // kConvert: --zone, the zone instants are written in
    bool zoneGiven = false;
    // The zone --zone names, loaded once the options are checked; null
    // without --zone.
    std::shared_ptr<const TimeZone> timeZone;
};

// The calendar the options' dates are read in, and the one results are
// written in.
[[nodiscard]] constexpr Shamsi::Calendar SourceCalendar(const Options& options) {
    if (options.operation == Operation::kConvert) {
        return SourceCalendar(options.direction);
    }
    return options.miladi ? Shamsi::Calendar::kMiladi : Shamsi::Calendar::kShamsi;
}
[[nodiscard]] constexpr Shamsi::Calendar TargetCalendar(const Options& options) {
    return options.operation == Operation::kConvert ? TargetCalendar(options.direction)
                                                    : SourceCalendar(options);
}

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
