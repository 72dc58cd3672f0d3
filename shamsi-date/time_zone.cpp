#include "time_zone.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

namespace ShamsiDate {

namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr int kSecondsPerHour = 3600;
constexpr int kSecondsPerMinute = 60;
constexpr std::int64_t kEarliest = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kLatest = std::numeric_limits<std::int64_t>::max();

sys_days DayOf(std::int64_t unixSeconds) {
    std::int64_t day = unixSeconds / kSecondsPerDay;
    if (unixSeconds % kSecondsPerDay < 0) {
        --day;
    }
    return sys_days{days{day}};
}

std::int64_t SecondsOf(sys_days day) { return std::int64_t{day.time_since_epoch().count()} * kSecondsPerDay; }

// --- POSIX TZ rules ------------------------------------------------------------

// Reads the text of a rule from its start, moving past what it reads.
class RuleText {
public:
    explicit RuleText(std::string_view text) : text_(text) {}

    [[nodiscard]] bool AtEnd() const { return pos_ == text_.size(); }
    [[nodiscard]] char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    bool Skip(char c) {
        if (Peek() != c) {
            return false;
        }
        ++pos_;
        return true;
    }

    // A zone's abbreviation: three or more letters, or "<...>" holding three
    // or more letters, digits, '+' or '-'.
    bool Name() {
        if (Skip('<')) {
            const std::size_t start = pos_;
            while (IsAlnum(Peek()) || Peek() == '+' || Peek() == '-') {
                ++pos_;
            }
            return pos_ - start >= 3 && Skip('>');
        }
        const std::size_t start = pos_;
        while (IsAlpha(Peek())) {
            ++pos_;
        }
        return pos_ - start >= 3;
    }

    // [+|-]hh[:mm[:ss]], hours up to mostHours: seconds, negated by '-'.
    bool Time(int mostHours, int& seconds) {
        const bool negative = Peek() == '-';
        if (negative || Peek() == '+') {
            ++pos_;
        }
        int hours = 0;
        if (!Number(1, 3, hours) || hours > mostHours) {
            return false;
        }
        int minutes = 0;
        int secs = 0;
        if (Skip(':') &&
            (!Number(2, 2, minutes) || minutes > 59 || (Skip(':') && (!Number(2, 2, secs) || secs > 59)))) {
            return false;
        }
        seconds = hours * kSecondsPerHour + minutes * kSecondsPerMinute + secs;
        if (negative) {
            seconds = -seconds;
        }
        return true;
    }

    // A day of change and its time: Jn, n or Mm.w.d, then /time if any.
    bool Change(TimeZone::Rule::Change& change) {
        using Kind = TimeZone::Rule::Change::Kind;
        if (Skip('J')) {
            change.kind = Kind::kJulian;
            if (!Number(1, 3, change.day) || change.day < 1 || change.day > 365) {
                return false;
            }
        } else if (Skip('M')) {
            change.kind = Kind::kMonthWeekDay;
            if (!Number(1, 2, change.month) || change.month < 1 || change.month > 12 || !Skip('.') ||
                !Number(1, 1, change.week) || change.week < 1 || change.week > 5 || !Skip('.') ||
                !Number(1, 1, change.weekday) || change.weekday > 6) {
                return false;
            }
        } else {
            change.kind = Kind::kDayOfYear;
            if (!Number(1, 3, change.day) || change.day > 365) {
                return false;
            }
        }
        constexpr int kMostRuleHours = 167;
        return !Skip('/') || Time(kMostRuleHours, change.secondOfDay);
    }

private:
    static bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsAlnum(char c) { return IsAlpha(c) || (c >= '0' && c <= '9'); }

