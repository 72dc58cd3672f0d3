// The main window's layout, independent of any window toolkit: the window
// itself and its thirteen controls, each with its kind, caption, place in
// twips, font, colours, alignment and tab index. The Qt window and the Win32
// window both create their controls from this table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "project_info.h"

namespace Form1Layout {

// The controls, from top to bottom of the window.
enum class Control : std::uint8_t {
    lblNotice,
    Label1,
    lblTodayShamsi,
    lblTodayMiladi,
    cmdConvert,
    txtShamsi,
    Label3,
    cmdExit,
    lblMiladi,
    Label2,
    lblShamsi,
    lblMiladiString,
    Label4,
};
inline constexpr std::size_t kControlCount = 13;

enum class Kind : std::uint8_t { Label, TextBox, PushButton };

// Tahoma and Arial with the Arabic character set, normal weight, no bold,
// italic, underline or strike-through; or the window's default font.
enum class Face : std::uint8_t { Tahoma, Arial, WindowDefault };

enum class Alignment : std::uint8_t { ToolkitDefault, Left, Centre, Right };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// What a control paints: the toolkit's own colour, nothing at all (the
// window's blue shows through), or a colour of its own.
struct Paint {
    enum class Kind : std::uint8_t { ToolkitDefault, Transparent, Colour };
    Kind kind = Kind::ToolkitDefault;
    Rgb colour;
    friend constexpr bool operator==(const Paint&, const Paint&) = default;
};

// A rectangle in twips, from the top-left corner of the client area.
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Font {
    Face face = Face::WindowDefault;
    // Hundredths of a point: 825 for 8.25 pt; 0 for the window's default.
    int centipoints = 0;
};

struct ControlLayout {
    Control control = Control::lblNotice;
    std::string_view name;
    Kind kind = Kind::Label;
    // The caption it is created with; the labels the window writes start
    // empty.
    std::u32string_view caption;
    Twips place;
    Font font;
    Paint background;
    Paint text;
    Alignment alignment = Alignment::ToolkitDefault;
    int tabIndex = 0;
    // Persian content, read from right to left.
    bool rightToLeft = false;
    // What the control is for, for screen readers.
    std::u32string_view description;
};

// --- The window -------------------------------------------------------------

inline constexpr std::u32string_view kCaption = U"مبدل تاريخ";
// The one-line credit that a click on the web address shows.
inline constexpr std::u32string_view kCredit = U"طراحي و برنامه نويسي: سازندگان مبدل تاريخ";
// The caption of the one button of every message box ("confirm").
inline constexpr std::u32string_view kMessageButton = U"تاييد";
// The web address at the bottom of the window, set when the program is built.
inline constexpr std::u32string_view kWebAddress = ProjectInfo::kHomepageUrlUtf32;
// The notice's two lines, shown on two lines from the CR LF between them.
inline constexpr std::u32string_view kNoticeInputLine = U" YY/MM/DD ورودي تاريخ شمسي با فرمت";
inline constexpr std::u32string_view kNoticeOutputLine = U" YY/MM/DD خروجي تاريخ ميلادي با فرمت";
inline constexpr std::u32string_view kLineBreak = U"\r\n";

inline constexpr int kClientWidth = 3165;   // twips
inline constexpr int kClientHeight = 3465;  // twips

inline constexpr Rgb kWindowBlue{0x00, 0x00, 0xC0};
inline constexpr Rgb kBoxLilac{0x80, 0x80, 0xFF};
inline constexpr Rgb kBoxInk{0x00, 0x00, 0x40};
inline constexpr Rgb kHeadingYellow{0xFF, 0xFF, 0x80};

// --- The controls -----------------------------------------------------------

// In the order of the Control enumeration: Layout(c) is kControls[c].
extern const std::array<ControlLayout, kControlCount> kControls;

[[nodiscard]] const ControlLayout& Layout(Control control);
// Every control, ordered by tab index.
[[nodiscard]] std::array<Control, kControlCount> TabOrder();

// --- Units ------------------------------------------------------------------

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPointsPerInch = 72;

// Twips to pixels at dpi dots per inch, to the nearest pixel (halves up):
// 15 twips to a pixel at 96 dpi, 12 at 120.
[[nodiscard]] constexpr int Pixels(int twips, int dpi) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

// The height in pixels of a font of that many hundredths of a point:
// 8.25 pt is 11 pixels at 96 dpi.
[[nodiscard]] constexpr int FontPixels(int centipoints, int dpi) {
    constexpr int kCentipointsPerInch = kPointsPerInch * 100;
    return (centipoints * dpi + kCentipointsPerInch / 2) / kCentipointsPerInch;
}

}  // namespace Form1Layout
