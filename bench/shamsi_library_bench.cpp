// The Shamsi library's day-number conversions, both directions, against ICU's
// Persian calendar and Howard Hinnant's date/solar_hijri.h (a 2820-year
// cycle: speed only, its dates differ from ours and ICU's in some years,
// 1404 among them). Each iteration converts one date, so the time per
// iteration is the time per date. The dates run through every day of the
// Shamsi years 1300-1479 in order, and in the *Mixed benchmarks through the
// same days shuffled, as a column of dates in a table comes; ICU must agree
// with ours on all of them before anything is timed.
//
//   scripts/bench-cli.sh   (runs this next to the batch benchmark)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <vector>

#include <date/solar_hijri.h>
#include <shamsi/date.h>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

namespace {

using std::chrono::sys_days;

constexpr std::size_t kDates = std::size_t{1} << 16;  // 65,536 days, about 179 years
constexpr std::size_t kMask = kDates - 1;
constexpr double kMillisecondsPerDay = 86400000.0;

const std::vector<sys_days>& Days() {
    static const std::vector<sys_days> days = [] {
        std::vector<sys_days> all;
        all.reserve(kDates);
        const sys_days first = Shamsi::ToSysDays({1300, 1, 1});
        for (std::size_t i = 0; i < kDates; ++i) {
            all.push_back(first + std::chrono::days{static_cast<std::chrono::days::rep>(i)});
        }
        return all;
    }();
    return days;
}

// The same days shuffled, in an order that is the same in every run (a
// fixed seed, on purpose).
const std::vector<sys_days>& MixedDays() {
    static const std::vector<sys_days> days = [] {
        std::vector<sys_days> mixed = Days();
        std::shuffle(mixed.begin(), mixed.end(), std::mt19937(1404));  // NOLINT(cert-msc32-c,cert-msc51-cpp)
        return mixed;
    }();
    return days;
}

const std::vector<Shamsi::Date>& Dates() {
    static const std::vector<Shamsi::Date> dates = [] {
        std::vector<Shamsi::Date> all;
        all.reserve(kDates);
        for (const sys_days day : Days()) {
            all.push_back(Shamsi::FromSysDays(day));
        }
        return all;
    }();
    return dates;
}

std::unique_ptr<icu::Calendar> PersianCalendar() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(
        icu::TimeZone::createTimeZone("UTC"), icu::Locale("fa_IR@calendar=persian"), status));
    if (U_FAILURE(status)) {
        std::cerr << "ICU's Persian calendar is unavailable\n";
        std::exit(1);
    }
    return calendar;
}

Shamsi::Date IcuShamsi(icu::Calendar& persian, sys_days day) {
    UErrorCode status = U_ZERO_ERROR;
    persian.setTime(static_cast<double>(day.time_since_epoch().count()) * kMillisecondsPerDay, status);
    return {persian.get(UCAL_YEAR, status), persian.get(UCAL_MONTH, status) + 1,
            persian.get(UCAL_DATE, status)};
}

sys_days IcuDays(icu::Calendar& persian, const Shamsi::Date& date) {
    UErrorCode status = U_ZERO_ERROR;
    persian.clear();
    persian.set(date.year, date.month - 1, date.day);
    const double moment = persian.getTime(status);
    return sys_days{std::chrono::days{static_cast<std::chrono::days::rep>(moment / kMillisecondsPerDay)}};
}

date::sys_days HinnantDays(sys_days day) {
    return date::sys_days{date::days{static_cast<date::days::rep>(day.time_since_epoch().count())}};
}

// Google Benchmark's callback type takes the state as non-const.
// cppcheck-suppress constParameterCallback
void OursToShamsi(benchmark::State& state, const std::vector<sys_days>& (*daysToConvert)()) {
    const std::vector<sys_days>& days = daysToConvert();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Shamsi::FromSysDays(days[i++ & kMask]));
    }
}

// Google Benchmark's callback type takes the state as non-const.
// cppcheck-suppress constParameterCallback
void OursToDays(benchmark::State& state) {
    const std::vector<Shamsi::Date>& dates = Dates();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Shamsi::ToSysDays(dates[i++ & kMask]));
    }
}

// Google Benchmark's callback type takes the state as non-const.
// cppcheck-suppress constParameterCallback
void HinnantToShamsi(benchmark::State& state, const std::vector<sys_days>& (*daysToConvert)()) {
    const std::vector<sys_days>& days = daysToConvert();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(solar_hijri::year_month_day{HinnantDays(days[i++ & kMask])});
    }
}

// Google Benchmark's callback type takes the state as non-const.
// cppcheck-suppress constParameterCallback
void HinnantToDays(benchmark::State& state) {
    std::vector<solar_hijri::year_month_day> dates;
    dates.reserve(kDates);
    for (const sys_days day : Days()) {
        dates.emplace_back(HinnantDays(day));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(date::sys_days{dates[i++ & kMask]});
    }
}

// Google Benchmark's callback type takes the state as non-const.
// cppcheck-suppress constParameterCallback
void IcuToShamsi(benchmark::State& state) {
    const std::vector<sys_days>& days = Days();
    const std::unique_ptr<icu::Calendar> persian = PersianCalendar();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IcuShamsi(*persian, days[i++ & kMask]));
    }
}

// Google Benchmark's callback type takes the state as non-const.
// cppcheck-suppress constParameterCallback
void IcuToDays(benchmark::State& state) {
    const std::vector<Shamsi::Date>& dates = Dates();
    const std::unique_ptr<icu::Calendar> persian = PersianCalendar();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IcuDays(*persian, dates[i++ & kMask]));
    }
}

// Ours and ICU give the same dates, both ways, on every day benchmarked.
bool SameAsIcu() {
    const std::unique_ptr<icu::Calendar> persian = PersianCalendar();
    for (std::size_t i = 0; i < kDates; ++i) {
        if (!(IcuShamsi(*persian, Days()[i]) == Dates()[i]) || IcuDays(*persian, Dates()[i]) != Days()[i]) {
            std::cerr << "ICU disagrees on day " << Days()[i].time_since_epoch().count() << '\n';
            return false;
        }
    }
    return true;
}

}  // namespace

BENCHMARK_CAPTURE(OursToShamsi, InOrder, Days);
BENCHMARK_CAPTURE(HinnantToShamsi, InOrder, Days);
BENCHMARK_CAPTURE(OursToShamsi, Mixed, MixedDays);
BENCHMARK_CAPTURE(HinnantToShamsi, Mixed, MixedDays);
BENCHMARK(IcuToShamsi);
BENCHMARK(OursToDays);
BENCHMARK(HinnantToDays);
BENCHMARK(IcuToDays);

int main(int argc, char** argv) {
    if (!SameAsIcu()) {
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
