#include "line_converter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ShamsiDate {

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 18;
// How much of a bad text a message shows.
constexpr std::size_t kShownBytes = 80;

// The text cut to kShownBytes, not inside a UTF-8 character, with "..."
// when cut.
std::string Shown(std::string_view text) {
    if (text.size() <= kShownBytes) {
        return std::string(text);
    }
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0U) == 0x80U) {
        --cut;
    }
    return std::string(text.substr(0, cut)) + "...";
}

std::string_view WithoutCarriageReturn(std::string_view text) {
    return !text.empty() && text.back() == '\r' ? text.substr(0, text.size() - 1) : text;
}

constexpr std::string_view kResultOutOfRange = "the result falls outside the Shamsi years 1-9999";

Shamsi::Calendar SourceCalendar(const Options& options) {
    if (options.operation == Operation::kConvert) {
        return options.direction == Direction::kToMiladi ? Shamsi::Calendar::kShamsi
                                                         : Shamsi::Calendar::kMiladi;
    }
    return options.miladi ? Shamsi::Calendar::kMiladi : Shamsi::Calendar::kShamsi;
}

Shamsi::Calendar TargetCalendar(const Options& options) {
    const Shamsi::Calendar source = SourceCalendar(options);
    if (options.operation != Operation::kConvert) {
        return source;
    }
    return source == Shamsi::Calendar::kShamsi ? Shamsi::Calendar::kMiladi : Shamsi::Calendar::kShamsi;
}

bool IsInRange(const Shamsi::Date& date) { return date.IsValid(); }
bool IsInRange(const std::chrono::year_month_day& date) {
    return date.ok() && Shamsi::InRange(std::chrono::sys_days{date});
}

}  // namespace

LineConverter::LineConverter(const Options& options, Sink output, Sink errors)
    : options_(options),
      source_(SourceCalendar(options)),
      formatter_(options.format, TargetCalendar(options), options.digits),
      maxOutput_(options.operation == Operation::kDiff ? Shamsi::kLongestPeriodText : formatter_.MaxSize()),
      longestText_(options.operation == Operation::kDiff ? 2 * Shamsi::kLongestDateText + 1
                                                         : Shamsi::kLongestDateText),
      noSecondDate_(std::string("not two dates split by '") + options.delimiter + "'"),
      output_(std::move(output)),
      errors_(std::move(errors)),
      wholeLine_(options.field <= 0),
      buffer_(std::max(kBufferSize, maxOutput_ + 2 * longestText_ + 4)),
      inTarget_(options.field <= 1) {
    held_.reserve(longestText_ + 1);
    lineStart_.reserve(kShownBytes + 1);
}

void LineConverter::Write(std::string_view bytes) {
    if (used_ + bytes.size() > buffer_.size()) {
        Flush();
        if (bytes.size() > buffer_.size()) {
            output_(bytes);
            return;
        }
    }
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void LineConverter::Flush() {
    if (used_ > 0) {
        output_(std::string_view(buffer_.data(), used_));
        used_ = 0;
    }
}

void LineConverter::KeepLineStart(const char* begin, const char* end) {
    if (lineStart_.size() <= kShownBytes) {
        const auto room = kShownBytes + 1 - lineStart_.size();
        lineStart_.append(begin, std::min(room, static_cast<std::size_t>(end - begin)));
    }
}

void LineConverter::Report(std::string_view where, std::size_t number, std::string_view text,
                           std::string_view reason) {
    anyBad_ = true;
    std::string message = "shamsi-date: ";
    message.append(where).append(" ").append(std::to_string(number)).append(": '");
    message.append(Shown(text)).append("': ").append(reason).append("\n");
    errors_(message);
}

void LineConverter::Feed(std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        if (wholeLine_ && !lineHasBytes_) {
            p = ConvertWholeLines(p, end);
            if (p == end) {
                return;
            }
        }
        lineHasBytes_ = true;
        if (inTarget_) {
            const char* stop = nullptr;
            if (wholeLine_) {
                stop = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            } else {
                stop = std::find_if(p, end, [this](char c) { return c == '\n' || c == options_.delimiter; });
                stop = stop == end ? nullptr : stop;
            }
            if (stop == nullptr) {
                Hold(p, end);
                return;
            }
            const bool lineEnds = *stop == '\n';
            if (held_.empty() && !overflow_) {
                EndTarget(std::string_view(p, static_cast<std::size_t>(stop - p)), lineEnds);
            } else {
                Hold(p, stop);
                EndTarget(held_, lineEnds);
            }
            p = stop + 1;
            if (lineEnds) {
                EndLine(true);
            } else {
                Write(std::string_view(&options_.delimiter, 1));
                ++fieldIndex_;
                inTarget_ = false;
            }
            continue;
        }
        const char* stop =
            std::find_if(p, end, [this](char c) { return c == '\n' || c == options_.delimiter; });
        PassThrough(p, stop);
        if (stop == end) {
            return;
        }
        p = stop + 1;
        if (*stop == '\n') {
            if (fieldIndex_ < options_.field) {
                Report("line", line_, lineStart_, "no field " + std::to_string(options_.field));
            }
            EndLine(true);
        } else {
            Write(std::string_view(stop, 1));
            KeepLineStart(stop, stop + 1);
            ++fieldIndex_;
            inTarget_ = fieldIndex_ == options_.field;
        }
    }
}

