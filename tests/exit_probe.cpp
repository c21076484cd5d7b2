// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// `divograf` with a script, for the test that ends the program as a user would and looks at
// the process from outside: the highest-detail fractal is started; in its third column it is
// stopped and a second drawing is started nested in the finishing column; deep in that one a
// modal window opens over both drawings, and from inside it the program is ended, by `Exit`
// ("exit") or by the window system's close request ("close"). Prints the number of cells
// drawn once the event loop has returned, then leaves with what `exec` returned.

#include "ui/mainwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool viaClose = argc > 1 && std::strcmp(argv[1], "close") == 0;
    divograf::Main window;
    window.show();
    divograf::Model &model = window.model();
    auto *command1 = window.findChild<QAbstractButton *>(QStringLiteral("Command1"));
    window.findChild<QAbstractButton *>(QStringLiteral("Option4"))->click();

    int cells = 0;
    const std::function<void()> windowYield = model.run.yield;
    model.run.yield = [&] {
        ++cells;
        if (cells == 1200 || cells == 1210)
            command1->click(); // stop, then start again inside the finishing column
        if (cells == 3000) {
            QDialog dialog(&window);
            QTimer::singleShot(10, &dialog, [&] {
                if (viaClose) {
                    QCloseEvent close;
                    QCoreApplication::sendEvent(window.windowHandle(), &close);
                } else {
                    window.findChild<QAction *>(QStringLiteral("Exit"))->trigger();
                }
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
