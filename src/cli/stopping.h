// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

namespace divograf::cli {

// SIGINT, SIGTERM and SIGHUP ask the run to stop instead of ending the program on the spot,
// so that it can leave the files as they were. Once the run has given up, `endBySignal` ends
// the program by the signal that came, as its default action would have, so that the shell
// sees 130, 143 or 129. While an object lives the three signals are caught, except one that
// the program was started to ignore.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signal that came, or 0. Safe on any thread.
    static int received();

    // Ends the program by the signal received.
    [[noreturn]] void endBySignal();
};

} // namespace divograf::cli
