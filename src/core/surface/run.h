// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/surface/status.h"

#include <functional>

namespace divograf {

// What every drawing shares with the program while it runs: the one start/stop flag, the
// yield after every drawn element, the end of an animation's frame, and the progress display.
// A start or stop command given inside `yield` or `frameDrawn` runs nested, on the same Run.
struct Run
{
    bool Running = false;
    std::function<void()> yield = [] {};
    // An animation has drawn a whole frame: the window shows it and holds the next one back
    // until the display is due to show it; headless there is nothing to wait for.
    std::function<void()> frameDrawn = [] {};
    Status status;
};

} // namespace divograf
