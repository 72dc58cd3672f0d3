// The UTF-8 forms of the digits the library reads and writes, shared by
// reading (read.cpp) and writing (write.cpp).
#pragma once

namespace Shamsi::Digit {

// Lead bytes of the UTF-8 forms of the two Arabic-script digit runs; the
// second byte is 0xB0 + digit (U+06F0-U+06F9) or 0xA0 + digit
// (U+0660-U+0669).
inline constexpr unsigned char kPersianLead = 0xDB;
inline constexpr unsigned char kPersianFirst = 0xB0;
inline constexpr unsigned char kArabicIndicLead = 0xD9;
inline constexpr unsigned char kArabicIndicFirst = 0xA0;

}  // namespace Shamsi::Digit
