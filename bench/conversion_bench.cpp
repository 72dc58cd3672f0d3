// Speed of the three conversion routines, each next to the same text-to-text
// conversion done with ICU's Persian calendar, over every day of the Shamsi
// years 1300-1399. After the timings it prints, per routine, how many times
// faster ours is than the ICU path.
//
// The ICU path is kept as lean as a careful ICU user would write it: the
// calendars are created once, the text is read by fixed positions without
// checks, and the result is formatted by hand with the same name tables. Only
// the calendar work differs. Before anything is timed, both paths are run
// over every day and must give identical texts, so they do the same job.
#include <benchmark/benchmark.h>

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <iomanip>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "module1.h"
#include "services.h"

namespace {

using Runtime::Text;

// Today is never asked for (every input is a full date), and valid dates
// show no message; both are counted so that a run that strays is refused.
class QuietEnvironment final : public Runtime::Environment {
public:
    [[nodiscard]] Runtime::Date Today() const override {
        ++todayCalls;
        return {2003, 4, 1};
    }
    void MessageBox(const Text& /*text*/) override { ++messages; }

    mutable long todayCalls = 0;
    long messages = 0;
};

// One day as the program's two text forms.
struct Day {
    Text shamsi;  // "YY/MM/DD"
    Text miladi;  // "YYYY/MM/DD"
};

constexpr int kNoon = 12;

void Check(UErrorCode status, const char* what) {
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("ICU: ") + what + ": " + u_errorName(status));
    }
}

std::unique_ptr<icu::Calendar> MakeCalendar(const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone("UTC"), icu::Locale(locale), status));
    Check(status, "calendar");
    return calendar;
}

int Field(const icu::Calendar& calendar, UCalendarDateFields field) {
    UErrorCode status = U_ZERO_ERROR;
    const int value = calendar.get(field, status);
    Check(status, "field");
    return value;
}

// The two calendars of the ICU path, made once.
struct IcuCalendars {
    std::unique_ptr<icu::Calendar> persian = MakeCalendar("fa_IR@calendar=persian");
    std::unique_ptr<icu::Calendar> gregorian = MakeCalendar("en_US@calendar=gregorian");
};

// Moves the moment of one calendar into the other.
void CopyMoment(const icu::Calendar& from, icu::Calendar& to) {
    UErrorCode status = U_ZERO_ERROR;
    const UDate moment = from.getTime(status);
    Check(status, "getTime");
    to.setTime(moment, status);
    Check(status, "setTime");
}

void AppendNumber(Text& text, int number, int minDigits) {
    std::array<char32_t, 12> digits{};
    int count = 0;
    do {
        digits[static_cast<std::size_t>(count++)] = static_cast<char32_t>(U'0' + number % 10);
        number /= 10;
    } while (number > 0 || count < minDigits);
    while (count > 0) {
        text.push_back(digits[static_cast<std::size_t>(--count)]);
    }
}

int Digits(const Text& text, std::size_t start, std::size_t count) {
    int value = 0;
    for (std::size_t i = start; i < start + count; ++i) {
        value = value * 10 + static_cast<int>(text[i] - U'0');
    }
    return value;
}

// The words of the long Shamsi form and of the English wording, as the
// program writes them.
constexpr std::array<Runtime::TextView, 7> kWeekdayNames = {U"يكشنبه",  U"دوشنبه", U"سه شنبه", U"چهارشنبه",
                                                            U"پنجشنبه", U"جمعه",   U"شنبه"};
constexpr std::array<Runtime::TextView, 12> kShamsiMonthNames = {U"فروردين", U"ارديبهشت", U"خرداد", U"تير",
                                                                 U"مرداد",   U"شهريور",   U"مهر",   U"آبان",
                                                                 U"آذر",     U"دي",       U"بهمن",  U"اسفند"};
constexpr std::array<Runtime::TextView, 12> kEnglishMonthNames = {
    U" January ", U" February ", U" March ",     U" April ",   U" May ",      U" June ",
    U" July ",    U" August ",   U" September ", U" October ", U" November ", U" December "};

// "YY/MM/DD" to "YYYY/MM/DD".
Text IcuShamsiToMiladi(const Text& shamsi, IcuCalendars& icu) {
    icu.persian->clear();
    icu.persian->set(1300 + Digits(shamsi, 0, 2), Digits(shamsi, 3, 2) - 1, Digits(shamsi, 6, 2), kNoon, 0,
                     0);
    CopyMoment(*icu.persian, *icu.gregorian);
    Text result;
    result.reserve(10);
    AppendNumber(result, Field(*icu.gregorian, UCAL_YEAR), 4);
    result.push_back(U'/');
    AppendNumber(result, Field(*icu.gregorian, UCAL_MONTH) + 1, 2);
    result.push_back(U'/');
    AppendNumber(result, Field(*icu.gregorian, UCAL_DATE), 2);
    return result;
}

