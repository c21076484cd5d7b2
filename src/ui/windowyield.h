// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/model.h"

#include <QString>

#include <chrono>
#include <cstdint>

class QProgressBar;
class QWidget;

namespace divograf {

// The window's yield, called by the drawings after every drawn element, and the one place
// that brings the window in line with the model: the caption when it changed, and at most
// once a frame while a drawing runs the progress bar's value and a repaint of the surface view
// when the raster or the marker changed. The view's repaint is asked for with `update()` (Qt
// paints when it next runs its event loop); the progress bar repaints itself when its value
// changes. Nothing runs when idle.
//
// A pass of the event loop costs a few microseconds, more on some machines than on others,
// while a drawn element often costs less than one; so the yield runs the event loop only
// when `EventInterval` has passed since its last pass and otherwise returns at once. Input
// still waits no more than a fraction of a millisecond.
class WindowYield
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr Clock::duration EventInterval = std::chrono::microseconds(250);
    // The frame rate assumed when the screen tells none (or an implausible one).
    static constexpr double DefaultFrameRate = 60;

    enum class Repaint { AtFrameRate, Now };

    WindowYield(Model &model, QWidget &window, QWidget &view, QProgressBar &progress);

    // Processes the pending events when they are due (any handler may run inside, a
    // start/stop command too), then shows what changed. Once the program is ending it returns
    // at once, so that every drawing on the stack finishes its pass quickly and unwinds.
    void operator()();

    // An animation's frame is drawn: the view shows it, and the event loop runs (input is
    // handled at once, nested commands run here too) until a frame of the display has passed
    // since the previous one was shown. So every frame is seen, one per frame of the display;
    // the wait neither sleeps nor spins.
    void frameDrawn();

    // Shows what changed since the last call: the caption at once, the progress and the view
    // at frame rate or `Now` (the end of a command, a moved marker).
    void show(Repaint when);

    // The program is ending: `Running` false, no more events processed, nothing shown.
    void quit();
    bool quitting() const { return quitting_; }

    // One frame of the view's screen.
    Clock::duration framePeriod() const;

private:
    void show(Repaint when, Clock::time_point now);

    Model &model_;
    QWidget &window_;
    QWidget &view_;
    QProgressBar &progress_;
    bool quitting_ = false;
    Clock::time_point lastEvents_; // the end of the yield's last pass of the event loop
    Clock::time_point
        lastFrame_; // the beat of an animation: when the wait for its last frame ended
    Clock::duration frame_;

    // What the window shows now.
    QString caption_;
    std::uint64_t revision_ = 0;
    Marker marker_;
    Clock::time_point lastRepaint_;
};

} // namespace divograf
