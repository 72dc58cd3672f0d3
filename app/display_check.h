// Whether the window has somewhere to appear. On Linux and the other X11 and
// Wayland systems Qt looks for a display when the application object is
// made, and without one it aborts with a message about its platform plugins
// that tells a user nothing; the program asks first and says what to do.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace DisplayCheck {

// What the process environment says about the display; an unset variable is
// an empty view.
struct Environment {
    std::string_view display;         // DISPLAY (X11)
    std::string_view waylandDisplay;  // WAYLAND_DISPLAY
    std::string_view qpaPlatform;     // QT_QPA_PLATFORM, a platform chosen by name
};

// The values of the variables in this process's environment.
Environment FromProcess();

// The one line (no line break) to show when there is no display and no
// platform was chosen, neither by QT_QPA_PLATFORM nor by Qt's "-platform
// <name>" argument; nothing when the program can go on. arguments holds the
// whole command line, the program's name first.
std::optional<std::string> NoDisplayMessage(const Environment& environment, std::span<char* const> arguments);

}  // namespace DisplayCheck
