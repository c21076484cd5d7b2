// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window under thousands of random user actions, many inside drawings, with the window's
// invariants checked after every one (see stress.h).

#include "stress.h"

#include "ui/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace divograf;

// Runs on a shown and active window; an ending run inside the event loop.
static stress::Outcome runOn(Main &w, const stress::Settings &settings)
{
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    QElapsedTimer clock;
    clock.start();
    stress::Outcome outcome;
    QTimer::singleShot(0, &w, [&] {
        outcome = stress::run(w, settings);
        QCoreApplication::exit(settings.ending == stress::Ending::None || w.windowYield().quitting() ? 0 : 1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    std::printf("%s\n", qPrintable(stress::summary(settings, outcome.figures, clock.elapsed() / 1000.0)));
    EXPECT_TRUE(outcome.failure.isEmpty()) << qPrintable(outcome.failure) << "\nlonger: window_soak <actions> <seed>";
    return outcome;
}

TEST(Stress, RandomActionsInAndBetweenDrawingsKeepEveryInvariant)
{
    Main w;
    const stress::Figures f = runOn(w, {20240607, 5000}).figures;
    // The run did what it is for: drawings nested and were stopped in many ways, every modal window was
    // opened and closed, most actions came while drawings ran.
    EXPECT_GE(f.deepest, 3);
    EXPECT_GT(f.counts.value("nested start"), 10);
    EXPECT_GT(f.counts.value("stop"), 100);
    EXPECT_GT(f.drawingActions, f.actions / 2);
    for (const char *modal : {"divograf::SaveLoad", "divograf::Printing", "divograf::About", "QMessageBox"})
        EXPECT_GT(f.counts.value(modal), 0) << modal;
    EXPECT_EQ(f.qtWarnings, 0);
}

TEST(Stress, TheLastActionEndsTheProgramFromInsideTheDrawings)
{
    for (const stress::Ending ending : {stress::Ending::ExitShortcut, stress::Ending::ExitMenu, stress::Ending::CloseBox}) {
        Main w;
        EXPECT_GE(runOn(w, {20240607 + std::uint32_t(ending), 150, ending}).figures.endingDepth, 1) << int(ending);
        EXPECT_FALSE(w.isVisible() || w.model().run.Running || !w.windowYield().quitting()) << int(ending);
    }
}
