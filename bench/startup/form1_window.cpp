// The program's own start, line for line as its entry point does it, with
// the start-up probe watching the window.
#include <QApplication>

#include "first_frame.h"
#include "main_window.h"
#include "qt_environment.h"

#if defined(__unix__) && !defined(__APPLE__)
#include <cstdio>
#include <cstdlib>
#include <span>

#include "display_check.h"
#endif

int main(int argc, char* argv[]) {
#if defined(__unix__) && !defined(__APPLE__)
    if (const auto message = DisplayCheck::NoDisplayMessage(
            DisplayCheck::FromProcess(), std::span(argv, static_cast<std::size_t>(argc)))) {
        static_cast<void>(std::fprintf(stderr, "%s\n", message->c_str()));
        return EXIT_FAILURE;
    }
#endif

    QApplication application(argc, argv);

    QtEnvironment environment(Form1::Caption());
    Form1 form(environment);
    environment.SetOwner(&form);
    ReportFirstFrame(form);
    form.show();

    return QApplication::exec();
}
