// Дивограф: the main window.

#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // No display name: on X11 Qt would append it to every caption ("Дивограф  5% — ...").
    QApplication::setApplicationName(QStringLiteral("divograf"));
    divograf::Main window;
    window.show();
    return QApplication::exec();
}
