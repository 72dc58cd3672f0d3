// The loops of the shamsi module's array functions (to_shamsi, from_shamsi,
// format, parse_array and the accessor's fields), which run without the GIL.
//
// Arrays come in as the Python side lays them out: one-dimensional and
// contiguous, datetime64 values as their int64 counts of some unit with the
// number of those in a day, NaT as the least int64.
#include "module.h"

// The datetime C API; after pybind11, which includes Python.h first.
#include <datetime.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include <shamsi/date.h>
#include <shamsi/text.h>
#include <shamsi/time.h>

namespace ShamsiPython {
namespace {

// No offset from UTC: a naive value.
constexpr std::int32_t kNoOffset = std::numeric_limits<std::int32_t>::min();

constexpr std::int64_t FloorDays(std::int64_t value, std::int64_t ticksPerDay) {
    const std::int64_t quotient = value / ticksPerDay;
    return value % ticksPerDay < 0 ? quotient - 1 : quotient;
}

// Gives store(i, date) the Shamsi date of each value, {0, 0, 0} for NaT:
// the index of the first value outside the Shamsi years 1-9999 (nothing
// stored from it on), or kNone. The unit's size is a constant in the common
// cases, so that the division is a multiplication. Everything it calls is
// inlined: GCC otherwise calls Shamsi::FromSysDays out of line and reads the
// Date it returns back through memory, a store-forwarding stall that doubles
// the loop's time.
template <std::int64_t kTicks, typename Store>
[[gnu::flatten]] std::size_t FieldsOf(const std::int64_t* values, std::size_t count, std::int64_t ticks,
                                      const Store& store) {
    const std::int64_t ticksPerDay = kTicks != 0 ? kTicks : ticks;
    for (std::size_t i = 0; i < count; ++i) {
        if (values[i] == kNaT) {
            store(i, Shamsi::Date{0, 0, 0});
            continue;
        }
        const std::chrono::sys_days wallDay = DayOf(FloorDays(values[i], ticksPerDay));
        if (!Shamsi::InRange(wallDay)) {
            return i;
        }
        store(i, Shamsi::FromSysDays(wallDay));
    }
    return kNone;
}

constexpr std::int64_t kSecondsInDay = 86'400;

// The ValueError for a value whose day is outside the Shamsi years 1-9999.
[[noreturn]] void ThrowOutOfRange(std::int64_t value, std::int64_t ticksPerDay) {
    throw py::value_error(Refused(MiladiText(FloorDays(value, ticksPerDay)), MiladiOutOfRange()));
}

template <typename Store>
std::size_t FieldsOfAny(const std::int64_t* values, std::size_t count, std::int64_t ticks,
                        const Store& store) {
    switch (ticks) {
        case 1:
            return FieldsOf<1>(values, count, ticks, store);
        case kSecondsInDay:
            return FieldsOf<kSecondsInDay>(values, count, ticks, store);
        case kSecondsInDay * 1'000:
            return FieldsOf<kSecondsInDay * 1'000>(values, count, ticks, store);
        case kSecondsInDay * 1'000'000:
            return FieldsOf<kSecondsInDay * 1'000'000>(values, count, ticks, store);
        case kSecondsInDay * 1'000'000'000:
            return FieldsOf<kSecondsInDay * 1'000'000'000>(values, count, ticks, store);
        default:
            return FieldsOf<0>(values, count, ticks, store);
    }
}

// The UTF-8 of UTF-32 text (numpy's str arrays); code points that are no
// character become U+FFFD, which no date holds.
void EncodeUtf8(const std::uint32_t* text, std::size_t length, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < length; ++i) {
        std::uint32_t code = text[i];
        if (code > 0x10FFFFU || (code >= 0xD800U && code <= 0xDFFFU)) {
            code = 0xFFFDU;
        }
        if (code < 0x80U) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800U) {
            out.push_back(static_cast<char>(0xC0U | (code >> 6U)));
            out.push_back(static_cast<char>(0x80U | (code & 0x3FU)));
        } else if (code < 0x10000U) {
            out.push_back(static_cast<char>(0xE0U | (code >> 12U)));
            out.push_back(static_cast<char>(0x80U | ((code >> 6U) & 0x3FU)));
            out.push_back(static_cast<char>(0x80U | (code & 0x3FU)));
        } else {
            out.push_back(static_cast<char>(0xF0U | (code >> 18U)));
            out.push_back(static_cast<char>(0x80U | ((code >> 12U) & 0x3FU)));
            out.push_back(static_cast<char>(0x80U | ((code >> 6U) & 0x3FU)));
            out.push_back(static_cast<char>(0x80U | (code & 0x3FU)));
        }
    }
}

