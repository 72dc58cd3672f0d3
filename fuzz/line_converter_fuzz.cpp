// shamsi-date's line converter and the library's formatter on any bytes.
//
// The first byte chooses the operation (convert, add, diff), the direction
// or calendar, whole-line or field mode (field 1 to 3, comma-separated) and
// the digits; the second how the input is cut into
// pieces, the input form (the usual ones or one of two patterns) and
// whether the first line is a header; the rest is the input. Invariants:
//   - as many lines out as in, each ended as its input line was;
//   - a header line is written as it was read, and never told as bad;
//   - whole-line mode: a line that reads as a date (a word for a day, a
//     time after it, included) gives a date that reads back as the same
//     day, with the same time (the round trip); any other line gives an
//     empty line and exactly one message;
//   - field mode: every byte outside the field is kept, and the field is
//     either converted as above or kept with one message;
//   - add (the amount is the input's first line when it reads as one, and
//     must then be written back as an amount that reads the same; +1m
//     otherwise): as converting, with the day moved by Add in the source
//     calendar, and a line whose move leaves the range is bad;
//   - in blocks of a few bytes, on one thread or two, exactly the same
//     output and messages (ParallelConverter);
//   - diff: a line of two good dates split by a comma gives DaysBetween, or
//     with --ymd an amount that Between gives and that moves the first date
//     onto the second when it is not later; any other line is bad.
// Then a month calendar for a month the input picks: no line wider than a
// month, every day once.
// Then the input, read as a pattern, formats a day: never more than
// MaxSize() bytes, and nothing for a pattern the formatter refuses; a reader
// of the same pattern reads the text as a day of the range, or not at all.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <shamsi/arithmetic.h>
#include <shamsi/date.h>
#include <shamsi/text.h>

#include "line_converter.h"
#include "month_calendar.h"
#include "parallel_converter.h"

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

// The day a text names in the calendar, if it is a good date there, and the
// time after it.
bool DayOf(std::string_view text, Shamsi::Calendar calendar, const std::string& form,
           std::chrono::sys_days& day, std::string_view& time) {
    const ShamsiDate::DateInput input(calendar, form);
    const ShamsiDate::DateInput::Result read = input.Read(text);
    day = read.day;
    time = read.time;
    return read.error == Shamsi::ReadError::kNone;
}

// The day moved by the options' amount in the source calendar, if it stays
// in the range.
bool Moved(const ShamsiDate::Options& options, std::chrono::sys_days& day) {
    if (options.miladi) {
        const std::chrono::year_month_day moved =
            Shamsi::Add(std::chrono::year_month_day{day}, options.amount);
        if (!moved.ok() || !Shamsi::InRange(std::chrono::sys_days{moved})) {
            return false;
        }
        day = std::chrono::sys_days{moved};
        return true;
    }
    const Shamsi::Date moved = Shamsi::Add(Shamsi::FromSysDays(day), options.amount);
    if (!moved.IsValid()) {
        return false;
    }
    day = Shamsi::ToSysDays(moved);
    return true;
}

// One diff line against its input; counts the bad ones.
void CheckDiff(std::string_view in, std::string_view out, const ShamsiDate::Options& options,
               std::size_t& bad, std::string_view input) {
    const std::string_view inText = WithoutCarriageReturn(in);
    const std::string_view outText = WithoutCarriageReturn(out);
    const std::size_t comma = inText.find(',');
    const Shamsi::Calendar calendar = ShamsiDate::SourceCalendar(options);
    std::chrono::sys_days from{};
    std::chrono::sys_days to{};
    std::string_view time;
    if (comma == std::string_view::npos ||
        !DayOf(inText.substr(0, comma), calendar, options.inputFormat, from, time) ||
        !DayOf(inText.substr(comma + 1), calendar, options.inputFormat, to, time)) {
        ++bad;
        Require(outText.empty(), "a bad line gives an empty line", input);
        return;
    }
    std::array<char, Shamsi::kLongestPeriodText> expected{};
    char* end = nullptr;
    if (!options.ymd) {
        end = Shamsi::WriteInteger(expected.data(), (to - from).count(), options.digits);
    } else if (options.miladi) {
        const std::chrono::year_month_day a{from};
        const std::chrono::year_month_day b{to};
        const Shamsi::Period period = Shamsi::Between(a, b);
        Require(b < a || Shamsi::Add(a, period) == b, "Between moves the first date onto the second", input);
        end = Shamsi::WritePeriod(expected.data(), period, options.digits);
    } else {
        const Shamsi::Date a = Shamsi::FromSysDays(from);
        const Shamsi::Date b = Shamsi::FromSysDays(to);
        const Shamsi::Period period = Shamsi::Between(a, b);
        Require(b < a || Shamsi::Add(a, period) == b, "Between moves the first date onto the second", input);
        end = Shamsi::WritePeriod(expected.data(), period, options.digits);
    }
    Require(outText == std::string_view(expected.data(), static_cast<std::size_t>(end - expected.data())),
            "diff writes the distance", input);
}

