// Form1 as a native Win32 window: STATIC, EDIT and BUTTON controls made from
// the window's layout table, its events forwarded to the toolkit-free
// handlers. Sizes and fonts follow the DPI (twips × DPI / 1440): the
// monitor's where Windows has per-monitor DPI, the system's elsewhere
// (dpi_services.h).
#pragma once

#include <array>
#include <memory>

#include "form1_behaviour.h"
#include "windows_api.h"

class Win32Environment;

class Form1Window final : private Form1View {
public:
    // The window class, which tests and tools find the window by.
    static constexpr const wchar_t* kClassName = L"ShamsiDateConverterForm1";
    // Controls are numbered from here in table order, clear of IDOK and
    // IDCANCEL, which Enter and Escape send.
    static constexpr int kFirstControlId = 100;
    static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

    [[nodiscard]] static int ControlId(Form1Layout::Control control);

    // Creates the window, hidden and centred on the primary monitor's work
    // area, and its controls, and runs its load handler. Nothing when
    // Windows refuses to create it. The environment must outlive the window.
    [[nodiscard]] static std::unique_ptr<Form1Window> Create(HINSTANCE instance,
                                                             Win32Environment& environment);

    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;
    Form1Window(Form1Window&&) = delete;
    Form1Window& operator=(Form1Window&&) = delete;
    ~Form1Window() override;

    // Null once the window has been closed.
    [[nodiscard]] HWND Handle() const { return window_; }
    [[nodiscard]] HWND ControlHandle(Form1Layout::Control control) const;
    void Show(int showCommand);

    // Handles a message from the thread's queue as a dialog would: Tab and
    // Shift+Tab move between the text box and the buttons, Space presses the
    // focused button. Enter and Escape do nothing. True when the message has
    // been used up.
    bool PreTranslateMessage(MSG& message);
    // Runs the thread's message loop until the window is closed; returns
    // the program's exit status.
    int RunMessageLoop();

    // The window's outer size for its client area at that DPI.
    [[nodiscard]] static SIZE FrameSize(UINT dpi);

private:
    explicit Form1Window(Win32Environment& environment);

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance);
    // Places every control and gives it its font at that DPI.
    void ApplyDpi(UINT dpi);
    void CentreOnPrimaryMonitor();
    LRESULT OnControlColour(UINT message, HDC dc, HWND control);
    void OnCommand(int id, int code);
    [[nodiscard]] int IndexOf(HWND control) const;
    void DeleteFonts();

    [[nodiscard]] Runtime::Text Text(Form1Layout::Control control) const override;
    void SetText(Form1Layout::Control control, const Runtime::Text& text) override;
    void Close() override;

    Form1Behaviour behaviour_;
    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    // The control that had the focus when the window was last deactivated.
    HWND focus_ = nullptr;
    // Only a window that the user closes ends the program.
    bool quitOnDestroy_ = true;
    // Indexed by Form1Layout::Control.
    std::array<HWND, Form1Layout::kControlCount> controls_{};
    std::array<HFONT, Form1Layout::kControlCount> fonts_{};
    std::array<HBRUSH, Form1Layout::kControlCount> brushes_{};
};