// A one-dimensional contiguous array's data, checked.
template <typename T>
const T* DataOf(const py::array& array, const char* what) {
    if (array.ndim() != 1 || array.itemsize() != static_cast<py::ssize_t>(sizeof(T)) ||
        (array.flags() & py::array::c_style) == 0) {
        throw py::type_error(std::string(what) + ": expected a one-dimensional contiguous array");
    }
    return static_cast<const T*>(array.data());
}

py::tuple ToShamsiArrays(const py::array& values, std::int64_t ticksPerDay) {
    const auto* input = DataOf<std::int64_t>(values, "to_shamsi");
    const auto count = static_cast<std::size_t>(values.size());
    py::array_t<std::int32_t> year(values.size());
    py::array_t<std::int32_t> month(values.size());
    py::array_t<std::int32_t> day(values.size());
    std::int32_t* years = year.mutable_data();
    std::int32_t* months = month.mutable_data();
    std::int32_t* days = day.mutable_data();
    const std::size_t bad = [&] {
        const py::gil_scoped_release unlocked;
        return FieldsOfAny(input, count, ticksPerDay, [&](std::size_t i, const Shamsi::Date& date) {
            years[i] = date.year;
            months[i] = date.month;
            days[i] = date.day;
        });
    }();
    if (bad != kNone) {
        ThrowOutOfRange(input[bad], ticksPerDay);
    }
    return py::make_tuple(year, month, day);
}

py::array NewDays(py::ssize_t count) {
    return py::array(py::dtype("M8[D]"), std::vector<py::ssize_t>{count});
}

py::array FromShamsiArrays(const py::array& years, const py::array& months, const py::array& days,
                           bool coerce) {
    const auto* y = DataOf<std::int64_t>(years, "from_shamsi");
    const auto* m = DataOf<std::int64_t>(months, "from_shamsi");
    const auto* d = DataOf<std::int64_t>(days, "from_shamsi");
    const auto count = static_cast<std::size_t>(years.size());
    if (months.size() != years.size() || days.size() != years.size()) {
        throw py::value_error("from_shamsi: the year, month and day arrays differ in length");
    }
    py::array result = NewDays(years.size());
    auto* out = static_cast<std::int64_t*>(result.mutable_data());
    std::size_t bad = kNone;
    Shamsi::ReadError error = Shamsi::ReadError::kNone;
    {
        const py::gil_scoped_release unlocked;
        for (std::size_t i = 0; i < count; ++i) {
            if (y[i] == 0 && m[i] == 0 && d[i] == 0) {
                out[i] = kNaT;
                continue;
            }
            const Shamsi::ReadError why = DateError(y[i], m[i], d[i]);
            if (why == Shamsi::ReadError::kNone) {
                out[i] = DayNumber({static_cast<int>(y[i]), static_cast<int>(m[i]), static_cast<int>(d[i])});
            } else if (coerce) {
                out[i] = kNaT;
            } else {
                bad = i;
                error = why;
                break;
            }
        }
    }
    if (bad != kNone) {
        throw py::value_error(
            Refused(NumbersText(y[bad], m[bad], d[bad]), Shamsi::Describe(error, Shamsi::Calendar::kShamsi)));
    }
    return result;
}

// The most characters the formatter writes for any day of the years
// 1-9999. Each field's width depends only on how many digits its number
// has and which name it writes, so the days 10-16 of every month of 9999
// (every weekday in every month, the widest numbers) take the most; with
// offsets, the widest offset ("-23:59:59") too.
std::size_t WidestText(const Shamsi::Formatter& formatter, bool withOffsets,
                       std::vector<std::uint32_t>& characters) {
    std::string buffer(formatter.MaxSize(), '\0');
    std::size_t widest = 0;
    constexpr int kFirstDay = 10;
    constexpr int kDaysInWeek = 7;
    const Shamsi::TimeOfDay time{23, 59, 59, withOffsets, 1 - static_cast<int>(Shamsi::kSecondsPerDay)};
    for (int month = 1; month <= Shamsi::kMonthsInYear; ++month) {
        for (int day = kFirstDay; day < kFirstDay + kDaysInWeek; ++day) {
            const char* end =
                formatter.Write(buffer.data(), Shamsi::ToSysDays({Shamsi::kLastYear, month, day}), time);
            widest =
                std::max(widest, DecodeUtf8({buffer.data(), static_cast<std::size_t>(end - buffer.data())},
                                            characters.data()));
        }
    }
    return widest;
}

