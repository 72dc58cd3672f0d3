// shamsi-date's line converter and the library's formatter on any bytes.
//
// The first byte chooses the operation (convert, add, diff), the direction
// or calendar, whole-line or field mode (field 1 to 3, comma-separated) and
// the digits; the second how the input is cut into pieces; the rest is the
// input. For add, the input's first line, read as an AMOUNT, is the amount
// (+1m when it is none); a good amount must be written back as one that reads
// as the same period. Invariants:
//   - as many lines out as in, each ended as its input line was;
//   - whole-line mode: a line that reads as a date gives a date that reads
//     back as the same day (the round trip); any other line gives an empty
//     line and exactly one message;
//   - field mode: every byte outside the field is kept, and the field is
//     either converted as above or kept with one message;
//   - add: a good date gives Add(date, amount) in the same calendar, or, when
//     that lies outside the range, is bad;
//   - diff: a line of two good dates split by a comma gives DaysBetween, or
//     with --ymd an amount that moves the first onto the second (when it is
//     not later); any other line is bad.
// Then a month calendar for a month the input chooses: no line wider than
// a month, every day once. Then the input, read as a pattern, formats a day: never more than
// MaxSize() bytes, and nothing for a pattern the formatter refuses.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <shamsi/arithmetic.h>
#include <shamsi/date.h>
#include <shamsi/text.h>

#include "line_converter.h"
#include "month_calendar.h"

