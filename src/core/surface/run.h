// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/surface/status.h"

#include <functional>

namespace divograf {

class Workers;

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

    // A headless caller (the renderer) may set these before the drawing. With `workers` the
    // fractal and the interference drawings compute in blocks of cells on those threads, with
    // one yield after each block instead of each element; the parameters must then stay as
    // they are until the drawing ends, and a stop ends it at once. `cell`, when above 0, is the
    // side of a cell (and the spacing of the 3-D surface's points) in surface units in place
    // of Detail.
    Workers *workers = nullptr;
    int cell = 0;
    int cellOr(int detail) const { return cell > 0 ? cell : detail; }
    // The share of the drawing done (0..1) when it last yielded; headless runs only.
    double done = 0;
};

} // namespace divograf
