// The main window's behaviour for the web page, compiled to WebAssembly
// (web/page/form.js is the other side). The page's controls are elements
// made from the layout table; this module keeps their texts, and tells the
// page each new caption and each message through the functions it imports.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "form1_behaviour.h"
#include "form1_layout.h"
#include "services.h"

// What the page provides.
extern "C" {
// Today's local date as year * 10000 + month * 100 + day.
__attribute__((import_module("page"), import_name("today"))) std::int32_t PageToday();
// A modal message box with the text (UTF-16), shown after the boxes before it.
__attribute__((import_module("page"), import_name("message"))) void PageMessage(const char16_t* text,
                                                                                std::size_t length);
__attribute__((import_module("page"), import_name("caption"))) void PageCaption(int control,
                                                                                const char16_t* text,
                                                                                std::size_t length);
__attribute__((import_module("page"), import_name("close"))) void PageClose();
}

namespace {

class PageEnvironment final : public Runtime::Environment {
public:
    [[nodiscard]] Runtime::Date Today() const override {
        const std::int32_t today = PageToday();
        return {today / 10000, today / 100 % 100, today % 100};
    }

    // The page shows the boxes one after another, in this order; the
    // routines go on at once, as they do after the user has closed a box.
    void MessageBox(const Runtime::Text& text) override {
        const std::u16string utf16 = Runtime::Utf16FromText(text);
        PageMessage(utf16.data(), utf16.size());
    }
};

class PageView final : public Form1View {
public:
    [[nodiscard]] Runtime::Text Text(Form1Layout::Control control) const override {
        return texts_.at(Index(control));
    }

    void SetText(Form1Layout::Control control, const Runtime::Text& text) override {
        texts_.at(Index(control)) = text;
        const std::u16string utf16 = Runtime::Utf16FromText(text);
        PageCaption(static_cast<int>(control), utf16.data(), utf16.size());
    }

    void Close() override { PageClose(); }

    // What the user typed into the text box.
    void SetTyped(const Runtime::Text& text) { texts_.at(Index(Form1Layout::Control::txtShamsi)) = text; }

private:
    static std::size_t Index(Form1Layout::Control control) { return static_cast<std::size_t>(control); }

    std::array<Runtime::Text, Form1Layout::kControlCount> texts_ = [] {
        std::array<Runtime::Text, Form1Layout::kControlCount> captions;
        for (const Form1Layout::ControlLayout& layout : Form1Layout::kControls) {
            captions.at(Index(layout.control)) = Runtime::Text(layout.caption);
        }
        return captions;
    }();
};

// The window: its controls and its behaviour.
struct Page {
    PageEnvironment environment;
    PageView view;
    Form1Behaviour behaviour{view, environment};
    std::u16string typed;
};

Page& ThePage() {
    static Page page;
    return page;
}

}  // namespace

extern "C" {

// Room for the text box's text, length UTF-16 units.
char16_t* Typed(std::size_t length) {
    std::u16string& typed = ThePage().typed;
    typed.resize(length);
    return typed.data();
}

void Load() { ThePage().behaviour.Form_Load(); }

// Converts the text written into Typed().
void Convert() {
    Page& page = ThePage();
    page.view.SetTyped(Runtime::TextFromUtf16(page.typed));
    page.behaviour.cmdConvert_Click();
}

void Exit() { ThePage().behaviour.cmdExit_Click(); }

void ClickWebAddress() { ThePage().behaviour.Label4_Click(); }

}  // extern "C"
