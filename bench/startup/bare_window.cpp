// Reference: a bare Qt Widgets program showing one empty 211 x 231 window.
#include <QApplication>
#include <QWidget>

#include "first_frame.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);

    QWidget window;
    window.setFixedSize(211, 231);
    ReportFirstFrame(window);
    window.show();

    return QApplication::exec();
}
