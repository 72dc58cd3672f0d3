// Texts the window and the calendar routines show, as the user sees them.
#pragma once

#include <QString>

namespace Expected {

// The window caption.
inline const QString kCaption = QStringLiteral("مبدل تاريخ");
// Heading over today's date.
inline const QString kToday = QStringLiteral("امروز");
// Heading of the Shamsi input.
inline const QString kShamsi = QStringLiteral("شمسي");
// Heading of the Miladi result.
inline const QString kMiladi = QStringLiteral("ميلادي");
// Convert button.
inline const QString kConvert = QStringLiteral("تبديل");
// Exit button.
inline const QString kExit = QStringLiteral("خروج");
// First line of the notice.
inline const QString kNoticeInput = QStringLiteral(" YY/MM/DD ورودي تاريخ شمسي با فرمت");
// Second line of the notice.
inline const QString kNoticeOutput = QStringLiteral(" YY/MM/DD خروجي تاريخ ميلادي با فرمت");
// Input of the wrong length, first box.
inline const QString kLengthMessage = QStringLiteral("خطا - - - تاريخ را بصورت روز/ماه/سال وارد نماييد");
// Input of the wrong length, second box.
inline const QString kTwoDigitsMessage = QStringLiteral("تمامي فيلدها بايد به صورت دو رقمي وارد شود");
// Year below 1300.
inline const QString kYearMessage = QStringLiteral("خطا - - - سال را شمسي وارد نماييد");
// Month outside 1-12.
inline const QString kMonthMessage = QStringLiteral("خطا  - - - ماه را درست وارد نماييد");
// Day outside its month.
inline const QString kDayMarker = QStringLiteral("xxxxxxxxx1");
// Weekday name.
inline const QString kMonday = QStringLiteral("دوشنبه");
// Weekday name.
inline const QString kTuesday = QStringLiteral("سه شنبه");
// Weekday name.
inline const QString kThursday = QStringLiteral("پنجشنبه");
// Weekday name.
inline const QString kFriday = QStringLiteral("جمعه");
// Shamsi month 1.
inline const QString kFarvardin = QStringLiteral("فروردين");
// Shamsi month 8.
inline const QString kAban = QStringLiteral("آبان");

}  // namespace Expected
