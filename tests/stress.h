// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// A user who never tires: random actions on the real main window, many inside the drawings' yields
// so that drawings nest and stop in every order, with the window's invariants checked after every
// action.

#include "ui/mainwindow.h"

#include <QMap>
#include <QString>

#include <cstdint>

namespace divograf::stress {

struct Settings
{
    std::uint32_t seed = 0;       // the same seed gives the same actions
    long actions = 0;             // those inside drawings and modal windows count too
    const char *ending = nullptr; // null, or the last action, given inside a drawing: "exit
                                  // shortcut", "exit menu" or "close box"
};

struct Outcome
{
    long actions = 0, drawingActions = 0, elements = 0,
         qtWarnings = 0; // inside a drawing's yield; drawn
    int deepest = 0,
        endingDepth = -1; // most drawings on the stack at once, and when the program was ended
    QMap<QString, long>
        counts;      // by action, modal window answered (by class), what a start/stop command did
    QString failure; // empty, or the first broken invariant, with the seed
};

// Drives `window`, shown, active and idle, in a temporary current directory (the file commands
// write nowhere else; the print window is only ever cancelled), and prints the figures. An ending
// needs the event loop running.
Outcome run(Main &window, const Settings &settings);

} // namespace divograf::stress