const char* LineConverter::ConvertWholeLines(const char* begin, const char* end) {
    for (;;) {
        const auto* lineFeed =
            static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
        if (lineFeed == nullptr) {
            return begin;
        }
        Convert(std::string_view(begin, static_cast<std::size_t>(lineFeed - begin)), true);
        if (used_ < buffer_.size()) {
            buffer_[used_++] = '\n';
        } else {
            Write("\n");
        }
        ++line_;
        begin = lineFeed + 1;
    }
}

void LineConverter::PassThrough(const char* begin, const char* end) {
    Write(std::string_view(begin, static_cast<std::size_t>(end - begin)));
    KeepLineStart(begin, end);
}

void LineConverter::Hold(const char* begin, const char* end) {
    if (begin == end) {
        return;
    }
    lastByte_ = *(end - 1);
    if (overflow_) {
        if (!wholeLine_) {
            Write(std::string_view(begin, static_cast<std::size_t>(end - begin)));
        }
        return;
    }
    held_.append(begin, end);
    if (held_.size() > longestText_) {
        // Too long to be a date: in field mode it goes out as it came, from
        // here on without being held.
        overflow_ = true;
        if (!wholeLine_) {
            Write(held_);
        }
    }
}

void LineConverter::EndTarget(std::string_view field, bool lineEnds) {
    if (overflow_) {
        Report("line", line_, WithoutCarriageReturn(field),
               options_.operation == Operation::kDiff ? std::string_view(noSecondDate_)
                                                      : Describe(Shamsi::ReadError::kUnreadable, source_));
        if (wholeLine_ && lineEnds && lastByte_ == '\r') {
            Write("\r");
        }
    } else {
        Convert(field, lineEnds);
    }
    held_.clear();
    overflow_ = false;
}

Shamsi::ReadError LineConverter::Read(std::string_view text, Shamsi::Date& date) {
    return Shamsi::ReadShamsi(text, date);
}

Shamsi::ReadError LineConverter::Read(std::string_view text, std::chrono::year_month_day& date) {
    return Shamsi::ReadMiladi(text, date);
}

template <typename DateType>
LineConverter::Written LineConverter::ReadAndMove(std::string_view text, char* out) const {
    DateType date{};
    const Shamsi::ReadError error = Read(text, date);
    if (error != Shamsi::ReadError::kNone) {
        return {nullptr, text, Describe(error, source_)};
    }
    const DateType moved = Shamsi::Add(date, options_.amount);
    if (!IsInRange(moved)) {
        return {nullptr, text, kResultOutOfRange};
    }
    return {formatter_.Write(out, moved), {}, {}};
}

template <typename DateType>
LineConverter::Written LineConverter::ReadTwoAndMeasure(std::string_view first, std::string_view second,
                                                        char* out) const {
    DateType from{};
    DateType to{};
    Shamsi::ReadError error = Read(first, from);
    if (error != Shamsi::ReadError::kNone) {
        return {nullptr, first, Describe(error, source_)};
    }
    error = Read(second, to);
    if (error != Shamsi::ReadError::kNone) {
        return {nullptr, second, Describe(error, source_)};
    }
    if (options_.ymd) {
        return {Shamsi::WritePeriod(out, Shamsi::Between(from, to), options_.digits), {}, {}};
    }
    return {Shamsi::WriteInteger(out, Shamsi::DaysBetween(from, to), options_.digits), {}, {}};
}

