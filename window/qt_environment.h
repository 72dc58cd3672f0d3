// The runtime services of the calendar core on top of Qt: today's date from
// the system clock and the message box as a modal QMessageBox.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "services.h"

class QMessageBox;

class QtEnvironment final : public Runtime::Environment {
public:
    // title: the application title that every message box carries.
    explicit QtEnvironment(QString title);

    // The window the message boxes belong to and are centred over; none
    // until it is set.
    void SetOwner(QWidget* owner);

    [[nodiscard]] Runtime::Date Today() const override;
    // Blocks until the user closes the box.
    void MessageBox(const Runtime::Text& text) override;

    // The caption of the one button of every message box ("confirm").
    static QString OkCaption();

    // Builds the box that MessageBox shows, without showing it.
    [[nodiscard]] std::unique_ptr<QMessageBox> CreateMessageBox(const Runtime::Text& text) const;

private:
    QString title_;
    QPointer<QWidget> owner_;
};
