// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window under thousands of random user actions from a fixed seed, many of them
// inside drawings, with the window's invariants checked after every one (see stress.h). A
// failure names the seed and the action; DIVOGRAF_STRESS_SEED and DIVOGRAF_STRESS_ACTIONS
// replay or lengthen the run, DIVOGRAF_STRESS_TRACE=1 prints every action.

#include "stress.h"

#include "ui/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace divograf;

namespace {

constexpr std::uint32_t Seed = 20240607;

// Runs `settings` on a new shown and active window: inside the event loop for an ending run.
stress::Outcome runOn(Main &w, const stress::Settings &settings)
{
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    QElapsedTimer clock;
    clock.start();
    stress::Outcome outcome;
    if (settings.ending == stress::Ending::None) {
        outcome = stress::run(w, settings);
    } else {
        QTimer::singleShot(0, &w, [&] {
            outcome = stress::run(w, settings);
            if (!w.windowYield().quitting())
                QCoreApplication::exit(1); // failed before the end: leave the event loop anyway
        });
        EXPECT_EQ(QApplication::exec(), 0);
    }
    std::printf("%s\n", qPrintable(stress::summary(settings, outcome.figures, clock.elapsed() / 1000.0)));
    EXPECT_TRUE(outcome.failure.isEmpty()) << qPrintable(outcome.failure)
        << QStringLiteral("\nreplay: DIVOGRAF_STRESS_SEED=%1 DIVOGRAF_STRESS_ACTIONS=%2 DIVOGRAF_STRESS_TRACE=1")
               .arg(settings.seed).arg(settings.actions).toStdString();
    return outcome;
}

} // namespace

TEST(Stress, RandomActionsInAndBetweenDrawingsKeepEveryInvariant)
{
    const stress::Settings settings = stress::fromEnvironment({Seed, 5000});
    Main w;
    const stress::Figures f = runOn(w, settings).figures;
    // The run did what it is for: drawings nested and were stopped in many ways, every modal
    // window was opened and closed, many actions came while drawings ran.
    EXPECT_GE(f.actions, settings.actions);
    EXPECT_GE(f.deepest, 3);
    EXPECT_GT(f.count("nested start"), 10);
    EXPECT_GT(f.count("stop"), 100);
    EXPECT_GT(f.drawingActions, f.actions / 2);
    for (const char *modal : {"divograf::SaveLoad", "divograf::Printing", "divograf::About", "QMessageBox"})
        EXPECT_GT(f.count(modal), 0) << modal;
    EXPECT_EQ(f.qtWarnings, 0);
}

class StressEnding : public testing::TestWithParam<stress::Ending> {};

TEST_P(StressEnding, TheLastActionEndsTheProgramFromInsideTheDrawings)
{
    Main w;
    const stress::Outcome outcome = runOn(w, stress::fromEnvironment({Seed + static_cast<std::uint32_t>(GetParam()), 150, GetParam()}));
    EXPECT_GE(outcome.figures.endingDepth, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.model().run.Running);
    EXPECT_TRUE(w.windowYield().quitting());
}

INSTANTIATE_TEST_SUITE_P(Endings, StressEnding,
                         testing::Values(stress::Ending::ExitShortcut, stress::Ending::ExitMenu, stress::Ending::CloseBox),
                         [](const auto &info) { return std::string(std::array{"None", "CtrlX", "MenuExit", "CloseBox"}[int(info.param)]); });
