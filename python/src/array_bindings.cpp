// The loops of the shamsi module's array functions (to_shamsi, from_shamsi,
// format, parse_array and the accessor's fields), which run without the GIL.
//
// Arrays come in as the Python side lays them out: one-dimensional and
// contiguous, datetime64 values as their int64 counts of some unit with the
// number of those in a day, NaT as the least int64.
#include "module.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <shamsi/date.h>
#include <shamsi/text.h>

namespace ShamsiPython {
namespace {

constexpr std::int64_t FloorDays(std::int64_t value, std::int64_t ticksPerDay) {
    const std::int64_t quotient = value / ticksPerDay;
    return value % ticksPerDay < 0 ? quotient - 1 : quotient;
}

struct FieldArrays {
    std::int32_t* year;
    std::int32_t* month;
    std::int32_t* day;
};

// The Shamsi fields of each value, 0 in each for NaT: the index of the
// first value outside the Shamsi years 1-9999 (fields from it on unwritten),
// or kNone. The unit's size is a constant in the common cases, so that the
// division is a multiplication.
template <std::int64_t kTicks>
std::size_t FieldsOf(const std::int64_t* values, std::size_t count, std::int64_t ticks,
                     const FieldArrays& out) {
    const std::int64_t ticksPerDay = kTicks != 0 ? kTicks : ticks;
    for (std::size_t i = 0; i < count; ++i) {
        if (values[i] == kNaT) {
            out.year[i] = out.month[i] = out.day[i] = 0;
            continue;
        }
        const std::chrono::sys_days day = DayOf(FloorDays(values[i], ticksPerDay));
        if (!Shamsi::InRange(day)) {
            return i;
        }
        const Shamsi::Date date = Shamsi::FromSysDays(day);
        out.year[i] = date.year;
        out.month[i] = date.month;
        out.day[i] = date.day;
    }
    return kNone;
}

constexpr std::int64_t kSecondsInDay = 86'400;

std::size_t FieldsOfAny(const std::int64_t* values, std::size_t count, std::int64_t ticks,
                        const FieldArrays& out) {
    switch (ticks) {
        case 1:
            return FieldsOf<1>(values, count, ticks, out);
        case kSecondsInDay:
            return FieldsOf<kSecondsInDay>(values, count, ticks, out);
        case kSecondsInDay * 1'000:
            return FieldsOf<kSecondsInDay * 1'000>(values, count, ticks, out);
        case kSecondsInDay * 1'000'000:
            return FieldsOf<kSecondsInDay * 1'000'000>(values, count, ticks, out);
        case kSecondsInDay * 1'000'000'000:
            return FieldsOf<kSecondsInDay * 1'000'000'000>(values, count, ticks, out);
        default:
            return FieldsOf<0>(values, count, ticks, out);
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
    const FieldArrays out{year.mutable_data(), month.mutable_data(), day.mutable_data()};
    const std::size_t bad = [&] {
        const py::gil_scoped_release unlocked;
        return FieldsOfAny(input, count, ticksPerDay, out);
    }();
    if (bad != kNone) {
        throw py::value_error(Refused(MiladiText(FloorDays(input[bad], ticksPerDay)), MiladiOutOfRange()));
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
// (every weekday in every month, the widest numbers) take the most.
std::size_t WidestText(const Shamsi::Formatter& formatter, std::vector<std::uint32_t>& characters) {
    std::string buffer(formatter.MaxSize(), '\0');
    std::size_t widest = 0;
    constexpr int kFirstDay = 10;
    constexpr int kDaysInWeek = 7;
    for (int month = 1; month <= Shamsi::kMonthsInYear; ++month) {
        for (int day = kFirstDay; day < kFirstDay + kDaysInWeek; ++day) {
            const char* end = formatter.Write(buffer.data(), Shamsi::Date{Shamsi::kLastYear, month, day});
            widest =
                std::max(widest, DecodeUtf8({buffer.data(), static_cast<std::size_t>(end - buffer.data())},
                                            characters.data()));
        }
    }
    return widest;
}

// Each value written by the formatter into a str array just wide enough,
// NaT as an empty text.
py::array FormatArray(const py::array& values, std::int64_t ticksPerDay, const std::string& format,
                      const std::string& digits, const std::string& names) {
    const auto* input = DataOf<std::int64_t>(values, "format");
    const auto count = static_cast<std::size_t>(values.size());
    const Shamsi::Formatter formatter = MakeFormatter(format, digits, names);
    std::vector<std::uint32_t> characters(formatter.MaxSize() + 1);
    const std::size_t width = std::max<std::size_t>(WidestText(formatter, characters), 1);
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
                const std::chrono::sys_days day = DayOf(FloorDays(input[i], ticksPerDay));
                if (!Shamsi::InRange(day)) {
                    bad = i;
                    break;
                }
                const char* end = formatter.Write(buffer.data(), day);
                written =
                    std::min(width, DecodeUtf8({buffer.data(), static_cast<std::size_t>(end - buffer.data())},
                                               characters.data()));
                std::copy_n(characters.data(), written, row);
            }
            std::fill(row + written, row + width, 0U);
        }
    }
    if (bad != kNone) {
        throw py::value_error(Refused(MiladiText(FloorDays(input[bad], ticksPerDay)), MiladiOutOfRange()));
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

}  // namespace

void RegisterArrays(py::module_& module) {
    module.def("_to_shamsi", &ToShamsiArrays);
    module.def("_from_shamsi", &FromShamsiArrays);
    module.def("_format", &FormatArray);
    module.def("_parse_array", &ParseArray);
}

}  // namespace ShamsiPython
