#include "days_to_shamsi.h"

#include <chrono>
#include <cstdint>

#include "shamsi/date.h"

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#include <array>

namespace {

// Days are counted here from 1 Farvardin 1, so that every supported one is
// a small unsigned number.
constexpr std::int32_t kFirstDay = static_cast<std::int32_t>(Shamsi::kFirstDay.time_since_epoch().count());
constexpr std::uint32_t kLastDay = static_cast<std::uint32_t>((Shamsi::kLastDay - Shamsi::kFirstDay).count());

// The 33-year rule's count of whole years before a day, (33 * day + 3) /
// 12053 (as in Shamsi::FromSysDays), as a multiplication and a shift, which
// is exact for every number below 2^27 (Granlund and Montgomery's bound).
constexpr std::uint32_t kRuleShift = 41;
constexpr std::uint64_t kRuleFactor =
    ((std::uint64_t{1} << kRuleShift) + Shamsi::Detail::kDaysInCycle - 1) / Shamsi::Detail::kDaysInCycle;
static_assert(33 * std::uint64_t{kLastDay} + 3 < (std::uint64_t{1} << 27));
static_assert((std::uint64_t{1} << 27) *
                  (kRuleFactor * Shamsi::Detail::kDaysInCycle - (std::uint64_t{1} << kRuleShift)) <
              (std::uint64_t{1} << kRuleShift));

// The listed years only ever begin a day before the rule's New Year. So a
// day lies in the year the rule gives it or in the next: whichever of the
// two New Year's days it has reached. For y whole years before a day, entry
// y holds 1 Farvardin of year y + 1 (low half) and of year y + 2 (high half).
using NewYearPairs = std::array<std::uint64_t, Shamsi::kLastYear + 1>;

std::uint64_t NewYearDay(int year) {
    return static_cast<std::uint64_t>(Shamsi::NewYearDayNumber(year) - kFirstDay);
}

const NewYearPairs& TheNewYearPairs() {
    static const NewYearPairs pairs = [] {
        NewYearPairs made{};
        for (int before = 0; before <= Shamsi::kLastYear; ++before) {
            made[static_cast<std::size_t>(before)] = NewYearDay(before + 1) | NewYearDay(before + 2) << 32U;
        }
        return made;
    }();
    return pairs;
}

// Four days (from 1 Farvardin 1, all supported) at a time.
void FourToShamsi(v128_t day, const NewYearPairs& newYears, std::int32_t* years, std::int32_t* months,
                  std::int32_t* daysOfMonth) {
    const v128_t count = wasm_i32x4_add(wasm_i32x4_mul(day, wasm_i32x4_splat(33)), wasm_i32x4_splat(3));
    const v128_t factor = wasm_i32x4_splat(static_cast<std::int32_t>(kRuleFactor));
    const v128_t low = wasm_u64x2_shr(wasm_u64x2_extmul_low_u32x4(count, factor), kRuleShift);
    const v128_t high = wasm_u64x2_shr(wasm_u64x2_extmul_high_u32x4(count, factor), kRuleShift);
    const v128_t before = wasm_i32x4_shuffle(low, high, 0, 2, 4, 6);

    v128_t pairs01 = wasm_v128_load64_zero(&newYears[wasm_u32x4_extract_lane(before, 0)]);
    pairs01 = wasm_v128_load64_lane(&newYears[wasm_u32x4_extract_lane(before, 1)], pairs01, 1);
    v128_t pairs23 = wasm_v128_load64_zero(&newYears[wasm_u32x4_extract_lane(before, 2)]);
    pairs23 = wasm_v128_load64_lane(&newYears[wasm_u32x4_extract_lane(before, 3)], pairs23, 1);
    const v128_t thisNewYear = wasm_i32x4_shuffle(pairs01, pairs23, 0, 2, 4, 6);
    const v128_t nextNewYear = wasm_i32x4_shuffle(pairs01, pairs23, 1, 3, 5, 7);
    const v128_t inNextYear = wasm_u32x4_ge(day, nextNewYear);  // all ones, or 0
    const v128_t dayOfYear = wasm_i32x4_sub(day, wasm_v128_bitselect(nextNewYear, thisNewYear, inNextYear));
    wasm_v128_store(years, wasm_i32x4_sub(wasm_i32x4_add(before, wasm_i32x4_splat(1)), inNextYear));

    // The library's month (high byte) and day of each day of the year, into
    // the low half of each lane.
    const auto& monthAndDayOf = Shamsi::Detail::kMonthAndDayOfYear;
    v128_t monthAndDay = wasm_i32x4_splat(0);
    monthAndDay =
        wasm_v128_load16_lane(&monthAndDayOf[wasm_u32x4_extract_lane(dayOfYear, 0)], monthAndDay, 0);
    monthAndDay =
        wasm_v128_load16_lane(&monthAndDayOf[wasm_u32x4_extract_lane(dayOfYear, 1)], monthAndDay, 2);
    monthAndDay =
        wasm_v128_load16_lane(&monthAndDayOf[wasm_u32x4_extract_lane(dayOfYear, 2)], monthAndDay, 4);
    monthAndDay =
        wasm_v128_load16_lane(&monthAndDayOf[wasm_u32x4_extract_lane(dayOfYear, 3)], monthAndDay, 6);
    wasm_v128_store(months, wasm_u32x4_shr(monthAndDay, 8));
    wasm_v128_store(daysOfMonth, wasm_v128_and(monthAndDay, wasm_i32x4_splat(0xFF)));
}

// Four days at a time while all four are supported: the index of the first
// day not converted.
int ManyToShamsi(const std::int32_t* days, int count, std::int32_t* years, std::int32_t* months,
                 std::int32_t* daysOfMonth) {
    const NewYearPairs& newYears = TheNewYearPairs();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const v128_t day = wasm_i32x4_sub(wasm_v128_load(days + i), wasm_i32x4_splat(kFirstDay));
        if (wasm_v128_any_true(wasm_u32x4_gt(day, wasm_i32x4_splat(static_cast<std::int32_t>(kLastDay))))) {
            break;
        }
        FourToShamsi(day, newYears, years + i, months + i, daysOfMonth + i);
    }
    return i;
}

}  // namespace
#endif

int DaysToShamsi(const std::int32_t* days, int count, std::int32_t* years, std::int32_t* months,
                 std::int32_t* daysOfMonth) {
    int i = 0;
#ifdef __wasm_simd128__
    i = ManyToShamsi(days, count, years, months, daysOfMonth);
#endif
    // The rest one at a time, and the first bad day found.
    for (; i < count; ++i) {
        const std::chrono::sys_days day{std::chrono::days{days[i]}};
        if (!Shamsi::InRange(day)) {
            return i;
        }
        const Shamsi::Date date = Shamsi::FromSysDays(day);
        years[i] = date.year;
        months[i] = date.month;
        daysOfMonth[i] = date.day;
    }
    return -1;
}
