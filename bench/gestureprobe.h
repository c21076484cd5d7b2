// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The mouse on the surface of the real window, timed from outside: a notch of the wheel and a
// drag, each until the view has painted the picture of the new values.

#include "ui/mainwindow.h"

namespace divograf::bench {

// Turns the wheel one notch (forward or back) over the middle of the surface of the idle
// window, whose last drawing is the fractal, and returns the milliseconds until the view has
// painted the whole new picture. Waits first until the last redraw is `Redraw::Interval` old,
// so that the notch is the first of a gesture.
double wheelNotchMs(Main &window, bool forward);

struct DragRun
{
    int drawingsWhileDragging = 0; // started between the press and the release
    int drawingsAfterRelease = 0;
    double releaseToPictureMs = 0; // until the view has painted the last picture
    bool finalPicture = false;     // the last picture is that of the final position
};

// A drag of `seconds` at `eventsPerSecond` motion events, one pixel to the right each, over the
// idle window whose last drawing is the fractal; then back to where it began, untimed.
DragRun drag(Main &window, double seconds, int eventsPerSecond);

} // namespace divograf::bench
