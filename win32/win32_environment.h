// The runtime services of the calendar core on top of Win32: today's date
// from the local clock and the message box as a modal MessageBoxW.
#pragma once

#include "services.h"

struct HWND__;

class Win32Environment final : public Runtime::Environment {
public:
    // title: the application title that every message box carries.
    explicit Win32Environment(Runtime::Text title);

    // The window the message boxes belong to and are modal to; none until it
    // is set.
    void SetOwner(HWND__* owner);

    [[nodiscard]] Runtime::Date Today() const override;
    // Blocks until the user closes the box.
    void MessageBox(const Runtime::Text& text) override;

    // The style of every box: one OK button, no icon, the text right-aligned
    // and read from right to left.
    [[nodiscard]] static unsigned MessageBoxStyle();

private:
    Runtime::Text title_;
    HWND__* owner_ = nullptr;
};
