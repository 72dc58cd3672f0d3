// The Win32 window, driven as a user's Windows would drive it: texts in and
// out with WM_SETTEXT and WM_GETTEXT, clicks with BM_CLICK, keys through the
// window's message handling; message boxes found, read and closed by a
// second thread while the handler that shows them waits. Every case of the
// window runs twice: with Windows 10's per-monitor DPI functions, and with
// the system DPI that Windows 7 to 8.1 give instead.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "dpi_services.h"
#include "form1_window.h"
#include "wide_text.h"
#include "win32_environment.h"
#include "windows_api.h"

using DpiServices::Source;
using Form1Layout::Control;
using Form1Layout::ControlLayout;

namespace {

std::wstring Wide(std::u32string_view text) { return WideFromText(text); }

std::wstring WindowText(HWND window) {
    std::wstring text(512, L'\0');
    const auto length = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void SetWindowText(HWND window, const std::wstring& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring ClassName(HWND window) {
    std::wstring name(64, L'\0');
    name.resize(static_cast<std::size_t>(GetClassNameW(window, name.data(), static_cast<int>(name.size()))));
    return name;
}

std::string Narrow(const std::wstring& text) { return Runtime::Utf8FromText(TextFromWide(text)); }

// The DPI of the screen, which every window has under Wine, with one
// monitor, from either source.
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The system's message font, the window's default font at the screen's DPI.
LOGFONTW SystemMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    EXPECT_NE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0), 0);
    return metrics.lfMessageFont;
}

// A rectangle in the parent's client coordinates.
RECT ClientRectangle(HWND control) {
    RECT rectangle{};
    GetWindowRect(control, &rectangle);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rectangle), 2);
    return rectangle;
}

struct SeenBox {
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
    int buttons = 0;
    int icons = 0;
};

// Closes every message box that the window's thread shows, with its OK
// button, and keeps what it saw.
class BoxCloser {
public:
    explicit BoxCloser(DWORD thread) : worker_([this, thread] { Run(thread); }) {}
    BoxCloser(const BoxCloser&) = delete;
    BoxCloser& operator=(const BoxCloser&) = delete;
    BoxCloser(BoxCloser&&) = delete;
    BoxCloser& operator=(BoxCloser&&) = delete;
    ~BoxCloser() {
        stop_ = true;
        worker_.join();
    }

    std::vector<SeenBox> Take() {
        const std::lock_guard lock(mutex_);
        return std::exchange(seen_, {});
    }

private:
    static HWND FindBox(DWORD thread) {
        HWND box = nullptr;
        EnumThreadWindows(
            thread,
            [](HWND window, LPARAM found) {
                if (ClassName(window) == L"#32770" && IsWindowVisible(window) != 0) {
                    *reinterpret_cast<HWND*>(found) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&box));
        return box;
    }

    static SeenBox Read(HWND box) {
        SeenBox seen;
        seen.title = WindowText(box);
        seen.owner = GetWindow(box, GW_OWNER);
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (IsWindowVisible(child) == 0) {
                continue;
            }
            const std::wstring kind = ClassName(child);
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            if (_wcsicmp(kind.c_str(), L"Button") == 0) {
                ++seen.buttons;
            } else if (_wcsicmp(kind.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
                seen.icons += SendMessageW(child, STM_GETICON, 0, 0) != 0 ? 1 : 0;
            } else if (_wcsicmp(kind.c_str(), L"Static") == 0 && !WindowText(child).empty()) {
                seen.text = WindowText(child);
            }
        }
        return seen;
    }

    void Run(DWORD thread) {
        while (!stop_) {
            HWND box = FindBox(thread);
            if (box == nullptr) {
                Sleep(20);
                continue;
            }
            SeenBox seen = Read(box);
            {
                const std::lock_guard lock(mutex_);
                seen_.push_back(std::move(seen));
            }
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            for (int i = 0; i < 500 && IsWindow(box) != 0; ++i) {
                Sleep(20);
            }
        }
    }

    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::thread worker_;
};

// The members are the test cases' own, as in a plain struct. The parameter
// is the DPI source that the window is made with.
class Form1Window_ : public ::testing::TestWithParam<Source> {
public:
    void SetUp() override {
        DpiServices::ForceSystemSource(GetParam() == Source::System);
        // Wine has the per-monitor functions: both sources are reached.
        ASSERT_EQ(DpiServices::CurrentSource(), GetParam());
        form_ = Form1Window::Create(GetModuleHandleW(nullptr), environment_);
        ASSERT_NE(form_, nullptr);
        form_->Show(SW_SHOWNORMAL);
        Pump();
    }

    void TearDown() override {
        form_.reset();
        DpiServices::ForceSystemSource(false);
    }