    bool Number(std::size_t fewest, std::size_t most, int& value) {
        const std::size_t start = pos_;
        value = 0;
        while (pos_ - start < most && Peek() >= '0' && Peek() <= '9') {
            value = value * 10 + (Peek() - '0');
            ++pos_;
        }
        return pos_ - start >= fewest;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// The instant a rule changes offset in a year: its local day and time,
// taken at the offset in force before the change.
std::int64_t ChangeInstant(int year, const TimeZone::Rule::Change& change, int offsetBefore) {
    using Kind = TimeZone::Rule::Change::Kind;
    const std::chrono::year y{year};
    sys_days day{};
    switch (change.kind) {
        case Kind::kJulian:
            day = sys_days{y / 1 / 1} + days{change.day - 1 + (y.is_leap() && change.day >= 60 ? 1 : 0)};
            break;
        case Kind::kDayOfYear:
            day = sys_days{y / 1 / 1} + days{change.day};
            break;
        case Kind::kMonthWeekDay: {
            const std::chrono::month month{static_cast<unsigned>(change.month)};
            const std::chrono::weekday weekday{static_cast<unsigned>(change.weekday)};
            day = change.week == 5 ? sys_days{y / month / weekday[std::chrono::last]}
                                   : sys_days{y / month / weekday[static_cast<unsigned>(change.week)]};
            break;
        }
    }
    return SecondsOf(day) + change.secondOfDay - offsetBefore;
}

#ifndef _WIN32
// --- zoneinfo files ----------------------------------------------------------

// A file's bytes, up to a bound no zoneinfo file comes near; nothing for a
// file that cannot be read.
std::optional<std::string> FileBytes(const std::string& path) {
    constexpr std::size_t kLargest = std::size_t{1} << 20;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    std::array<char, 4096> chunk{};
    while (file.read(chunk.data(), chunk.size()) || file.gcount() > 0) {
        bytes.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
        if (bytes.size() > kLargest) {
            return std::nullopt;
        }
    }
    return file.bad() ? std::nullopt : std::optional<std::string>(std::move(bytes));
}

// Big-endian two's complement integers in a TZif file.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}
    [[nodiscard]] bool Has(std::uint64_t count) const { return count <= data_.size() - pos_; }
    std::int64_t Signed(std::size_t width) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            value = (value << 8U) | static_cast<unsigned char>(data_[pos_ + i]);
        }
        pos_ += width;
        const unsigned shift = 64U - 8U * static_cast<unsigned>(width);
        return static_cast<std::int64_t>(value << shift) >> shift;
    }
    std::uint32_t Count() { return static_cast<std::uint32_t>(Signed(4)); }
    unsigned char Byte() { return static_cast<unsigned char>(data_[pos_++]); }
    void SkipBytes(std::uint64_t count) { pos_ += static_cast<std::size_t>(count); }
    [[nodiscard]] std::string_view Rest() const { return data_.substr(pos_); }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

enum class FileError { kNone, kNotZoneinfo, kLeapSeconds };

struct Header {
    std::uint32_t isUt = 0, isStd = 0, leaps = 0, times = 0, types = 0, chars = 0;
    [[nodiscard]] std::uint64_t DataSize(std::uint64_t timeSize) const {
        return std::uint64_t{times} * (timeSize + 1) + std::uint64_t{types} * 6 + chars +
               std::uint64_t{leaps} * (timeSize + 4) + isStd + isUt;
    }
};

bool ReadHeader(Bytes& bytes, Header& header, char& version) {
    constexpr std::size_t kHeaderSize = 44;
    if (!bytes.Has(kHeaderSize) || bytes.Rest().substr(0, 4) != "TZif") {
        return false;
    }
    version = bytes.Rest()[4];
    bytes.SkipBytes(20);
    header.isUt = bytes.Count();
    header.isStd = bytes.Count();
    header.leaps = bytes.Count();
    header.times = bytes.Count();
    header.types = bytes.Count();
    header.chars = bytes.Count();
    return header.types >= 1 && (header.isUt == 0 || header.isUt == header.types) &&
           (header.isStd == 0 || header.isStd == header.types);
}

struct ZoneParts {
    int initialOffset = 0;
    std::vector<std::int64_t> changes;
    std::vector<int> offsets;
    std::optional<TimeZone::Rule> rule;
};

// Reads a TZif file: its 64-bit block (version 2 and later) or its only,
// 32-bit one, and the rule after it.
FileError ReadZoneinfo(std::string_view data, ZoneParts& parts) {
    Bytes bytes(data);
    Header header;
    char version = '\0';
    if (!ReadHeader(bytes, header, version)) {
        return FileError::kNotZoneinfo;
    }
    std::size_t timeSize = 4;
    if (version >= '2') {
        if (!bytes.Has(header.DataSize(4))) {
            return FileError::kNotZoneinfo;
        }
        bytes.SkipBytes(header.DataSize(4));
        if (!ReadHeader(bytes, header, version)) {
            return FileError::kNotZoneinfo;
        }
        timeSize = 8;
    }
    if (!bytes.Has(header.DataSize(timeSize))) {
        return FileError::kNotZoneinfo;
    }
    if (header.leaps > 0) {
        return FileError::kLeapSeconds;
    }
    parts.changes.resize(header.times);
    for (std::int64_t& change : parts.changes) {
        change = bytes.Signed(timeSize);
    }
    std::vector<unsigned char> typeOfChange(header.times);
    for (unsigned char& type : typeOfChange) {
        type = bytes.Byte();
        if (type >= header.types) {
            return FileError::kNotZoneinfo;
        }
    }
    std::vector<int> typeOffsets(header.types);
    for (int& offset : typeOffsets) {
        offset = static_cast<int>(bytes.Signed(4));
        bytes.SkipBytes(2);  // daylight saving or not, the abbreviation
    }
    bytes.SkipBytes(std::uint64_t{header.chars} + header.isStd + header.isUt);
    if (!std::is_sorted(parts.changes.begin(), parts.changes.end())) {
        return FileError::kNotZoneinfo;
    }
    parts.initialOffset = typeOffsets[0];
    parts.offsets.reserve(header.times);
    for (const unsigned char type : typeOfChange) {
        parts.offsets.push_back(typeOffsets[type]);
    }
    if (timeSize == 8) {
        const std::string_view footer = bytes.Rest();
        const std::size_t end = footer.find('\n', 1);
        if (footer.empty() || footer[0] != '\n' || end == std::string_view::npos) {
            return FileError::kNotZoneinfo;
        }
        TimeZone::Rule rule;
        if (end > 1) {
            if (!TimeZone::ReadRule(footer.substr(1, end - 1), rule)) {
                return FileError::kNotZoneinfo;
            }
            parts.rule = rule;
        }
    }
    return FileError::kNone;
}

std::shared_ptr<const TimeZone> ZoneOf(ZoneParts&& parts) {
    return std::make_shared<const TimeZone>(parts.initialOffset, std::move(parts.changes),
                                            std::move(parts.offsets), parts.rule ? &*parts.rule : nullptr);
}

#endif

std::shared_ptr<const TimeZone> Utc() {
    return std::make_shared<const TimeZone>(0, std::vector<std::int64_t>{}, std::vector<int>{});
}

#ifndef _WIN32
std::string ZoneDirectory() {
    const char* dir = std::getenv("TZDIR");  // NOLINT(concurrency-mt-unsafe): read before any thread starts
    return dir != nullptr && *dir != '\0' ? std::string(dir) : std::string("/usr/share/zoneinfo");
}

// A name that stays inside the zone directory: no leading '/', no "..".
bool IsZoneName(std::string_view name) {
    if (name.empty() || name.front() == '/') {
        return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        start = end + 1;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
               c == '_' || c == '-' || c == '+' || c == '.';
    });
}

