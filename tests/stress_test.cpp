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

#include <cstdio>

using namespace divograf;

namespace {

constexpr std::uint32_t Seed = 20240607;
constexpr long Actions = 6000;
constexpr long EndingActions = 150;

void showAndActivate(Main &w)
{
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
}

QString replay(const stress::Settings &s)
{
    return QStringLiteral("replay: DIVOGRAF_STRESS_SEED=%1 DIVOGRAF_STRESS_ACTIONS=%2 DIVOGRAF_STRESS_TRACE=1")
        .arg(s.seed)
        .arg(s.actions);
}

} // namespace

TEST(Stress, RandomActionsInAndBetweenDrawingsKeepEveryInvariant)
{
    const stress::Settings settings = stress::fromEnvironment({Seed, Actions});
    Main w;
    showAndActivate(w);
    QElapsedTimer clock;
    clock.start();
    const stress::Outcome outcome = stress::run(w, settings);
    const stress::Figures &f = outcome.figures;
    std::printf("%s\n", qPrintable(stress::summary(settings, f, clock.elapsed() / 1000.0)));
    ASSERT_TRUE(outcome.failure.isEmpty()) << qPrintable(outcome.failure) << "\n" << qPrintable(replay(settings));

    // The run did what it is for: drawings nested and were stopped in many ways, every modal
    // window was opened and closed, many actions came while drawings ran.
    EXPECT_GE(f.actions, settings.actions);
    EXPECT_GE(f.deepest, 3);
    EXPECT_GT(f.nestedStarts, 10);
    EXPECT_GT(f.stops, 100);
    EXPECT_GT(f.drawingActions, f.actions / 2);
    for (const char *modal : {"divograf::SaveLoad", "divograf::Printing", "divograf::About", "QMessageBox"})
        EXPECT_GT(f.modals.count(QString::fromLatin1(modal)) ? f.modals.at(QString::fromLatin1(modal)) : 0, 0) << modal;
    EXPECT_EQ(f.qtWarnings, 0);
}

class StressEnding : public testing::TestWithParam<stress::Ending>
{
};

TEST_P(StressEnding, TheLastActionEndsTheProgramFromInsideTheDrawings)
{
    const stress::Settings settings = stress::fromEnvironment(
        {Seed + static_cast<std::uint32_t>(GetParam()), EndingActions, GetParam()});
    Main w;
    showAndActivate(w);
    stress::Outcome outcome;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, &w, [&] {
        outcome = stress::run(w, settings);
        if (!w.windowYield().quitting())
            QCoreApplication::exit(1); // failed before the end: leave the event loop anyway
    });
    EXPECT_EQ(QApplication::exec(), 0);
    std::printf("%s\n", qPrintable(stress::summary(settings, outcome.figures, clock.elapsed() / 1000.0)));
    ASSERT_TRUE(outcome.failure.isEmpty()) << qPrintable(outcome.failure) << "\n" << qPrintable(replay(settings));
    EXPECT_GE(outcome.figures.endingDepth, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.model().run.Running);
    EXPECT_TRUE(w.windowYield().quitting());
}

INSTANTIATE_TEST_SUITE_P(Endings, StressEnding,
                         testing::Values(stress::Ending::ExitShortcut, stress::Ending::ExitMenu, stress::Ending::CloseBox),
                         [](const testing::TestParamInfo<stress::Ending> &info) {
                             switch (info.param) {
                             case stress::Ending::ExitShortcut: return "CtrlX";
                             case stress::Ending::ExitMenu: return "MenuExit";
                             case stress::Ending::CloseBox: return "CloseBox";
                             case stress::Ending::None: break;
                             }
                             return "None";
                         });
