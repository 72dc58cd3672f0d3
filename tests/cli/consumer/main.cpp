// Uses the installed Shamsi library as any program would: prints the Miladi
// date of 17 Azar 1405, the Shamsi date 100 days after 1 Farvardin 1404,
// and that day in Persian words.
#include <chrono>
#include <iostream>

#include <shamsi/date.h>
#include <shamsi/text.h>

int main() {
    const std::chrono::year_month_day miladi = Shamsi::ToGregorian({1405, 9, 17});
    const Shamsi::Date later = Shamsi::AddDays(Shamsi::Date{1404, 1, 1}, 100);
    const Shamsi::Formatter numeric(Shamsi::Calendar::kMiladi);
    const Shamsi::Formatter words("%A %-d %B %Y", Shamsi::Calendar::kShamsi, Shamsi::Digits::kPersian);
    std::cout << numeric.Format(miladi) << '\n'
              << later.year << '/' << later.month << '/' << later.day << '\n'
              << words.Format(later) << '\n';
    return 0;
}
