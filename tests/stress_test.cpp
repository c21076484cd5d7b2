// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window under thousands of random user actions (stress.h).

#include "stress.h"

#include "modals.h"
#include "printers.h"

#include <gtest/gtest.h>

using namespace divograf;

// Drawings nested and were stopped, every modal window came, most actions inside drawings.
TEST(Stress, RandomActionsKeepEveryInvariant)
{
    Main w;
    showActive(w);
    const stress::Outcome outcome = stress::run(w, {20240607, 5000});
    EXPECT_EQ(outcome.failure, QString()) << "longer: window_soak <actions> <seed>";
    const QMap<QString, long> &f = outcome.figures;
    EXPECT_GE(f.value("deepest"), 3);
    EXPECT_GT(f.value("nested start"), 10);
    EXPECT_GT(f.value("stop"), 100);
    EXPECT_GT(f.value("inside drawings"), f.value("actions") / 2);
    for (const char *modal :
        {"divograf::SaveLoad", "divograf::Printing", "divograf::About", "QMessageBox"})
        EXPECT_GT(f.value(modal), 0) << modal;
}