// "YYYY/MM/DD" to "weekday  day month  year".
Text IcuMiladiToShamsiLong(const Text& miladi, IcuCalendars& icu) {
    icu.gregorian->clear();
    icu.gregorian->set(Digits(miladi, 0, 4), Digits(miladi, 5, 2) - 1, Digits(miladi, 8, 2), kNoon, 0, 0);
    CopyMoment(*icu.gregorian, *icu.persian);
    Text result(kWeekdayNames[static_cast<std::size_t>(Field(*icu.persian, UCAL_DAY_OF_WEEK) - 1)]);
    result += U"  ";
    AppendNumber(result, Field(*icu.persian, UCAL_DATE), 1);
    result.push_back(U' ');
    result += kShamsiMonthNames[static_cast<std::size_t>(Field(*icu.persian, UCAL_MONTH))];
    result += U"  ";
    AppendNumber(result, Field(*icu.persian, UCAL_YEAR), 1);
    return result;
}

// "YYYY/MM/DD" to "DD Month YYYY".
Text IcuMiladiToString(const Text& miladi, IcuCalendars& icu) {
    icu.gregorian->clear();
    icu.gregorian->set(Digits(miladi, 0, 4), Digits(miladi, 5, 2) - 1, Digits(miladi, 8, 2), kNoon, 0, 0);
    Text result;
    result.reserve(20);
    AppendNumber(result, Field(*icu.gregorian, UCAL_DATE), 2);
    result += kEnglishMonthNames[static_cast<std::size_t>(Field(*icu.gregorian, UCAL_MONTH))];
    AppendNumber(result, Field(*icu.gregorian, UCAL_YEAR), 4);
    return result;
}

// Ours, called the way the window calls them: on a copy of the text.
Text OursShamsiToMiladi(const Text& shamsi, QuietEnvironment& env) {
    Text copy = shamsi;
    return Module1::ShamsiToMiladi(copy, env);
}

Text OursMiladiToShamsiLong(const Text& miladi, QuietEnvironment& env) {
    Text copy = miladi;
    return Module1::MiladiToShamsi(copy, false, env);
}

Text OursMiladiToString(const Text& miladi, QuietEnvironment& env) {
    Text copy = miladi;
    return Module1::MiladiToString(copy, env);
}

// Every day from 1 Farvardin 1300 to the last of Esfand 1399, walked with ICU.
std::vector<Day> AllDays() {
    IcuCalendars icu;
    icu.persian->clear();
    icu.persian->set(1300, 0, 1, kNoon, 0, 0);
    std::vector<Day> days;
    while (Field(*icu.persian, UCAL_YEAR) < 1400) {
        CopyMoment(*icu.persian, *icu.gregorian);
        Day day;
        AppendNumber(day.shamsi, Field(*icu.persian, UCAL_YEAR) % 100, 2);
        day.shamsi.push_back(U'/');
        AppendNumber(day.shamsi, Field(*icu.persian, UCAL_MONTH) + 1, 2);
        day.shamsi.push_back(U'/');
        AppendNumber(day.shamsi, Field(*icu.persian, UCAL_DATE), 2);
        AppendNumber(day.miladi, Field(*icu.gregorian, UCAL_YEAR), 4);
        day.miladi.push_back(U'/');
        AppendNumber(day.miladi, Field(*icu.gregorian, UCAL_MONTH) + 1, 2);
        day.miladi.push_back(U'/');
        AppendNumber(day.miladi, Field(*icu.gregorian, UCAL_DATE), 2);
        days.push_back(std::move(day));

        UErrorCode status = U_ZERO_ERROR;
        icu.persian->add(UCAL_DATE, 1, status);
        Check(status, "add");
    }
    return days;
}

const std::vector<Day>& Days() {
    static const std::vector<Day> days = AllDays();
    return days;
}

using Input = Text Day::*;

// One routine, as ours and as the ICU path.
struct Routine {
    const char* name;
    Input input;
    Text (*ours)(const Text&, QuietEnvironment&);
    Text (*icu)(const Text&, IcuCalendars&);
};

