// Moving texts between Windows' UTF-16 strings and the calendar core's texts
// of Unicode code points: a surrogate pair is one character.
#pragma once

#include <string>
#include <string_view>

#include "services.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

[[nodiscard]] inline std::wstring WideFromText(Runtime::TextView text) {
    const std::u16string utf16 = Runtime::Utf16FromText(text);
    return {utf16.begin(), utf16.end()};
}

[[nodiscard]] inline Runtime::Text TextFromWide(std::wstring_view wide) {
    const std::u16string utf16(wide.begin(), wide.end());
    return Runtime::TextFromUtf16(utf16);
}