// The day of a wall time given in some unit (ticksPerDay of them in a day),
// its time of day, and the offset from UTC it was taken at (kNoOffset: none).
std::chrono::sys_days WallTime(std::int64_t value, std::int64_t ticksPerDay, std::int32_t offset,
                               Shamsi::TimeOfDay& time) {
    const std::int64_t dayNumber = FloorDays(value, ticksPerDay);
    const std::int64_t ticks = value - dayNumber * ticksPerDay;
    const std::int64_t second = ticksPerDay % kSecondsInDay == 0 ? ticks / (ticksPerDay / kSecondsInDay)
                                                                 : ticks * kSecondsInDay / ticksPerDay;
    time.hour = static_cast<int>(second / 3600);
    time.minute = static_cast<int>(second / 60 % 60);
    time.second = static_cast<int>(second % 60);
    time.hasOffset = offset != kNoOffset;
    time.offsetSeconds = time.hasOffset ? offset : 0;
    return DayOf(dayNumber);
}

// The text of the value at i (its wall time, with its offset when offsets
// are given) written at out: the end of what was written, or nullptr for a
// value outside the Shamsi years 1-9999.
char* WriteValue(const Shamsi::Formatter& formatter, const std::int64_t* values, const std::int32_t* offsets,
                 std::size_t i, std::int64_t ticksPerDay, char* out) {
    Shamsi::TimeOfDay time;
    const std::chrono::sys_days day =
        WallTime(values[i], ticksPerDay, offsets != nullptr ? offsets[i] : kNoOffset, time);
    return Shamsi::InRange(day) ? formatter.Write(out, day, time) : nullptr;
}

// The offsets given with values (None, or an int32 for each), or nullptr.
const std::int32_t* OffsetsOf(const py::object& offsets, const py::array& values, py::array& kept) {
    if (offsets.is_none()) {
        return nullptr;
    }
    kept = offsets.cast<py::array>();
    if (kept.size() != values.size()) {
        throw py::value_error("format: as many offsets as values");
    }
    return DataOf<std::int32_t>(kept, "format");
}

// Each value written by the formatter into a str array just wide enough,
// NaT as an empty text; offsets (None, or one int32 for each value, in
// seconds east of UTC, kNoOffset for none) for %z.
py::array FormatArray(const py::array& values, std::int64_t ticksPerDay, const std::string& format,
                      const std::string& digits, const std::string& names, const py::object& offsets) {
    const auto* input = DataOf<std::int64_t>(values, "format");
    const auto count = static_cast<std::size_t>(values.size());
    py::array offsetArray;
    const std::int32_t* offset = OffsetsOf(offsets, values, offsetArray);
    const Shamsi::Formatter formatter = MakeFormatter(format, digits, names);
    std::vector<std::uint32_t> characters(formatter.MaxSize() + 1);
    const std::size_t width = std::max<std::size_t>(WidestText(formatter, offset != nullptr, characters), 1);
    py::array result(py::dtype("U" + std::to_string(width)), std::vector<py::ssize_t>{values.size()});
    auto* out = static_cast<std::uint32_t*>(result.mutable_data());
    std::size_t bad = kNone;
    {
        const py::gil_scoped_release unlocked;
        std::string buffer(formatter.MaxSize(), '\0');
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t* row = out + i * width;
            std::size_t written = 0;
            if (input[i] != kNaT) {
                const char* end = WriteValue(formatter, input, offset, i, ticksPerDay, buffer.data());
                if (end == nullptr) {
                    bad = i;
                    break;
                }
                written =
                    std::min(width, DecodeUtf8({buffer.data(), static_cast<std::size_t>(end - buffer.data())},
                                               characters.data()));
                std::copy_n(characters.data(), written, row);
            }
            std::fill(row + written, row + width, 0U);
        }
    }
    if (bad != kNone) {
        ThrowOutOfRange(input[bad], ticksPerDay);
    }
    return result;
}

// A str of UTF-8 text: ASCII copied as it is, anything else decoded.
PyObject* NewText(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80U; })) {
        PyObject* result = PyUnicode_New(static_cast<Py_ssize_t>(text.size()), 0x7F);
        if (result != nullptr) {
            std::copy(text.begin(), text.end(), static_cast<char*>(PyUnicode_DATA(result)));
        }
        return result;
    }
    return PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "strict");
}