const std::array<Routine, 3> kRoutines = {{
    {"ShamsiToMiladi", &Day::shamsi, OursShamsiToMiladi, IcuShamsiToMiladi},
    {"MiladiToShamsi_long", &Day::miladi, OursMiladiToShamsiLong, IcuMiladiToShamsiLong},
    {"MiladiToString", &Day::miladi, OursMiladiToString, IcuMiladiToString},
}};

// Runs both paths over every day; they must agree text for text and ours
// must stay silent. Returns false, after saying why, when they do not.
bool SameResults(const Routine& routine) {
    QuietEnvironment env;
    IcuCalendars icu;
    for (const Day& day : Days()) {
        const Text& input = day.*routine.input;
        const Text ours = routine.ours(input, env);
        const Text theirs = routine.icu(input, icu);
        if (ours.empty() || ours != theirs) {
            (void)std::fprintf(stderr, "%s: %s gives \"%s\" ours, \"%s\" ICU\n", routine.name,
                               Runtime::Utf8FromText(input).c_str(), Runtime::Utf8FromText(ours).c_str(),
                               Runtime::Utf8FromText(theirs).c_str());
            return false;
        }
    }
    if (env.messages != 0 || env.todayCalls != 0) {
        (void)std::fprintf(stderr, "%s: %ld message boxes and %ld reads of today for valid dates\n",
                           routine.name, env.messages, env.todayCalls);
        return false;
    }
    return true;
}

void SweepOurs(benchmark::State& state, const Routine& routine) {
    QuietEnvironment env;
    const std::vector<Day>& days = Days();
    for (auto _ : state) {
        for (const Day& day : days) {
            Text result = routine.ours(day.*routine.input, env);
            benchmark::DoNotOptimize(result.data());
        }
    }
    if (env.messages != 0) {
        state.SkipWithError("a valid date showed a message box");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(days.size()));
}

void SweepIcu(benchmark::State& state, const Routine& routine) {
    IcuCalendars icu;
    const std::vector<Day>& days = Days();
    for (auto _ : state) {
        for (const Day& day : days) {
            Text result = routine.icu(day.*routine.input, icu);
            benchmark::DoNotOptimize(result.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(days.size()));
}

// The console report, followed by the ICU / ours ratio of every routine.
// CPU time is compared, so that other load on the machine does not count;
// with repetitions the medians are compared, otherwise the single runs.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failed_ = true;
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single) {
                nanoseconds_[run.run_name.function_name] = run.GetAdjustedCPUTime() * Scale(run.time_unit);
            }
        }
    }

    void Finalize() override {
        std::ostream& out = GetOutputStream();
        out << "\nICU CPU time / our CPU time per sweep of " << Days().size()
            << " dates (target: 5x or more)\n";
        for (const Routine& routine : kRoutines) {
            const std::string name = routine.name;
            const auto ours = nanoseconds_.find(name + "/ours");
            const auto icu = nanoseconds_.find(name + "/icu");
            if (ours == nanoseconds_.end() || icu == nanoseconds_.end()) {
                continue;  // filtered out
            }
            const double ratio = icu->second / ours->second;
            out << "  " << std::left << std::setw(20) << name << std::right << std::fixed
                << std::setprecision(2) << std::setw(8) << ours->second / 1e6 << " ms ours " << std::setw(8)
                << icu->second / 1e6 << " ms ICU " << std::setw(7) << ratio << "x  "
                << (ratio >= 5.0 ? "met" : "MISSED") << '\n';
        }
    }

    [[nodiscard]] bool Failed() const { return failed_; }

private:
    static double Scale(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kSecond:
                return 1e9;
            case benchmark::kMillisecond:
                return 1e6;
            case benchmark::kMicrosecond:
                return 1e3;
            case benchmark::kNanosecond:
                return 1.0;
        }
        return 1.0;
    }

    std::map<std::string, double> nanoseconds_;
    bool failed_ = false;
};

}  // namespace

namespace {

int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }

    constexpr std::size_t kDaysInCentury = 36525;
    if (Days().size() != kDaysInCentury) {
        (void)std::fprintf(stderr, "expected %zu days in 1300-1399, ICU walked %zu\n", kDaysInCentury,
                           Days().size());
        return 1;
    }
    for (const Routine& routine : kRoutines) {
        if (!SameResults(routine)) {
            return 1;
        }
    }

    for (const Routine& routine : kRoutines) {
        const std::string name = routine.name;
        benchmark::RegisterBenchmark((name + "/ours").c_str(), SweepOurs, routine)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/icu").c_str(), SweepIcu, routine)
            ->Unit(benchmark::kMillisecond);
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.Failed() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return RunBenchmarks(argc, argv);
    } catch (const std::exception& error) {
        (void)std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
