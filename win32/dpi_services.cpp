#include "dpi_services.h"

namespace DpiServices {

namespace {

// The per-monitor functions of Windows 10 version 1607, declared here:
// windows.h declares them only for programs that need that Windows.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND window);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT* rectangle, DWORD style, BOOL menu, DWORD exStyle,
                                                       UINT dpi);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT action, UINT parameter, void* value,
                                                         UINT update, UINT dpi);

struct PerMonitorFunctions {
    GetDpiForWindowFunction getDpiForWindow = nullptr;
    AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi = nullptr;
    SystemParametersInfoForDpiFunction systemParametersInfoForDpi = nullptr;
};

template <typename Function>
Function Find(HMODULE module, const char* name) {
    // Through the generic function pointer type, which GCC lets a function
    // pointer be cast to and from without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// All three, or none. USER32 is loaded already: the program imports from it.
PerMonitorFunctions LoadPerMonitorFunctions() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return {};
    }
    const PerMonitorFunctions found{
        Find<GetDpiForWindowFunction>(user32, "GetDpiForWindow"),
        Find<AdjustWindowRectExForDpiFunction>(user32, "AdjustWindowRectExForDpi"),
        Find<SystemParametersInfoForDpiFunction>(user32, "SystemParametersInfoForDpi"),
    };
    if (found.getDpiForWindow == nullptr || found.adjustWindowRectExForDpi == nullptr ||
        found.systemParametersInfoForDpi == nullptr) {
        return {};
    }
    return found;
}

bool& SystemSourceForced() {
    static bool forced = false;
    return forced;
}

// The functions of the source in use; null for the System source.
const PerMonitorFunctions* PerMonitor() {
    static const PerMonitorFunctions functions = LoadPerMonitorFunctions();
    if (SystemSourceForced() || functions.getDpiForWindow == nullptr) {
        return nullptr;
    }
    return &functions;
}

// The DPI of the screen, which a process that is not per-monitor aware (or
// a Windows without per-monitor DPI) draws every window at.
UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return USER_DEFAULT_SCREEN_DPI;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : UINT{USER_DEFAULT_SCREEN_DPI};
}

}  // namespace

Source CurrentSource() { return PerMonitor() != nullptr ? Source::PerMonitor : Source::System; }

void ForceSystemSource(bool force) { SystemSourceForced() = force; }

UINT WindowDpi(HWND window) {
    if (const PerMonitorFunctions* functions = PerMonitor()) {
        const UINT dpi = functions->getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    return SystemDpi();
}

bool AdjustWindowRectForDpi(RECT& rectangle, DWORD style, DWORD exStyle, UINT dpi) {
    if (const PerMonitorFunctions* functions = PerMonitor()) {
        return functions->adjustWindowRectExForDpi(&rectangle, style, FALSE, exStyle, dpi) != 0;
    }
    return AdjustWindowRectEx(&rectangle, style, FALSE, exStyle) != 0;
}

bool MessageFontForDpi(UINT dpi, LOGFONTW& font) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (const PerMonitorFunctions* functions = PerMonitor()) {
        if (functions->systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                                  dpi) == 0) {
            return false;
        }
        font = metrics.lfMessageFont;
        return true;
    }
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) == 0) {
        return false;
    }
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return true;
}

}  // namespace DpiServices
