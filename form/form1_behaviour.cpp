#include "form1_behaviour.h"

#include "module1.h"

using Form1Layout::Control;

Form1Behaviour::Form1Behaviour(Form1View& view, Runtime::Environment& environment)
    : view_(view), environment_(environment) {}

Runtime::Text Form1Behaviour::Notice() {
    Runtime::Text notice(Form1Layout::kNoticeInputLine);
    notice += Form1Layout::kLineBreak;
    notice += Form1Layout::kNoticeOutputLine;
    return notice;
}

void Form1Behaviour::Form_Load() {
    view_.SetText(Control::lblNotice, Notice());

    // The empty text means today.
    Runtime::Text today;
    view_.SetText(Control::lblTodayShamsi, Module1::MiladiToShamsi(today, false, environment_));
    today.clear();
    view_.SetText(Control::lblTodayMiladi, Module1::MiladiToString(today, environment_));
}

void Form1Behaviour::cmdConvert_Click() {
    // Each routine works on a copy of the text it reads, never on the
    // control's own.
    Runtime::Text shamsi = view_.Text(Control::txtShamsi);
    view_.SetText(Control::lblMiladi, Module1::ShamsiToMiladi(shamsi, environment_));

    // Only zero length counts as empty: the routine has told the user why.
    if (view_.Text(Control::lblMiladi).empty()) {
        return;
    }

    Runtime::Text miladi = view_.Text(Control::lblMiladi);
    view_.SetText(Control::lblShamsi, Module1::MiladiToShamsi(miladi, false, environment_));

    miladi = view_.Text(Control::lblMiladi);
    view_.SetText(Control::lblMiladiString, Module1::MiladiToString(miladi, environment_));
}

void Form1Behaviour::cmdExit_Click() { view_.Close(); }

void Form1Behaviour::Label4_Click() { environment_.MessageBox(Runtime::Text(Form1Layout::kCredit)); }
