// The heart of shamsi-date: converts the dates of a stream of lines.
//
// Input arrives in pieces of any size (Feed) and output leaves through a
// sink in large blocks, so memory stays the same however long the input or
// any one line is. Every input line gives exactly one output line, ended as
// the input line was ended ("\n", "\r\n", or nothing for a last line without
// a line feed).
//
// In whole-line mode each line is one date; a line that is not a date gives
// an empty output line. In field mode only field N of each line (fields
// split by a delimiter byte) is converted and every other byte stays as it
// was; a field that is not a date stays as it was too. Each bad line is
// told to the error sink as "shamsi-date: line N: '<text>': <reason>".
// With the header option the first line is passed on as it is.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <shamsi/text.h>

#include "date_input.h"
#include "options.h"

namespace ShamsiDate {

class LineConverter {
public:
    using Sink = std::function<void(std::string_view)>;

    // The options must be good (CheckOptions). Output goes to the sink in
    // blocks of about bufferSize bytes (more when one date needs more).
    LineConverter(const Options& options, Sink output, Sink errors, std::size_t bufferSize = kBufferSize);

    // The next bytes of the input, cut anywhere.
    void Feed(std::string_view bytes);
    // The end of the input: finishes a last line without a line feed and
    // hands all output to the sink.
    void Finish();

    // One date given as a program argument: one output line, "\n"-ended;
    // a bad date is told as "argument N" and gives an empty line.
    void ConvertArgument(std::string_view text);
    // diff: the two dates given as arguments 1 and 2.
    void ConvertArgumentPair(std::string_view first, std::string_view second);

    // The number of the next line, for a converter that takes up a stream
    // at the start of one of its lines.
    void SetNextLine(std::size_t line) { line_ = line; }

    // True when any line or argument was bad.
    [[nodiscard]] bool AnyBad() const { return anyBad_; }

    static constexpr std::size_t kBufferSize = std::size_t{1} << 18;

private:
    // The most bytes one converted date takes: the date and its time of day
    // (as read, or its clock and offset written again and the fraction of a
    // second as read).
    static constexpr std::size_t kClockAndOffset = 32;
    [[nodiscard]] std::size_t MaxConverted() const {
        return formatter_.MaxSize() + Shamsi::kLongestDateText + kClockAndOffset;
    }
    void Write(std::string_view bytes);
    void Flush();
    // Whole-line mode at the start of a line: converts every line that ends
    // before end; returns the start of the unfinished line after them.
    const char* ConvertWholeLines(const char* begin, const char* end);
    void PassThrough(const char* begin, const char* end);
    // The header line: passed on up to its line feed; returns where it stopped.
    const char* PassHeader(const char* begin, const char* end);
    // The rest of the field being converted, when it does not end in this piece.
    void Hold(const char* begin, const char* end);
    // The field being converted ends; lineEnds when a line feed ended it.
    void EndTarget(std::string_view field, bool lineEnds);
    // A whole line that is the usual "YYYY/MM/DD" (or '-'), a time after it
    // if any, converted in one pass; false, with nothing written, for any
    // other line.
    bool ConvertPlain(std::string_view line);
    // Converts the lines from begin on while each is the usual date alone
    // ("YYYY/MM/DD\n", the commonest line there is) and returns where they
    // stop: a loop with nothing in it but reading, converting and writing.
    const char* ConvertUsualLines(const char* begin, const char* end);
    // Converts a field that was held whole (no overflow); writes the result.
    void Convert(std::string_view field, bool lineEnds);
    // Reads text as a date of the source calendar and writes it at out in
    // the output format: the end of what was written, or nothing, with the
    // reason.
    // For add and diff, the operation is done on the dates read; for diff,
    // text holds two dates split by the delimiter. On failure, refused is
    // the text refused and reason why.
    struct Written {
        char* end;
        std::string_view refused;
        std::string_view reason;
    };
    Written ReadAndWrite(std::string_view text, char* out) const;
    // Writes the day and the time read after it (if any): as read, or with
    // --zone the instant it names in the zone, or through the time fields
    // of the format. Nothing written, and the reason, when the instant
    // falls outside the Shamsi years 1-9999 in the zone.
    Written WriteDated(std::chrono::sys_days day, std::string_view time, char* out) const;
    // The wall day and time of an instant in a zone, written.
    Written WriteInstant(std::int64_t unixSeconds, char separator, std::string_view fraction,
                         const TimeZone& zone, char* out) const;
    Written Diff(std::string_view first, std::string_view second, char* out) const;
    // add: the day moved by the amount, or nothing when the result falls
    // outside the Shamsi years 1-9999.
    [[nodiscard]] std::optional<std::chrono::sys_days> Move(std::chrono::sys_days day) const;
    void EndLine(bool lineFeed);
    void Report(std::string_view where, std::size_t number, std::string_view text, std::string_view reason);
    void KeepLineStart(const char* begin, const char* end);

    Options options_;
    DateInput input_;
    Shamsi::Formatter formatter_;
    bool timeFields_;           // the format writes the time of day
    bool readTimes_;            // times after dates are taken apart (--zone, or time fields)
    Shamsi::Formatter offset_;  // the offset after an instant's time in a zone: "+03:30"
    // The zone's offset at the last instant, kept for the next, and its text.
    mutable TimeZone::Span span_;
    mutable int offsetWritten_ = std::numeric_limits<int>::min();
    mutable std::string offsetText_;
    mutable std::size_t offsetLength_ = 0;
    std::size_t longestText_;  // the longest text that can be read as one input
    std::string noSecondDate_;
    Sink output_;
    Sink errors_;
    bool wholeLine_;
    bool inHeader_;
    bool plainDates_;           // the usual forms are read, so ConvertPlain may be tried
    bool usualLines_;           // and dates are converted alone, so ConvertUsualLines may be
    std::size_t lastLine_ = 0;  // the length of the last whole line, the likely length of the next

    // Left uninitialised: a few dates touch a few bytes of it.
    std::size_t size_;
    std::unique_ptr<char[]> buffer_;  // NOLINT(*-avoid-c-arrays)
    std::size_t used_ = 0;

    std::size_t line_ = 1;
    int fieldIndex_ = 1;
    bool inTarget_ = false;
    bool lineHasBytes_ = false;
    std::string held_;
    bool overflow_ = false;
    char lastByte_ = '\0';
    std::string lineStart_;  // the first bytes of the line, for messages
    std::size_t arguments_ = 0;
    bool anyBad_ = false;
};

}  // namespace ShamsiDate
