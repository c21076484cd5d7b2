// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The long run of the window stress (tests/stress.h): the real main window under many random
// user actions, with every invariant checked after each. Prints the figures; exits with 1 and
// the failure (seed, action, the last actions) when an invariant broke.
//
//   QT_QPA_PLATFORM=offscreen window_soak [actions [seed]]
//
// Without arguments: 100000 actions from the seed 1. A failure of the stress test replays here
// with its seed.

#include "stress.h"

#include "ui/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    divograf::stress::Settings settings{1, 100000};
    const QStringList args = QCoreApplication::arguments();
    bool ok = true;
    if (args.size() > 1)
        settings.actions = args[1].toLong(&ok);
    if (ok && args.size() > 2)
        settings.seed = args[2].toUInt(&ok);
    if (!ok || settings.actions <= 0) {
        std::fprintf(stderr, "usage: window_soak [actions [seed]]\n");
        return 2;
    }

    divograf::Main window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the window was not exposed\n");
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        std::fprintf(stderr, "the window did not become active\n");

    QElapsedTimer clock;
    clock.start();
    const divograf::stress::Outcome outcome
        = divograf::stress::run(window, settings); // prints the figures
    std::printf("%.1f s\n", static_cast<double>(clock.elapsed()) / 1000);
    if (!outcome.failure.isEmpty()) {
        std::printf("FAILED: %s\n", qPrintable(outcome.failure));
        return 1;
    }
    return 0;
}
