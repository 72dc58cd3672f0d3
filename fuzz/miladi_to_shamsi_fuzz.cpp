// MiladiToShamsi, in both forms, on any text.
//
// It never shows a message. A text that cannot be read as a date gives the
// empty text; any other gives the long form "weekday  day month  year" or the
// numeric form "YY/MM/D" of the Shamsi day that counting from 1 Farvardin
// finds, for every Gregorian year the date services read (1 to 32767), not
// only the years the window produces.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "module1.h"

namespace {

using Fuzz::Text;

Text Decimal(std::int64_t n) { return Fuzz::FromAscii(std::to_string(n)); }

// Characters 3 and 4 of the year's digits: the last two of a four-digit year.
Text NumericYear(std::int64_t year) {
    const std::string digits = std::to_string(year);
    return Fuzz::FromAscii(digits.size() > 2 ? digits.substr(2, 2) : std::string());
}

Text NumericForm(const Fuzz::ShamsiDate& shamsi) {
    const std::string month = (shamsi.month < 10 ? "0" : "") + std::to_string(shamsi.month);
    return NumericYear(shamsi.year) + U"/" + Fuzz::FromAscii(month) + U"/" + Decimal(shamsi.day);
}

// A non-negative number is written after a blank of its own, so two blanks
// stand after the weekday name and after the month name.
Text LongForm(const Fuzz::ShamsiDate& shamsi, int weekdayIndex) {
    const auto spaced = [](std::int64_t n) { return (n >= 0 ? Text(U" ") : Text()) + Decimal(n); };
    return Text(Fuzz::kWeekdayNames.at(static_cast<std::size_t>(weekdayIndex))) + U" " + spaced(shamsi.day) +
           U" " + Text(Fuzz::kShamsiMonthNames.at(static_cast<std::size_t>(shamsi.month - 1))) + U" " +
           spaced(shamsi.year);
}

// "YYYY/MM/DD" in ASCII digits for a real date of years 1000-9999.
bool IsPlainDateText(const Text& text) {
    if (text.size() != 10 || text[4] != U'/' || text[7] != U'/') {
        return false;
    }
    std::array<int, 3> fields = {0, 0, 0};
    const std::array<std::size_t, 3> starts = {0, 5, 8};
    const std::array<std::size_t, 3> lengths = {4, 2, 2};
    for (std::size_t f = 0; f < 3; ++f) {
        for (std::size_t i = starts.at(f); i < starts.at(f) + lengths.at(f); ++i) {
            if (text[i] < U'0' || text[i] > U'9') {
                return false;
            }
            fields.at(f) = fields.at(f) * 10 + static_cast<int>(text[i] - U'0');
        }
    }
    return fields[0] >= 1000 && fields[2] >= 1 &&
           fields[2] <= Runtime::DaysInGregorianMonth(fields[0], fields[1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text input = Fuzz::InputText(data, size);
    const Fuzz::Checker check("MiladiToShamsi", input);
    for (const bool numericForm : {false, true}) {
        Fuzz::RecordingEnvironment env;
        Text argument = input;
        const Text result = Module1::MiladiToShamsi(argument, numericForm, env);

        check.Require(env.Messages().empty(), "never shows a message");
        if (input.empty()) {
            check.Require(argument == Fuzz::FromAscii("2003/04/07"),
                          "the empty text becomes today's date text", argument);
        } else {
            check.Require(argument == input, "a date text is left as it was", argument);
        }

        const auto date = Runtime::DateFromText(argument);
        if (!date) {
            check.Require(!IsPlainDateText(argument), "a plain YYYY/MM/DD of a real date is read as a date");
            check.Require(result.empty(), "a text that is no date gives the empty text", result);
            continue;
        }
        check.Require(date->day >= 1 && date->day <= Runtime::DaysInGregorianMonth(date->year, date->month),
                      "the date services read real dates only");
        const std::int64_t dayNumber = Runtime::DaysFromCivil(date->year, date->month, date->day);
        const Fuzz::ShamsiDate shamsi = Fuzz::ShamsiOfDayNumber(dayNumber);
        const Text expected =
            numericForm ? NumericForm(shamsi) : LongForm(shamsi, Fuzz::WeekdayIndexSundayFirst(dayNumber));
        check.Require(result == expected,
                      numericForm ? "the numeric form YY/MM/D of the right Shamsi day"
                                  : "the long form 'weekday  day month  year' of the right Shamsi day",
                      result);
    }
    return 0;
}