    HWND Handle(Control control) const { return form_->ControlHandle(control); }
    std::wstring Caption(Control control) const { return WindowText(Handle(control)); }

    // Handles what is waiting in the thread's queue, as the program's
    // message loop would.
    void Pump() const {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            if (!form_->PreTranslateMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    void PressKey(HWND target, WPARAM key) const {
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_CHAR, key, 1);
        PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        Pump();
    }

    void Click(Control button) const { SendMessageW(Handle(button), BM_CLICK, 0, 0); }

    Win32Environment environment_{Runtime::Text(Form1Layout::kCaption)};
    std::unique_ptr<Form1Window> form_;
    BoxCloser boxes_{GetCurrentThreadId()};
    const int dpi_ = ScreenDpi();
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(EachDpiSource, Form1Window_, ::testing::Values(Source::PerMonitor, Source::System),
                         [](const ::testing::TestParamInfo<Source>& source) {
                             return source.param == Source::PerMonitor ? "PerMonitor" : "System";
                         });

TEST_P(Form1Window_, IsAFixedDialogCentredOnThePrimaryWorkArea) {
    HWND window = form_->Handle();
    EXPECT_EQ(WindowText(window), Wide(Form1Layout::kCaption));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, Form1Layout::Pixels(3165, dpi_));
    EXPECT_EQ(client.bottom, Form1Layout::Pixels(3465, dpi_));

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_LE(std::abs((frame.left + frame.right) - (monitor.rcWork.left + monitor.rcWork.right)), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 1);
}

TEST_P(Form1Window_, EveryControlHasItsPlaceFontAndStyleAtEachDpi) {
    // The window's own DPI, then as if it had moved to a 150 % monitor.
    const LOGFONTW systemFont = SystemMessageFont();
    for (const int dpi : {dpi_, 144}) {
        if (dpi != dpi_) {
            RECT suggested{};
            GetWindowRect(form_->Handle(), &suggested);
            SendMessageW(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            // The frame for that DPI's client area; Wine leaves the frame
            // itself at the monitor's real DPI, so the client area is not
            // measured here.
            RECT frame{};
            GetWindowRect(form_->Handle(), &frame);
            const SIZE expected = Form1Window::FrameSize(static_cast<UINT>(dpi));
            EXPECT_EQ(frame.right - frame.left, expected.cx);
            EXPECT_EQ(frame.bottom - frame.top, expected.cy);
        }
        for (const ControlLayout& layout : Form1Layout::kControls) {
            SCOPED_TRACE(std::string(layout.name) + " at " + std::to_string(dpi) + " dpi");
            HWND control = Handle(layout.control);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(GetDlgCtrlID(control), Form1Window::ControlId(layout.control));

            const RECT place = ClientRectangle(control);
            EXPECT_EQ(place.left, Form1Layout::Pixels(layout.place.left, dpi));
            EXPECT_EQ(place.top, Form1Layout::Pixels(layout.place.top, dpi));
            EXPECT_EQ(place.right - place.left, Form1Layout::Pixels(layout.place.width, dpi));
            EXPECT_EQ(place.bottom - place.top, Form1Layout::Pixels(layout.place.height, dpi));

            LOGFONTW font{};
            ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                                 sizeof font, &font),
                      0);
            EXPECT_EQ(font.lfCharSet, ARABIC_CHARSET);
            EXPECT_EQ(font.lfWeight, FW_NORMAL);
            EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
            switch (layout.font.face) {
                case Form1Layout::Face::Tahoma:
                case Form1Layout::Face::Arial:
                    EXPECT_EQ(std::wstring_view(static_cast<const wchar_t*>(font.lfFaceName)),
                              layout.font.face == Form1Layout::Face::Arial ? L"Arial" : L"Tahoma");
                    EXPECT_EQ(font.lfHeight, -Form1Layout::FontPixels(layout.font.centipoints, dpi));
                    break;
                case Form1Layout::Face::WindowDefault:
                    // The system's message font, scaled from the screen's
                    // DPI: what SystemParametersInfoForDpi gives.
                    EXPECT_EQ(std::wstring_view(static_cast<const wchar_t*>(font.lfFaceName)),
                              std::wstring_view(static_cast<const wchar_t*>(systemFont.lfFaceName)));
                    EXPECT_EQ(font.lfHeight, MulDiv(systemFont.lfHeight, dpi, dpi_));
                    break;
            }

            const LONG style = GetWindowLongW(control, GWL_STYLE);
            const LONG exStyle = GetWindowLongW(control, GWL_EXSTYLE);
            EXPECT_EQ((exStyle & WS_EX_RTLREADING) != 0, layout.rightToLeft);
            EXPECT_EQ((style & WS_TABSTOP) != 0, layout.kind != Form1Layout::Kind::Label);
            const std::wstring kind = ClassName(control);
            switch (layout.kind) {
                case Form1Layout::Kind::Label: {
                    EXPECT_EQ(_wcsicmp(kind.c_str(), L"Static"), 0);
                    const LONG expected = layout.alignment == Form1Layout::Alignment::Right    ? SS_RIGHT
                                          : layout.alignment == Form1Layout::Alignment::Centre ? SS_CENTER
                                                                                               : SS_LEFT;
                    EXPECT_EQ(style & SS_TYPEMASK, expected);
                    EXPECT_EQ((style & SS_NOTIFY) != 0, layout.control == Control::Label4);
                    break;
                }
                case Form1Layout::Kind::TextBox:
                    EXPECT_EQ(_wcsicmp(kind.c_str(), L"Edit"), 0);
                    EXPECT_EQ(style & (ES_CENTER | ES_RIGHT | ES_MULTILINE), 0);
                    break;
                case Form1Layout::Kind::PushButton:
                    EXPECT_EQ(_wcsicmp(kind.c_str(), L"Button"), 0);
                    // No default button: Enter would press it.
                    EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
                    break;
            }
        }
    }
}

TEST_P(Form1Window_, LabelsPaintTheirColoursOrLetTheWindowShowThrough) {
    HDC dc = CreateCompatibleDC(nullptr);
    const auto colour = [](Form1Layout::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); };
    for (const ControlLayout& layout : Form1Layout::kControls) {
        SCOPED_TRACE(std::string(layout.name));
        const UINT message = layout.kind == Form1Layout::Kind::TextBox ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
        if (layout.kind == Form1Layout::Kind::PushButton) {
            continue;  // the system's own button colours
        }
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(1, 2, 3));
        SetBkMode(dc, OPAQUE);
        auto* brush =
            reinterpret_cast<HBRUSH>(SendMessageW(form_->Handle(), message, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(Handle(layout.control))));
        LOGBRUSH painted{};
        ASSERT_NE(GetObjectW(brush, sizeof painted, &painted), 0);

