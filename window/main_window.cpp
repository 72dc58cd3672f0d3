#include "main_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>

#include "click_label.h"
#include "qt_text.h"
#include "ui_fonts.h"

namespace {

using Form1Layout::Alignment;
using Form1Layout::ControlLayout;
using Form1Layout::Face;
using Form1Layout::Kind;
using Form1Layout::Paint;

// Qt lays out in device-independent pixels, 96 to the inch.
constexpr int kDpi = 96;

QRect PixelsFromTwips(const Form1Layout::Twips& twips) {
    return {Form1Layout::Pixels(twips.left, kDpi), Form1Layout::Pixels(twips.top, kDpi),
            Form1Layout::Pixels(twips.width, kDpi), Form1Layout::Pixels(twips.height, kDpi)};
}

QColor ToQColor(Form1Layout::Rgb rgb) { return {rgb.red, rgb.green, rgb.blue}; }

QFont FontOf(const Form1Layout::Font& font) {
    const qreal points = font.centipoints / 100.0;
    return font.face == Face::Arial ? ArialFont(points) : PersianUiFont(points);
}

Qt::Alignment HorizontalAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left:
            return Qt::AlignLeft;
        case Alignment::Centre:
            return Qt::AlignHCenter;
        case Alignment::Right:
            return Qt::AlignRight;
        case Alignment::ToolkitDefault:
            break;
    }
    return {};
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

// A label paints a background of its own in its colour, or none at all so
// that the window's blue shows through; its text is in its colour or the
// toolkit's.
void PaintLabel(QLabel* label, const ControlLayout& layout) {
    QPalette palette = label->palette();
    if (layout.background.kind == Paint::Kind::Colour) {
        palette.setColor(QPalette::Window, ToQColor(layout.background.colour));
    }
    palette.setColor(QPalette::WindowText, layout.text.kind == Paint::Kind::Colour
                                               ? ToQColor(layout.text.colour)
                                               : QGuiApplication::palette().color(QPalette::WindowText));
    label->setPalette(palette);
    label->setAutoFillBackground(layout.background.kind == Paint::Kind::Colour);
}

QLabel* MakeLabel(QWidget* parent, const ControlLayout& layout) {
    // Only the web address reacts to a click.
    QLabel* label =
        layout.control == Form1Layout::Control::Label4 ? new ClickLabel(parent) : new QLabel(parent);
    label->setAlignment(HorizontalAlignment(layout.alignment) | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setFocusPolicy(Qt::NoFocus);
    PaintLabel(label, layout);
    return label;
}

QLineEdit* MakeTextBox(QWidget* parent, const ControlLayout& layout) {
    auto* edit = new QLineEdit(parent);
    edit->setLayoutDirection(layout.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    edit->setAlignment(HorizontalAlignment(layout.alignment) | Qt::AlignVCenter);
    edit->setFocusPolicy(Qt::StrongFocus);
    KeepToolkitColours(edit);
    return edit;
}

QPushButton* MakeButton(QWidget* parent) {
    auto* button = new QPushButton(parent);
    // Neither button is the default one: Enter presses nothing.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    KeepToolkitColours(button);
    return button;
}

}  // namespace

Form1::Form1(Runtime::Environment& environment, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      behaviour_(*this, environment) {
    LoadBundledFonts();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption());
    setAccessibleName(Caption());
    setAccessibleDescription(QStringLiteral("مبدل تاريخ شمسي به ميلادي"));
    // Every position below is absolute, so nothing is mirrored, whatever the
    // application's layout direction.
    setLayoutDirection(Qt::LeftToRight);
    setFixedSize(Form1Layout::Pixels(Form1Layout::kClientWidth, kDpi),
                 Form1Layout::Pixels(Form1Layout::kClientHeight, kDpi));
    // The window's default font, which the two buttons use.
    setFont(PersianUiFont(8.25));

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(Form1Layout::kWindowBlue));
    setPalette(palette);
    setAutoFillBackground(true);

    CreateControls();

    connect(qobject_cast<QPushButton*>(Widget(Form1Layout::Control::cmdConvert)), &QPushButton::clicked, this,
            [this] { behaviour_.cmdConvert_Click(); });
    connect(qobject_cast<QPushButton*>(Widget(Form1Layout::Control::cmdExit)), &QPushButton::clicked, this,
            [this] { behaviour_.cmdExit_Click(); });
    connect(qobject_cast<ClickLabel*>(Widget(Form1Layout::Control::Label4)), &ClickLabel::clicked, this,
            [this] { behaviour_.Label4_Click(); });

    behaviour_.Form_Load();
    Widget(Form1Layout::Control::txtShamsi)->setFocus();
}

QString Form1::Caption() { return QString::fromStdU32String(std::u32string(Form1Layout::kCaption)); }

QString Form1::Credit() { return QString::fromStdU32String(std::u32string(Form1Layout::kCredit)); }

QString Form1::WebAddress() { return QString::fromStdU32String(std::u32string(Form1Layout::kWebAddress)); }

void Form1::SetWidgetText(QWidget* widget, const Runtime::Text& text) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(ToQString(text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(ToQString(text));
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(ToQString(text));
    }
}

QWidget* Form1::CreateControl(const ControlLayout& layout) {
    QWidget* widget = nullptr;
    switch (layout.kind) {
        case Kind::Label:
            widget = MakeLabel(this, layout);
            break;
        case Kind::TextBox:
            widget = MakeTextBox(this, layout);
            break;
        case Kind::PushButton:
            widget = MakeButton(this);
            break;
    }
    widget->setObjectName(QLatin1String(layout.name.data(), static_cast<qsizetype>(layout.name.size())));
    widget->setGeometry(PixelsFromTwips(layout.place));
    if (layout.font.face != Face::WindowDefault) {
        widget->setFont(FontOf(layout.font));
    }
    widget->setAccessibleDescription(QString::fromStdU32String(std::u32string(layout.description)));
    return widget;
}

void Form1::CreateControls() {
    // Created in tab order, which is also the order of the focus chain.
    for (const Form1Layout::Control control : Form1Layout::TabOrder()) {
        const ControlLayout& layout = Form1Layout::Layout(control);
        QWidget* widget = CreateControl(layout);
        SetWidgetText(widget, Runtime::Text(layout.caption));
        controls_.at(static_cast<std::size_t>(control)) = widget;
    }
    setTabOrder(Widget(Form1Layout::Control::txtShamsi), Widget(Form1Layout::Control::cmdConvert));
    setTabOrder(Widget(Form1Layout::Control::cmdConvert), Widget(Form1Layout::Control::cmdExit));
}

QWidget* Form1::Widget(Form1Layout::Control control) const {
    return controls_.at(static_cast<std::size_t>(control));
}

Runtime::Text Form1::Text(Form1Layout::Control control) const {
    const QWidget* widget = Widget(control);
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return ToText(label->text());
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return ToText(edit->text());
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return ToText(button->text());
    }
    return {};
}

void Form1::SetText(Form1Layout::Control control, const Runtime::Text& text) {
    SetWidgetText(Widget(control), text);
}

void Form1::Close() { close(); }

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
