#include "display_check.h"

#include <cstdlib>

namespace DisplayCheck {

namespace {

std::string_view Variable(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read before any thread starts
    return value != nullptr ? std::string_view(value) : std::string_view();
}

// Qt reads "-platform <name>" and "--platform <name>" from the command line.
bool PlatformChosenByArgument(std::span<char* const> arguments) {
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        const std::string_view argument = arguments[i] != nullptr ? arguments[i] : "";
        if (argument == "-platform" || argument == "--platform") {
            return true;
        }
    }
    return false;
}

}  // namespace

Environment FromProcess() {
    return {Variable("DISPLAY"), Variable("WAYLAND_DISPLAY"), Variable("QT_QPA_PLATFORM")};
}

std::optional<std::string> NoDisplayMessage(const Environment& environment,
                                            std::span<char* const> arguments) {
    if (!environment.display.empty() || !environment.waylandDisplay.empty() ||
        !environment.qpaPlatform.empty() || PlatformChosenByArgument(arguments)) {
        return std::nullopt;
    }
    const std::string_view command =
        !arguments.empty() && arguments[0] != nullptr ? arguments[0] : "shamsi-date-converter";
    std::string message(command.substr(command.find_last_of('/') + 1));
    message += ": no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); ";
    message += "run it on a desktop, or try it headless with: xvfb-run -a ";
    message += command;
    return message;
}

}  // namespace DisplayCheck
