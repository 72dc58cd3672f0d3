// Opens the date converter's window; closing it ends the program.
#include <QApplication>

#include "main_window.h"
#include "qt_environment.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);

    QtEnvironment environment(Form1::Caption());
    Form1 form(environment);
    environment.SetOwner(&form);
    form.show();

    return QApplication::exec();
}
