// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// A user who never tires: random actions on the real main window, drawn from a seed, many of
// them given inside the drawings' yields so that drawings nest and stop in every order, with
// the window's invariants checked after every action. The widget test runs it short, the soak
// program long; the same seed gives the same actions, so a failure can be replayed.

#include <QString>

#include <cstdint>
#include <map>

namespace divograf {
class Main;
}

namespace divograf::stress {

// How a run ends. `None` leaves the window running; the others end the program as the last
// action, given inside a drawing, and need the application's event loop to be running.
enum class Ending { None, ExitShortcut, ExitMenu, CloseBox };

struct Settings
{
    std::uint32_t seed = 0;
    long actions = 0; // every action counts: those inside drawings and modal windows too
    Ending ending = Ending::None;
    bool trace = false; // print every action to stderr as it is given
};

struct Figures
{
    long actions = 0, drawingActions = 0, elements = 0; // actions inside a drawing's yield; elements drawn, each with a yield
    int deepest = 0, endingDepth = -1; // most drawings on the stack at once, and when the program was ended
    long deepestStack = 0;             // bytes of stack that the nested drawings took at most
    long qtWarnings = 0;               // warnings of Qt or the program other than the test's own
    // By name: the kinds of action, the modal windows answered (by class), what the start/stop
    // commands did ("start", "nested start", "stop", "ignored start") and "cut short" drawings.
    std::map<QString, long> counts;
    long count(const char *name) const;
};

struct Outcome
{
    Figures figures;
    QString failure; // empty, or the first broken invariant with the seed and the last actions
};

// Drives `window`, shown and active, with `settings.actions` random actions from its idle
// state. Runs in a temporary current directory, so that the file commands write nowhere else,
// and never prints: the print window is only ever cancelled.
Outcome run(Main &window, const Settings &settings);

// The seed and the number of actions from DIVOGRAF_STRESS_SEED and DIVOGRAF_STRESS_ACTIONS
// when they are set and valid, else the given ones; DIVOGRAF_STRESS_TRACE=1 sets `trace`.
Settings fromEnvironment(Settings defaults);

// Two lines for a report: the figures and the counts.
QString summary(const Settings &settings, const Figures &figures, double seconds);

} // namespace divograf::stress
