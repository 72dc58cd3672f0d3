#include "form1_window.h"

#include <cwchar>

#include "dpi_services.h"
#include "wide_text.h"
#include "win32_environment.h"

namespace {

using Form1Layout::Alignment;
using Form1Layout::Control;
using Form1Layout::ControlLayout;
using Form1Layout::Face;
using Form1Layout::Kind;
using Form1Layout::Paint;

constexpr int kIconId = 1;

COLORREF ColourRef(Form1Layout::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

DWORD StaticAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Centre:
            return SS_CENTER;
        case Alignment::Right:
            return SS_RIGHT;
        case Alignment::Left:
        case Alignment::ToolkitDefault:
            break;
    }
    return SS_LEFT;
}

const wchar_t* ClassOf(Kind kind) {
    switch (kind) {
        case Kind::TextBox:
            return L"EDIT";
        case Kind::PushButton:
            return L"BUTTON";
        case Kind::Label:
            break;
    }
    return L"STATIC";
}

DWORD StyleOf(const ControlLayout& layout) {
    const DWORD child = WS_CHILD | WS_VISIBLE;
    switch (layout.kind) {
        case Kind::TextBox:
            return child | WS_TABSTOP | ES_AUTOHSCROLL |
                   (layout.alignment == Alignment::Right ? DWORD{ES_RIGHT} : DWORD{ES_LEFT});
        case Kind::PushButton:
            // A plain push button: never the default one, so Enter presses
            // nothing.
            return child | WS_TABSTOP | BS_PUSHBUTTON;
        case Kind::Label:
            break;
    }
    // Only the web address reports clicks.
    const DWORD notify = layout.control == Control::Label4 ? DWORD{SS_NOTIFY} : 0;
    return child | SS_NOPREFIX | notify | StaticAlignment(layout.alignment);
}

DWORD ExStyleOf(const ControlLayout& layout) {
    DWORD exStyle = layout.rightToLeft ? DWORD{WS_EX_RTLREADING} : 0;
    if (layout.kind == Kind::TextBox) {
        exStyle |= WS_EX_CLIENTEDGE;
    }
    return exStyle;
}

// Normal weight, no italic, underline or strike-through, Arabic character
// set. The window's default font is the one Windows gives message boxes
// and dialogs, at the window's DPI.
HFONT CreateLayoutFont(const Form1Layout::Font& font, UINT dpi) {
    int height = -Form1Layout::FontPixels(font.centipoints, static_cast<int>(dpi));
    const wchar_t* face = font.face == Face::Arial ? L"Arial" : L"Tahoma";
    LOGFONTW message{};
    if (font.face == Face::WindowDefault && DpiServices::MessageFontForDpi(dpi, message)) {
        height = message.lfHeight;
        face = static_cast<const wchar_t*>(message.lfFaceName);
    }
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ARABIC_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, Form1Window::kClassName, &windowClass) != 0) {
        return true;
    }
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(ColourRef(Form1Layout::kWindowBlue));
    windowClass.lpszClassName = Form1Window::kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

int Form1Window::ControlId(Control control) { return kFirstControlId + static_cast<int>(control); }

Form1Window::Form1Window(Win32Environment& environment) : behaviour_(*this, environment) {}

std::unique_ptr<Form1Window> Form1Window::Create(HINSTANCE instance, Win32Environment& environment) {
    if (!RegisterWindowClass(instance, &Form1Window::WindowProcedure)) {
        return nullptr;
    }
    std::unique_ptr<Form1Window> form(new Form1Window(environment));

    // Created on the primary monitor, so that it starts with that
    // monitor's DPI.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const std::wstring caption = WideFromText(Form1Layout::kCaption);
    if (CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, monitor.rcWork.left,
                        monitor.rcWork.top, 1, 1, nullptr, nullptr, instance, form.get()) == nullptr) {
        return nullptr;
    }
    environment.SetOwner(form->window_);
    form->dpi_ = DpiServices::WindowDpi(form->window_);
    form->CreateControls(instance);
    form->ApplyDpi(form->dpi_);
    form->CentreOnPrimaryMonitor();
    form->behaviour_.Form_Load();
    form->focus_ = form->ControlHandle(Control::txtShamsi);
    return form;
}

Form1Window::~Form1Window() {
    if (window_ != nullptr) {
        quitOnDestroy_ = false;
        DestroyWindow(window_);
    }
    DeleteFonts();
    for (HBRUSH& brush : brushes_) {
        if (brush != nullptr) {
            DeleteObject(brush);
            brush = nullptr;
        }
    }
}

HWND Form1Window::ControlHandle(Control control) const {
    return controls_.at(static_cast<std::size_t>(control));
}

void Form1Window::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(ControlHandle(Control::txtShamsi));
}

SIZE Form1Window::FrameSize(UINT dpi) {
    const int pixelsPerInch = static_cast<int>(dpi);
    RECT frame{0, 0, Form1Layout::Pixels(Form1Layout::kClientWidth, pixelsPerInch),
               Form1Layout::Pixels(Form1Layout::kClientHeight, pixelsPerInch)};
    DpiServices::AdjustWindowRectForDpi(frame, kStyle, kExStyle, dpi);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void Form1Window::CreateControls(HINSTANCE instance) {
    // Created in tab order: the dialog keys move through the controls in
    // the order they were made.
    for (const Control control : Form1Layout::TabOrder()) {
        const ControlLayout& layout = Form1Layout::Layout(control);
        const std::wstring caption = WideFromText(layout.caption);
        const auto index = static_cast<std::size_t>(control);
        controls_.at(index) = CreateWindowExW(
            ExStyleOf(layout), ClassOf(layout.kind), caption.c_str(), StyleOf(layout), 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control))), instance, nullptr);
        if (layout.background.kind == Paint::Kind::Colour) {
            brushes_.at(index) = CreateSolidBrush(ColourRef(layout.background.colour));
        }
    }
}

