// The DPI that a window is drawn at, and what follows from it: the frame
// around a client area and the message font. Windows 10 version 1607 and
// later answer per monitor (GetDpiForWindow, AdjustWindowRectExForDpi,
// SystemParametersInfoForDpi); earlier Windows (7, 8, 8.1, the first
// Windows 10) have one DPI for the whole system. The functions are looked up
// in USER32 at run time, so that the program starts on both, and this is the
// one place that chooses between them: the window asks here and never looks
// at the version of Windows.
#pragma once

#include "windows_api.h"

namespace DpiServices {

enum class Source {
    // USER32's per-monitor functions, found at run time.
    PerMonitor,
    // The screen's LOGPIXELSY, AdjustWindowRectEx and SystemParametersInfoW.
    System,
};

// PerMonitor when USER32 exports all three per-monitor functions (they came
// together), System otherwise or when forced.
[[nodiscard]] Source CurrentSource();

// Takes the System source even where USER32 has the per-monitor functions
// (true), or again the best that this Windows has (false). For tests, which
// run both sources on one Windows; the window takes its DPI when it is made.
void ForceSystemSource(bool force);

// The DPI that the window is drawn at: its monitor's, or the system's.
[[nodiscard]] UINT WindowDpi(HWND window);

// Grows a client rectangle by the frame of a window of that style at that
// DPI, as AdjustWindowRectEx does (no menu). From the System source the
// frame's own parts (caption, borders) are the system DPI's: Windows 8.1
// draws them at that size on every monitor.
bool AdjustWindowRectForDpi(RECT& rectangle, DWORD style, DWORD exStyle, UINT dpi);

// The font of message boxes and dialogs at that DPI. From the System source
// it is the system's, its height scaled from the system DPI to dpi.
bool MessageFontForDpi(UINT dpi, LOGFONTW& font);

}  // namespace DpiServices
