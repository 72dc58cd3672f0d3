// What the main window does, independent of any window toolkit: its four
// event handlers, which call the calendar routines and put their results
// into labels. A front-end creates the controls from the layout table,
// implements Form1View over them, and forwards its events here.
#pragma once

#include "form1_layout.h"
#include "services.h"

// The controls of a front-end, as the handlers see them.
class Form1View {
public:
    Form1View() = default;
    Form1View(const Form1View&) = delete;
    Form1View& operator=(const Form1View&) = delete;
    Form1View(Form1View&&) = delete;
    Form1View& operator=(Form1View&&) = delete;
    virtual ~Form1View() = default;

    // A copy of the control's caption, or of the text box's text.
    [[nodiscard]] virtual Runtime::Text Text(Form1Layout::Control control) const = 0;
    virtual void SetText(Form1Layout::Control control, const Runtime::Text& text) = 0;
    // Closes the window, which ends the program.
    virtual void Close() = 0;
};

class Form1Behaviour {
public:
    // Both must outlive the behaviour.
    Form1Behaviour(Form1View& view, Runtime::Environment& environment);

    // Before the window is first shown: the notice and today's date in both
    // calendars.
    void Form_Load();
    // Converts the text box's Shamsi date. After a bad one, the routine has
    // told the user why; the Miladi label is then empty and the two labels
    // below it keep what they showed.
    void cmdConvert_Click();
    void cmdExit_Click();
    // Shows the credit.
    void Label4_Click();

    // The notice's caption: its two lines joined by CR LF.
    [[nodiscard]] static Runtime::Text Notice();

private:
    Form1View& view_;
    Runtime::Environment& environment_;
};
