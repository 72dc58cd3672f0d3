// shamsi._shamsi, the native part of the Python module shamsi: what its
// files share (module.h) and the module itself. shamsi.Date and the
// functions of one value are in date_bindings.cpp, the array functions'
// loops in array_bindings.cpp (shamsi/__init__.py gives them their Python
// faces).
#include "module.h"

// The datetime C API; after pybind11, which includes Python.h first.
#include <datetime.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include <shamsi/arithmetic.h>
#include <shamsi/date.h>
#include <shamsi/names.h>
#include <shamsi/text.h>

namespace ShamsiPython {

// --- Messages: the text, quoted, and why it was refused ------------------------

std::string Refused(std::string_view text, std::string_view reason) {
    std::string message;
    message.reserve(text.size() + reason.size() + 4);
    message.append("'").append(text).append("': ").append(reason);
    return message;
}

// "1405/09/17"; any numbers, for messages about values that are no date.
std::string NumbersText(std::int64_t year, std::int64_t month, std::int64_t day) {
    std::array<char, 80> text{};
    const int length =
        std::snprintf(text.data(), text.size(), "%04lld/%02lld/%02lld", static_cast<long long>(year),
                      static_cast<long long>(month), static_cast<long long>(day));
    return {text.data(), static_cast<std::size_t>(length)};
}

// A day as a Miladi "YYYY-MM-DD" for messages, or "day N (from 1970-01-01)"
// where std::chrono cannot hold its year.
std::string MiladiText(std::int64_t dayNumber) {
    constexpr std::int64_t kChronoDays = 11'000'000;  // about the years -28000 to 32000
    if (dayNumber < -kChronoDays || dayNumber > kChronoDays) {
        return "day " + std::to_string(dayNumber) + " from 1970-01-01";
    }
    const std::chrono::year_month_day date{
        std::chrono::sys_days{std::chrono::days{static_cast<std::chrono::days::rep>(dayNumber)}}};
    std::array<char, 40> text{};
    const int length =
        std::snprintf(text.data(), text.size(), "%04d-%02u-%02u", static_cast<int>(date.year()),
                      static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return {text.data(), static_cast<std::size_t>(length)};
}

std::string ShamsiText(const Shamsi::Date& date) { return NumbersText(date.year, date.month, date.day); }

std::string_view MiladiOutOfRange() {
    return Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kMiladi);
}

std::string ResultOutOfRange() {
    return "the result falls " +
           std::string(Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kShamsi));
}

// --- Dates -------------------------------------------------------------------

// The error for numbers that name no date: outside the years 1-9999, or no
// such day; kNone for a real day.
Shamsi::ReadError DateError(std::int64_t year, std::int64_t month, std::int64_t day) {
    if (year < Shamsi::kFirstYear || year > Shamsi::kLastYear) {
        return Shamsi::ReadError::kOutOfRange;
    }
    if (month < 1 || month > Shamsi::kMonthsInYear || day < 1 ||
        day > Shamsi::DaysInMonth(year, static_cast<int>(month))) {
        return Shamsi::ReadError::kNotADate;
    }
    return Shamsi::ReadError::kNone;
}

std::chrono::sys_days DayOf(std::int64_t dayNumber) {
    return std::chrono::sys_days{std::chrono::days{static_cast<std::chrono::days::rep>(dayNumber)}};
}

// An integer argument: a Python int or anything with __index__ (numpy's
// integers), as datetime.date takes them. Beyond int64 it is held at a value
// far outside every range checked here.
std::int64_t Integer(py::handle value, const char* name) {
    PyObject* index = PyNumber_Index(value.ptr());
    if (index == nullptr) {
        PyErr_Clear();
        throw py::type_error(std::string(name) + " must be an integer, not " + Py_TYPE(value.ptr())->tp_name);
    }
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(index, &overflow);
    Py_DECREF(index);
    constexpr std::int64_t kFar = std::int64_t{1} << 40;
    if (overflow != 0) {
        return overflow > 0 ? kFar : -kFar;
    }
    return number;
}

std::int64_t DayNumber(const Shamsi::Date& date) {
    return Shamsi::ToSysDays(date).time_since_epoch().count();
}

// --- Formats and names -----------------------------------------------------

Shamsi::Digits DigitsNamed(const std::string& digits) {
    if (digits == "ascii") {
        return Shamsi::Digits::kAscii;
    }
    if (digits == "persian") {
        return Shamsi::Digits::kPersian;
    }
    throw py::value_error(Refused(digits, "digits are 'ascii' or 'persian'"));
}

Shamsi::MonthNames NamesNamed(const std::string& names) {
    const std::optional<Shamsi::MonthNames> chosen = Shamsi::MonthNamesCalled(names);
    if (!chosen) {
        throw py::value_error(Refused(names, "names are 'iranian', 'afghan' or 'english'"));
    }
    return *chosen;
}

Shamsi::Formatter MakeFormatter(const std::string& format, const std::string& digits,
                                const std::string& names) {
    Shamsi::Formatter formatter(format, Shamsi::Calendar::kShamsi, DigitsNamed(digits), NamesNamed(names));
    if (!formatter.Error().empty()) {
        throw py::value_error(Refused(format, formatter.Error()));
    }
    return formatter;
}

// --- Reading -----------------------------------------------------------------

const Shamsi::Reader& UsualReader() {
    static const Shamsi::Reader reader(Shamsi::Calendar::kShamsi);
    return reader;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A Shamsi date in any of the usual forms, with a time of day after it if
// any (passed over).
Shamsi::ReadError ReadText(std::string_view text, std::chrono::sys_days& day) {
    std::size_t end = 0;
    const Shamsi::ReadError error = UsualReader().Read(text, day, end);
    if (error != Shamsi::ReadError::kNone) {
        return error;
    }
    std::string_view rest = text.substr(end);
    while (!rest.empty() && IsBlank(rest.back())) {
        rest.remove_suffix(1);
    }
    return rest.empty() || Shamsi::TimeOfDayLength(rest) == rest.size() ? Shamsi::ReadError::kNone
                                                                        : Shamsi::ReadError::kUnreadable;
}

std::string_view Utf8(py::handle text, const char* what) {
    if (!PyUnicode_Check(text.ptr())) {
        throw py::type_error(std::string(what) + " reads str, not " + Py_TYPE(text.ptr())->tp_name);
    }
    Py_ssize_t size = 0;
    const char* bytes = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
    if (bytes == nullptr) {
        throw py::error_already_set();
    }
    return {bytes, static_cast<std::size_t>(size)};
}

}  // namespace ShamsiPython

// The bindings below name the helpers above as their own.
using namespace ShamsiPython;  // NOLINT(google-build-using-namespace)

PYBIND11_MODULE(_shamsi, module) {
    PyDateTime_IMPORT;
    if (PyDateTimeAPI == nullptr) {
        throw py::error_already_set();
    }
    module.doc() = "The native part of the shamsi module; use shamsi, not this.";

    RegisterDates(module);
    RegisterArrays(module);
}
