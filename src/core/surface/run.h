#pragma once

#include "core/surface/status.h"

#include <functional>

namespace divograf {

// What every drawing shares with the program while it runs: the one start/stop flag, the
// yield after every drawn element, and the progress display. A start or stop command given
// inside `yield` runs nested, on the same Run.
struct Run
{
    bool Running = false;
    std::function<void()> yield = [] {};
    Status status;
};

} // namespace divograf
