// The main window against its layout table and its four events, driven with
// a recording environment so that no message box ever blocks.
#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "expected_texts.h"
#include "main_window.h"
#include "recording_environment.h"

namespace {

enum class Kind { Label, Button, TextBox };
// The window's default font is the face the buttons use.
enum class Face { Tahoma, Arial, WindowDefault };
enum class Look { Box, Heading, Address, Toolkit };

struct Control {
    const char* name = nullptr;
    Kind kind = Kind::Label;
    int left = 0, top = 0, width = 0, height = 0;  // twips
    Face face = Face::WindowDefault;
    qreal points = 0;
    Look look = Look::Toolkit;
    Qt::Alignment horizontal;  // empty: the toolkit's default
    int tabIndex = 0;
};

// The window's layout, control by control, in twips.
const Control kControls[] = {
    {"lblNotice", Kind::Label, 150, 150, 2880, 495, Face::Tahoma, 8.25, Look::Box, Qt::AlignRight, 4},
    {"Label1", Kind::Label, 2670, 675, 360, 225, Face::Tahoma, 9.75, Look::Heading, Qt::AlignRight, 6},
    {"lblTodayShamsi", Kind::Label, 150, 960, 2880, 345, Face::Tahoma, 9.75, Look::Box, Qt::AlignHCenter, 5},
    {"lblTodayMiladi", Kind::Label, 150, 1350, 2880, 345, Face::Tahoma, 9.75, Look::Box, Qt::AlignHCenter,
     10},
    {"cmdConvert", Kind::Button, 150, 1830, 765, 300, Face::WindowDefault, 0, Look::Toolkit, {}, 3},
    {"txtShamsi", Kind::TextBox, 1020, 1830, 1155, 270, Face::Tahoma, 9.75, Look::Toolkit, Qt::AlignLeft, 0},
    {"Label3", Kind::Label, 2280, 1830, 750, 300, Face::Tahoma, 9.75, Look::Heading, Qt::AlignRight, 2},
    {"cmdExit", Kind::Button, 150, 2190, 765, 300, Face::WindowDefault, 0, Look::Toolkit, {}, 8},
    {"lblMiladi", Kind::Label, 1020, 2190, 1155, 270, Face::Arial, 9.75, Look::Box, Qt::AlignHCenter, 9},
    {"Label2", Kind::Label, 2460, 2190, 570, 300, Face::Tahoma, 9.75, Look::Heading, Qt::AlignRight, 1},
    {"lblShamsi", Kind::Label, 150, 2580, 2880, 345, Face::Tahoma, 9.75, Look::Box, Qt::AlignHCenter, 7},
    {"lblMiladiString", Kind::Label, 150, 2955, 2880, 345, Face::Tahoma, 9.75, Look::Box, Qt::AlignHCenter,
     11},
    {"Label4", Kind::Label, 360, 3300, 2295, 195, Face::Tahoma, 8.25, Look::Address, Qt::AlignRight, 12},
};

const char* const kResultLabels[] = {"lblNotice", "lblTodayShamsi", "lblTodayMiladi",
                                     "lblMiladi", "lblShamsi",      "lblMiladiString"};

const QColor kWindowBlue(0x00, 0x00, 0xC0);
const QColor kBoxLilac(0x80, 0x80, 0xFF);
const QColor kBoxInk(0x00, 0x00, 0x40);
const QColor kHeadingYellow(0xFF, 0xFF, 0x80);

constexpr Runtime::Date kNowruz2023{2023, 3, 21};

QRect PixelsFromTwips(const Control& c) { return {c.left / 15, c.top / 15, c.width / 15, c.height / 15}; }

// The long Shamsi form: weekday, day, month name and year, where the day and
// the year each bring a leading blank of their own.
QString LongShamsi(const QString& weekday, int day, const QString& month, int year) {
    return weekday + QStringLiteral("  ") + QString::number(day) + QStringLiteral(" ") + month +
           QStringLiteral("  ") + QString::number(year);
}

// The message boxes shown so far, in order.
QStringList Messages(const RecordingEnvironment& environment) {
    QStringList list;
    for (const Runtime::Text& text : environment.Messages()) {
        list.append(QString::fromStdU32String(text));
    }
    return list;
}

QString TextOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return button->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    return {};
}

