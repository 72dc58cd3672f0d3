// The program's own start, line for line as its entry point does it, with
// the start-up probe watching the window.
#include <QApplication>

#include "first_frame.h"
#include "main_window.h"
#include "qt_environment.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);

    QtEnvironment environment(Form1::Caption());
    Form1 form(environment);
    environment.SetOwner(&form);
    ReportFirstFrame(form);
    form.show();

    return QApplication::exec();
}
