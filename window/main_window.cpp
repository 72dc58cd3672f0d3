#include "main_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>

#include "click_label.h"
#include "module1.h"
#include "project_info.h"
#include "qt_text.h"
#include "ui_fonts.h"

namespace {

// Positions and sizes are laid out in twips, 15 to a pixel at 96 dpi.
constexpr int kTwipsPerPixel = 15;

constexpr int Pixels(int twips) { return twips / kTwipsPerPixel; }

QRect TwipsRect(int left, int top, int width, int height) {
    return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

constexpr qreal kSmallPoints = 8.25;
constexpr qreal kNormalPoints = 9.75;

const QColor kWindowBlue(0x00, 0x00, 0xC0);
const QColor kBoxLilac(0x80, 0x80, 0xFF);
const QColor kBoxInk(0x00, 0x00, 0x40);
const QColor kHeadingYellow(0xFF, 0xFF, 0x80);

// A label with a background of its own, in the window's result-box colours.
void PaintAsBox(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, kBoxLilac);
    palette.setColor(QPalette::WindowText, kBoxInk);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

// A label that paints no background, so the window's blue shows through.
void PaintAsHeading(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kHeadingYellow);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
}

// Buttons and the text box keep the toolkit's own colours rather than
// inheriting the window's blue.
void KeepToolkitColours(QWidget* widget) {
    QPalette palette = widget->palette();
    const QPalette standard = QGuiApplication::palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText}) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, role, standard.color(group, role));
        }
    }
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, const QFont& font,
                  Qt::Alignment horizontal, const QString& description) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(horizontal | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAccessibleDescription(description);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QRect& geometry, const QString& caption,
                        const QString& description) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAccessibleDescription(description);
    KeepToolkitColours(button);
    return button;
}

}  // namespace

Form1::Form1(Runtime::Environment& environment, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      environment_(environment) {
    LoadBundledFonts();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption());
    setAccessibleName(Caption());
    setAccessibleDescription(QStringLiteral("مبدل تاريخ شمسي به ميلادي"));
    // Every position below is absolute, so nothing is mirrored, whatever the
    // application's layout direction.
    setLayoutDirection(Qt::LeftToRight);
    setFixedSize(Pixels(3165), Pixels(3465));
    // The window's default font, which the two buttons use.
    setFont(PersianUiFont(kSmallPoints));

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWindowBlue);
    setPalette(palette);
    setAutoFillBackground(true);

    CreateControls();

    connect(cmdConvert_, &QPushButton::clicked, this, &Form1::cmdConvert_Click);
    connect(cmdExit_, &QPushButton::clicked, this, &Form1::cmdExit_Click);
    connect(Label4_, &ClickLabel::clicked, this, &Form1::Label4_Click);

    FormLoad();
    txtShamsi_->setFocus();
}

QString Form1::Caption() { return QStringLiteral("مبدل تاريخ"); }

QString Form1::Credit() { return QStringLiteral("طراحي و برنامه نويسي: سازندگان مبدل تاريخ"); }

QString Form1::WebAddress() { return QStringView(ProjectInfo::kHomepageUrlUtf16).toString(); }

