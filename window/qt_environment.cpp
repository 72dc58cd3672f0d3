#include "qt_environment.h"

#include <QDate>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "qt_text.h"

QtEnvironment::QtEnvironment(QString title) : title_(std::move(title)) {}

void QtEnvironment::SetOwner(QWidget* owner)
{
    owner_ = owner;
}

Runtime::Date QtEnvironment::Today() const
{
    const QDate today = QDate::currentDate();
    return Runtime::Date{today.year(), today.month(), today.day()};
}

QString QtEnvironment::OkCaption()
{
    return QStringLiteral("تاييد");
}

std::unique_ptr<QMessageBox> QtEnvironment::CreateMessageBox(const Runtime::Text& text) const
{
    auto box = std::make_unique<QMessageBox>(owner_.data());
    box->setWindowModality(Qt::ApplicationModal);
    box->setLayoutDirection(Qt::RightToLeft);
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(title_);
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQString(text));
    QPushButton* ok = box->addButton(OkCaption(), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    return box;
}

void QtEnvironment::MessageBox(const Runtime::Text& text)
{
    const std::unique_ptr<QMessageBox> box = CreateMessageBox(text);
    box->exec();
}
