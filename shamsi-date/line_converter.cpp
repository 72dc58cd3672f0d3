#include "line_converter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ShamsiDate {

namespace {

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

// A number of 0-99 in two ASCII digits.
char* TwoDigits(char* out, int value) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
}

// The bytes copied to out; the end of them.
char* Copied(char* out, std::string_view bytes) {
    if (!bytes.empty()) {
        std::memcpy(out, bytes.data(), bytes.size());
    }
    return out + bytes.size();
}

std::string_view WithoutCarriageReturn(std::string_view text) {
    return !text.empty() && text.back() == '\r' ? text.substr(0, text.size() - 1) : text;
}

// diff's reason for a line without its second date.
std::string NoSecondDate(char delimiter) {
    std::string reason = "not two dates split by '";
    reason += delimiter;
    reason += '\'';
    return reason;
}

}  // namespace

LineConverter::LineConverter(const Options& options, Sink output, Sink errors, std::size_t bufferSize)
    : options_(options),
      input_(SourceCalendar(options), options.inputFormat),
      formatter_(options.format, TargetCalendar(options), options.digits, options.names),
      timeFields_(formatter_.WritesTime()),
      readTimes_(timeFields_ || options.timeZone != nullptr),
      offset_("%z", TargetCalendar(options)),
      offsetText_(offset_.MaxSize(), '\0'),
      longestText_(options.operation == Operation::kDiff ? 2 * Shamsi::kLongestDateText + 1
                                                         : Shamsi::kLongestDateText),
      noSecondDate_(NoSecondDate(options.delimiter)),
      output_(std::move(output)),
      errors_(std::move(errors)),
      wholeLine_(options.field <= 0),
      inHeader_(options.header),
      plainDates_(options.inputFormat.empty() && options.operation != Operation::kDiff),
      usualLines_(plainDates_ && options.operation == Operation::kConvert),
      size_(std::max(bufferSize, MaxConverted() + longestText_ + 4)),
      buffer_(std::make_unique_for_overwrite<char[]>(size_)),  // NOLINT(*-avoid-c-arrays)
      inTarget_(options.field <= 1) {
    held_.reserve(longestText_ + 1);
    lineStart_.reserve(kShownBytes + 1);
}