// Each value written by the formatter as a str object (an object array, as
// pandas keeps texts), missing for NaT. The texts are written without the
// GIL a block at a time, then made objects; a text the same as the one
// before it is the same object.
py::array FormatObjects(const py::array& values, std::int64_t ticksPerDay, const std::string& format,
                        const std::string& digits, const std::string& names, const py::object& offsets,
                        const py::object& missing) {
    const auto* input = DataOf<std::int64_t>(values, "format");
    const auto count = static_cast<std::size_t>(values.size());
    py::array offsetArray;
    const std::int32_t* offset = OffsetsOf(offsets, values, offsetArray);
    const Shamsi::Formatter formatter = MakeFormatter(format, digits, names);
    py::array result(py::dtype("O"), std::vector<py::ssize_t>{values.size()});
    auto** out = static_cast<PyObject**>(result.mutable_data());
    constexpr std::size_t kBlock = 4096;
    std::string buffer(kBlock * formatter.MaxSize(), '\0');
    std::vector<std::size_t> ends(kBlock);
    py::object previous = py::str("");
    std::string_view previousText;
    std::string previousKept;
    for (std::size_t start = 0; start < count; start += kBlock) {
        const std::size_t size = std::min(kBlock, count - start);
        std::size_t bad = kNone;
        {
            const py::gil_scoped_release unlocked;
            char* end = buffer.data();
            for (std::size_t k = 0; k < size; ++k) {
                const std::size_t i = start + k;
                if (input[i] != kNaT) {
                    char* const written = WriteValue(formatter, input, offset, i, ticksPerDay, end);
                    if (written == nullptr) {
                        bad = i;
                        break;
                    }
                    end = written;
                }
                ends[k] = static_cast<std::size_t>(end - buffer.data());
            }
        }
        if (bad != kNone) {
            ThrowOutOfRange(input[bad], ticksPerDay);
        }
        std::size_t from = 0;
        for (std::size_t k = 0; k < size; ++k) {
            const std::size_t i = start + k;
            const std::string_view text(buffer.data() + from, ends[k] - from);
            from = ends[k];
            // numpy fills a new object array with None; each slot's object is replaced.
            PyObject* const before = out[i];
            if (input[i] == kNaT) {
                out[i] = missing.inc_ref().ptr();
                Py_XDECREF(before);
                continue;
            }
            if (text != previousText) {
                PyObject* made = NewText(text);
                if (made == nullptr) {
                    throw py::error_already_set();
                }
                previous = py::reinterpret_steal<py::object>(made);
                previousKept.assign(text);
                previousText = previousKept;
            }
            out[i] = previous.inc_ref().ptr();
            Py_XDECREF(before);
        }
    }
    return result;
}

// Reads every text into days, '' as NaT; the index of the first bad text
// (with why) unless coerce, which makes it NaT.
struct ReadResult {
    std::size_t bad = kNone;
    Shamsi::ReadError error = Shamsi::ReadError::kNone;
};

template <typename TextAt>
ReadResult ReadAll(std::size_t count, TextAt textAt, std::int64_t* out, bool coerce) {
    for (std::size_t i = 0; i < count; ++i) {
        bool missing = false;
        const std::string_view text = textAt(i, missing);
        if (missing || text.empty()) {
            out[i] = kNaT;
            continue;
        }
        std::chrono::sys_days day{};
        const Shamsi::ReadError error = ReadText(text, day);
        if (error == Shamsi::ReadError::kNone) {
            out[i] = day.time_since_epoch().count();
        } else if (coerce) {
            out[i] = kNaT;
        } else {
            return {i, error};
        }
    }
    return {};
}

// None, NaN, and pandas' NA and NaT: what marks a missing text in an object
// array (pandas' by their types' names, so that pandas need not be there).
bool IsMissing(PyObject* object) {
    if (object == Py_None) {
        return true;
    }
    if (PyFloat_Check(object)) {
        const double value = PyFloat_AS_DOUBLE(object);
        return value != value;
    }
    std::string_view type = Py_TYPE(object)->tp_name;  // with its module or without
    type.remove_prefix(type.find_last_of('.') == std::string_view::npos ? 0 : type.find_last_of('.') + 1);
    return type == "NAType" || type == "NaTType";
}