        const COLORREF defaultText = GetSysColor(COLOR_WINDOWTEXT);
        EXPECT_EQ(GetTextColor(dc), layout.text.kind == Form1Layout::Paint::Kind::Colour
                                        ? colour(layout.text.colour)
                                        : defaultText);
        switch (layout.background.kind) {
            case Form1Layout::Paint::Kind::Colour:
                EXPECT_EQ(GetBkColor(dc), colour(layout.background.colour));
                EXPECT_EQ(painted.lbColor, colour(layout.background.colour));
                break;
            case Form1Layout::Paint::Kind::Transparent:
                EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
                EXPECT_EQ(painted.lbColor, colour(Form1Layout::kWindowBlue));
                break;
            case Form1Layout::Paint::Kind::ToolkitDefault:
                EXPECT_EQ(painted.lbColor, GetSysColor(COLOR_WINDOW));
                break;
        }
    }
    DeleteDC(dc);
}

TEST_P(Form1Window_, TabGoesTextBoxConvertExitAndEnterAndEscapeDoNothing) {
    EXPECT_EQ(GetFocus(), Handle(Control::txtShamsi));
    for (const Control next : {Control::cmdConvert, Control::cmdExit, Control::txtShamsi}) {
        PressKey(GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), Handle(next));
    }

    SetWindowText(Handle(Control::txtShamsi), L"82/01/12");
    for (const Control focus : {Control::txtShamsi, Control::cmdConvert, Control::cmdExit}) {
        SetFocus(Handle(focus));
        PressKey(Handle(focus), VK_RETURN);
        PressKey(Handle(focus), VK_ESCAPE);
        ASSERT_NE(form_->Handle(), nullptr) << "closed by a key";
        EXPECT_EQ(Caption(Control::lblMiladi), L"") << "converted by a key";
    }
    EXPECT_EQ(Caption(Control::txtShamsi), L"82/01/12");
    EXPECT_TRUE(boxes_.Take().empty());
}

