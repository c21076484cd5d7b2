// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Дивограф: the main window.

#include "ui/fileopening.h"
#include "ui/mainwindow.h"
#include "core/qttexts.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

int main(int argc, char *argv[])
{
    // --help and --version are answered before the window is made, as it needs a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (divograf::asksWithoutWindow(arguments)) {
        QCoreApplication app(argc, argv);
        divograf::installQtRussian(app);
        QTextStream(stdout) << divograf::answerWithoutWindow(QCoreApplication::arguments());
        return 0;
    }
    // A whole number of device pixels per window pixel, so that the surface shows its raster
    // in whole blocks of device pixels: a screen at 150% shows the window at 200%.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    // No display name: on X11 Qt would append it to every caption ("Дивограф  5% — ...").
    QApplication::setApplicationName(QStringLiteral("divograf"));
    // The desktop entry that names the program and its icon to the desktop (Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral(DIVOGRAF_APP_ID));
    divograf::installQtRussian(app);
    divograf::Main window;
    window.show();
    // `divograf FILE.dvg` opens the file as Load would, once the event loop runs, so that a
    // message about a bad file is a window of the running program like any other.
    QTimer::singleShot(0, &window, [&window] {
        const QString refusal = divograf::openFromArguments(QApplication::arguments(),
            [&window](const QString &path) { window.openParameterFile(path); });
        if (!refusal.isEmpty())
            QTextStream(stderr) << refusal << '\n';
    });
    return QApplication::exec();
}