py::array ParseArray(const py::array& texts, bool coerce) {
    if (texts.ndim() != 1 || (texts.flags() & py::array::c_style) == 0) {
        throw py::type_error("parse_array: expected a one-dimensional contiguous array");
    }
    const auto count = static_cast<std::size_t>(texts.size());
    py::array result = NewDays(texts.size());
    auto* out = static_cast<std::int64_t*>(result.mutable_data());
    ReadResult read;
    std::string badText;
    const char kind = texts.dtype().kind();
    if (kind == 'U') {
        const std::size_t width = static_cast<std::size_t>(texts.itemsize()) / sizeof(std::uint32_t);
        const auto* data = static_cast<const std::uint32_t*>(texts.data());
        std::string buffer;
        const auto textAt = [&](std::size_t i, bool&) {
            const std::uint32_t* row = data + i * width;
            std::size_t length = width;
            while (length > 0 && row[length - 1] == 0) {
                --length;
            }
            EncodeUtf8(row, length, buffer);
            return std::string_view(buffer);
        };
        {
            const py::gil_scoped_release unlocked;
            read = ReadAll(count, textAt, out, coerce);
        }
        if (read.bad != kNone) {
            bool missing = false;
            badText = textAt(read.bad, missing);
        }
    } else if (kind == 'O') {
        // The texts' UTF-8 is taken while the GIL is held (str objects keep
        // it), and read without it.
        std::vector<std::string_view> views(count);
        std::vector<bool> missing(count);
        const auto* objects = static_cast<PyObject* const*>(texts.data());
        for (std::size_t i = 0; i < count; ++i) {
            PyObject* object = objects[i];
            if (IsMissing(object)) {
                missing[i] = true;
            } else {
                views[i] = Utf8(object, "parse_array");
            }
        }
        {
            const py::gil_scoped_release unlocked;
            read = ReadAll(
                count,
                [&](std::size_t i, bool& isMissing) {
                    isMissing = missing[i];
                    return views[i];
                },
                out, coerce);
        }
        if (read.bad != kNone) {
            badText = views[read.bad];
        }
    } else {
        throw py::type_error("parse_array reads str, not " + std::string(py::str(texts.dtype())));
    }
    if (read.bad != kNone) {
        throw py::value_error(Refused(badText, Shamsi::Describe(read.error, Shamsi::Calendar::kShamsi)));
    }
    return result;
}

// --- The accessor's fields --------------------------------------------------

// A fingerprint of int64 values, to tell whether a column changed since its
// fields were taken: every value and its place count. Four lanes, so that
// the multiplications overlap.
std::uint64_t Fingerprint(const py::array& values) {
    const auto* input = DataOf<std::int64_t>(values, "fingerprint");
    const auto count = static_cast<std::size_t>(values.size());
    const py::gil_scoped_release unlocked;
    constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15ULL;
    constexpr std::uint64_t kOther = 0xC2B2AE3D27D4EB4FULL;
    constexpr std::size_t kLanes = 4;
    std::array<std::uint64_t, kLanes> lanes{count * kOdd, count * kOther, ~count * kOdd, ~count * kOther};
    const auto mix = [](std::uint64_t hash, std::int64_t value) {
        hash ^= static_cast<std::uint64_t>(value) * kOther;
        return ((hash << 29U) | (hash >> 35U)) * kOdd;
    };
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            lanes[lane] = mix(lanes[lane], input[i + lane]);
        }
    }
    for (; i < count; ++i) {
        lanes[0] = mix(lanes[0], input[i]);
    }
    std::uint64_t hash = 0;
    for (const std::uint64_t lane : lanes) {
        hash = mix(hash, static_cast<std::int64_t>(lane));
    }
    return hash;
}

// The day of the year, the days of the month, or whether the year is a leap
// year, of each Shamsi date; 0 (false) where the year is 0 (a missing value).
enum class DayField { kDayOfYear = 0, kDaysInMonth = 1, kLeapYear = 2 };

py::array DayFields(const py::array& years, const py::array& months, const py::array& days, int which) {
    const auto* y = DataOf<std::int32_t>(years, "day fields");
    const auto* m = DataOf<std::int32_t>(months, "day fields");
    const auto* d = DataOf<std::int32_t>(days, "day fields");
    if (months.size() != years.size() || days.size() != years.size() || which < 0 || which > 2) {
        throw py::value_error("day fields: arrays of different lengths, or no such field");
    }
    const auto field = static_cast<DayField>(which);
    const auto count = static_cast<std::size_t>(years.size());
    py::array_t<std::int32_t> result(years.size());
    std::int32_t* out = result.mutable_data();
    const py::gil_scoped_release unlocked;
    for (std::size_t i = 0; i < count; ++i) {
        if (y[i] < Shamsi::kFirstYear || y[i] > Shamsi::kLastYear || m[i] < 1 ||
            m[i] > Shamsi::kMonthsInYear) {
            out[i] = 0;
        } else if (field == DayField::kDayOfYear) {
            out[i] = Shamsi::DayOfYear({y[i], m[i], d[i]});
        } else if (field == DayField::kDaysInMonth) {
            out[i] = Shamsi::DaysInMonth(y[i], m[i]);
        } else {
            out[i] = Shamsi::IsLeapYear(y[i]) ? 1 : 0;
        }
    }
    return result;
}