void LineConverter::Write(std::string_view bytes) {
    if (used_ + bytes.size() > size_) {
        Flush();
        if (bytes.size() > size_) {
            output_(bytes);
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void LineConverter::Flush() {
    if (used_ > 0) {
        output_(std::string_view(buffer_.get(), used_));
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

const char* LineConverter::PassHeader(const char* begin, const char* end) {
    const auto* lineFeed =
        static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
    if (lineFeed == nullptr) {
        Write(std::string_view(begin, static_cast<std::size_t>(end - begin)));
        return end;
    }
    Write(std::string_view(begin, static_cast<std::size_t>(lineFeed + 1 - begin)));
    inHeader_ = false;
    ++line_;
    return lineFeed + 1;
}

void LineConverter::Feed(std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    if (inHeader_) {
        p = PassHeader(p, end);
    }
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

const char* LineConverter::ConvertUsualLines(const char* begin, const char* end) {
    constexpr std::ptrdiff_t kLine = 11;  // "YYYY/MM/DD\n"
    const Shamsi::Calendar calendar = SourceCalendar(options_);
    char* const buffer = buffer_.get();
    char* const full = buffer + (size_ - MaxConverted() - 1);  // no room for another line after it
    char* out = buffer + used_;
    std::chrono::sys_days day{};
    while (end - begin >= kLine && begin[kLine - 1] == '\n' &&
           Shamsi::ReadPlainDay(std::string_view(begin, kLine - 1), calendar, day)) {
        if (out > full) {
            used_ = static_cast<std::size_t>(out - buffer);
            Flush();
            out = buffer;
        }
        out = formatter_.Write(out, day);
        *out++ = '\n';
        begin += kLine;
        ++line_;
    }
    used_ = static_cast<std::size_t>(out - buffer);
    return begin;
}

const char* LineConverter::ConvertWholeLines(const char* begin, const char* end) {
    for (;;) {
        if (usualLines_) {
            begin = ConvertUsualLines(begin, end);
        }
        const auto left = static_cast<std::size_t>(end - begin);
        const char* lineFeed = nullptr;
        // A line as long as the last one is tried first without a search:
        // a line that converts in one pass holds no line feed of its own.
        if (plainDates_ && lastLine_ < left && begin[lastLine_] == '\n' &&
            ConvertPlain(std::string_view(begin, lastLine_))) {
            lineFeed = begin + lastLine_;
        } else {
            lineFeed = static_cast<const char*>(std::memchr(begin, '\n', left));
            if (lineFeed == nullptr) {
                return begin;
            }
            const std::string_view line(begin, static_cast<std::size_t>(lineFeed - begin));
            lastLine_ = line.size();
            if (!plainDates_ || !ConvertPlain(line)) {
                Convert(line, true);
            }
        }
        if (used_ < size_) {
            buffer_[used_++] = '\n';
        } else {
            Write("\n");
        }
        ++line_;
        begin = lineFeed + 1;
    }
}

bool LineConverter::ConvertPlain(std::string_view line) {
    constexpr std::size_t kPlainLength = 10;
    std::chrono::sys_days day{};
    if (line.size() < kPlainLength ||
        !Shamsi::ReadPlainDay(line.substr(0, kPlainLength), SourceCalendar(options_), day)) {
        return false;
    }
    if (options_.operation == Operation::kAdd) {
        const std::optional<std::chrono::sys_days> moved = Move(day);
        if (!moved) {
            return false;  // told by the general path
        }
        day = *moved;
    }
    const std::string_view time = line.substr(kPlainLength);
    if (!time.empty() && Shamsi::TimeOfDayLength(time) != time.size()) {
        return false;
    }
    if (used_ + MaxConverted() + 1 > size_) {
        Flush();
    }
    const Written written = WriteDated(day, time, buffer_.get() + used_);
    if (written.end == nullptr) {
        return false;  // told by the general path
    }
    used_ = static_cast<std::size_t>(written.end - buffer_.get());
    return true;
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
                                                      : input_.Reason(Shamsi::ReadError::kUnreadable));
        if (wholeLine_ && lineEnds && lastByte_ == '\r') {
            Write("\r");
        }
    } else {
        Convert(field, lineEnds);
    }
    held_.clear();
    overflow_ = false;
}

std::optional<std::chrono::sys_days> LineConverter::Move(std::chrono::sys_days day) const {
    if (options_.miladi) {
        const std::chrono::year_month_day moved =
            Shamsi::Add(std::chrono::year_month_day{day}, options_.amount);
        if (!moved.ok() || !Shamsi::InRange(std::chrono::sys_days{moved})) {
            return std::nullopt;
        }
        return std::chrono::sys_days{moved};
    }
    const Shamsi::Date moved = Shamsi::Add(Shamsi::FromSysDays(day), options_.amount);
    if (!moved.IsValid()) {
        return std::nullopt;
    }
    return Shamsi::ToSysDays(moved);
}

LineConverter::Written LineConverter::Diff(std::string_view first, std::string_view second, char* out) const {
    const DateInput::Result from = input_.Read(first);
    if (from.error != Shamsi::ReadError::kNone) {
        return {nullptr, first, input_.Reason(from)};
    }
    const DateInput::Result to = input_.Read(second);
    if (to.error != Shamsi::ReadError::kNone) {
        return {nullptr, second, input_.Reason(to)};
    }
    if (!options_.ymd) {
        return {Shamsi::WriteInteger(out, (to.day - from.day).count(), options_.digits), {}, {}};
    }
    const Shamsi::Period period =
        options_.miladi
            ? Shamsi::Between(std::chrono::year_month_day{from.day}, std::chrono::year_month_day{to.day})
            : Shamsi::Between(Shamsi::FromSysDays(from.day), Shamsi::FromSysDays(to.day));
    return {Shamsi::WritePeriod(out, period, options_.digits), {}, {}};
}

LineConverter::Written LineConverter::ReadAndWrite(std::string_view text, char* out) const {
    if (options_.operation == Operation::kDiff) {
        const std::size_t cut = text.find(options_.delimiter);
        if (cut == std::string_view::npos) {
            return {nullptr, text, noSecondDate_};
        }
        return Diff(text.substr(0, cut), text.substr(cut + 1), out);
    }
    if (options_.operation == Operation::kConvert) {
        std::int64_t seconds = 0;
        std::string_view fraction;
        switch (ReadUnixSeconds(text, seconds, fraction)) {
            case UnixSecondsRead::kNotSeconds:
                break;
            case UnixSecondsRead::kGood: {
                const TimeZone& zone = options_.timeZone != nullptr ? *options_.timeZone : *TimeZone::Local();
                const Written written = WriteInstant(seconds, 'T', fraction, zone, out);
                return {written.end, written.end == nullptr ? text : std::string_view{}, written.reason};
            }
            case UnixSecondsRead::kUnreadable:
                return {nullptr, text, kNotUnixSeconds};
            case UnixSecondsRead::kOutOfRange:
                return {nullptr, text, input_.Reason(Shamsi::ReadError::kOutOfRange)};
        }
    }
    const DateInput::Result read = input_.Read(text);
    if (read.error != Shamsi::ReadError::kNone) {
        return {nullptr, text, input_.Reason(read)};
    }
    std::chrono::sys_days day = read.day;
    if (options_.operation == Operation::kAdd) {
        const std::optional<std::chrono::sys_days> moved = Move(day);
        if (!moved) {
            return {nullptr, text, Shamsi::kMoveOutOfRange};
        }
        day = *moved;
    }
    const Written written = WriteDated(day, read.time, out);
    return {written.end, written.end == nullptr ? text : std::string_view{}, written.reason};
}

LineConverter::Written LineConverter::WriteDated(std::chrono::sys_days day, std::string_view time,
                                                 char* out) const {
    if (time.empty() || !readTimes_) {
        return {Copied(formatter_.Write(out, day), time), {}, {}};
    }
    const ClockTime clock = ReadClockTime(time);
    if (clock.time.hasOffset && options_.timeZone != nullptr) {
        constexpr std::int64_t kSecondsPerHour = 3600;
        constexpr std::int64_t kSecondsPerMinute = 60;
        const std::int64_t seconds = std::int64_t{day.time_since_epoch().count()} * Shamsi::kSecondsPerDay +
                                     clock.time.hour * kSecondsPerHour +
                                     clock.time.minute * kSecondsPerMinute + clock.time.second -
                                     clock.time.offsetSeconds;
        return WriteInstant(seconds, clock.separator, clock.fraction, *options_.timeZone, out);
    }
    if (timeFields_) {
        return {formatter_.Write(out, day, clock.time), {}, {}};
    }
    return {Copied(formatter_.Write(out, day), time), {}, {}};
}

LineConverter::Written LineConverter::WriteInstant(std::int64_t unixSeconds, char separator,
                                                   std::string_view fraction, const TimeZone& zone,
                                                   char* out) const {
    // Past the years 1-9999 by more than any offset: no need to ask the zone.
    constexpr std::int64_t kMargin = 2 * Shamsi::kSecondsPerDay;
    const std::int64_t first =
        std::int64_t{Shamsi::kFirstDay.time_since_epoch().count()} * Shamsi::kSecondsPerDay;
    const std::int64_t last =
        std::int64_t{Shamsi::kLastDay.time_since_epoch().count()} * Shamsi::kSecondsPerDay;
    int offset = 0;
    if (unixSeconds < first - kMargin || unixSeconds > last + kMargin) {
        return {nullptr, {}, input_.Reason(Shamsi::ReadError::kOutOfRange)};
    }
    if (!zone.OffsetAt(unixSeconds, span_, offset)) {
        return {nullptr, {}, "the system's time zone gives no offset for this instant"};
    }
    const Shamsi::LocalTime wall = Shamsi::LocalTimeOf(unixSeconds, offset);
    if (!Shamsi::InRange(wall.day)) {
        return {nullptr, {}, input_.Reason(Shamsi::ReadError::kOutOfRange)};
    }
    // A format given says all that is written of an instant in a zone: the
    // day alone with %Y/%m/%d, say.
    if (timeFields_ || options_.formatGiven) {
        return {formatter_.Write(out, wall.day, wall.time), {}, {}};
    }
    out = formatter_.Write(out, wall.day);
    *out++ = separator;
    out = TwoDigits(out, wall.time.hour);
    *out++ = ':';
    out = TwoDigits(out, wall.time.minute);
    *out++ = ':';
    out = Copied(TwoDigits(out, wall.time.second), fraction);
    // The offset's text changes with the span, seldom: written again only then.
    if (offset != offsetWritten_) {
        offsetWritten_ = offset;
        offsetLength_ = static_cast<std::size_t>(offset_.Write(offsetText_.data(), wall.day, wall.time) -
                                                 offsetText_.data());
    }
    return {Copied(out, std::string_view(offsetText_.data(), offsetLength_)), {}, {}};
}

void LineConverter::Convert(std::string_view field, bool lineEnds) {
    const bool carriageReturn = lineEnds && !field.empty() && field.back() == '\r';
    const std::string_view text = carriageReturn ? field.substr(0, field.size() - 1) : field;
    if (used_ + MaxConverted() + 1 > size_) {
        Flush();
    }
    char* const out = buffer_.get() + used_;
    const auto [written, refused, reason] = ReadAndWrite(text, out);
    if (written != nullptr) {
        used_ = static_cast<std::size_t>(written - buffer_.get());
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
        if (used_ < size_) {
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
    std::string converted(MaxConverted(), '\0');
    const auto [written, refused, reason] = ReadAndWrite(text.substr(0, longestText_ + 1), converted.data());
    static_cast<void>(refused);  // the whole argument is shown
    if (written == nullptr) {
        Report("argument", arguments_, text, reason);
        converted.clear();
    } else {
        converted.resize(static_cast<std::size_t>(written - converted.data()));
    }
    converted += '\n';
    Write(converted);
}

void LineConverter::ConvertArgumentPair(std::string_view first, std::string_view second) {
    std::string converted(MaxConverted(), '\0');
    const auto [written, refused, reason] =
        Diff(first.substr(0, Shamsi::kLongestDateText + 1), second.substr(0, Shamsi::kLongestDateText + 1),
             converted.data());
    if (written == nullptr) {
        const bool isFirst = refused.data() == first.data();
        Report("argument", arguments_ + (isFirst ? 1 : 2), isFirst ? first : second, reason);
        converted.clear();
    } else {
        converted.resize(static_cast<std::size_t>(written - converted.data()));
    }
    arguments_ += 2;
    converted += '\n';
    Write(converted);
}

}  // namespace ShamsiDate
