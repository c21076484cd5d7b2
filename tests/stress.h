// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// A user who never tires: random actions on the real main window, many inside the drawings'
// yields so that drawings nest and stop in every order, the window's invariants checked after
// every action.

#include "ui/mainwindow.h"

#include <QMap>
#include <QString>

#include <cstdint>

namespace divograf::stress {

struct Settings
{
    std::uint32_t seed = 0; // the same seed gives the same actions
    long actions = 0;       // those inside drawings and modal windows count too
};

struct Outcome
{
    // Counts by name: actions, modal windows, what the commands did, "deepest", "elements"...
    QMap<QString, long> figures;
    QString failure; // empty, or the first broken invariant, with the seed
};

// Drives the shown, active, idle `window` in a temporary current directory; prints the figures.
Outcome run(Main &window, const Settings &settings);

} // namespace divograf::stress