void Form1::CreateControls() {
    // Created in tab order, which is also the order of the focus chain.
    txtShamsi_ = new QLineEdit(this);
    txtShamsi_->setObjectName(QStringLiteral("txtShamsi"));
    txtShamsi_->setGeometry(TwipsRect(1020, 1830, 1155, 270));
    txtShamsi_->setFont(PersianUiFont(kNormalPoints));
    // Dates are typed in Latin digits, so the box reads left to right.
    txtShamsi_->setLayoutDirection(Qt::LeftToRight);
    txtShamsi_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    txtShamsi_->setFocusPolicy(Qt::StrongFocus);
    txtShamsi_->setAccessibleDescription(QStringLiteral("محل ورود تاريخ شمسي با فرمت YY/MM/DD"));
    KeepToolkitColours(txtShamsi_);

    Label2_ = MakeLabel(this, "Label2", TwipsRect(2460, 2190, 570, 300), PersianUiFont(kNormalPoints),
                        Qt::AlignRight, QStringLiteral("عنوان تاريخ ميلادي"));
    Label2_->setText(QStringLiteral("ميلادي"));
    PaintAsHeading(Label2_);

    Label3_ = MakeLabel(this, "Label3", TwipsRect(2280, 1830, 750, 300), PersianUiFont(kNormalPoints),
                        Qt::AlignRight, QStringLiteral("عنوان تاريخ شمسي"));
    Label3_->setText(QStringLiteral("شمسي"));
    PaintAsHeading(Label3_);

    cmdConvert_ = MakeButton(this, "cmdConvert", TwipsRect(150, 1830, 765, 300), QStringLiteral("تبديل"),
                             QStringLiteral("تبديل تاريخ شمسي به تاريخ ميلادي"));

    lblNotice_ = MakeLabel(this, "lblNotice", TwipsRect(150, 150, 2880, 495), PersianUiFont(kSmallPoints),
                           Qt::AlignRight, QStringLiteral("راهنماي فرمت ورودي و خروجي تاريخ"));
    PaintAsBox(lblNotice_);

    lblTodayShamsi_ =
        MakeLabel(this, "lblTodayShamsi", TwipsRect(150, 960, 2880, 345), PersianUiFont(kNormalPoints),
                  Qt::AlignHCenter, QStringLiteral("تاريخ شمسي امروز"));
    PaintAsBox(lblTodayShamsi_);

    Label1_ = MakeLabel(this, "Label1", TwipsRect(2670, 675, 360, 225), PersianUiFont(kNormalPoints),
                        Qt::AlignRight, QStringLiteral("عنوان تاريخ امروز"));
    Label1_->setText(QStringLiteral("امروز"));
    PaintAsHeading(Label1_);

    lblShamsi_ = MakeLabel(this, "lblShamsi", TwipsRect(150, 2580, 2880, 345), PersianUiFont(kNormalPoints),
                           Qt::AlignHCenter, QStringLiteral("تاريخ شمسي معادل تاريخ ميلادي تبديل شده"));
    PaintAsBox(lblShamsi_);

    cmdExit_ = MakeButton(this, "cmdExit", TwipsRect(150, 2190, 765, 300), QStringLiteral("خروج"),
                          QStringLiteral("خروج از برنامه"));

    lblMiladi_ = MakeLabel(this, "lblMiladi", TwipsRect(1020, 2190, 1155, 270), ArialFont(kNormalPoints),
                           Qt::AlignHCenter, QStringLiteral("تاريخ ميلادي تبديل شده"));
    PaintAsBox(lblMiladi_);

    lblTodayMiladi_ =
        MakeLabel(this, "lblTodayMiladi", TwipsRect(150, 1350, 2880, 345), PersianUiFont(kNormalPoints),
                  Qt::AlignHCenter, QStringLiteral("تاريخ ميلادي امروز به حروف"));
    PaintAsBox(lblTodayMiladi_);

    lblMiladiString_ =
        MakeLabel(this, "lblMiladiString", TwipsRect(150, 2955, 2880, 345), PersianUiFont(kNormalPoints),
                  Qt::AlignHCenter, QStringLiteral("تاريخ ميلادي تبديل شده به حروف"));
    PaintAsBox(lblMiladiString_);

    // Reaches 30 twips below the client area, which cuts that strip off.
    Label4_ = new ClickLabel(this);
    Label4_->setObjectName(QStringLiteral("Label4"));
    Label4_->setGeometry(TwipsRect(360, 3300, 2295, 195));
    Label4_->setFont(PersianUiFont(kSmallPoints));
    Label4_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label4_->setTextFormat(Qt::PlainText);
    Label4_->setFocusPolicy(Qt::NoFocus);
    Label4_->setAccessibleDescription(QStringLiteral("نشاني اينترنتي برنامه و معرفي سازندگان"));
    Label4_->setText(WebAddress());
    {
        // Its own background in the window's blue; the text keeps the
        // toolkit's colour.
        QPalette palette = Label4_->palette();
        palette.setColor(QPalette::Window, kWindowBlue);
        palette.setColor(QPalette::WindowText, QGuiApplication::palette().color(QPalette::WindowText));
        Label4_->setPalette(palette);
        Label4_->setAutoFillBackground(true);
    }

    setTabOrder(txtShamsi_, cmdConvert_);
    setTabOrder(cmdConvert_, cmdExit_);
}

void Form1::FormLoad() {
    lblNotice_->setText(QStringLiteral(" YY/MM/DD ورودي تاريخ شمسي با فرمت") + QStringLiteral("\r\n") +
                        QStringLiteral(" YY/MM/DD خروجي تاريخ ميلادي با فرمت"));

    Runtime::Text today;
    lblTodayShamsi_->setText(ToQString(Module1::MiladiToShamsi(today, false, environment_)));
    today.clear();
    lblTodayMiladi_->setText(ToQString(Module1::MiladiToString(today, environment_)));
}

void Form1::showEvent(QShowEvent* event) {
    // Placed once, when it first appears; after that the user may move it.
    if (!centred_) {
        centred_ = true;
        CentreOnScreen();
    }
    QWidget::showEvent(event);
}

void Form1::CentreOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    // The frame, as far as the window system has told it by now.
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void Form1::cmdConvert_Click() {
    // Each routine works on a copy of the text it reads.
    Runtime::Text shamsi = ToText(txtShamsi_->text());
    lblMiladi_->setText(ToQString(Module1::ShamsiToMiladi(shamsi, environment_)));

    // Only zero length counts as empty: the routine has told the user why.
    if (lblMiladi_->text().length() == 0) {
        return;
    }

    Runtime::Text miladi = ToText(lblMiladi_->text());
    lblShamsi_->setText(ToQString(Module1::MiladiToShamsi(miladi, false, environment_)));

    miladi = ToText(lblMiladi_->text());
    lblMiladiString_->setText(ToQString(Module1::MiladiToString(miladi, environment_)));
}

void Form1::cmdExit_Click() { close(); }

void Form1::Label4_Click() { environment_.MessageBox(ToText(Credit())); }
