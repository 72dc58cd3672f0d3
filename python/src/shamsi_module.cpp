// shamsi._shamsi, the native part of the Python module shamsi: the Date
// type over Shamsi::Date and the module functions; the array functions'
// loops are in array_bindings.cpp (shamsi/__init__.py gives them their
// Python faces).
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

Shamsi::Date MakeDate(py::handle year, py::handle month, py::handle day) {
    const std::int64_t y = Integer(year, "year");
    const std::int64_t m = Integer(month, "month");
    const std::int64_t d = Integer(day, "day");
    const Shamsi::ReadError error = DateError(y, m, d);
    if (error != Shamsi::ReadError::kNone) {
        const std::string text = py::str("{:04}/{:02}/{:02}").format(year, month, day);
        throw py::value_error(Refused(text, Shamsi::Describe(error, Shamsi::Calendar::kShamsi)));
    }
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

std::int64_t DayNumber(const Shamsi::Date& date) {
    return Shamsi::ToSysDays(date).time_since_epoch().count();
}

Shamsi::Date DateOfDay(std::int64_t dayNumber, const char* what) {
    if (!Shamsi::InRange(DayOf(dayNumber))) {
        throw py::value_error(std::string(what) + ResultOutOfRange());
    }
    return Shamsi::FromSysDays(DayOf(dayNumber));
}

Shamsi::Date FromGregorian(py::handle value) {
    if (!PyDate_Check(value.ptr())) {
        throw py::type_error(std::string("from_gregorian takes a datetime.date, not ") +
                             Py_TYPE(value.ptr())->tp_name);
    }
    const std::chrono::year_month_day miladi{
        std::chrono::year{PyDateTime_GET_YEAR(value.ptr())},
        std::chrono::month{static_cast<unsigned>(PyDateTime_GET_MONTH(value.ptr()))},
        std::chrono::day{static_cast<unsigned>(PyDateTime_GET_DAY(value.ptr()))}};
    const std::chrono::sys_days day{miladi};
    if (!Shamsi::InRange(day)) {
        throw py::value_error(Refused(MiladiText(day.time_since_epoch().count()), MiladiOutOfRange()));
    }
    return Shamsi::FromSysDays(day);
}

py::object ToGregorian(const Shamsi::Date& date) {
    const std::chrono::year_month_day miladi = Shamsi::ToGregorian(date);
    const int year = static_cast<int>(miladi.year());
    constexpr int kLastPythonYear = 9999;  // datetime.MAXYEAR
    if (year > kLastPythonYear) {
        throw py::value_error(Refused(ShamsiText(date), "its Miladi date " + MiladiText(DayNumber(date)) +
                                                            " is past datetime.date's last year, 9999"));
    }
    PyObject* result = PyDate_FromDate(year, static_cast<int>(static_cast<unsigned>(miladi.month())),
                                       static_cast<int>(static_cast<unsigned>(miladi.day())));
    if (result == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::object>(result);
}

py::object NotImplemented() { return py::reinterpret_borrow<py::object>(Py_NotImplemented); }

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

Shamsi::Date Parse(py::handle text) {
    const std::string_view utf8 = Utf8(text, "parse");
    std::chrono::sys_days day{};
    const Shamsi::ReadError error = ReadText(utf8, day);
    if (error != Shamsi::ReadError::kNone) {
        throw py::value_error(Refused(utf8, Shamsi::Describe(error, Shamsi::Calendar::kShamsi)));
    }
    return Shamsi::FromSysDays(day);
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

    py::class_<Shamsi::Date>(module, "Date",
                             R"(A day of the Shamsi (Iranian solar) calendar, in the years 1-9999.

Date(year, month, day): month 1 is Farvardin, 12 Esfand. Immutable,
hashable and ordered; str() gives "1405/09/17". Raises ValueError for
numbers that name no day ("not a day of the Shamsi calendar", "outside
the Shamsi years 1-9999") and TypeError for anything but integers.)")
        .def(py::init(&MakeDate), py::arg("year"), py::arg("month"), py::arg("day"))
        .def_readonly("year", &Shamsi::Date::year, "The year, 1-9999.")
        .def_readonly("month", &Shamsi::Date::month, "The month, 1 (Farvardin) to 12 (Esfand).")
        .def_readonly("day", &Shamsi::Date::day, "The day of the month, 1-31.")
        .def_static("from_gregorian", &FromGregorian, py::arg("date"),
                    "The Shamsi date of a datetime.date (of a datetime, its date).")
        .def("to_gregorian", &ToGregorian,
             "The datetime.date of the same day (ValueError past datetime.date's year 9999, from "
             "the Shamsi year 9378 on).")
        .def_static(
            "today",
            [] { return FromGregorian(py::module_::import("datetime").attr("date").attr("today")()); },
            "Today in the local time zone.")
        .def(
            "add",
            [](const Shamsi::Date& date, py::handle years, py::handle months, py::handle weeks,
               py::handle days) {
                const Shamsi::Period period{Integer(years, "years"), Integer(months, "months"),
                                            Integer(weeks, "weeks"), Integer(days, "days")};
                const Shamsi::Date moved = Shamsi::Add(date, period);
                if (!moved.IsValid()) {
                    throw py::value_error(Refused(
                        ShamsiText(date) + " + " + Shamsi::FormatPeriod(period, Shamsi::Digits::kAscii),
                        ResultOutOfRange()));
                }
                return moved;
            },
            py::arg("years") = 0, py::arg("months") = 0, py::arg("weeks") = 0, py::arg("days") = 0,
            R"(The date moved as `shamsi-date add` moves it: years and months together as
one move of 12 * years + months months that keeps the day of the month (a day
past the end of the month reached becomes its last day), then weeks and days.
Date(1405, 6, 31).add(months=1) is Date(1405, 7, 30). ValueError when the
result falls outside the years 1-9999.)")
        .def(
            "strftime",
            [](const Shamsi::Date& date, const std::string& format, const std::string& digits,
               const std::string& names) { return MakeFormatter(format, digits, names).Format(date); },
            py::arg("format"), py::arg("digits") = "ascii", py::arg("names") = "iranian",
            R"(The date as text, with the fields of `shamsi-date --format`:
%Y year (at least four digits), %y its last two digits, %m %d month and day
(two digits), %-m %-d unpadded, %B month name, %A weekday name, %j day of
the year (three digits), %%. digits: 'ascii' or 'persian'; names: 'iranian'
or 'afghan' (Persian weekday names, the months' Iranian or Afghan names), or
'english' (the months' Latin names, Farvardin ... Esfand, and English weekday
names). ValueError for a bad format ("unknown field %q").)")
        .def(
            "__format__",
            [](const Shamsi::Date& date, const std::string& format) {
                return format.empty() ? ShamsiText(date)
                                      : MakeFormatter(format, "ascii", "iranian").Format(date);
            },
            py::arg("format"))
        .def(
            "weekday", [](const Shamsi::Date& date) { return (Shamsi::Weekday(date).c_encoding() + 6) % 7; },
            "The day of the week as Python counts it: Monday is 0, Saturday 5, Sunday 6.")
        .def("__str__", &ShamsiText)
        .def("__repr__",
             [](const Shamsi::Date& date) {
                 return "shamsi.Date(" + std::to_string(date.year) + ", " + std::to_string(date.month) +
                        ", " + std::to_string(date.day) + ")";
             })
        .def("__hash__",
             [](const Shamsi::Date& date) {
                 return py::hash(py::make_tuple(date.year, date.month, date.day));
             })
        .def("__reduce__",
             [](const py::object& self) {
                 const auto& date = self.cast<const Shamsi::Date&>();
                 return py::make_tuple(self.get_type(), py::make_tuple(date.year, date.month, date.day));
             })
        .def("__eq__",
             [](const Shamsi::Date& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Shamsi::Date>(b)) {
                     return NotImplemented();
                 }
                 return py::bool_(a == b.cast<const Shamsi::Date&>());
             })
        .def("__ne__",
             [](const Shamsi::Date& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Shamsi::Date>(b)) {
                     return NotImplemented();
                 }
                 return py::bool_(a != b.cast<const Shamsi::Date&>());
             })
        .def("__lt__",
             [](const Shamsi::Date& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Shamsi::Date>(b)) {
                     return NotImplemented();
                 }
                 return py::bool_(a < b.cast<const Shamsi::Date&>());
             })
        .def("__le__",
             [](const Shamsi::Date& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Shamsi::Date>(b)) {
                     return NotImplemented();
                 }
                 return py::bool_(a <= b.cast<const Shamsi::Date&>());
             })
        .def("__gt__",
             [](const Shamsi::Date& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Shamsi::Date>(b)) {
                     return NotImplemented();
                 }
                 return py::bool_(a > b.cast<const Shamsi::Date&>());
             })
        .def("__ge__",
             [](const Shamsi::Date& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Shamsi::Date>(b)) {
                     return NotImplemented();
                 }
                 return py::bool_(a >= b.cast<const Shamsi::Date&>());
             })
        .def("__add__",
             [](const Shamsi::Date& date, const py::object& other) -> py::object {
                 if (!PyDelta_Check(other.ptr())) {
                     return NotImplemented();
                 }
                 const std::int64_t days = PyDateTime_DELTA_GET_DAYS(other.ptr());
                 return py::cast(DateOfDay(DayNumber(date) + days, ""));
             })
        .def("__radd__",
             [](const Shamsi::Date& date, const py::object& other) -> py::object {
                 if (!PyDelta_Check(other.ptr())) {
                     return NotImplemented();
                 }
                 const std::int64_t days = PyDateTime_DELTA_GET_DAYS(other.ptr());
                 return py::cast(DateOfDay(DayNumber(date) + days, ""));
             })
        .def("__sub__", [](const Shamsi::Date& date, const py::object& other) -> py::object {
            if (PyDelta_Check(other.ptr())) {
                const std::int64_t days = PyDateTime_DELTA_GET_DAYS(other.ptr());
                return py::cast(DateOfDay(DayNumber(date) - days, ""));
            }
            if (py::isinstance<Shamsi::Date>(other)) {
                const std::int64_t days = DayNumber(date) - DayNumber(other.cast<const Shamsi::Date&>());
                return py::reinterpret_steal<py::object>(PyDelta_FromDSU(static_cast<int>(days), 0, 0));
            }
            return NotImplemented();
        });

    module.def("parse", &Parse, py::arg("text"),
               R"(The Date a text names, in any form `shamsi-date to-miladi` reads: Y/M/D or
Y-M-D with the full year, D MONTH Y with the month's Iranian, Afghan or Latin name,
either after a weekday name (which must be the date's), with a time of day
after it if any; ASCII, Persian or Arabic-Indic digits. ValueError with the
reason for anything else, TypeError for anything but a str.)");
    module.def(
        "is_leap",
        [](py::handle year) {
            const std::int64_t y = Integer(year, "year");
            if (DateError(y, 1, 1) != Shamsi::ReadError::kNone) {
                throw py::value_error(
                    Refused(std::to_string(y),
                            Shamsi::Describe(Shamsi::ReadError::kOutOfRange, Shamsi::Calendar::kShamsi)));
            }
            return Shamsi::IsLeapYear(y);
        },
        py::arg("year"), "True when Esfand of the year (1-9999) has 30 days.");
    module.def(
        "days_in_month",
        [](py::handle year, py::handle month) {
            const std::int64_t y = Integer(year, "year");
            const std::int64_t m = Integer(month, "month");
            const Shamsi::ReadError error = DateError(y, m, 1);
            if (error != Shamsi::ReadError::kNone) {
                throw py::value_error(Refused(std::to_string(y) + "/" + std::to_string(m),
                                              Shamsi::Describe(error, Shamsi::Calendar::kShamsi)));
            }
            return Shamsi::DaysInMonth(y, static_cast<int>(m));
        },
        py::arg("year"), py::arg("month"), "31, 30 or 29: the days of a month 1-12 of a year 1-9999.");
    module.def("_between", [](const Shamsi::Date& a, const Shamsi::Date& b) {
        const Shamsi::Period period = Shamsi::Between(a, b);
        return py::make_tuple(period.years, period.months, period.days);
    });
    RegisterArrays(module);
}
