#include "qt_environment.h"

#include <QApplication>
#include <QDate>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "form1_layout.h"
#include "qt_text.h"
#include "ui_fonts.h"

QtEnvironment::QtEnvironment(QString title) : title_(std::move(title)) {}

void QtEnvironment::SetOwner(QWidget* owner) { owner_ = owner; }

Runtime::Date QtEnvironment::Today() const {
    const QDate today = QDate::currentDate();
    return Runtime::Date{today.year(), today.month(), today.day()};
}

QString QtEnvironment::OkCaption() { return ToQString(Runtime::Text(Form1Layout::kMessageButton)); }

std::unique_ptr<QMessageBox> QtEnvironment::CreateMessageBox(const Runtime::Text& text) const {
    auto box = std::make_unique<QMessageBox>(owner_.data());
    box->setWindowModality(Qt::ApplicationModal);
    box->setLayoutDirection(Qt::RightToLeft);
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(title_);
    // The toolkit's size for message boxes, in the window's Persian face.
    LoadBundledFonts();
    const qreal points = QApplication::font("QMessageBox").pointSizeF();
    box->setFont(PersianUiFont(points > 0 ? points : 9.0));
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQString(text));
    QPushButton* ok = box->addButton(OkCaption(), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    return box;
}

void QtEnvironment::MessageBox(const Runtime::Text& text) {
    const std::unique_ptr<QMessageBox> box = CreateMessageBox(text);
    box->exec();
}
