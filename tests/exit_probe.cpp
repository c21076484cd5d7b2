// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// `divograf` with a script: the highest-detail fractal started, stopped at cell 1200, started
// again nested at 1210; at 3000 a modal window opens and the program is ended from it by `Exit`
// ("exit") or the window system's close request ("close"). Prints the cells drawn, then leaves.

#include "ui/mainwindow.h"

#include <QtWidgets>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool viaClose = argc > 1 && QByteArray(argv[1]) == "close";
    divograf::Main window;
    window.show();
    auto *command1 = window.findChild<QAbstractButton *>(QStringLiteral("Command1"));
    window.findChild<QAbstractButton *>(QStringLiteral("Option4"))->click();
    int cells = 0;
    window.model().run.yield = [&, windowYield = window.model().run.yield] {
        if (++cells == 1200 || cells == 1210)
            command1->click();
        if (cells == 3000) {
            QDialog dialog(&window);
            QTimer::singleShot(10, &dialog, [&] {
                QCloseEvent close;
                viaClose ? void(QCoreApplication::sendEvent(window.windowHandle(), &close))
                         : window.findChild<QAction *>(QStringLiteral("Exit"))->trigger();
            });
            dialog.exec();
        }
        windowYield();
    };
    QTimer::singleShot(0, command1, &QAbstractButton::click);
    const int status = QApplication::exec();
    std::printf("cells %d\n", cells);
    return status;
}
