// When the program refuses to start for want of a display, and what it says.
#include "display_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    DisplayCheck::Environment environment;
    std::vector<std::string> arguments;
    bool refused;
};

const Case kCases[] = {
    {"nothing set", {}, {"shamsi-date-converter"}, true},
    {"X11 display", {":0", "", ""}, {"shamsi-date-converter"}, false},
    {"Wayland display", {"", "wayland-0", ""}, {"shamsi-date-converter"}, false},
    {"platform by variable", {"", "", "offscreen"}, {"shamsi-date-converter"}, false},
    {"platform by argument", {}, {"shamsi-date-converter", "-platform", "offscreen"}, false},
    {"platform by long argument", {}, {"shamsi-date-converter", "--platform", "offscreen"}, false},
    {"platform argument without a name", {}, {"shamsi-date-converter", "-platform"}, true},
    {"platform name without the option", {}, {"shamsi-date-converter", "offscreen"}, true},
    {"the option as the program's name", {}, {"-platform", "offscreen"}, true},
};

std::vector<char*> Argv(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size());
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    return argv;
}

TEST(DisplayCheck, RefusesOnlyWithoutDisplayOrChosenPlatform) {
    for (const Case& c : kCases) {
        std::vector<std::string> arguments = c.arguments;
        const std::vector<char*> argv = Argv(arguments);
        EXPECT_EQ(DisplayCheck::NoDisplayMessage(c.environment, argv).has_value(), c.refused) << c.name;
    }
}

TEST(DisplayCheck, MessageIsOneLineNamingWhatIsMissingAndWhatToRun) {
    std::vector<std::string> arguments = {"build/default/app/shamsi-date-converter"};
    const std::vector<char*> argv = Argv(arguments);
    const std::optional<std::string> message = DisplayCheck::NoDisplayMessage({}, argv);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->find('\n'), std::string::npos);
    EXPECT_EQ(message->rfind("shamsi-date-converter: ", 0), 0U) << *message;
    for (const char* part :
         {"DISPLAY", "WAYLAND_DISPLAY", "desktop", "xvfb-run -a build/default/app/shamsi-date-converter"}) {
        EXPECT_NE(message->find(part), std::string::npos) << part << " not in: " << *message;
    }
}

}  // namespace