namespace {

void Require(bool condition, const char* invariant, std::string_view input) {
    if (condition) {
        return;
    }
    (void)std::fprintf(stderr, "invariant broken: %s\ninput: '%.*s'\n", invariant,
                       static_cast<int>(input.size()), input.data());
    std::abort();
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string_view WithoutCarriageReturn(std::string_view line) {
    return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
}

// The day a text names in the calendar, if it is a good date there.
bool DayOf(std::string_view text, Shamsi::Calendar calendar, std::chrono::sys_days& day) {
    if (calendar == Shamsi::Calendar::kShamsi) {
        Shamsi::Date date;
        if (Shamsi::ReadShamsi(text, date) != Shamsi::ReadError::kNone) {
            return false;
        }
        day = Shamsi::ToSysDays(date);
        return true;
    }
    std::chrono::year_month_day date{};
    if (Shamsi::ReadMiladi(text, date) != Shamsi::ReadError::kNone) {
        return false;
    }
    day = std::chrono::sys_days{date};
    return true;
}

// What add or diff must write for a field (a line for diff), or "bad".
template <typename DateType>
bool ReadIn(std::string_view text, DateType& date) {
    if constexpr (std::is_same_v<DateType, Shamsi::Date>) {
        return Shamsi::ReadShamsi(text, date) == Shamsi::ReadError::kNone;
    } else {
        return Shamsi::ReadMiladi(text, date) == Shamsi::ReadError::kNone;
    }
}

bool InRange(const Shamsi::Date& date) { return date.IsValid(); }
bool InRange(const std::chrono::year_month_day& date) {
    return date.ok() && Shamsi::InRange(std::chrono::sys_days{date});
}

template <typename DateType>
std::string ExpectedResult(std::string_view text, const ShamsiDate::Options& options,
                           const Shamsi::Formatter& formatter, std::string_view input) {
    if (options.operation == ShamsiDate::Operation::kAdd) {
        DateType date{};
        if (!ReadIn(text, date)) {
            return "bad";
        }
        const DateType moved = Shamsi::Add(date, options.amount);
        return InRange(moved) ? formatter.Format(moved) : "bad";
    }
    const std::size_t comma = text.find(',');
    DateType from{};
    DateType to{};
    if (comma == std::string_view::npos || !ReadIn(text.substr(0, comma), from) ||
        !ReadIn(text.substr(comma + 1), to)) {
        return "bad";
    }
    if (!options.ymd) {
        std::string days(48, '\0');
        days.resize(static_cast<std::size_t>(
            Shamsi::WriteInteger(days.data(), Shamsi::DaysBetween(from, to), options.digits) - days.data()));
        return days;
    }
    const Shamsi::Period period = Shamsi::Between(from, to);
    if (!(to < from)) {
        Require(Shamsi::Add(from, period) == to, "Between moves the first date onto the second", input);
    }
    return Shamsi::FormatPeriod(period, options.digits);
}

// One field (or line) of add or diff against its input; counts the bad ones.
void CheckResult(std::string_view in, std::string_view out, bool wholeLine, bool lastField,
                 const ShamsiDate::Options& options, const Shamsi::Formatter& formatter, std::size_t& bad,
                 std::string_view input) {
    const std::string_view inText = lastField ? WithoutCarriageReturn(in) : in;
    const std::string_view outText = lastField ? WithoutCarriageReturn(out) : out;
    const std::string expected =
        options.miladi ? ExpectedResult<std::chrono::year_month_day>(inText, options, formatter, input)
                       : ExpectedResult<Shamsi::Date>(inText, options, formatter, input);
    if (expected != "bad") {
        Require(outText == expected, "add or diff gives the expected result", input);
        return;
    }
    ++bad;
    Require(wholeLine ? outText.empty() : in == out, "a bad line is emptied, a bad field kept", input);
}

// One converted field against its input; counts the bad ones. A carriage
// return ends the line, not the date, so it is set apart only in the last
// field of a line.
void CheckField(std::string_view in, std::string_view out, bool wholeLine, bool lastField,
                ShamsiDate::Direction direction, std::size_t& bad, std::string_view input) {
    const auto source =
        direction == ShamsiDate::Direction::kToMiladi ? Shamsi::Calendar::kShamsi : Shamsi::Calendar::kMiladi;
    const auto target =
        direction == ShamsiDate::Direction::kToMiladi ? Shamsi::Calendar::kMiladi : Shamsi::Calendar::kShamsi;
    const std::string_view inDate = lastField ? WithoutCarriageReturn(in) : in;
    const std::string_view outDate = lastField ? WithoutCarriageReturn(out) : out;
    std::chrono::sys_days inDay{};
    if (DayOf(inDate, source, inDay)) {
        std::chrono::sys_days outDay{};
        Require(DayOf(outDate, target, outDay), "a good date gives a readable date", input);
        Require(outDay == inDay, "the round trip gives the same day", input);
        Require((in.size() - inDate.size()) == (out.size() - outDate.size()), "a carriage return stays",
                input);
        return;
    }
    ++bad;
    if (!wholeLine) {
        Require(in == out, "a bad field is kept as it was", input);
    } else {
        Require(outDate.empty(), "a bad line gives an empty line", input);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer hands over bytes
    const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
    const unsigned choice = data[0];
    const std::size_t piece = 1 + data[1] % 17;

    ShamsiDate::Options options;
    options.direction =
        (choice & 1U) != 0 ? ShamsiDate::Direction::kToShamsi : ShamsiDate::Direction::kToMiladi;
    options.miladi = (choice & 1U) != 0;
    options.field = (choice & 2U) != 0 ? static_cast<int>(1 + (choice >> 2U) % 3) : 0;
    options.digits = (choice & 32U) != 0 ? Shamsi::Digits::kPersian : Shamsi::Digits::kAscii;
    const unsigned operation = choice >> 6U;  // 0, 1: convert; 2: add; 3: diff
    if (operation == 2) {
        options.operation = ShamsiDate::Operation::kAdd;
        options.amount = {.months = 1};
        const std::string_view amount = input.substr(0, input.find('\n'));
        if (Shamsi::ReadPeriod(amount, options.amount)) {
            const std::string written = Shamsi::FormatPeriod(options.amount, options.digits);
            Shamsi::Period back;
            Require(Shamsi::ReadPeriod(written, back), "a written amount reads", input);
            const auto& p = options.amount;
            Require(back == Shamsi::Period{p.years, p.months, p.weeks, p.days},
                    "an amount reads back the same", input);
        }
    } else if (operation == 3) {
        options.operation = ShamsiDate::Operation::kDiff;
        options.field = 0;
        options.ymd = (choice & 4U) != 0;
    }
    std::string output;
    std::string errors;
    std::size_t messages = 0;
    ShamsiDate::LineConverter converter(
        options, [&output](std::string_view bytes) { output.append(bytes); },
        [&errors, &messages](std::string_view message) {
            errors.append(message);
            ++messages;
        });
    for (std::size_t at = 0; at < input.size(); at += piece) {
        converter.Feed(input.substr(at, piece));
    }
    converter.Finish();

    const Shamsi::Formatter resultFormatter(
        "%Y/%m/%d", options.miladi ? Shamsi::Calendar::kMiladi : Shamsi::Calendar::kShamsi, options.digits);
    const std::vector<std::string_view> inLines = Split(input, '\n');
    const std::vector<std::string_view> outLines = Split(output, '\n');
    Require(inLines.size() == outLines.size(), "as many lines out as in", input);
    std::size_t bad = 0;
    for (std::size_t i = 0; i < inLines.size(); ++i) {
        if (i + 1 == inLines.size() && inLines[i].empty()) {
            Require(outLines[i].empty(), "nothing after the last line feed", input);
            break;
        }
        if (options.operation != ShamsiDate::Operation::kConvert && options.field == 0) {
            CheckResult(inLines[i], outLines[i], true, true, options, resultFormatter, bad, input);
            continue;
        }
        if (options.field == 0) {
            CheckField(inLines[i], outLines[i], true, true, options.direction, bad, input);
            continue;
        }
        const std::vector<std::string_view> inFields = Split(inLines[i], ',');
        const std::vector<std::string_view> outFields = Split(outLines[i], ',');
        Require(inFields.size() == outFields.size(), "as many fields out as in", input);
        const auto target = static_cast<std::size_t>(options.field - 1);
        for (std::size_t f = 0; f < inFields.size(); ++f) {
            if (f != target) {
                Require(inFields[f] == outFields[f], "fields other than the converted one are kept", input);
            }
        }
        if (target < inFields.size() && options.operation == ShamsiDate::Operation::kAdd) {
            CheckResult(inFields[target], outFields[target], false, target + 1 == inFields.size(), options,
                        resultFormatter, bad, input);
        } else if (target < inFields.size()) {
            // The last field of a line carries the line's carriage return.
            CheckField(inFields[target], outFields[target], false, target + 1 == inFields.size(),
                       options.direction, bad, input);
        } else {
            ++bad;
        }
    }
    Require(bad == messages, "one message for each bad line", input);
    Require(converter.AnyBad() == (bad > 0), "bad lines are told in the exit status", input);

    // The formatter on a pattern of any bytes, for a day chosen by the input.
    const auto offset = static_cast<std::int64_t>(choice) * 14071 + static_cast<std::int64_t>(size) * 7;
    const std::chrono::sys_days day = Shamsi::kFirstDay + std::chrono::days{offset % 3652059};
    const std::string pattern(input.substr(0, 64));
    for (const auto calendar : {Shamsi::Calendar::kShamsi, Shamsi::Calendar::kMiladi}) {
        const Shamsi::Formatter formatter(pattern, calendar, options.digits);
        const std::string text = formatter.Format(Shamsi::FromSysDays(day));
        Require(text.size() <= formatter.MaxSize(), "a date fits in MaxSize()", input);
        Require(formatter.Error().empty() || text.empty(), "a refused pattern writes nothing", input);
    }

    const int year = 1 + static_cast<int>(offset % Shamsi::kLastYear);
    const int month = 1 + static_cast<int>(choice % 12);
    ShamsiDate::CalendarStyle style;
    style.digits = options.digits;
    style.color = (choice & 16U) != 0;
    style.today = Shamsi::Date{year, month, 1 + static_cast<int>(size % 31)};
    const std::vector<std::string> lines = ShamsiDate::MonthLines(year, month, true, style);
    std::size_t days = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Require(ShamsiDate::DisplayWidth(lines[i]) <= 20, "a month is 20 cells wide", input);
        for (std::size_t at = 0; i >= 2 && at < lines[i].size(); ++at) {
            // A day is a run of digits; colour sequences hold "[7m" and the like.
            const bool digit = lines[i][at] != ' ' && lines[i][at] != '\x1b' && lines[i][at] != '[' &&
                               lines[i][at] != 'm' &&
                               (at == 0 || lines[i][at - 1] == ' ' || lines[i][at - 1] == 'm');
            days += digit ? 1 : 0;
        }
    }
    Require(days == static_cast<std::size_t>(Shamsi::DaysInMonth(year, month)), "every day once", input);
    return 0;
}
