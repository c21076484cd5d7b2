// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/model.h"

#include <QTimer>

#include <chrono>
#include <functional>

namespace divograf {

// Draws the last drawing again from the start when a gesture on the surface has changed what
// it shows. A drawing that still runs is first stopped by its start/stop command, and the new
// one starts once the stopped one has returned to the event loop, never nested inside it. The
// requests of a gesture are merged: a drawing starts at most once every `Interval`, and once
// more after the last request, so the picture catches up with the values the panel shows.
class Redraw
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds Interval{100};

    // `command` runs a start/stop command without cancelling anything.
    Redraw(Model &model, std::function<void(Drawing)> command);

    // What the last drawing shows has changed.
    void request();
    // A start/stop command of the user's own (or a click that stops): a restart still to come
    // would undo it.
    void cancel();
    // No drawing is on the stack any more.
    void drawingsReturned();

    // A drawing is still to start.
    bool pending() const { return pending_; }
    // The drawings started so far.
    int started() const { return started_; }

private:
    void due();
    void schedule();

    Model &model_;
    std::function<void(Drawing)> command_;
    QTimer timer_;
    bool pending_ = false;
    Clock::time_point lastStart_;
    int started_ = 0;
};

} // namespace divograf
