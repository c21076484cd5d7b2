// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window under thousands of random user actions, many inside drawings, with the window's
// invariants checked after every one (see stress.h).

#include "stress.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

using namespace divograf;

// Runs on a shown and active window; an ending run inside the event loop.
static stress::Outcome runOn(Main &w, const stress::Settings &settings)
{
    w.show(), w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    const auto start = std::chrono::steady_clock::now();
    stress::Outcome outcome;
    QTimer::singleShot(0, &w, [&] {
        outcome = stress::run(w, settings);
        QCoreApplication::exit(!settings.ending || w.windowYield().quitting() ? 0 : 1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    std::printf("%s\n", qPrintable(stress::summary(settings, outcome.figures, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count())));
    EXPECT_TRUE(outcome.failure.isEmpty()) << qPrintable(outcome.failure) << "\nlonger: window_soak <actions> <seed>";
    return outcome;
}

TEST(Stress, RandomActionsInAndBetweenDrawingsKeepEveryInvariant)
{
    Main w;
    const stress::Figures f = runOn(w, {20240607, 5000}).figures;
    // The run did what it is for: drawings nested and were stopped in many ways, every modal window was
    // opened and closed, most actions came while drawings ran.
    EXPECT_TRUE(f.deepest >= 3 && f.counts.value("nested start") > 10 && f.counts.value("stop") > 100 && f.drawingActions > f.actions / 2);
    for (const char *modal : {"divograf::SaveLoad", "divograf::Printing", "divograf::About", "QMessageBox"})
        EXPECT_GT(f.counts.value(modal), 0) << modal;
    EXPECT_EQ(f.qtWarnings, 0);
}

TEST(Stress, TheLastActionEndsTheProgramFromInsideTheDrawings)
{
    std::uint32_t seed = 20240608;
    for (const char *ending : {"exit shortcut", "exit menu", "close box"}) {
        Main w;
        EXPECT_GE(runOn(w, {seed++, 150, ending}).figures.endingDepth, 1) << ending;
        EXPECT_FALSE(w.isVisible() || w.model().run.Running || !w.windowYield().quitting()) << ending;
    }
}
