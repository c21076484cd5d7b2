// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window under thousands of random user actions (stress.h).

#include "stress.h"

#include <QtTest>
#include <QtWidgets>

#include "printers.h"

#include <gtest/gtest.h>

using namespace divograf;

static QMap<QString, long> runOn(const stress::Settings &settings)
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
    EXPECT_EQ(outcome.failure, QString()) << "longer: window_soak <actions> <seed>";
    return outcome.figures;
}

// Drawings nested and were stopped, every modal window came, most actions inside drawings.
TEST(Stress, RandomActionsKeepEveryInvariant)
{
    const QMap<QString, long> f = runOn({20240607, 5000});
    EXPECT_GE(f.value("deepest"), 3);
    EXPECT_GT(f.value("nested start"), 10);
    EXPECT_GT(f.value("stop"), 100);
    EXPECT_GT(f.value("inside drawings"), f.value("actions") / 2);
    for (const char *modal :
        {"divograf::SaveLoad", "divograf::Printing", "divograf::About", "QMessageBox"})
        EXPECT_GT(f.value(modal), 0) << modal;
}

TEST(Stress, TheProgramEndsFromInsideTheDrawings)
{
    std::uint32_t seed = 20240608;
    for (const char *ending : {"exit shortcut", "exit menu", "close box"})
        EXPECT_GE(runOn({seed++, 150, ending}).value("ended at depth"), 1) << ending;
}
