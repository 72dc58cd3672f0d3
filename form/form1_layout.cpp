#include "form1_layout.h"

#include <algorithm>

namespace Form1Layout {

namespace {

constexpr Paint kToolkit{};
constexpr Paint kTransparent{Paint::Kind::Transparent, {}};
constexpr Paint Colour(Rgb rgb) { return {Paint::Kind::Colour, rgb}; }

constexpr Font kSmall{Face::Tahoma, 825};
constexpr Font kNormal{Face::Tahoma, 975};
constexpr Font kArial{Face::Arial, 975};
constexpr Font kDefault{Face::WindowDefault, 0};

constexpr bool kPersian = true;
constexpr bool kLatin = false;

}  // namespace

// clang-format off
constexpr std::array<ControlLayout, kControlCount> kControls{{
    // control, name, kind, caption,
    //   left, top, width, height; font; background; text; alignment; tab index; reading order,
    //   description
    {Control::lblNotice, "lblNotice", Kind::Label, U"",
     {150, 150, 2880, 495}, kSmall, Colour(kBoxLilac), Colour(kBoxInk), Alignment::Right, 4, kPersian,
     U"راهنماي فرمت ورودي و خروجي تاريخ"},
    {Control::Label1, "Label1", Kind::Label, U"امروز",
     {2670, 675, 360, 225}, kNormal, kTransparent, Colour(kHeadingYellow), Alignment::Right, 6, kPersian,
     U"عنوان تاريخ امروز"},
    {Control::lblTodayShamsi, "lblTodayShamsi", Kind::Label, U"",
     {150, 960, 2880, 345}, kNormal, Colour(kBoxLilac), Colour(kBoxInk), Alignment::Centre, 5, kPersian,
     U"تاريخ شمسي امروز"},
    {Control::lblTodayMiladi, "lblTodayMiladi", Kind::Label, U"",
     {150, 1350, 2880, 345}, kNormal, Colour(kBoxLilac), Colour(kBoxInk), Alignment::Centre, 10, kLatin,
     U"تاريخ ميلادي امروز به حروف"},
    {Control::cmdConvert, "cmdConvert", Kind::PushButton, U"تبديل",
     {150, 1830, 765, 300}, kDefault, kToolkit, kToolkit, Alignment::ToolkitDefault, 3, kPersian,
     U"تبديل تاريخ شمسي به تاريخ ميلادي"},
    // Dates are typed in Latin digits, so the box reads left to right.
    {Control::txtShamsi, "txtShamsi", Kind::TextBox, U"",
     {1020, 1830, 1155, 270}, kNormal, kToolkit, kToolkit, Alignment::Left, 0, kLatin,
     U"محل ورود تاريخ شمسي با فرمت YY/MM/DD"},
    {Control::Label3, "Label3", Kind::Label, U"شمسي",
     {2280, 1830, 750, 300}, kNormal, kTransparent, Colour(kHeadingYellow), Alignment::Right, 2, kPersian,
     U"عنوان تاريخ شمسي"},
    {Control::cmdExit, "cmdExit", Kind::PushButton, U"خروج",
     {150, 2190, 765, 300}, kDefault, kToolkit, kToolkit, Alignment::ToolkitDefault, 8, kPersian,
     U"خروج از برنامه"},
    {Control::lblMiladi, "lblMiladi", Kind::Label, U"",
     {1020, 2190, 1155, 270}, kArial, Colour(kBoxLilac), Colour(kBoxInk), Alignment::Centre, 9, kLatin,
     U"تاريخ ميلادي تبديل شده"},
    {Control::Label2, "Label2", Kind::Label, U"ميلادي",
     {2460, 2190, 570, 300}, kNormal, kTransparent, Colour(kHeadingYellow), Alignment::Right, 1, kPersian,
     U"عنوان تاريخ ميلادي"},
    {Control::lblShamsi, "lblShamsi", Kind::Label, U"",
     {150, 2580, 2880, 345}, kNormal, Colour(kBoxLilac), Colour(kBoxInk), Alignment::Centre, 7, kPersian,
     U"تاريخ شمسي معادل تاريخ ميلادي تبديل شده"},
    {Control::lblMiladiString, "lblMiladiString", Kind::Label, U"",
     {150, 2955, 2880, 345}, kNormal, Colour(kBoxLilac), Colour(kBoxInk), Alignment::Centre, 11, kLatin,
     U"تاريخ ميلادي تبديل شده به حروف"},
    // Reaches 30 twips below the client area, which cuts that strip off.
    {Control::Label4, "Label4", Kind::Label, kWebAddress,
     {360, 3300, 2295, 195}, kSmall, Colour(kWindowBlue), kToolkit, Alignment::Right, 12, kLatin,
     U"نشاني اينترنتي برنامه و معرفي سازندگان"},
}};
// clang-format on

const ControlLayout& Layout(Control control) { return kControls.at(static_cast<std::size_t>(control)); }

std::array<Control, kControlCount> TabOrder() {
    // Plain algorithms, not their ranges forms: the web page's build
    // (emscripten's libc++) has no std::ranges::sort.
    std::array<Control, kControlCount> order{};
    std::transform(kControls.begin(), kControls.end(), order.begin(),
                   [](const ControlLayout& layout) { return layout.control; });
    std::sort(order.begin(), order.end(),
              [](Control a, Control b) { return Layout(a).tabIndex < Layout(b).tabIndex; });
    return order;
}

}  // namespace Form1Layout
