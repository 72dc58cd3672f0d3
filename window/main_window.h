// Form1, the program's one window: type a Shamsi date, press Convert and
// read it as a Miladi date, back as a long Shamsi text and in English words.
// Today's date is shown in both calendars from the moment the window opens.
#pragma once

#include <QString>
#include <QWidget>

#include "services.h"

class QLabel;
class QLineEdit;
class QPushButton;
class ClickLabel;

class Form1 : public QWidget {
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
    void FormLoad();
    void CentreOnScreen();

    void cmdConvert_Click();
    void cmdExit_Click();
    void Label4_Click();

    Runtime::Environment& environment_;
    bool centred_ = false;

    // In tab order.
    QLineEdit* txtShamsi_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QPushButton* cmdConvert_ = nullptr;
    QLabel* lblNotice_ = nullptr;
    QLabel* lblTodayShamsi_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLabel* lblShamsi_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QLabel* lblMiladi_ = nullptr;
    QLabel* lblTodayMiladi_ = nullptr;
    QLabel* lblMiladiString_ = nullptr;
    ClickLabel* Label4_ = nullptr;
};
