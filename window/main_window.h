// Form1, the program's one window: type a Shamsi date, press Convert and
// read it as a Miladi date, back as a long Shamsi text and in English words.
// Today's date is shown in both calendars from the moment the window opens.
//
// The controls are made from the window's layout table and the events go to
// its toolkit-free handlers; this class only adds what Qt needs.
#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "form1_behaviour.h"
#include "services.h"

class Form1 : public QWidget, private Form1View {
    Q_OBJECT

public:
    // The environment supplies today's date and shows the message boxes of
    // the window and of the calendar routines; it must outlive the window.
    explicit Form1(Runtime::Environment& environment, QWidget* parent = nullptr);

    // The window's caption, which is also the application title.
    static QString Caption();
    // The one-line credit shown by a click on the web address.
    static QString Credit();
    // The web address shown at the bottom of the window.
    static QString WebAddress();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    QWidget* CreateControl(const Form1Layout::ControlLayout& layout);
    void CentreOnScreen();

    [[nodiscard]] Runtime::Text Text(Form1Layout::Control control) const override;
    void SetText(Form1Layout::Control control, const Runtime::Text& text) override;
    void Close() override;

    [[nodiscard]] QWidget* Widget(Form1Layout::Control control) const;
    static void SetWidgetText(QWidget* widget, const Runtime::Text& text);

    Form1Behaviour behaviour_;
    bool centred_ = false;
    // Indexed by Form1Layout::Control.
    std::array<QWidget*, Form1Layout::kControlCount> controls_{};
};