void Form1Window::ApplyDpi(UINT dpi) {
    const int pixelsPerInch = static_cast<int>(dpi);
    std::array<HFONT, Form1Layout::kControlCount> fonts{};
    for (const ControlLayout& layout : Form1Layout::kControls) {
        const auto index = static_cast<std::size_t>(layout.control);
        const Form1Layout::Twips& place = layout.place;
        MoveWindow(controls_.at(index), Form1Layout::Pixels(place.left, pixelsPerInch),
                   Form1Layout::Pixels(place.top, pixelsPerInch),
                   Form1Layout::Pixels(place.width, pixelsPerInch),
                   Form1Layout::Pixels(place.height, pixelsPerInch), TRUE);
        fonts.at(index) = CreateLayoutFont(layout.font, dpi);
        SendMessageW(controls_.at(index), WM_SETFONT, reinterpret_cast<WPARAM>(fonts.at(index)), TRUE);
    }
    // The controls no longer use the old fonts.
    DeleteFonts();
    fonts_ = fonts;
}

void Form1Window::DeleteFonts() {
    for (HFONT& font : fonts_) {
        if (font != nullptr) {
            DeleteObject(font);
            font = nullptr;
        }
    }
}

void Form1Window::CentreOnPrimaryMonitor() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const SIZE size = FrameSize(dpi_);
    const int left = work.left + (work.right - work.left - size.cx) / 2;
    const int top = work.top + (work.bottom - work.top - size.cy) / 2;
    SetWindowPos(window_, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form1Window::PreTranslateMessage(MSG& message) {
    if (window_ == nullptr || (message.hwnd != window_ && IsChild(window_, message.hwnd) == 0)) {
        return false;
    }
    const bool key =
        message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
    if (key && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
        return true;
    }
    return IsDialogMessageW(window_, &message) != 0;
}

int Form1Window::RunMessageLoop() {
    MSG message{};
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (!PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

LRESULT CALLBACK Form1Window::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* form = static_cast<Form1Window*>(create->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT Form1Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            return OnControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ACTIVATE:
            // Keep the focus where the user left it, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focus_ = GetFocus();
            } else if (focus_ != nullptr && IsChild(window_, focus_) != 0) {
                SetFocus(focus_);
            }
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            ApplyDpi(dpi_);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            const SIZE size = FrameSize(dpi_);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, size.cx, size.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            if (quitOnDestroy_) {
                PostQuitMessage(0);
            }
            return 0;
        case WM_NCDESTROY: {
            HWND closed = window_;
            SetWindowLongPtrW(closed, GWLP_USERDATA, 0);
            window_ = nullptr;
            controls_.fill(nullptr);
            return DefWindowProcW(closed, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Form1Window::OnCommand(int id, int code) {
    // BN_CLICKED and STN_CLICKED. Enter's IDOK and Escape's IDCANCEL are
    // nobody's.
    if (code != BN_CLICKED) {
        return;
    }
    if (id == ControlId(Control::cmdConvert)) {
        behaviour_.cmdConvert_Click();
    } else if (id == ControlId(Control::cmdExit)) {
        behaviour_.cmdExit_Click();
    } else if (id == ControlId(Control::Label4)) {
        behaviour_.Label4_Click();
    }
}

int Form1Window::IndexOf(HWND control) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_.at(i) == control && control != nullptr) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

LRESULT Form1Window::OnControlColour(UINT message, HDC dc, HWND control) {
    // The toolkit's colours first, then the table's where it names them.
    const LRESULT standard =
        DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    const int index = IndexOf(control);
    if (index < 0) {
        return standard;
    }
    const ControlLayout& layout = Form1Layout::kControls.at(static_cast<std::size_t>(index));
    if (layout.text.kind == Paint::Kind::Colour) {
        SetTextColor(dc, ColourRef(layout.text.colour));
    }
    switch (layout.background.kind) {
        case Paint::Kind::Colour:
            SetBkColor(dc, ColourRef(layout.background.colour));
            return reinterpret_cast<LRESULT>(brushes_.at(static_cast<std::size_t>(index)));
        case Paint::Kind::Transparent:
            // The text over the window's own background.
            SetBkMode(dc, TRANSPARENT);
            return static_cast<LRESULT>(GetClassLongPtrW(window_, GCLP_HBRBACKGROUND));
        case Paint::Kind::ToolkitDefault:
            break;
    }
    return standard;
}

Runtime::Text Form1Window::Text(Control control) const {
    HWND handle = ControlHandle(control);
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return TextFromWide(text);
}

void Form1Window::SetText(Control control, const Runtime::Text& text) {
    const std::wstring wide = WideFromText(text);
    SetWindowTextW(ControlHandle(control), wide.c_str());
}

void Form1Window::Close() { DestroyWindow(window_); }
