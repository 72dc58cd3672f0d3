// Reference: the bare window with one label of Persian text, in the face and
// size of the main window's result labels (loaded as the main window loads
// it: Tahoma where present, else the bundled Persian face).
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "first_frame.h"
#include "ui_fonts.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);

    QWidget window;
    window.setFixedSize(211, 231);
    LoadBundledFonts();
    constexpr qreal kResultPoints = 9.75;
    QLabel label(QStringLiteral("سه شنبه  12 فروردين  1382"), &window);
    label.setFont(PersianUiFont(kResultPoints));
    label.setGeometry(10, 64, 192, 23);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ReportFirstFrame(window);
    window.show();

    return QApplication::exec();
}