TEST_P(Form1Window_, AGoodConversionThenBadOnesWithTheirMessageBoxes) {
    EXPECT_FALSE(Caption(Control::lblTodayShamsi).empty());
    EXPECT_FALSE(Caption(Control::lblTodayMiladi).empty());
    EXPECT_EQ(Caption(Control::lblNotice), Wide(Form1Behaviour::Notice()));

    const std::wstring lengthMessage = Wide(U"خطا - - - تاريخ را بصورت روز/ماه/سال وارد نماييد");
    const std::wstring twoDigitsMessage = Wide(U"تمامي فيلدها بايد به صورت دو رقمي وارد شود");
    const std::wstring longShamsi = Wide(U"سه شنبه  12 فروردين  1382");
    const struct {
        std::u32string typed;
        std::wstring miladi, shamsi, worded;
        std::vector<std::wstring> messages;
    } steps[] = {
        {U"82/01/12", L"2003/04/01", longShamsi, L"01 April 2003", {}},
        {U"8/1/1", L"", longShamsi, L"01 April 2003", {lengthMessage, twoDigitsMessage}},
        // Persian digits, and a character beyond U+FFFF that counts once.
        {U"۸۵/۰۸/۰۱", L"2006/10/23", Wide(U"دوشنبه  1 آبان  1385"), L"23 October 2006", {}},
        {U"\U0001F600\U0001F600/01/01",
         L"",
         Wide(U"دوشنبه  1 آبان  1385"),
         L"23 October 2006",
         {Wide(U"خطا - - - سال را شمسي وارد نماييد")}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(Runtime::Utf8FromText(step.typed));
        SetWindowText(Handle(Control::txtShamsi), Wide(step.typed));
        Click(Control::cmdConvert);
        EXPECT_EQ(Caption(Control::lblMiladi), step.miladi);
        EXPECT_EQ(Caption(Control::lblShamsi), step.shamsi);
        EXPECT_EQ(Caption(Control::lblMiladiString), step.worded);
        EXPECT_EQ(Caption(Control::txtShamsi), Wide(step.typed));

        const std::vector<SeenBox> seen = boxes_.Take();
        ASSERT_EQ(seen.size(), step.messages.size());
        for (std::size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].text, step.messages[i]) << Narrow(seen[i].text);
            EXPECT_EQ(seen[i].title, Wide(Form1Layout::kCaption));
            EXPECT_EQ(seen[i].owner, form_->Handle());
            EXPECT_EQ(seen[i].buttons, 1);
            EXPECT_EQ(seen[i].icons, 0);
        }
    }
}

TEST_P(Form1Window_, AClickOnTheAddressShowsTheCreditAndOtherLabelsIgnoreClicks) {
    const auto click = [](HWND label) {
        SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    };
    for (int i = 0; i < 2; ++i) {
        click(Handle(Control::Label4));
        const std::vector<SeenBox> seen = boxes_.Take();
        ASSERT_EQ(seen.size(), 1U);
        EXPECT_EQ(seen[0].text, Wide(Form1Layout::kCredit));
        EXPECT_EQ(seen[0].title, Wide(Form1Layout::kCaption));
        EXPECT_EQ(seen[0].buttons, 1);
        EXPECT_EQ(seen[0].icons, 0);
    }
    click(Handle(Control::lblNotice));
    click(Handle(Control::Label1));
    EXPECT_TRUE(boxes_.Take().empty());
    EXPECT_EQ(Win32Environment::MessageBoxStyle(), static_cast<unsigned>(MB_OK | MB_RTLREADING | MB_RIGHT));
}

// The built program in a process of its own: it opens its window, and Exit
// ends it with status 0. DATECONV_PROGRAM names the .exe.
TEST(Program, OpensItsWindowAndExitEndsItWithStatusZero) {
    const wchar_t* program = _wgetenv(L"DATECONV_PROGRAM");
    ASSERT_NE(program, nullptr) << "DATECONV_PROGRAM is not set";
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_NE(CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process),
              0)
        << "cannot start " << Narrow(program);

    struct Search {
        DWORD processId;
        HWND window;
    } search{process.dwProcessId, nullptr};
    for (int i = 0; i < 600 && search.window == nullptr; ++i) {
        EnumWindows(
            [](HWND window, LPARAM parameter) {
                auto* s = reinterpret_cast<Search*>(parameter);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->processId && ClassName(window) == Form1Window::kClassName &&
                    IsWindowVisible(window) != 0) {
                    s->window = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        Sleep(50);
    }
    ASSERT_NE(search.window, nullptr) << "no window appeared";
    EXPECT_EQ(WindowText(search.window), Wide(Form1Layout::kCaption));
    const int dpi = ScreenDpi();
    RECT client{};
    GetClientRect(search.window, &client);
    EXPECT_EQ(client.right, Form1Layout::Pixels(3165, dpi));
    EXPECT_EQ(client.bottom, Form1Layout::Pixels(3465, dpi));

    HWND exitButton = GetDlgItem(search.window, Form1Window::ControlId(Control::cmdExit));
    ASSERT_NE(exitButton, nullptr);
    PostMessageW(exitButton, BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0) << "still running after Exit";
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    EXPECT_EQ(status, 0U);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