// One converted field against its input; counts the bad ones. A carriage
// return ends the line, not the date, so it is set apart only in the last
// field of a line.
void CheckField(std::string_view in, std::string_view out, bool wholeLine, bool lastField,
                const ShamsiDate::Options& options, std::size_t& bad, std::string_view input) {
    const std::string_view inDate = lastField ? WithoutCarriageReturn(in) : in;
    const std::string_view outDate = lastField ? WithoutCarriageReturn(out) : out;
    // "@SECONDS": the date and time of that instant in the local zone, with
    // its offset, naming the same second, its fraction kept; or a bad line.
    std::int64_t seconds = 0;
    std::string_view fraction;
    const ShamsiDate::UnixSecondsRead instant = options.operation == ShamsiDate::Operation::kConvert
                                                    ? ShamsiDate::ReadUnixSeconds(inDate, seconds, fraction)
                                                    : ShamsiDate::UnixSecondsRead::kNotSeconds;
    if (instant == ShamsiDate::UnixSecondsRead::kGood && (wholeLine ? !outDate.empty() : out != in)) {
        std::chrono::sys_days outDay{};
        std::string_view outTime;
        Require(DayOf(outDate, ShamsiDate::TargetCalendar(options), "", outDay, outTime) && !outTime.empty(),
                "an instant gives a readable date and time", input);
        const ShamsiDate::ClockTime clock = ShamsiDate::ReadClockTime(outTime);
        constexpr std::int64_t kSecondsPerHour = 3600;
        constexpr std::int64_t kSecondsPerMinute = 60;
        Require(clock.time.hasOffset &&
                    std::int64_t{outDay.time_since_epoch().count()} * Shamsi::kSecondsPerDay +
                            clock.time.hour * kSecondsPerHour + clock.time.minute * kSecondsPerMinute +
                            clock.time.second - clock.time.offsetSeconds ==
                        seconds &&
                    clock.fraction == fraction,
                "an instant is written as the same second, with its offset and fraction", input);
        return;
    }
    if (instant != ShamsiDate::UnixSecondsRead::kNotSeconds) {
        ++bad;
        Require(wholeLine ? outDate.empty() : in == out, "a bad instant gives an empty line or stays", input);
        return;
    }
    std::chrono::sys_days inDay{};
    std::string_view inTime;
    if (DayOf(inDate, ShamsiDate::SourceCalendar(options), options.inputFormat, inDay, inTime) &&
        (options.operation != ShamsiDate::Operation::kAdd || Moved(options, inDay))) {
        std::chrono::sys_days outDay{};
        std::string_view outTime;
        Require(DayOf(outDate, ShamsiDate::TargetCalendar(options), "", outDay, outTime),
                "a good date gives a readable date", input);
        Require(outDay == inDay, "the round trip gives the same day", input);
        Require(outTime == inTime, "the time is written as it was read", input);
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
    constexpr std::array<std::string_view, 4> kInputForms = {"", "%d/%m/%Y", "%A %-d %B %Y", ""};

    ShamsiDate::Options options;
    options.direction =
        (choice & 1U) != 0 ? ShamsiDate::Direction::kToShamsi : ShamsiDate::Direction::kToMiladi;
    options.field = (choice & 2U) != 0 ? static_cast<int>(1 + (choice >> 2U) % 3) : 0;
    options.digits = (choice & 32U) != 0 ? Shamsi::Digits::kPersian : Shamsi::Digits::kAscii;
    options.inputFormat = kInputForms.at((data[1] >> 5U) & 3U);
    options.header = (data[1] & 0x80U) != 0;
    options.miladi = (choice & 1U) != 0;
    const unsigned operation = choice >> 6U;  // 0, 1: convert; 2: add; 3: diff
    if (operation == 2) {
        options.operation = ShamsiDate::Operation::kAdd;
        options.amount = {.months = 1};
        const std::string_view amount = input.substr(0, input.find('\n'));
        if (Shamsi::ReadPeriod(amount, options.amount)) {
            Shamsi::Period back;
            Require(Shamsi::ReadPeriod(Shamsi::FormatPeriod(options.amount, options.digits), back) &&
                        back == options.amount,
                    "an amount written reads back the same", input);
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

    const std::vector<std::string_view> inLines = Split(input, '\n');
    const std::vector<std::string_view> outLines = Split(output, '\n');
    Require(inLines.size() == outLines.size(), "as many lines out as in", input);
    std::size_t bad = 0;
    std::size_t first = 0;
    if (options.header) {
        Require(inLines.front() == outLines.front(), "the header line is kept", input);
        first = 1;
    }
    for (std::size_t i = first; i < inLines.size(); ++i) {
        if (i + 1 == inLines.size() && inLines[i].empty()) {
            Require(outLines[i].empty(), "nothing after the last line feed", input);
            break;
        }
        if (options.operation == ShamsiDate::Operation::kDiff) {
            CheckDiff(inLines[i], outLines[i], options, bad, input);
            continue;
        }
        if (options.field == 0) {
            CheckField(inLines[i], outLines[i], true, true, options, bad, input);
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
        if (target < inFields.size()) {
            // The last field of a line carries the line's carriage return.
            CheckField(inFields[target], outFields[target], false, target + 1 == inFields.size(), options,
                       bad, input);
        } else {
            ++bad;
        }
    }
    Require(bad == messages, "one message for each bad line", input);
    Require(converter.AnyBad() == (bad > 0), "bad lines are told in the exit status", input);

    // In blocks as small as the pieces, on two threads for one input in
    // four (starting threads costs more than the rest of a run): exactly the
    // same.
    const unsigned threads = data[1] % 4 == 0 ? 2 : 1;
    std::string_view rest = input;
    std::string parallelOutput;
    std::string parallelErrors;
    ShamsiDate::ParallelConverter parallel(
        options,
        [&rest](char* buffer, std::size_t wanted) {
            const std::size_t taken = std::min(wanted, rest.size());
            std::copy_n(rest.data(), taken, buffer);
            rest.remove_prefix(taken);
            return taken;
        },
        [&parallelOutput](std::string_view bytes) { parallelOutput.append(bytes); },
        [&parallelErrors](std::string_view message) { parallelErrors.append(message); }, threads, 2 * piece);
    Require(parallel.Run() == converter.AnyBad() && parallelOutput == output && parallelErrors == errors,
            "on threads, the same output and messages", input);

    // The formatter on a pattern of any bytes, for a day chosen by the input.
    const auto offset = static_cast<std::int64_t>(choice) * 14071 + static_cast<std::int64_t>(size) * 7;
    const std::chrono::sys_days day = Shamsi::kFirstDay + std::chrono::days{offset % 3652059};
    const std::string pattern(input.substr(0, 64));
    for (const auto calendar : {Shamsi::Calendar::kShamsi, Shamsi::Calendar::kMiladi}) {
        const Shamsi::Formatter formatter(pattern, calendar, options.digits);
        const std::string text = formatter.Format(Shamsi::FromSysDays(day));
        Require(text.size() <= formatter.MaxSize(), "a date fits in MaxSize()", input);
        Require(formatter.Error().empty() || text.empty(), "a refused pattern writes nothing", input);
        const Shamsi::Reader reader(pattern, calendar);
        std::chrono::sys_days read{};
        if (reader.Read(text, read) == Shamsi::ReadError::kNone) {
            Require(reader.Error().empty() && Shamsi::InRange(read), "a day read is a day of the range",
                    input);
        }
    }

    const int year = 1 + static_cast<int>(offset % Shamsi::kLastYear);
    const int month = 1 + static_cast<int>(choice % 12);
    ShamsiDate::CalendarStyle style;
    style.digits = options.digits;
    style.color = (choice & 16U) != 0;
    style.today = Shamsi::Date{year, month, 1 + static_cast<int>(size % 31)};
    std::size_t days = 0;
    const std::vector<std::string> lines = ShamsiDate::MonthLines(year, month, true, style);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        Require(ShamsiDate::DisplayWidth(line) <= 20, "a month is 20 cells wide", input);
        // Below the title and the initials, a day is a run of digits after a
        // blank or a colour sequence.
        for (std::size_t at = 0; i >= 2 && at < line.size(); ++at) {
            const char c = line[at];
            const bool starts = at == 0 || line[at - 1] == ' ' || line[at - 1] == 'm';
            days += starts && c != ' ' && c != '\x1b' && c != '[' && c != 'm' ? 1 : 0;
        }
    }
    Require(days == static_cast<std::size_t>(Shamsi::DaysInMonth(year, month)), "every day once", input);
    return 0;
}
