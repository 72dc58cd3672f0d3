// Writes the web page's index.html from its template and the window's
// layout table: the window's caption as the page's title, and each control
// as an element whose id is its name, placed and styled as the table says.
//
// Usage: web-form-html TEMPLATE OUTPUT
//
// The template holds @TITLE@, @STYLE@, @CONTROLS@ and @MESSAGE_BUTTON@.
// Places are kept in twips: the page gives the CSS variable --twip the width
// of one twip, so the whole form scales with the screen. A point is 20 twips.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>

#include "form1_layout.h"
#include "services.h"

namespace {

using Form1Layout::Alignment;
using Form1Layout::ControlLayout;
using Form1Layout::Face;
using Form1Layout::Kind;
using Form1Layout::Paint;
using Form1Layout::Rgb;

// The window's default font, which the push buttons use: 8.25 pt, as the
// other small texts of the form.
constexpr int kDefaultCentipoints = 825;
constexpr int kCentipointsPerTwip = 5;  // 100 hundredths of a point are 20 twips

// Text as HTML element content or attribute value.
std::string Escaped(std::u32string_view text) {
    std::string html;
    for (const char c : Runtime::Utf8FromText(text)) {
        switch (c) {
            case '&':
                html += "&amp;";
                break;
            case '<':
                html += "&lt;";
                break;
            case '>':
                html += "&gt;";
                break;
            case '"':
                html += "&quot;";
                break;
            default:
                html += c;
        }
    }
    return html;
}

// "#rrggbb".
std::string Hex(const Rgb& rgb) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string hex = "#";
    for (const std::uint8_t part : {rgb.red, rgb.green, rgb.blue}) {
        hex += kDigits[part / 16];
        hex += kDigits[part % 16];
    }
    return hex;
}

std::string Twips(int twips) { return "calc(" + std::to_string(twips) + "*var(--twip))"; }

std::string_view FontFamily(Face face) {
    // The bundled Vazirmatn UI stands in for Tahoma where the machine has
    // none; Liberation Sans for Arial.
    switch (face) {
        case Face::Arial:
            return "Arial,\"Liberation Sans\",sans-serif";
        case Face::Tahoma:
        case Face::WindowDefault:
            break;
    }
    return "Tahoma,\"Vazirmatn UI\",sans-serif";
}

std::string_view TextAlign(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left:
            return "left";
        case Alignment::Centre:
            return "center";
        case Alignment::Right:
            return "right";
        case Alignment::ToolkitDefault:
            break;
    }
    return {};
}

void AddPaint(std::ostream& css, std::string_view property, const Paint& paint) {
    if (paint.kind == Paint::Kind::Colour) {
        css << property << ':' << Hex(paint.colour) << ';';
    } else if (paint.kind == Paint::Kind::Transparent) {
        css << property << ":transparent;";
    }
}

std::string Style() {
    std::ostringstream css;
    css << "#form{width:" << Twips(Form1Layout::kClientWidth)
        << ";height:" << Twips(Form1Layout::kClientHeight) << ";background:" << Hex(Form1Layout::kWindowBlue)
        << "}\n";
    for (const ControlLayout& layout : Form1Layout::kControls) {
        const int centipoints = layout.font.centipoints != 0 ? layout.font.centipoints : kDefaultCentipoints;
        css << '#' << layout.name << "{left:" << Twips(layout.place.left)
            << ";top:" << Twips(layout.place.top) << ";width:" << Twips(layout.place.width)
            << ";height:" << Twips(layout.place.height)
            << ";font-size:" << Twips(centipoints / kCentipointsPerTwip)
            << ";font-family:" << FontFamily(layout.font.face) << ';';
        AddPaint(css, "background", layout.background);
        AddPaint(css, "color", layout.text);
        if (const std::string_view align = TextAlign(layout.alignment); !align.empty()) {
            css << "text-align:" << align << ';';
        }
        css << "}\n";
    }
    return css.str();
}

// What the page adds for keyboards and screen readers: the input box is
// named by the heading beside it, and the web address, which answers a
// click, is a control that takes the focus (after the buttons, the last in
// tab order) and answers Enter and Space as well (form.js).
std::string Accessibility(Form1Layout::Control control) {
    switch (control) {
        case Form1Layout::Control::txtShamsi:
            return std::string(" aria-labelledby=\"") +
                   std::string(Form1Layout::Layout(Form1Layout::Control::Label3).name) + '"';
        case Form1Layout::Control::Label4:
            return " role=\"button\" tabindex=\"0\"";
        default:
            return {};
    }
}

// The controls in tab order, so that the focus moves as in the window.
std::string Controls() {
    std::ostringstream html;
    for (const Form1Layout::Control control : Form1Layout::TabOrder()) {
        const ControlLayout& layout = Form1Layout::Layout(control);
        const std::string attributes =
            std::string(" id=\"") + std::string(layout.name) + "\" data-control=\"" +
            std::to_string(static_cast<int>(control)) + "\" dir=\"" + (layout.rightToLeft ? "rtl" : "ltr") +
            "\" aria-description=\"" + Escaped(layout.description) + "\"" + Accessibility(control);
        switch (layout.kind) {
            case Kind::Label:
                html << "<div class=\"label\"" << attributes << '>' << Escaped(layout.caption) << "</div>\n";
                break;
            case Kind::PushButton:
                html << "<button type=\"button\"" << attributes << '>' << Escaped(layout.caption)
                     << "</button>\n";
                break;
            case Kind::TextBox:
                html << "<input type=\"text\" autocomplete=\"off\" spellcheck=\"false\"" << attributes
                     << " value=\"" << Escaped(layout.caption) << "\">\n";
                break;
        }
    }
    return html.str();
}

// Every occurrence of the placeholder.
void Replace(std::string& text, std::string_view placeholder, const std::string& value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: web-form-html TEMPLATE OUTPUT\n";
        return 2;
    }
    const std::span<char*> arguments(argv, static_cast<std::size_t>(argc));
    std::ifstream in(arguments[1], std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    if (!in) {
        std::cerr << "web-form-html: cannot read " << arguments[1] << '\n';
        return 1;
    }
    std::string page = read.str();
    Replace(page, "@TITLE@", Escaped(Form1Layout::kCaption));
    Replace(page, "@STYLE@", Style());
    Replace(page, "@CONTROLS@", Controls());
    Replace(page, "@MESSAGE_BUTTON@", Escaped(Form1Layout::kMessageButton));
    std::ofstream out(arguments[2], std::ios::binary);
    out << page;
    out.close();
    if (!out) {
        std::cerr << "web-form-html: cannot write " << arguments[2] << '\n';
        return 1;
    }
    return 0;
}
