#include "options.h"

#include <optional>

namespace ShamsiDate {

namespace {

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

// The options that take a value.
bool TakesValue(std::string_view name) {
    return name == "--format" || name == "--digits" || name == "--names" || name == "--field" ||
           name == "--delimiter" || name == "--input-format" || name == "--zone";
}

bool IsOption(std::string_view arg) {
    return TakesValue(arg.substr(0, arg.find('='))) || arg == "--" || arg == "--help" || arg == "-h" ||
           arg == "--version" || arg == "--header" || arg == "--miladi" || arg == "--ymd";
}

std::string SetOption(std::string_view name, std::string_view value, Options& options) {
    const auto quoted = [value] { return "'" + std::string(value) + "'"; };
    if (name == "--format") {
        options.format = std::string(value);
        options.formatGiven = true;
    } else if (name == "--zone") {
        options.zone = std::string(value);
        options.zoneGiven = true;
    } else if (name == "--input-format") {
        options.inputFormat = std::string(value);
        if (value.empty()) {
            return "--input-format needs a form, such as %d/%m/%Y";
        }
    } else if (name == "--digits") {
        if (value == "persian") {
            options.digits = Shamsi::Digits::kPersian;
        } else if (value == "ascii") {
            options.digits = Shamsi::Digits::kAscii;
        } else {
            return "--digits takes ascii or persian, not " + quoted();
        }
    } else if (name == "--names") {
        const std::optional<Shamsi::MonthNames> names = Shamsi::MonthNamesCalled(value);
        if (!names) {
            return "--names takes iranian, afghan or english, not " + quoted();
        }
        options.names = *names;
    } else if (name == "--field") {
        const auto field = ReadCount(value);
        if (!field || *field < 1) {
            return "--field takes a field number from 1, not " + quoted();
        }
        options.field = *field;
    } else {
        if (value.size() != 1 || value[0] == '\n' || value[0] == '\r') {
            return "--delimiter takes one byte other than a line end, not " + quoted();
        }
        options.delimiter = value[0];
        options.delimiterGiven = true;
    }
    return {};
}

}  // namespace

std::string ParseArguments(const std::vector<std::string_view>& args, Arguments& parsed) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        // The first word after add that is no option is the amount, even
        // when it starts with a "-": add -3w 1405/09/17.
        const bool amountNext = parsed.operands.size() == 1 && parsed.operands[0] == "add";
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-" || (amountNext && !IsOption(arg))) {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            return {};
        }
        if (arg == "--version") {
            parsed.version = true;
            return {};
        }
        if (arg == "--header") {
            parsed.options.header = true;
            continue;
        }
        if (arg == "--miladi" || arg == "--ymd") {
            (arg == "--miladi" ? parsed.options.miladi : parsed.options.ymd) = true;
            continue;
        }
        // --name VALUE or --name=VALUE
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (const auto equals = arg.find('='); equals != std::string_view::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        if (!TakesValue(name)) {
            return "unknown option '" + std::string(arg) + "'";
        }
        if (!value) {
            if (i + 1 == args.size()) {
                return "option '" + std::string(name) + "' needs a value";
            }
            value = args[++i];
        }
        if (std::string error = SetOption(name, *value, parsed.options); !error.empty()) {
            return error;
        }
    }
    return {};
}

std::string CheckOptions(const Options& options, bool fromArguments) {
    const bool diff = options.operation == Operation::kDiff;
    if (options.miladi && options.operation == Operation::kConvert) {
        return "--miladi is for add and diff";
    }
    if (options.zoneGiven && options.operation != Operation::kConvert) {
        return "--zone is for to-miladi and to-shamsi";
    }
    if (options.ymd && !diff) {
        return "--ymd is for diff";
    }
    if (diff && (options.formatGiven || options.field > 0)) {
        return std::string(options.formatGiven ? "--format" : "--field") + " is not for diff";
    }
    if (options.delimiterGiven && options.field == 0 && !diff) {
        return "--delimiter needs --field";
    }
    if (fromArguments && options.field > 0) {
        return "--field reads lines from standard input, not DATE arguments";
    }
    if (fromArguments && options.header) {
        return "--header reads standard input, not DATE arguments";
    }
    const Shamsi::Formatter format(options.format, Shamsi::Calendar::kShamsi);
    if (!format.Error().empty()) {
        return "--format: " + format.Error();
    }
    if (!options.inputFormat.empty()) {
        const Shamsi::Reader reader(options.inputFormat, SourceCalendar(options));
        if (!reader.Error().empty()) {
            return "--input-format: " + reader.Error();
        }
    }
    return {};
}

}  // namespace ShamsiDate
