// shamsi.Date, the Shamsi counterpart of datetime.date, and the module's
// functions of one value: parse, is_leap, days_in_month, strftime.
//
// The type is written against Python's C API rather than with pybind11, as
// datetime.date is: a Date is one allocation with its fields inline, and its
// methods take their arguments as the interpreter passes them (vectorcall),
// so that a call costs about what a call of datetime.date's own methods
// costs. pybind11 spends more on a call than the calendar does on the day:
// it looks the instance up in a registry, allocates the C++ value apart from
// the Python object, and converts each argument through a chain of casters.
#include "calls.h"
#include "module.h"

// The datetime C API; after pybind11, which includes Python.h first.
#include <datetime.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <shamsi/arithmetic.h>
#include <shamsi/date.h>
#include <shamsi/text.h>
#include <shamsi/time.h>

namespace ShamsiPython {

namespace {

// --- The object ------------------------------------------------------------------

struct DateObject {  // NOLINT(cppcoreguidelines-pro-type-member-init): made by Python's allocators
    PyObject_HEAD    // NOLINT(readability-identifier-naming): Python's own header
        Shamsi::Date date;
    Py_hash_t hash;  // -1 until asked for
};

PyTypeObject* dateType = nullptr;  // made by RegisterDates

// Days from 0001-01-01 (ordinal 1, as datetime.date counts) to 1970-01-01.
constexpr std::int64_t kOrdinalOf1970 = 719'163;
constexpr int kLastPythonYear = 9999;  // datetime.MAXYEAR

bool IsDate(PyObject* object) { return PyObject_TypeCheck(object, dateType) != 0; }

const Shamsi::Date& DateOf(PyObject* object) { return reinterpret_cast<DateObject*>(object)->date; }

// A new Date of the type (shamsi.Date, or a subclass, which its own
// constructor makes, as datetime makes its subclasses).
PyObject* NewDate(PyTypeObject* type, const Shamsi::Date& date) {
    if (type == dateType) {
        DateObject* self = PyObject_New(DateObject, dateType);
        if (self == nullptr) {
            throw py::error_already_set();
        }
        self->date = date;
        self->hash = -1;
        return reinterpret_cast<PyObject*>(self);
    }
    return Owned(
        PyObject_CallFunction(reinterpret_cast<PyObject*>(type), "iii", date.year, date.month, date.day));
}

PyTypeObject* TypeOf(PyObject* object) { return Py_TYPE(object); }
PyTypeObject* AsType(PyObject* cls) { return reinterpret_cast<PyTypeObject*>(cls); }

// --- Days --------------------------------------------------------------------------

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

// The date of a day of the Shamsi years 1-9999; ValueError otherwise, with
// the Miladi day (for days given as such) or "the result falls outside".
Shamsi::Date DateOfDay(std::int64_t dayNumber, bool given) {
    if (!Shamsi::InRange(DayOf(dayNumber))) {
        throw py::value_error(given ? Refused(MiladiText(dayNumber), MiladiOutOfRange())
                                    : ResultOutOfRange());
    }
    return Shamsi::FromSysDays(DayOf(dayNumber));
}

// The day a datetime.date (a datetime too: its own wall date) names.
std::int64_t MiladiDay(PyObject* value) {
    const std::chrono::year_month_day miladi{
        std::chrono::year{PyDateTime_GET_YEAR(value)},
        std::chrono::month{static_cast<unsigned>(PyDateTime_GET_MONTH(value))},
        std::chrono::day{static_cast<unsigned>(PyDateTime_GET_DAY(value))}};
    return std::chrono::sys_days{miladi}.time_since_epoch().count();
}

// pandas' NaT and numpy's: a missing value, which datetime.date's checks
// let through (pandas' NaT is a datetime whose fields say 0001-01-01).
bool IsNaT(PyObject* value) {
    std::string_view type = TypeOf(value)->tp_name;
    if (type == "NaTType" || type == "pandas._libs.tslibs.nattype.NaTType") {
        return true;
    }
    if (type != "numpy.datetime64") {
        return false;
    }
    const py::object isnat = py::module_::import("numpy").attr("isnat");
    return isnat(py::handle(value)).cast<bool>();
}

// The day of a datetime.date or datetime.datetime given to function: its
// own wall date. ValueError for NaT, TypeError for anything else.
std::int64_t GivenMiladiDay(PyObject* value, const char* function) {
    if (IsNaT(value)) {
        throw py::value_error(std::string(function) + ": NaT is a missing value, not a day");
    }
    if (!PyDate_Check(value)) {
        throw py::type_error(std::string(function) + " takes a datetime.date or datetime.datetime, not " +
                             (value == Py_None ? std::string("None") : std::string(TypeOf(value)->tp_name)));
    }
    return MiladiDay(value);
}

// The day a value names, for comparisons: a Date's, or a datetime.date's;
// none for a datetime, which names an instant (datetime.date does not
// compare with one either), and for anything else.
std::optional<std::int64_t> DayNamed(PyObject* value) {
    if (IsDate(value)) {
        return DayNumber(DateOf(value));
    }
    if (PyDate_Check(value) && !PyDateTime_Check(value)) {
        return MiladiDay(value);
    }
    return std::nullopt;
}

PyObject* NewDelta(std::int64_t days) { return Owned(PyDelta_FromDSU(static_cast<int>(days), 0, 0)); }

// True when datetime.date allocates as a plain object does (PyObject_Malloc,
// no garbage collection, its fields and nothing more), as CPython's does:
// then NewMiladiDate allocates one itself. Checked once, on import.
bool plainMiladiDates = false;

// A datetime.date of the years 1-9999, made as datetime.date's constructor
// makes one, less the checks that the calendar's arithmetic has made and
// the calls between: to_gregorian() took 15% fewer instructions.
PyObject* NewMiladiDate(const std::chrono::year_month_day& miladi) {
    PyTypeObject* type = PyDateTimeAPI->DateType;
    PyDateTime_Date* date = nullptr;
    if (plainMiladiDates) {
        date = static_cast<PyDateTime_Date*>(PyObject_Malloc(sizeof(PyDateTime_Date)));
        if (date == nullptr) {
            throw std::bad_alloc();
        }
        PyObject_Init(reinterpret_cast<PyObject*>(date), type);
    } else {
        date = reinterpret_cast<PyDateTime_Date*>(Owned(type->tp_alloc(type, 0)));
    }
    const auto year = static_cast<unsigned>(static_cast<int>(miladi.year()));
    date->hashcode = -1;
    date->hastzinfo = 0;
    date->data[0] = static_cast<unsigned char>(year >> 8U);
    date->data[1] = static_cast<unsigned char>(year & 0xFFU);
    date->data[2] = static_cast<unsigned char>(static_cast<unsigned>(miladi.month()));
    date->data[3] = static_cast<unsigned char>(static_cast<unsigned>(miladi.day()));
    return reinterpret_cast<PyObject*>(date);
}

PyObject* GregorianDate(const Shamsi::Date& date) {
    const std::chrono::year_month_day miladi = Shamsi::ToGregorian(date);
    const int year = static_cast<int>(miladi.year());
    if (year > kLastPythonYear) {
        throw py::value_error(Refused(ShamsiText(date), "its Miladi date " + MiladiText(DayNumber(date)) +
                                                            " is past datetime.date's last year, 9999"));
    }
    return NewMiladiDate(miladi);
}

// --- Constructors ------------------------------------------------------------------

PyObject* DateNew(PyTypeObject* type, PyObject* args, PyObject* keywords) {
    return Guarded([&] {
        static std::array<const char*, 4> names{"year", "month", "day", nullptr};
        PyObject* year = nullptr;
        PyObject* month = nullptr;
        PyObject* day = nullptr;
        if (PyArg_ParseTupleAndKeywords(args, keywords, "OOO:Date", const_cast<char**>(names.data()), &year,
                                        &month, &day) == 0) {
            throw py::error_already_set();
        }
        const Shamsi::Date date = MakeDate(year, month, day);
        if (type == dateType) {
            return NewDate(type, date);
        }
        PyObject* self = Owned(type->tp_alloc(type, 0));
        reinterpret_cast<DateObject*>(self)->date = date;
        reinterpret_cast<DateObject*>(self)->hash = -1;
        return self;
    });
}

void DateDealloc(PyObject* self) {
    PyTypeObject* type = TypeOf(self);
    type->tp_free(self);
    Py_DECREF(type);
}

PyObject* FromGregorian(PyObject* cls, PyObject* value) {
    return Guarded(
        [&] { return NewDate(AsType(cls), DateOfDay(GivenMiladiDay(value, "from_gregorian"), true)); });
}

PyObject* Today(PyObject* cls, PyObject* /*unused*/) {
    return Guarded([&] {
        const py::object today = py::reinterpret_steal<py::object>(Owned(
            PyObject_CallMethod(reinterpret_cast<PyObject*>(PyDateTimeAPI->DateType), "today", nullptr)));
        return NewDate(AsType(cls), DateOfDay(MiladiDay(today.ptr()), true));
    });
}

PyObject* FromTimestamp(PyObject* cls, PyObject* const* args, Py_ssize_t count, PyObject* keywords) {
    return Guarded([&] {
        const auto bound = Bind<2>("fromtimestamp", {"t", "tz"}, 1, args, count, keywords);
        PyObject* zone = bound[1] == nullptr ? Py_None : bound[1];
        const py::object wall = py::reinterpret_steal<py::object>(
            Owned(PyObject_CallMethod(reinterpret_cast<PyObject*>(PyDateTimeAPI->DateTimeType),
                                      "fromtimestamp", "OO", bound[0], zone)));
        return NewDate(AsType(cls), DateOfDay(MiladiDay(wall.ptr()), true));
    });
}

PyObject* FromOrdinal(PyObject* cls, PyObject* ordinal) {
    return Guarded([&] {
        constexpr std::int64_t kFar = std::int64_t{1} << 40;
        const std::int64_t number = std::clamp(Integer(ordinal, "ordinal"), -kFar, kFar);
        return NewDate(AsType(cls), DateOfDay(number - kOrdinalOf1970, true));
    });
}

// "1405-09-17" or "14050917": four digits of year, two of month and day.
PyObject* FromIsoFormat(PyObject* cls, PyObject* text) {
    return Guarded([&] {
        const std::string_view iso = TextArgument(text, "fromisoformat", "date_string");
        const bool extended = iso.size() == 10 && iso[4] == '-' && iso[7] == '-';
        const bool basic = iso.size() == 8;
        std::array<int, 3> fields{};
        bool digits = extended || basic;
        const std::array<std::size_t, 3> starts =
            extended ? std::array<std::size_t, 3>{0, 5, 8} : std::array<std::size_t, 3>{0, 4, 6};
        const std::array<std::size_t, 3> widths{4, 2, 2};
        for (std::size_t field = 0; digits && field < 3; ++field) {
            for (std::size_t i = 0; i < widths[field]; ++i) {
                const char c = iso[starts[field] + i];
                digits = digits && c >= '0' && c <= '9';
                fields[field] = fields[field] * 10 + (c - '0');
            }
        }
        if (!digits) {
            throw py::value_error(Refused(iso, "not of the form YYYY-MM-DD"));
        }
        const Shamsi::ReadError error = DateError(fields[0], fields[1], fields[2]);
        if (error != Shamsi::ReadError::kNone) {
            throw py::value_error(Refused(iso, Shamsi::Describe(error, Shamsi::Calendar::kShamsi)));
        }
        return NewDate(AsType(cls), {fields[0], fields[1], fields[2]});
    });
}

PyObject* Strptime(PyObject* cls, PyObject* const* args, Py_ssize_t count, PyObject* keywords) {
    return Guarded([&] {
        const auto bound = Bind<2>("strptime", {"text", "fmt"}, 2, args, count, keywords);
        const std::string_view text = TextArgument(bound[0], "strptime", "text");
        std::chrono::sys_days day{};
        const Shamsi::ReadError error = ReaderFor(bound[1]).Read(text, day);
        if (error != Shamsi::ReadError::kNone) {
            throw py::value_error(Refused(
                text, error == Shamsi::ReadError::kUnreadable
                          ? "not of the form " + std::string(TextArgument(bound[1], "strptime", "fmt"))
                          : std::string(Shamsi::Describe(error, Shamsi::Calendar::kShamsi))));
        }
        return NewDate(AsType(cls), Shamsi::FromSysDays(day));
    });
}

// --- Methods -----------------------------------------------------------------------

PyObject* ToGregorianMethod(PyObject* self, PyObject* /*unused*/) {
    return Guarded([&] { return GregorianDate(DateOf(self)); });
}

PyObject* ToOrdinal(PyObject* self, PyObject* /*unused*/) {
    return PyLong_FromLongLong(DayNumber(DateOf(self)) + kOrdinalOf1970);
}

// The date as "YYYY-MM-DD" or "YYYY/MM/DD", by the library's formatter
// (which writes these in one step; snprintf took five times as long).
PyObject* Plain(PyObject* self, char separator) {
    return Guarded([&] {
        static const Shamsi::Formatter iso("%Y-%m-%d", Shamsi::Calendar::kShamsi);
        static const Shamsi::Formatter usual("%Y/%m/%d", Shamsi::Calendar::kShamsi);
        const Shamsi::Formatter& formatter = separator == '-' ? iso : usual;
        return Written(formatter, [&](char* out) { return formatter.Write(out, DateOf(self)); });
    });
}

PyObject* IsoFormat(PyObject* self, PyObject* /*unused*/) { return Plain(self, '-'); }

PyObject* Replace(PyObject* self, PyObject* const* args, Py_ssize_t count, PyObject* keywords) {
    return Guarded([&] {
        const auto bound = Bind<3>("replace", {"year", "month", "day"}, 0, args, count, keywords);
        const Shamsi::Date& date = DateOf(self);
        const py::object year =
            bound[0] != nullptr ? py::reinterpret_borrow<py::object>(bound[0]) : py::int_(date.year);
        const py::object month =
            bound[1] != nullptr ? py::reinterpret_borrow<py::object>(bound[1]) : py::int_(date.month);
        const py::object day =
            bound[2] != nullptr ? py::reinterpret_borrow<py::object>(bound[2]) : py::int_(date.day);
        return NewDate(TypeOf(self), MakeDate(year, month, day));
    });
}

int PythonWeekday(const Shamsi::Date& date) {
    return static_cast<int>((Shamsi::Weekday(date).c_encoding() + 6) % 7);
}

PyObject* WeekdayMethod(PyObject* self, PyObject* /*unused*/) {
    return PyLong_FromLong(PythonWeekday(DateOf(self)));
}

PyObject* IsoWeekday(PyObject* self, PyObject* /*unused*/) {
    return PyLong_FromLong(PythonWeekday(DateOf(self)) + 1);
}

PyObject* Add(PyObject* self, PyObject* const* args, Py_ssize_t count, PyObject* keywords) {
    return Guarded([&] {
        const auto bound = Bind<4>("add", {"years", "months", "weeks", "days"}, 0, args, count, keywords);
        const auto amount = [&](std::size_t i, const char* name) {
            return bound[i] == nullptr ? 0 : Integer(bound[i], name);
        };
        const Shamsi::Period period{amount(0, "years"), amount(1, "months"), amount(2, "weeks"),
                                    amount(3, "days")};
        const Shamsi::Date& date = DateOf(self);
        const Shamsi::Date moved = Shamsi::Add(date, period);
        if (!moved.IsValid()) {
            throw py::value_error(
                Refused(ShamsiText(date) + " + " + Shamsi::FormatPeriod(period, Shamsi::Digits::kAscii),
                        ResultOutOfRange()));
        }
        return NewDate(TypeOf(self), moved);
    });
}

PyObject* StrftimeMethod(PyObject* self, PyObject* const* args, Py_ssize_t count, PyObject* keywords) {
    return Guarded([&] {
        const auto bound = Bind<3>("strftime", {"format", "digits", "names"}, 1, args, count, keywords);
        const Shamsi::Formatter& formatter = FormatterFor(bound, "strftime", "format");
        return Written(formatter, [&](char* out) { return formatter.Write(out, DateOf(self)); });
    });
}

PyObject* Format(PyObject* self, PyObject* pattern) {
    return Guarded([&]() -> PyObject* {
        if (TextArgument(pattern, "__format__", "format_spec").empty()) {
            return PyObject_Str(self);
        }
        const Shamsi::Formatter& formatter =
            FormatterFor({pattern, nullptr, nullptr}, "__format__", "format_spec");
        return Written(formatter, [&](char* out) { return formatter.Write(out, DateOf(self)); });
    });
}

PyObject* Reduce(PyObject* self, PyObject* /*unused*/) {
    const Shamsi::Date& date = DateOf(self);
    return Py_BuildValue("O(iii)", TypeOf(self), date.year, date.month, date.day);
}

// --- Attributes ----------------------------------------------------------------------

template <int (*kField)(const Shamsi::Date&)>
PyObject* Field(PyObject* self, void* /*unused*/) {
    return PyLong_FromLong(kField(DateOf(self)));
}

int YearOf(const Shamsi::Date& date) { return date.year; }
int MonthOf(const Shamsi::Date& date) { return date.month; }
int DayOfMonth(const Shamsi::Date& date) { return date.day; }
int DayOfYearOf(const Shamsi::Date& date) { return Shamsi::DayOfYear(date); }
int DaysInMonthOf(const Shamsi::Date& date) { return Shamsi::DaysInMonth(date.year, date.month); }
int QuarterOf(const Shamsi::Date& date) { return (date.month - 1) / 3 + 1; }

PyObject* IsLeapOf(PyObject* self, void* /*unused*/) {
    return PyBool_FromLong(Shamsi::IsLeapYear(DateOf(self).year));
}

// --- Protocols ---------------------------------------------------------------------------

PyObject* Repr(PyObject* self) {
    const Shamsi::Date& date = DateOf(self);
    const std::string name = TypeOf(self) == dateType ? "shamsi.Date" : TypeOf(self)->tp_name;
    return PyUnicode_FromFormat("%s(%d, %d, %d)", name.c_str(), date.year, date.month, date.day);
}

PyObject* Str(PyObject* self) { return Plain(self, '/'); }

// The hash of the datetime.date of the same day, so that the two mix in sets
// and as dict keys; a date past datetime.date's years equals no such date.
Py_hash_t Hash(PyObject* self) {
    auto* date = reinterpret_cast<DateObject*>(self);
    if (date->hash == -1) {
        const std::chrono::year_month_day miladi = Shamsi::ToGregorian(date->date);
        if (static_cast<int>(miladi.year()) <= kLastPythonYear) {
            PyObject* same = PyDate_FromDate(static_cast<int>(miladi.year()),
                                             static_cast<int>(static_cast<unsigned>(miladi.month())),
                                             static_cast<int>(static_cast<unsigned>(miladi.day())));
            if (same == nullptr) {
                return -1;
            }
            date->hash = PyObject_Hash(same);
            Py_DECREF(same);
        } else {
            date->hash = static_cast<Py_hash_t>(DayNumber(date->date));
        }
    }
    return date->hash;
}

PyObject* Compare(PyObject* self, PyObject* other, int operation) {
    const std::optional<std::int64_t> theirs = DayNamed(other);
    if (!theirs) {
        Py_RETURN_NOTIMPLEMENTED;
    }
    const std::int64_t ours = DayNumber(DateOf(self));
    Py_RETURN_RICHCOMPARE(ours, *theirs, operation);
}

// Date + timedelta and timedelta + Date: moved by the timedelta's days.
PyObject* NumberAdd(PyObject* a, PyObject* b) {
    return Guarded([&]() -> PyObject* {
        PyObject* date = IsDate(a) ? a : b;
        PyObject* delta = date == a ? b : a;
        if (!IsDate(date) || !PyDelta_Check(delta)) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        return NewDate(TypeOf(date),
                       DateOfDay(DayNumber(DateOf(date)) + PyDateTime_DELTA_GET_DAYS(delta), false));
    });
}

// Date - timedelta (its days), and the days between two dates, a Date and a
// datetime.date either way round, as a timedelta.
PyObject* NumberSubtract(PyObject* a, PyObject* b) {
    return Guarded([&]() -> PyObject* {
        if (IsDate(a) && PyDelta_Check(b)) {
            return NewDate(TypeOf(a), DateOfDay(DayNumber(DateOf(a)) - PyDateTime_DELTA_GET_DAYS(b), false));
        }
        const std::optional<std::int64_t> first = DayNamed(a);
        const std::optional<std::int64_t> second = DayNamed(b);
        if (!first || !second) {
            Py_RETURN_NOTIMPLEMENTED;
        }
        return NewDelta(*first - *second);
    });
}

// --- The type ------------------------------------------------------------------------------

template <typename Function>
PyCFunction Method(Function function) noexcept {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

constexpr int kFast = METH_FASTCALL | METH_KEYWORDS;

std::array<PyMethodDef, 17> dateMethods{{
    {"from_gregorian", Method(FromGregorian), METH_O | METH_CLASS,
     "from_gregorian($cls, date, /)\n--\n\nThe Shamsi date of a datetime.date (of a datetime, its own wall "
     "date)."},
    {"today", Method(Today), METH_NOARGS | METH_CLASS, "today($cls, /)\n--\n\nToday in the local time zone."},
    {"fromtimestamp", Method(FromTimestamp), kFast | METH_CLASS,
     "fromtimestamp($cls, /, t, tz=None)\n--\n\nThe day of an instant (seconds since 1970-01-01T00:00:00Z, "
     "as "
     "time.time() gives) where tz says (a tzinfo such as zoneinfo.ZoneInfo('Asia/Tehran')), in the local "
     "time zone "
     "when tz is None: datetime.datetime.fromtimestamp(t, tz)'s date, in Shamsi."},
    {"fromordinal", Method(FromOrdinal), METH_O | METH_CLASS,
     "fromordinal($cls, ordinal, /)\n--\n\nThe date of a day counted as datetime.date counts it (0001-01-01 "
     "is 1), "
     "so that Date.fromordinal(d.toordinal()) is the Shamsi date of a datetime.date d."},
    {"fromisoformat", Method(FromIsoFormat), METH_O | METH_CLASS,
     "fromisoformat($cls, date_string, /)\n--\n\nThe date of 'YYYY-MM-DD' or 'YYYYMMDD', as isoformat() "
     "writes "
     "it."},
    {"strptime", Method(Strptime), kFast | METH_CLASS,
     "strptime($cls, /, text, fmt)\n--\n\nThe date a text names in the form of a pattern, with the fields of "
     "`shamsi-date --input-format`: %Y (one digit or more), %m %-m %d %-d (one or two digits), %B, %A, %y "
     "and %j "
     "(which must agree with the date), %%. A blank stands for any run of blanks and tabs, any other "
     "character "
     "for itself. ValueError for a text of another form (\"not of the form FMT\") or no such day."},
    {"to_gregorian", Method(ToGregorianMethod), METH_NOARGS,
     "to_gregorian($self, /)\n--\n\nThe datetime.date of the same day (ValueError past datetime.date's year "
     "9999, from the Shamsi year 9379 on)."},
    {"toordinal", Method(ToOrdinal), METH_NOARGS,
     "toordinal($self, /)\n--\n\nThe day as datetime.date counts it: the same number as to_gregorian()'s."},
    {"isoformat", Method(IsoFormat), METH_NOARGS, "isoformat($self, /)\n--\n\n'YYYY-MM-DD': '1405-09-17'."},
    {"replace", Method(Replace), kFast,
     "replace($self, /, year=None, month=None, day=None)\n--\n\nThe date with the fields given changed; "
     "ValueError for a day that does not exist, as datetime.date.replace."},
    {"weekday", Method(WeekdayMethod), METH_NOARGS,
     "weekday($self, /)\n--\n\nThe day of the week as Python counts it: Monday is 0, Saturday 5, Sunday 6."},
    {"isoweekday", Method(IsoWeekday), METH_NOARGS,
     "isoweekday($self, /)\n--\n\nThe day of the week as ISO counts it: Monday is 1, Sunday 7."},
    {"add", Method(Add), kFast,
     "add($self, /, years=0, months=0, weeks=0, days=0)\n--\n\nThe date moved as `shamsi-date add` moves it: "
     "years and months together as one move of 12 * years + months months that keeps the day of the month (a "
     "day past the end of the month reached becomes its last day), then weeks and days. Date(1405, 6, "
     "31).add(months=1) is Date(1405, 7, 30). ValueError when the result falls outside the years 1-9999."},
    {"strftime", Method(StrftimeMethod), kFast,
     "strftime($self, /, format, digits='ascii', names='iranian')\n--\n\nThe date as text, with the fields "
     "of "
     "`shamsi-date --format`: %Y year (at least four digits), %y its last two digits, %m %d month and day "
     "(two "
     "digits), %-m %-d unpadded, %B month name, %A weekday name, %j day of the year (three digits), %H %M %S "
     "(00 for a date alone), %%. digits: 'ascii' or 'persian'; names: 'iranian' or 'afghan' (Persian weekday "
     "names, the months' Iranian or Afghan names), or 'english' (the months' Latin names, Farvardin ... "
     "Esfand, "
     "and English weekday names). ValueError for a bad format (\"unknown field %q\")."},
    {"__format__", Method(Format), METH_O,
     "__format__($self, format_spec, /)\n--\n\nf'{day:%B %Y}': strftime."},
    {"__reduce__", Method(Reduce), METH_NOARGS, "__reduce__($self, /)\n--\n\nFor pickle."},
    {nullptr, nullptr, 0, nullptr},
}};

std::array<PyGetSetDef, 8> dateAttributes{{
    {"year", Field<YearOf>, nullptr, "The year, 1-9999.", nullptr},
    {"month", Field<MonthOf>, nullptr, "The month, 1 (Farvardin) to 12 (Esfand).", nullptr},
    {"day", Field<DayOfMonth>, nullptr, "The day of the month, 1-31.", nullptr},
    {"day_of_year", Field<DayOfYearOf>, nullptr, "The day of the year, 1-366.", nullptr},
    {"days_in_month", Field<DaysInMonthOf>, nullptr, "The days of the date's month: 31, 30 or 29.", nullptr},
    {"is_leap", IsLeapOf, nullptr, "True when Esfand of the date's year has 30 days.", nullptr},
    {"quarter", Field<QuarterOf>, nullptr,
     "The quarter, 1-4, of three months each: Farvardin, Tir, Mehr and Dey begin them.", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
}};

constexpr const char* kDateDoc = R"(Date(year, month, day)
--

A day of the Shamsi (Iranian solar) calendar, in the years 1-9999: the
Shamsi counterpart of datetime.date.

Month 1 is Farvardin, 12 Esfand. Immutable, hashable and ordered; str()
gives "1405/09/17". A Date equals, orders with and hashes as the
datetime.date of the same day. Raises ValueError for numbers that name no
day ("not a day of the Shamsi calendar", "outside the Shamsi years 1-9999")
and TypeError for anything but integers.)";

std::array<PyType_Slot, 12> dateSlots{{
    {Py_tp_new, reinterpret_cast<void*>(DateNew)},
    {Py_tp_dealloc, reinterpret_cast<void*>(DateDealloc)},
    {Py_tp_repr, reinterpret_cast<void*>(Repr)},
    {Py_tp_str, reinterpret_cast<void*>(Str)},
    {Py_tp_hash, reinterpret_cast<void*>(Hash)},
    {Py_tp_richcompare, reinterpret_cast<void*>(Compare)},
    {Py_nb_add, reinterpret_cast<void*>(NumberAdd)},
    {Py_nb_subtract, reinterpret_cast<void*>(NumberSubtract)},
    {Py_tp_methods, dateMethods.data()},
    {Py_tp_getset, dateAttributes.data()},
    {Py_tp_doc, const_cast<char*>(kDateDoc)},
    {0, nullptr},
}};

PyType_Spec dateSpec{"shamsi.Date", sizeof(DateObject), 0, Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE,
                     dateSlots.data()};

// --- Module functions --------------------------------------------------------------------

PyObject* Parse(PyObject* /*module*/, PyObject* text) {
    return Guarded([&] {
        const std::string_view utf8 = Utf8(text, "parse");
        std::chrono::sys_days day{};
        const Shamsi::ReadError error = ReadText(utf8, day);
        if (error != Shamsi::ReadError::kNone) {
            throw py::value_error(Refused(utf8, Shamsi::Describe(error, Shamsi::Calendar::kShamsi)));
        }
        return NewDate(dateType, Shamsi::FromSysDays(day));
    });
}

// The wall time of a datetime, and its offset from UTC when it is aware
// (whole seconds); midnight and no offset for a date.
Shamsi::TimeOfDay WallTime(PyObject* value) {
    Shamsi::TimeOfDay time;
    if (!PyDateTime_Check(value)) {
        return time;
    }
    time.hour = PyDateTime_DATE_GET_HOUR(value);
    time.minute = PyDateTime_DATE_GET_MINUTE(value);
    time.second = PyDateTime_DATE_GET_SECOND(value);
    const py::object offset =
        py::reinterpret_steal<py::object>(Owned(PyObject_CallMethod(value, "utcoffset", nullptr)));
    if (PyDelta_Check(offset.ptr())) {
        time.hasOffset = true;
        time.offsetSeconds =
            PyDateTime_DELTA_GET_DAYS(offset.ptr()) * static_cast<int>(Shamsi::kSecondsPerDay) +
            PyDateTime_DELTA_GET_SECONDS(offset.ptr());
    }
    return time;
}

PyObject* Strftime(PyObject* /*module*/, PyObject* const* args, Py_ssize_t count, PyObject* keywords) {
    return Guarded([&] {
        const auto bound = Bind<4>("strftime", {"dt", "fmt", "digits", "names"}, 2, args, count, keywords);
        PyObject* value = bound[0];
        const std::int64_t dayNumber =
            IsDate(value) ? DayNumber(DateOf(value)) : GivenMiladiDay(value, "strftime");
        const Shamsi::Date date = DateOfDay(dayNumber, true);
        const Shamsi::TimeOfDay time = WallTime(value);
        const Shamsi::Formatter& formatter = FormatterFor({bound[1], bound[2], bound[3]}, "strftime", "fmt");
        return Written(formatter,
                       [&](char* out) { return formatter.Write(out, Shamsi::ToSysDays(date), time); });
    });
}

std::array<PyMethodDef, 3> moduleFunctions{{
    {"parse", Method(Parse), METH_O,
     "parse(text, /)\n--\n\nThe Date a text names, in any form `shamsi-date to-miladi` reads: Y/M/D or Y-M-D "
     "with the full year, D MONTH Y with the month's Iranian, Afghan or Latin name, either after a weekday "
     "name "
     "(which must be the date's), with a time of day after it if any; ASCII, Persian or Arabic-Indic digits. "
     "ValueError with the reason for anything else, TypeError for anything but a str."},
    {"strftime", Method(Strftime), kFast,
     "strftime(dt, fmt, digits='ascii', names='iranian')\n--\n\nA datetime.datetime (naive or aware), a "
     "datetime.date or a Date as text: the Shamsi date of its own wall date, and its wall time, with the "
     "fields "
     "of Date.strftime and %H %M %S (two digits each) and %z (the offset from UTC, +03:30, or +03:25:44 "
     "where it "
     "has seconds; nothing for a naive datetime or a date). A date alone is at 00:00:00."},
    {nullptr, nullptr, 0, nullptr},
}};

const Shamsi::Date& ArgumentDate(py::handle value, const char* function) {
    if (!IsDate(value.ptr())) {
        throw py::type_error(std::string(function) + " takes two shamsi.Date, not " +
                             TypeOf(value.ptr())->tp_name);
    }
    return DateOf(value.ptr());
}

}  // namespace

void RegisterDates(py::module_& module) {
    PyDateTime_IMPORT;
    if (PyDateTimeAPI == nullptr) {
        throw py::error_already_set();
    }
    PyTypeObject* miladi = PyDateTimeAPI->DateType;
    plainMiladiDates = miladi->tp_alloc == PyType_GenericAlloc && miladi->tp_free == PyObject_Free &&
                       !PyType_IS_GC(miladi) && miladi->tp_basicsize == sizeof(PyDateTime_Date) &&
                       miladi->tp_itemsize == 0;
    dateType = reinterpret_cast<PyTypeObject*>(Owned(PyType_FromSpec(&dateSpec)));
    const py::object type = py::reinterpret_borrow<py::object>(reinterpret_cast<PyObject*>(dateType));
    type.attr("min") = py::reinterpret_steal<py::object>(NewDate(dateType, {Shamsi::kFirstYear, 1, 1}));
    type.attr("max") = py::reinterpret_steal<py::object>(
        NewDate(dateType, {Shamsi::kLastYear, Shamsi::kMonthsInYear,
                           Shamsi::DaysInMonth(Shamsi::kLastYear, Shamsi::kMonthsInYear)}));
    type.attr("resolution") = py::reinterpret_steal<py::object>(NewDelta(1));
    module.add_object("Date", type);
    if (PyModule_AddFunctions(module.ptr(), moduleFunctions.data()) != 0) {
        throw py::error_already_set();
    }

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
    module.def("_between", [](py::handle a, py::handle b) {
        const Shamsi::Period period = Shamsi::Between(ArgumentDate(a, "between"), ArgumentDate(b, "between"));
        return py::make_tuple(period.years, period.months, period.days);
    });
}

}  // namespace ShamsiPython
