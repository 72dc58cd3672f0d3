#include "win32_environment.h"

#include <utility>

#include "wide_text.h"
#include "windows_api.h"

Win32Environment::Win32Environment(Runtime::Text title) : title_(std::move(title)) {}

void Win32Environment::SetOwner(HWND owner) { owner_ = owner; }

Runtime::Date Win32Environment::Today() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return Runtime::Date{now.wYear, now.wMonth, now.wDay};
}

unsigned Win32Environment::MessageBoxStyle() { return MB_OK | MB_RTLREADING | MB_RIGHT; }

void Win32Environment::MessageBox(const Runtime::Text& text) {
    const std::wstring wideText = WideFromText(text);
    const std::wstring wideTitle = WideFromText(title_);
    MessageBoxW(owner_, wideText.c_str(), wideTitle.c_str(), MessageBoxStyle());
}