// The zone in the zoneinfo file at path: null when there is none there.
std::shared_ptr<const TimeZone> ZoneFile(const std::string& path, FileError& error) {
    error = FileError::kNotZoneinfo;
    const std::optional<std::string> bytes = FileBytes(path);
    ZoneParts parts;
    if (!bytes || (error = ReadZoneinfo(*bytes, parts)) != FileError::kNone) {
        return nullptr;
    }
    return ZoneOf(std::move(parts));
}

std::shared_ptr<const TimeZone> LoadLocal() {
    const char* variable = std::getenv("TZ");  // NOLINT(concurrency-mt-unsafe): no thread sets it
    FileError error = FileError::kNone;
    if (variable == nullptr) {
        const auto zone = ZoneFile("/etc/localtime", error);
        return zone != nullptr ? zone : Utc();
    }
    std::string_view tz = variable;
    if (!tz.empty() && tz.front() == ':') {
        tz.remove_prefix(1);
    }
    if (tz.empty()) {
        return Utc();
    }
    if (tz.front() == '/' || IsZoneName(tz)) {
        const std::string path =
            tz.front() == '/' ? std::string(tz) : ZoneDirectory() + "/" + std::string(tz);
        if (auto zone = ZoneFile(path, error); zone != nullptr) {
            return zone;
        }
    }
    TimeZone::Rule rule;
    if (TimeZone::ReadRule(tz, rule)) {
        return std::make_shared<const TimeZone>(rule.standard, std::vector<std::int64_t>{},
                                                std::vector<int>{}, &rule);
    }
    return Utc();
}
#endif

}  // namespace

bool TimeZone::ReadRule(std::string_view text, Rule& rule) {
    RuleText reading(text);
    constexpr int kMostOffsetHours = 24;
    int west = 0;
    if (!reading.Name() || !reading.Time(kMostOffsetHours, west)) {
        return false;
    }
    Rule read;
    read.standard = -west;
    if (reading.AtEnd()) {
        rule = read;
        return true;
    }
    if (!reading.Name()) {
        return false;
    }
    read.saving = true;
    read.daylight = read.standard + kSecondsPerHour;
    if (!reading.AtEnd() && reading.Peek() != ',') {
        if (!reading.Time(kMostOffsetHours, west)) {
            return false;
        }
        read.daylight = -west;
    }
    if (reading.AtEnd()) {
        // The United States' rule, as the C library takes a rule without days.
        read.start = {Rule::Change::Kind::kMonthWeekDay, 0, 3, 2, 0, 2 * kSecondsPerHour};
        read.end = {Rule::Change::Kind::kMonthWeekDay, 0, 11, 1, 0, 2 * kSecondsPerHour};
    } else if (!reading.Skip(',') || !reading.Change(read.start) || !reading.Skip(',') ||
               !reading.Change(read.end) || !reading.AtEnd()) {
        return false;
    }
    rule = read;
    return true;
}

