// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Loaded into `divograf` (LD_PRELOAD), it reaches the window through the headers alone. Prints
// what the start-up set; starts the highest detail, stops it at cell 1200, starts it again nested
// at 1210; at 3000 ends the program from a modal window by `Exit` or, with DIVOGRAF_PROBE=close,
// the window system's close request. Prints the cells drawn at the end.

#include "ui/mainwindow.h"

#include <QtWidgets>

#include <cstdio>

namespace {

int cells = 0;

void drive(divograf::Main &window)
{
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    const QStringList startUp{window.windowTitle(), buttons.buttons()[0]->text(),
        QApplication::applicationName(), QGuiApplication::desktopFileName(),
        QMetaEnum::fromType<Qt::HighDpiScaleFactorRoundingPolicy>().valueToKey(
            int(QGuiApplication::highDpiScaleFactorRoundingPolicy()))};
    std::printf("%s\n", qUtf8Printable(startUp.join(QLatin1Char('\n'))));
    auto *command1 = window.findChild<QAbstractButton *>(QStringLiteral("Command1"));
    window.findChild<QAbstractButton *>(QStringLiteral("Option4"))->click();
    window.model().run.yield = [&window, command1, windowYield = window.model().run.yield] {
        if (++cells == 1200 || cells == 1210)
            command1->click();
        if (cells == 3000) {
            QDialog dialog(&window);
            QTimer::singleShot(10, &dialog, [&window] {
                QCloseEvent close;
                if (qgetenv("DIVOGRAF_PROBE") == "close")
                    QCoreApplication::sendEvent(window.windowHandle(), &close);
                else
                    window.findChild<QAction *>(QStringLiteral("Exit"))->trigger();
            });
            dialog.exec();
        }
        windowYield();
    };
    command1->click();
}

void probe()
{
    qAddPostRoutine([] { std::printf("cells %d\n", cells); });
    QTimer::singleShot(0, qApp, [] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->inherits("divograf::Main") && window->isVisible())
                drive(*static_cast<divograf::Main *>(window));
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(probe)
