// The batch benchmark's reference: dates on standard input, one per line,
// converted as `shamsi-date to-miladi` (the default) or `shamsi-date
// to-shamsi` (with the argument to-shamsi) does, in "YYYY/MM/DD" with a time
// after the date written back as it was read, but with ICU's Persian
// calendar for the arithmetic between the calendars. The reading (large
// blocks, lines found with memchr, the library's date reader, shamsi-date's
// reader of times) and the writing (the library's formatter, large blocks)
// are the same as shamsi-date's; a bad line gives an empty line. ICU 72 keeps
// the 33-year rule alone, so its dates are a day off shamsi-date's in the
// years the astronomical corrections move (1503 in the benchmark's input).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include <shamsi/text.h>
#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include "date_input.h"

namespace {

std::unique_ptr<icu::Calendar> MakeCalendar(const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone("UTC"), icu::Locale(locale), status));
    if (U_FAILURE(status)) {
        std::cerr << "ICU calendar unavailable\n";
        std::exit(1);
    }
    auto* gregorian = dynamic_cast<icu::GregorianCalendar*>(calendar.get());
    if (gregorian != nullptr) {
        gregorian->setGregorianChange(-1e300, status);
    }
    return calendar;
}

}  // namespace

int main(int argc, char** argv) {
    const bool toShamsi =
        argc > 1 && std::string_view(argv[1]) == "to-shamsi";  // NOLINT(*-pointer-arithmetic)
    const std::unique_ptr<icu::Calendar> persian = MakeCalendar("fa_IR@calendar=persian");
    const std::unique_ptr<icu::Calendar> gregorian = MakeCalendar("en_US@calendar=gregorian");
    const Shamsi::Reader reader(toShamsi ? Shamsi::Calendar::kMiladi : Shamsi::Calendar::kShamsi);
    const Shamsi::Formatter formatter(toShamsi ? Shamsi::Calendar::kShamsi : Shamsi::Calendar::kMiladi);

    constexpr std::size_t kBlock = std::size_t{1} << 18;
    std::vector<char> input(kBlock);
    std::vector<char> output(kBlock + formatter.MaxSize() + kBlock + 1);
    std::size_t kept = 0;  // bytes of an unfinished line at the start of input
    std::size_t used = 0;
    for (;;) {
        const std::size_t got = std::fread(input.data() + kept, 1, input.size() - kept, stdin);
        const std::size_t size = kept + got;
        const char* p = input.data();
        const char* const end = p + size;
        for (;;) {
            const auto* newline =
                static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (newline == nullptr) {
                break;
            }
            const std::string_view line(p, static_cast<std::size_t>(newline - p));
            std::chrono::sys_days day{};
            std::size_t dateEnd = 0;
            if (reader.Read(line, day, dateEnd) == Shamsi::ReadError::kNone &&
                (dateEnd == line.size() ||
                 Shamsi::TimeOfDayLength(line.substr(dateEnd)) == line.size() - dateEnd)) {
                UErrorCode status = U_ZERO_ERROR;
                char* out = output.data() + used;
                if (toShamsi) {
                    const std::chrono::year_month_day read =
                        Shamsi::Detail::CivilFromDays(day.time_since_epoch().count());
                    gregorian->clear();
                    gregorian->set(static_cast<int>(read.year()),
                                   static_cast<int>(static_cast<unsigned>(read.month())) - 1,
                                   static_cast<int>(static_cast<unsigned>(read.day())));
                    persian->setTime(gregorian->getTime(status), status);
                    const Shamsi::Date shamsi{persian->get(UCAL_YEAR, status),
                                              persian->get(UCAL_MONTH, status) + 1,
                                              persian->get(UCAL_DATE, status)};
                    out = formatter.Write(out, shamsi);
                } else {
                    const Shamsi::Date date = Shamsi::FromSysDays(day);
                    persian->clear();
                    persian->set(date.year, date.month - 1, date.day);
                    gregorian->setTime(persian->getTime(status), status);
                    const std::chrono::year_month_day miladi{
                        std::chrono::year{gregorian->get(UCAL_YEAR, status)},
                        std::chrono::month{static_cast<unsigned>(gregorian->get(UCAL_MONTH, status) + 1)},
                        std::chrono::day{static_cast<unsigned>(gregorian->get(UCAL_DATE, status))}};
                    out = formatter.Write(out, miladi);
                }
                const std::string_view time = line.substr(dateEnd);
                std::memcpy(out, time.data(), time.size());
                used = static_cast<std::size_t>(out + time.size() - output.data());
            }
            output[used++] = '\n';
            if (used >= kBlock) {
                if (std::fwrite(output.data(), 1, used, stdout) != used) {
                    return 1;
                }
                used = 0;
            }
            p = newline + 1;
        }
        kept = static_cast<std::size_t>(end - p);
        std::memmove(input.data(), p, kept);
        if (got == 0 || kept == input.size()) {
            break;
        }
    }
    const bool written = std::fwrite(output.data(), 1, used, stdout) == used;
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}