TimeZone::TimeZone(int initialOffset, std::vector<std::int64_t> changes, std::vector<int> offsets,
                   const Rule* rule)
    : initialOffset_(initialOffset), changes_(std::move(changes)), offsets_(std::move(offsets)) {
    if (rule != nullptr) {
        hasRule_ = true;
        rule_ = *rule;
    }
}

TimeZone::TimeZone(SystemZone /*unused*/) : system_(true) {}

TimeZone::Span TimeZone::RuleSpanAt(std::int64_t unixSeconds) const {
    if (!rule_.saving) {
        return {kEarliest, kLatest, rule_.standard, true};
    }
    // The changes of the year before, this year and the next, in order: the
    // instant lies between two of them.
    constexpr int kFirstYear = -30'000;
    constexpr int kLastYear = 30'000;
    const int year =
        std::clamp(static_cast<int>(year_month_day{DayOf(unixSeconds)}.year()), kFirstYear, kLastYear);
    std::array<std::pair<std::int64_t, int>, 6> changes{};
    for (std::size_t i = 0; i < 3; ++i) {
        const int each = year - 1 + static_cast<int>(i);
        changes[2 * i] = {ChangeInstant(each, rule_.start, rule_.standard), rule_.daylight};
        changes[2 * i + 1] = {ChangeInstant(each, rule_.end, rule_.daylight), rule_.standard};
    }
    std::sort(changes.begin(), changes.end());
    Span span{kEarliest, changes.front().first, changes.back().second, true};
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (changes[i].first <= unixSeconds) {
            span = {changes[i].first, i + 1 < changes.size() ? changes[i + 1].first : kLatest,
                    changes[i].second, true};
        }
    }
    return span;
}

TimeZone::Span TimeZone::SpanAt(std::int64_t unixSeconds) const {
    if (system_) {
#ifdef _WIN32
        const auto time = static_cast<std::time_t>(unixSeconds);
        std::tm local{};
        if (static_cast<std::int64_t>(time) != unixSeconds || localtime_s(&local, &time) != 0) {
            return {unixSeconds, unixSeconds + 1, 0, false};
        }
        constexpr int kTmYearBase = 1900;
        const sys_days day{std::chrono::year{local.tm_year + kTmYearBase} /
                           std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)} /
                           std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
        const std::int64_t wall = SecondsOf(day) + local.tm_hour * kSecondsPerHour +
                                  local.tm_min * kSecondsPerMinute + local.tm_sec;
        return {unixSeconds, unixSeconds + 1, static_cast<int>(wall - unixSeconds), true};
#endif
    }
    const auto after = std::upper_bound(changes_.begin(), changes_.end(), unixSeconds);
    if (after == changes_.begin()) {
        if (changes_.empty()) {
            return hasRule_ ? RuleSpanAt(unixSeconds) : Span{kEarliest, kLatest, initialOffset_, true};
        }
        return {kEarliest, changes_.front(), initialOffset_, true};
    }
    const auto index = static_cast<std::size_t>(std::distance(changes_.begin(), after) - 1);
    if (after != changes_.end()) {
        return {changes_[index], *after, offsets_[index], true};
    }
    if (!hasRule_) {
        return {changes_[index], kLatest, offsets_[index], true};
    }
    Span span = RuleSpanAt(unixSeconds);
    span.from = std::max(span.from, changes_[index]);
    return span;
}

std::shared_ptr<const TimeZone> TimeZone::Load(std::string_view name, std::string& error) {
    if (name == "local") {
        return Local();
    }
#ifdef _WIN32
    if (name == "UTC") {
        return Utc();
    }
    error = "unknown time zone '" + std::string(name) + "' (on Windows, --zone takes UTC and local)";
    return nullptr;
#else
    const std::string directory = ZoneDirectory();
    FileError fileError = FileError::kNotZoneinfo;
    if (IsZoneName(name)) {
        if (auto zone = ZoneFile(directory + "/" + std::string(name), fileError); zone != nullptr) {
            return zone;
        }
    }
    if (fileError == FileError::kLeapSeconds) {
        error = "time zone '" + std::string(name) + "' counts leap seconds, which shamsi-date does not";
    } else {
        error = "unknown time zone '" + std::string(name) + "' (none such in " + directory + ")";
    }
    return nullptr;
#endif
}

std::shared_ptr<const TimeZone> TimeZone::Local() {
#ifdef _WIN32
    static const std::shared_ptr<const TimeZone> local(new TimeZone(SystemZone{}));
#else
    static const std::shared_ptr<const TimeZone> local = LoadLocal();
#endif
    return local;
}

}  // namespace ShamsiDate