// --- Objects: datetime.date and datetime.datetime --------------------------

// The second of the day of a datetime's wall time.
std::int64_t SecondOfDay(PyObject* datetime) {
    const std::int64_t hour = PyDateTime_DATE_GET_HOUR(datetime);
    const std::int64_t minute = PyDateTime_DATE_GET_MINUTE(datetime);
    return (hour * 60 + minute) * 60 + PyDateTime_DATE_GET_SECOND(datetime);
}

std::int64_t SecondsOfDelta(PyObject* delta) {
    return std::int64_t{PyDateTime_DELTA_GET_DAYS(delta)} * kSecondsInDay +
           PyDateTime_DELTA_GET_SECONDS(delta);
}

// The wall time of each object as seconds from 1970-01-01T00:00:00 (an aware
// datetime its own wall time, not its UTC's), NaT for a missing value (None,
// NaN, pandas' NaT and NA), and each one's offset from UTC (kNoOffset for a
// date or a naive datetime). Anything else raises TypeError naming it.
py::tuple ObjectTimes(const py::array& objects, const std::string& what) {
    if (objects.ndim() != 1 || objects.dtype().kind() != 'O' || (objects.flags() & py::array::c_style) == 0) {
        throw py::type_error(what + ": expected a one-dimensional contiguous object array");
    }
    const auto count = static_cast<std::size_t>(objects.size());
    const auto* items = static_cast<PyObject* const*>(objects.data());
    py::array_t<std::int64_t> seconds(objects.size());
    py::array_t<std::int32_t> offsets(objects.size());
    std::int64_t* out = seconds.mutable_data();
    std::int32_t* offset = offsets.mutable_data();
    bool aware = false;
    const py::object datetime64 = py::module_::import("numpy").attr("datetime64");
    for (std::size_t i = 0; i < count; ++i) {
        PyObject* item = items[i];
        offset[i] = kNoOffset;
        if (IsMissing(item)) {
            out[i] = kNaT;
            continue;
        }
        if (PyDate_Check(item)) {
            const std::chrono::year_month_day date{
                std::chrono::year{PyDateTime_GET_YEAR(item)},
                std::chrono::month{static_cast<unsigned>(PyDateTime_GET_MONTH(item))},
                std::chrono::day{static_cast<unsigned>(PyDateTime_GET_DAY(item))}};
            out[i] = std::chrono::sys_days{date}.time_since_epoch().count() * kSecondsInDay;
            if (PyDateTime_Check(item)) {
                out[i] += SecondOfDay(item);
                const py::object delta = py::reinterpret_borrow<py::object>(item).attr("utcoffset")();
                if (!delta.is_none()) {
                    offset[i] = static_cast<std::int32_t>(SecondsOfDelta(delta.ptr()));
                    aware = true;
                }
            }
            continue;
        }
        if (py::isinstance(item, datetime64)) {
            const py::object value = py::reinterpret_borrow<py::object>(item).attr("astype")("M8[s]");
            out[i] = value.attr("astype")("int64").cast<std::int64_t>();
            continue;
        }
        throw py::type_error(what + " takes datetime64 values or datetime.date objects, not " +
                             Py_TYPE(item)->tp_name + ": " + std::string(py::repr(item)));
    }
    return py::make_tuple(seconds, aware ? py::object(offsets) : py::object(py::none()));
}

}  // namespace

void RegisterArrays(py::module_& module) {
    PyDateTime_IMPORT;
    if (PyDateTimeAPI == nullptr) {
        throw py::error_already_set();
    }
    module.def("_to_shamsi", &ToShamsiArrays);
    module.def("_from_shamsi", &FromShamsiArrays);
    module.def("_format", &FormatArray);
    module.def("_format_objects", &FormatObjects);
    module.def("_parse_array", &ParseArray);
    module.def("_fingerprint", &Fingerprint);
    module.def("_day_fields", &DayFields);
    module.def("_object_times", &ObjectTimes);
}

}  // namespace ShamsiPython