LineConverter::Written LineConverter::Diff(std::string_view first, std::string_view second, char* out) const {
    return source_ == Shamsi::Calendar::kShamsi
               ? ReadTwoAndMeasure<Shamsi::Date>(first, second, out)
               : ReadTwoAndMeasure<std::chrono::year_month_day>(first, second, out);
}

LineConverter::Written LineConverter::ReadAndWrite(std::string_view text, char* out) const {
    const bool shamsi = source_ == Shamsi::Calendar::kShamsi;
    switch (options_.operation) {
        case Operation::kAdd:
            return shamsi ? ReadAndMove<Shamsi::Date>(text, out)
                          : ReadAndMove<std::chrono::year_month_day>(text, out);
        case Operation::kDiff: {
            const std::size_t cut = text.find(options_.delimiter);
            if (cut == std::string_view::npos) {
                return {nullptr, text, noSecondDate_};
            }
            return Diff(text.substr(0, cut), text.substr(cut + 1), out);
        }
        case Operation::kConvert:
            break;
    }
    Shamsi::ReadError error = Shamsi::ReadError::kNone;
    if (shamsi) {
        Shamsi::Date date;
        error = Read(text, date);
        if (error == Shamsi::ReadError::kNone) {
            return {formatter_.Write(out, date), {}, {}};
        }
    } else {
        std::chrono::year_month_day date{};
        error = Read(text, date);
        if (error == Shamsi::ReadError::kNone) {
            return {formatter_.Write(out, date), {}, {}};
        }
    }
    return {nullptr, text, Describe(error, source_)};
}

void LineConverter::Convert(std::string_view field, bool lineEnds) {
    const bool carriageReturn = lineEnds && !field.empty() && field.back() == '\r';
    const std::string_view text = carriageReturn ? field.substr(0, field.size() - 1) : field;
    if (used_ + maxOutput_ + 1 > buffer_.size()) {
        Flush();
    }
    char* const out = buffer_.data() + used_;
    const auto [written, refused, reason] = ReadAndWrite(text, out);
    if (written != nullptr) {
        used_ = static_cast<std::size_t>(written - buffer_.data());
        if (carriageReturn) {
            buffer_[used_++] = '\r';
        }
        return;
    }
    Report("line", line_, refused, reason);
    if (!wholeLine_) {
        Write(field);
    } else if (carriageReturn) {
        Write("\r");
    }
}

void LineConverter::EndLine(bool lineFeed) {
    if (lineFeed) {
        if (used_ < buffer_.size()) {
            buffer_[used_++] = '\n';
        } else {
            Write("\n");
        }
    }
    ++line_;
    fieldIndex_ = 1;
    inTarget_ = wholeLine_ || options_.field == 1;
    lineHasBytes_ = false;
    lineStart_.clear();
}

void LineConverter::Finish() {
    if (lineHasBytes_) {
        if (inTarget_) {
            EndTarget(held_, true);
        } else if (fieldIndex_ < options_.field) {
            Report("line", line_, lineStart_, "no field " + std::to_string(options_.field));
        }
        EndLine(false);
    }
    Flush();
}

void LineConverter::ConvertArgument(std::string_view text) {
    ++arguments_;
    std::string converted(maxOutput_, '\0');
    const auto [written, refused, reason] = ReadAndWrite(text, converted.data());
    if (written == nullptr) {
        Report("argument", arguments_, refused, reason);
        converted.clear();
    } else {
        converted.resize(static_cast<std::size_t>(written - converted.data()));
    }
    converted += '\n';
    Write(converted);
}

void LineConverter::ConvertArgumentPair(std::string_view first, std::string_view second) {
    std::string converted(maxOutput_, '\0');
    const auto [written, refused, reason] = Diff(first, second, converted.data());
    if (written == nullptr) {
        Report("argument", arguments_ + (refused.data() == first.data() ? 1 : 2), refused, reason);
        converted.clear();
    } else {
        converted.resize(static_cast<std::size_t>(written - converted.data()));
    }
    arguments_ += 2;
    converted += '\n';
    Write(converted);
}

}  // namespace ShamsiDate