bool HasArabicLetter(const QString& text) {
    return std::ranges::any_of(text, [](QChar c) { return c.unicode() >= 0x0621 && c.unicode() <= 0x06FF; });
}

bool UsesPersianYehOrKeheh(const QString& text) {
    return text.contains(QChar(0x06CC)) || text.contains(QChar(0x06A9));
}

template <class Predicate>
int CountPixels(const QImage& image, const QRect& area, Predicate predicate) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += predicate(QColor(image.pixel(x, y))) ? 1 : 0;
        }
    }
    return count;
}

QColor MostCommonColour(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    QRgb best = 0;
    int bestCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return QColor(best);
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<RecordingEnvironment> environment_;
    std::unique_ptr<Form1> form_;

    QWidget* Widget(const char* name) const { return form_->findChild<QWidget*>(QLatin1String(name)); }
    QLabel* Label(const char* name) const { return form_->findChild<QLabel*>(QLatin1String(name)); }
    QLineEdit* TextBox() const { return form_->findChild<QLineEdit*>(QStringLiteral("txtShamsi")); }
    QPushButton* Button(const char* name) const {
        return form_->findChild<QPushButton*>(QLatin1String(name));
    }

    void Convert(const QString& input) {
        TextBox()->setText(input);
        QTest::mouseClick(Button("cmdConvert"), Qt::LeftButton);
    }

    QStringList Snapshot() const {
        QStringList texts;
        for (const Control& c : kControls) {
            texts.append(TextOf(Widget(c.name)));
        }
        return texts;
    }

    bool ShowAndActivate() {
        form_->show();
        form_->activateWindow();
        return QTest::qWaitForWindowActive(form_.get());
    }

private slots:
    void init() {
        environment_ = std::make_unique<RecordingEnvironment>(kNowruz2023);
        form_ = std::make_unique<Form1>(*environment_);
    }

    void cleanup() {
        form_.reset();
        environment_.reset();
    }

    void windowFrame() {
        QCOMPARE(form_->objectName(), QStringLiteral("Form1"));
        QCOMPARE(form_->windowTitle(), Expected::kCaption);
        QCOMPARE(form_->size(), QSize(211, 231));
        QCOMPARE(form_->minimumSize(), QSize(211, 231));
        QCOMPARE(form_->maximumSize(), QSize(211, 231));

        const Qt::WindowFlags flags = form_->windowFlags();
        QCOMPARE(form_->windowType(), Qt::Dialog);
        QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));

        QVERIFY(form_->autoFillBackground());
        QCOMPARE(form_->palette().color(QPalette::Window), kWindowBlue);
    }

    void opensCentred() {
        QVERIFY(ShowAndActivate());
        const QRect screen = form_->screen()->availableGeometry();
        const QPoint offset = form_->frameGeometry().center() - screen.center();
        QVERIFY2(offset.manhattanLength() <= 1,
                 qPrintable(QStringLiteral("off centre by %1,%2").arg(offset.x()).arg(offset.y())));
    }

    void controls_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kControls)); ++row) {
            QTest::addRow("%s", kControls[row].name) << row;
        }
    }

    void controls() {
        QFETCH(int, row);
        const Control& c = kControls[row];
        QWidget* widget = Widget(c.name);
        QVERIFY2(widget != nullptr, c.name);
        QCOMPARE(widget->parentWidget(), form_.get());
        QVERIFY(widget->isVisibleTo(form_.get()));

        switch (c.kind) {
            case Kind::Label:
                QVERIFY(qobject_cast<QLabel*>(widget) != nullptr);
                QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
                break;
            case Kind::Button: {
                auto* button = qobject_cast<QPushButton*>(widget);
                QVERIFY(button != nullptr);
                QVERIFY(!button->isDefault());
                QVERIFY(!button->autoDefault());
                QVERIFY(widget->focusPolicy() & Qt::TabFocus);
                break;
            }
            case Kind::TextBox:
                QVERIFY(qobject_cast<QLineEdit*>(widget) != nullptr);
                QVERIFY(widget->focusPolicy() & Qt::TabFocus);
                QCOMPARE(widget->layoutDirection(), Qt::LeftToRight);
                break;
        }

        QCOMPARE(widget->geometry(), PixelsFromTwips(c));

        // Font: family, size and a plain face; and the face actually drawn is
        // the named one or its stand-in, never an arbitrary fallback.
        const QFont font = widget->font();
        QVERIFY(!font.bold());
        QVERIFY(!font.italic());
        QVERIFY(!font.underline());
        QVERIFY(!font.strikeOut());
        QCOMPARE(font.weight(), QFont::Normal);
        const QString drawn = widget->fontInfo().family();
        switch (c.face) {
            case Face::Tahoma:
                QCOMPARE(font.families().value(0), QStringLiteral("Tahoma"));
                QCOMPARE(font.pointSizeF(), c.points);
                QVERIFY2(drawn == QStringLiteral("Tahoma") || drawn == QStringLiteral("Vazirmatn UI"),
                         qPrintable(drawn));
                break;
            case Face::Arial:
                QCOMPARE(font.families().value(0), QStringLiteral("Arial"));
                QCOMPARE(font.pointSizeF(), c.points);
                QVERIFY2(drawn == QStringLiteral("Arial") || drawn == QStringLiteral("Liberation Sans"),
                         qPrintable(drawn));
                break;
            case Face::WindowDefault:
                QCOMPARE(font, form_->font());
                break;
        }

        const QPalette palette = widget->palette();
        const QPalette standard = QGuiApplication::palette();
        switch (c.look) {
            case Look::Box:
                QVERIFY(widget->autoFillBackground());
                QCOMPARE(palette.color(QPalette::Window), kBoxLilac);
                QCOMPARE(palette.color(QPalette::WindowText), kBoxInk);
                break;
            case Look::Heading:
                QVERIFY(!widget->autoFillBackground());
                QCOMPARE(palette.color(QPalette::WindowText), kHeadingYellow);
                break;
            case Look::Address:
                QVERIFY(widget->autoFillBackground());
                QCOMPARE(palette.color(QPalette::Window), kWindowBlue);
                QCOMPARE(palette.color(QPalette::WindowText), standard.color(QPalette::WindowText));
                break;
            case Look::Toolkit:
                for (const QPalette::ColorRole role :
                     {QPalette::Window, QPalette::WindowText, QPalette::Button, QPalette::ButtonText,
                      QPalette::Base, QPalette::Text}) {
                    QCOMPARE(palette.color(role), standard.color(role));
                }
                break;
        }

        if (c.horizontal != Qt::Alignment()) {
            Qt::Alignment alignment;
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                alignment = label->alignment();
            } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                alignment = edit->alignment();
            }
            QCOMPARE(alignment & Qt::AlignHorizontal_Mask, c.horizontal);
            QCOMPARE(widget->layoutDirection(), Qt::LeftToRight);
        }
    }

    void captions() {
        QCOMPARE(Label("Label1")->text(), Expected::kToday);
        QCOMPARE(Label("Label2")->text(), Expected::kMiladi);
        QCOMPARE(Label("Label3")->text(), Expected::kShamsi);
        QCOMPARE(Button("cmdConvert")->text(), Expected::kConvert);
        QCOMPARE(Button("cmdExit")->text(), Expected::kExit);
        QCOMPARE(Label("Label4")->text(), Form1::WebAddress());
        QVERIFY(Form1::WebAddress().startsWith(QStringLiteral("https://")));
        QVERIFY(!Form1::WebAddress().contains(QLatin1Char(' ')));
        // The whole address shows within the label.
        const QLabel* label4 = Label("Label4");
        QVERIFY(label4->fontMetrics().horizontalAdvance(label4->text()) <= label4->width());
    }

    void focusChainFollowsTabIndex() {
        QStringList expected(int(std::size(kControls)));
        for (const Control& c : kControls) {
            expected[c.tabIndex] = QLatin1String(c.name);
        }
        QStringList chain;
        for (QWidget* w = form_->nextInFocusChain(); w != form_.get(); w = w->nextInFocusChain()) {
            QVERIFY(chain.size() < 100);
            if (w->parentWidget() == form_.get() && !w->objectName().isEmpty()) {
                chain.append(w->objectName());
            }
        }
        QCOMPARE(chain, expected);
    }

    void tabMovesTextBoxConvertExit() {
        QVERIFY(ShowAndActivate());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(TextBox()));

        const char* const order[] = {"cmdConvert", "cmdExit", "txtShamsi", "cmdConvert"};
        for (const char* name : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), Widget(name));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(TextBox()));
        QVERIFY(Messages(*environment_).isEmpty());
    }

    void painting() {
        const QImage image = form_->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), QSize(211, 231));
        QCOMPARE(QColor(image.pixel(2, 2)), kWindowBlue);

        for (const Control& c : kControls) {
            const QRect r = PixelsFromTwips(c).intersected(image.rect());
            switch (c.look) {
                case Look::Box:
                    QVERIFY2(MostCommonColour(image, r) == kBoxLilac, c.name);
                    break;
                case Look::Heading:
                    // Nothing of its own behind the caption: the window shows
                    // through, and the yellow caption is drawn on it.
                    QVERIFY2(MostCommonColour(image, r) == kWindowBlue, c.name);
                    QVERIFY2(CountPixels(image, r,
                                         [](QColor p) { return p.red() > 0xB0 && p.green() > 0xB0; }) > 0,
                             c.name);
                    QVERIFY2(CountPixels(image, r, [](QColor p) { return p == kBoxLilac; }) == 0, c.name);
                    break;
                case Look::Address:
                case Look::Toolkit:
                    break;
            }
        }
    }

    void noticeShowsTwoLines() {
        QLabel* notice = Label("lblNotice");
        QCOMPARE(notice->text(), Expected::kNoticeInput + QStringLiteral("\r\n") + Expected::kNoticeOutput);

        const QImage image = notice->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int lineHeight = notice->fontMetrics().lineSpacing();
        int firstInk = -1;
        int lastInk = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (QColor(image.pixel(x, y)) != kBoxLilac) {
                    firstInk = firstInk < 0 ? y : firstInk;
                    lastInk = y;
                }
            }
        }
        QVERIFY(firstInk >= 0);
        QVERIFY2(firstInk < lineHeight, "first line missing");
        QVERIFY2(lastInk >= lineHeight + lineHeight / 2, "second line missing");

        // The carriage return draws nothing: the same label broken by a bare
        // line feed looks exactly the same.
        QLabel reference(Expected::kNoticeInput + QStringLiteral("\n") + Expected::kNoticeOutput);
        reference.setFont(notice->font());
        reference.setAlignment(notice->alignment());
        reference.setPalette(notice->palette());
        reference.setAutoFillBackground(true);
        reference.resize(notice->size());
        QCOMPARE(reference.grab().toImage().convertToFormat(QImage::Format_RGB32), image);
    }

    void startState_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("shamsi");
        QTest::addColumn<QString>("miladi");
        QTest::newRow("1 Farvardin 1402")
            << 2023 << 3 << 21 << LongShamsi(Expected::kTuesday, 1, Expected::kFarvardin, 1402)
            << QStringLiteral("21 March 2023");
        QTest::newRow("7 April 2003")
            << 2003 << 4 << 7 << LongShamsi(Expected::kMonday, 18, Expected::kFarvardin, 1382)
            << QStringLiteral("7 April 2003");
    }

    void startState() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(QString, shamsi);
        QFETCH(QString, miladi);

        form_.reset();
        environment_ = std::make_unique<RecordingEnvironment>(Runtime::Date{year, month, day});
        form_ = std::make_unique<Form1>(*environment_);

        QCOMPARE(Label("lblNotice")->text(),
                 Expected::kNoticeInput + QStringLiteral("\r\n") + Expected::kNoticeOutput);
        QCOMPARE(Label("lblTodayShamsi")->text(), shamsi);
        QCOMPARE(Label("lblTodayMiladi")->text(), miladi);
        QCOMPARE(Label("lblMiladi")->text(), QString());
        QCOMPARE(Label("lblShamsi")->text(), QString());
        QCOMPARE(Label("lblMiladiString")->text(), QString());
        QCOMPARE(TextBox()->text(), QString());
        QCOMPARE(form_->focusWidget(), static_cast<QWidget*>(TextBox()));
        QVERIFY(Messages(*environment_).isEmpty());
    }

    void convert_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("miladi");
        QTest::addColumn<QString>("shamsi");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("12 Farvardin 1382") << QStringLiteral("82/01/12") << QStringLiteral("2003/04/01")
                                           << LongShamsi(Expected::kTuesday, 12, Expected::kFarvardin, 1382)
                                           << QStringLiteral("01 April 2003") << QStringList();
        QTest::newRow("1 Farvardin 1382") << QStringLiteral("82/01/01") << QStringLiteral("2003/03/21")
                                          << LongShamsi(Expected::kFriday, 1, Expected::kFarvardin, 1382)
                                          << QStringLiteral("21 March 2003") << QStringList();
        QTest::newRow("day past its month still converts")
            << QStringLiteral("82/07/31") << QStringLiteral("2003/10/23")
            << LongShamsi(Expected::kThursday, 1, Expected::kAban, 1382) << QStringLiteral("23 October 2003")
            << QStringList{Expected::kDayMarker};
        QTest::newRow("empty") << QString() << QString() << QString() << QString()
                               << QStringList{Expected::kLengthMessage, Expected::kTwoDigitsMessage};
        QTest::newRow("short") << QStringLiteral("82/1/1") << QString() << QString() << QString()
                               << QStringList{Expected::kLengthMessage, Expected::kTwoDigitsMessage};
        // The text goes to the routine exactly as typed, blanks included.
        QTest::newRow("trailing blank") << QStringLiteral("82/01/12 ") << QString() << QString() << QString()
                                        << QStringList{Expected::kLengthMessage, Expected::kTwoDigitsMessage};
        QTest::newRow("eight blanks") << QStringLiteral("        ") << QString() << QString() << QString()
                                      << QStringList{Expected::kYearMessage};
        QTest::newRow("month 13") << QStringLiteral("82/13/01") << QString() << QString() << QString()
                                  << QStringList{Expected::kMonthMessage};
        QTest::newRow("year not a number") << QStringLiteral("0A/01/01") << QString() << QString()
                                           << QString() << QStringList{Expected::kYearMessage};
    }

    void convert() {
        QFETCH(QString, input);
        QFETCH(QString, miladi);
        QFETCH(QString, shamsi);
        QFETCH(QString, words);
        QFETCH(QStringList, messages);

        const QString todayShamsi = Label("lblTodayShamsi")->text();
        const QString todayMiladi = Label("lblTodayMiladi")->text();
        Convert(input);

        QCOMPARE(Label("lblMiladi")->text(), miladi);
        QCOMPARE(Label("lblShamsi")->text(), shamsi);
        QCOMPARE(Label("lblMiladiString")->text(), words);
        QCOMPARE(Messages(*environment_), messages);
        // The routines worked on a copy: the text box shows what was typed.
        QCOMPARE(TextBox()->text(), input);
        // Today's labels are filled once, at load.
        QCOMPARE(Label("lblTodayShamsi")->text(), todayShamsi);
        QCOMPARE(Label("lblTodayMiladi")->text(), todayMiladi);
    }

    void badAfterGood_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("empty") << QString()
                               << QStringList{Expected::kLengthMessage, Expected::kTwoDigitsMessage};
        QTest::newRow("too long") << QStringLiteral("82/01/011")
                                  << QStringList{Expected::kLengthMessage, Expected::kTwoDigitsMessage};
        QTest::newRow("month 00") << QStringLiteral("82/00/05") << QStringList{Expected::kMonthMessage};
        QTest::newRow("year not a number")
            << QStringLiteral("0A/01/01") << QStringList{Expected::kYearMessage};
    }

    void badAfterGood() {
        QFETCH(QString, input);
        QFETCH(QStringList, messages);

        Convert(QStringLiteral("82/01/12"));
        QCOMPARE(Label("lblMiladi")->text(), QStringLiteral("2003/04/01"));
        const QString shamsi = Label("lblShamsi")->text();
        const QString words = Label("lblMiladiString")->text();
        QVERIFY(!shamsi.isEmpty());
        QVERIFY(!words.isEmpty());
        QVERIFY(Messages(*environment_).isEmpty());

        Convert(input);
        QCOMPARE(Label("lblMiladi")->text(), QString());
        QCOMPARE(Label("lblShamsi")->text(), shamsi);
        QCOMPARE(Label("lblMiladiString")->text(), words);
        QCOMPARE(Messages(*environment_), messages);
        QCOMPARE(TextBox()->text(), input);
    }

    void enterAndEscapeDoNothing_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        const QStringList focusable{QStringLiteral("txtShamsi"), QStringLiteral("cmdConvert"),
                                    QStringLiteral("cmdExit")};
        for (const QString& focus : focusable) {
            QTest::newRow(qPrintable(focus + QStringLiteral(" Return"))) << focus << int(Qt::Key_Return);
            QTest::newRow(qPrintable(focus + QStringLiteral(" Enter"))) << focus << int(Qt::Key_Enter);
            QTest::newRow(qPrintable(focus + QStringLiteral(" Escape"))) << focus << int(Qt::Key_Escape);
        }
    }

    void enterAndEscapeDoNothing() {
        QFETCH(QString, focus);
        QFETCH(int, key);

        QVERIFY(ShowAndActivate());
        TextBox()->setText(QStringLiteral("82/01/12"));
        QWidget* target = form_->findChild<QWidget*>(focus);
        target->setFocus();
        QCOMPARE(QApplication::focusWidget(), target);
        const QStringList before = Snapshot();

        QTest::keyClick(target, Qt::Key(key));
        QTest::qWait(20);

        QVERIFY(form_->isVisible());
        QCOMPARE(Snapshot(), before);
        QVERIFY(Messages(*environment_).isEmpty());
    }

    // The key tests above can fail: the focused Convert button does answer
    // the space bar, as any button does.
    void spaceClicksFocusedConvert() {
        QVERIFY(ShowAndActivate());
        TextBox()->setText(QStringLiteral("82/01/12"));
        Button("cmdConvert")->setFocus();
        QTest::keyClick(Button("cmdConvert"), Qt::Key_Space);
        QCOMPARE(Label("lblMiladi")->text(), QStringLiteral("2003/04/01"));
    }

    void typingConvertsNothing() {
        QVERIFY(ShowAndActivate());
        QTest::keyClicks(TextBox(), QStringLiteral("82/01/12"));
        QCOMPARE(TextBox()->text(), QStringLiteral("82/01/12"));
        QCOMPARE(Label("lblMiladi")->text(), QString());
        QCOMPARE(Label("lblShamsi")->text(), QString());
        QCOMPARE(Label("lblMiladiString")->text(), QString());
        QVERIFY(Messages(*environment_).isEmpty());
    }

    void label4ShowsTheCredit() {
        const QString credit = Form1::Credit();
        QVERIFY(HasArabicLetter(credit));
        QVERIFY(!credit.contains(QLatin1Char('\n')));
        QVERIFY(!credit.contains(QLatin1Char('\r')));

        QVERIFY(ShowAndActivate());
        Convert(QStringLiteral("82/01/12"));
        TextBox()->setText(QStringLiteral("82/01/13"));
        environment_->Clear();
        const QStringList before = Snapshot();

        for (int click = 0; click < 3; ++click) {
            QTest::mouseClick(Label("Label4"), Qt::LeftButton);
        }
        QCOMPARE(Messages(*environment_), (QStringList{credit, credit, credit}));
        QCOMPARE(Snapshot(), before);

        // A click that only ends over the label is not a click on it.
        QTest::mouseRelease(Label("Label4"), Qt::LeftButton);
        QTest::mouseClick(Label("Label4"), Qt::RightButton);
        QCOMPARE(Messages(*environment_).size(), 3);
    }

    void otherLabelsIgnoreClicks_data() {
        QTest::addColumn<QString>("name");
        for (const Control& c : kControls) {
            if (c.kind == Kind::Label && QLatin1String(c.name) != QLatin1String("Label4")) {
                QTest::addRow("%s", c.name) << QString::fromLatin1(c.name);
            }
        }
    }

    void otherLabelsIgnoreClicks() {
        QFETCH(QString, name);
        QVERIFY(ShowAndActivate());
        Convert(QStringLiteral("82/01/12"));
        const QStringList before = Snapshot();
        QTest::mouseClick(form_->findChild<QLabel*>(name), Qt::LeftButton);
        QTest::mouseDClick(form_->findChild<QLabel*>(name), Qt::LeftButton);
        QCOMPARE(Snapshot(), before);
        QVERIFY(Messages(*environment_).isEmpty());
    }

    // Exit closes the window, and with its one window closed the program's
    // event loop ends.
    void exitEndsTheProgram() {
        QVERIFY(ShowAndActivate());
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        bool timedOut = false;
        QTimer::singleShot(0, this, [this] { QTest::mouseClick(Button("cmdExit"), Qt::LeftButton); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [&timedOut] {
            timedOut = true;
            QApplication::exit(1);
        });
        watchdog.start(5000);

        const int exitCode = QApplication::exec();
        watchdog.stop();

        QVERIFY(!timedOut);
        QCOMPARE(exitCode, 0);
        QVERIFY(!form_->isVisible());
        QCOMPARE(lastWindowClosed.count(), 1);
        QVERIFY(Messages(*environment_).isEmpty());
    }

    void accessibility() {
        Convert(QStringLiteral("82/01/12"));
        for (const Control& c : kControls) {
            QWidget* widget = Widget(c.name);
            QVERIFY2(HasArabicLetter(widget->accessibleDescription()), c.name);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(accessible != nullptr, c.name);
            QCOMPARE(accessible->text(QAccessible::Description), widget->accessibleDescription());
        }
        for (const char* name : kResultLabels) {
            QLabel* label = Label(name);
            QVERIFY2(!label->text().isEmpty(), name);
            QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), label->text());
        }
        // The name follows the text as it changes.
        Convert(QStringLiteral("82/01/01"));
        QCOMPARE(QAccessible::queryAccessibleInterface(Label("lblMiladi"))->text(QAccessible::Name),
                 QStringLiteral("2003/03/21"));
    }

    void persianTextsUseArabicYeh() {
        QStringList texts{form_->windowTitle(), form_->accessibleDescription(), Form1::Credit()};
        for (const Control& c : kControls) {
            texts << TextOf(Widget(c.name)) << Widget(c.name)->accessibleDescription();
        }
        for (const QString& text : texts) {
            QVERIFY2(!UsesPersianYehOrKeheh(text), qPrintable(text));
        }
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
