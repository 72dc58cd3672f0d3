// What the files of the native module shamsi._shamsi share: the messages of
// its errors, the checks of numbers and texts, and the registration of each
// file's functions on the module.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include <shamsi/date.h>
#include <shamsi/text.h>

namespace ShamsiPython {

namespace py = pybind11;

// numpy's NaT, as its int64 count.
inline constexpr std::int64_t kNaT = std::numeric_limits<std::int64_t>::min();
// No index: nothing was refused.
inline constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// --- Messages -------------------------------------------------------------------

// "'TEXT': REASON".
std::string Refused(std::string_view text, std::string_view reason);
// "1405/09/17"; any numbers, for messages about values that are no date.
std::string NumbersText(std::int64_t year, std::int64_t month, std::int64_t day);
// A day as a Miladi "YYYY-MM-DD", or "day N from 1970-01-01" far outside.
std::string MiladiText(std::int64_t dayNumber);
std::string ShamsiText(const Shamsi::Date& date);
// "outside 0622/03/21-10621/03/19 (the Shamsi years 1-9999)".
std::string_view MiladiOutOfRange();
// "the result falls outside the Shamsi years 1-9999".
std::string ResultOutOfRange();

// --- Numbers and days -------------------------------------------------------------

// Why numbers name no Shamsi date; ReadError::kNone for a real day.
Shamsi::ReadError DateError(std::int64_t year, std::int64_t month, std::int64_t day);
std::chrono::sys_days DayOf(std::int64_t dayNumber);
std::int64_t DayNumber(const Shamsi::Date& date);
// A Python integer (or anything with __index__); TypeError naming the
// argument otherwise.
std::int64_t Integer(py::handle value, const char* name);

// --- Texts ------------------------------------------------------------------------

Shamsi::Digits DigitsNamed(const std::string& digits);
Shamsi::MonthNames NamesNamed(const std::string& names);
// A Shamsi formatter; ValueError for a bad format, digits or names.
Shamsi::Formatter MakeFormatter(const std::string& format, const std::string& digits,
                                const std::string& names);
// A Shamsi date in any of the usual forms, a time of day after it passed over.
Shamsi::ReadError ReadText(std::string_view text, std::chrono::sys_days& day);
// The UTF-8 of a str (kept by the object); TypeError for anything else.
std::string_view Utf8(py::handle text, const char* what);
// Writes the code points of valid UTF-8 (what a formatter writes) at out,
// one for each character, as Char (which must hold the largest); how many.
template <typename Char>
std::size_t DecodeUtf8(std::string_view text, Char* out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < size;) {
        const unsigned lead = bytes[i];
        if (lead < 0x80U) {
            out[count++] = static_cast<Char>(lead);
            ++i;
            continue;
        }
        const std::size_t length = std::min<std::size_t>(lead >= 0xF0U ? 4 : lead >= 0xE0U ? 3 : 2, size - i);
        std::uint32_t code = lead & (0x7FU >> length);
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6U) | (bytes[i + k] & 0x3FU);
        }
        out[count++] = static_cast<Char>(code);
        i += length;
    }
    return count;
}

// --- Registration -------------------------------------------------------------------

// shamsi.Date and the functions of one value: parse, is_leap, days_in_month,
// strftime, _between.
void RegisterDates(py::module_& module);
// The array functions' native halves: _to_shamsi, _from_shamsi, _format, ...
void RegisterArrays(py::module_& module);

}  // namespace ShamsiPython
