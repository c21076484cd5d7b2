// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window under thousands of random user actions, many inside drawings, its invariants
// checked after each (stress.h).

#include "stress.h"

#include <QtTest>
#include <QtWidgets>

#include "printers.h"

#include <gtest/gtest.h>

using namespace divograf;

// Runs on a new window, shown and active, inside the event loop as an ending needs.
static stress::Outcome runOn(const stress::Settings &settings)
{
    Main w;
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    stress::Outcome outcome;
    QTimer::singleShot(0, &w, [&] {
        outcome = stress::run(w, settings);
        QCoreApplication::exit();
    });
    QApplication::exec();
    EXPECT_TRUE(outcome.failure.isEmpty())
        << qPrintable(outcome.failure) << "\nlonger: window_soak <actions> <seed>";
    return outcome;
}

TEST(Stress, RandomActionsInAndBetweenDrawingsKeepEveryInvariant)
{
    const stress::Outcome f = runOn({20240607, 5000});
    // The run did what it is for: drawings nested and stopped in many ways, every modal window
    // came, most actions inside drawings.
    EXPECT_GE(f.deepest, 3);
    EXPECT_GT(f.counts.value("nested start"), 10);
    EXPECT_GT(f.counts.value("stop"), 100);
    EXPECT_GT(f.drawingActions, f.actions / 2);
    for (const char *modal :
        {"divograf::SaveLoad", "divograf::Printing", "divograf::About", "QMessageBox"})
        EXPECT_GT(f.counts.value(modal), 0) << modal;
    EXPECT_EQ(f.qtWarnings, 0);
}

TEST(Stress, TheLastActionEndsTheProgramFromInsideTheDrawings)
{
    for (std::uint32_t seed = 20240608;
         const char *ending : {"exit shortcut", "exit menu", "close box"})
        EXPECT_GE(runOn({seed++, 150, ending}).endingDepth, 1) << ending;
}
