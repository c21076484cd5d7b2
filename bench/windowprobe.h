// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// A drawing run in the real window `Main` with its yield after every element, timed from
// outside: how long it takes, how often the view repaints, the longest stretch the program
// goes without running its event loop, and how soon an event that arrives meanwhile is
// handled. The passes of the event loop are seen through the signals of Qt's event
// dispatcher, so the window itself has nothing to offer for it.

#include "ui/mainwindow.h"
#include "cli/options.h"

#include <chrono>
#include <vector>

namespace divograf::bench {

// Shows the window and processes its events until it is mapped and painted.
void showSettled(Main &window);

// Sets the window's controls as a user would: a slider moved, a box ticked, an option
// clicked, a text typed into its box.
void configure(Main &window, const std::vector<cli::Setting> &settings);

// The clock the gaps between two passes of the event loop are measured on: the wall clock, or
// the processor time of the user-interface thread alone (what the program itself spends,
// without the time the scheduler gave to other processes).
enum class GapClock { Wall, ThreadCpu };

struct WindowDrawing
{
    double seconds = 0;    // the click on the start button, which returns at the drawing's end
    double cpuSeconds = 0; // the processor time of the user-interface thread meanwhile
    double maxGapMs = 0;   // the longest time from the start of one pass of the event loop to
                           // the start of the next, the time it slept waiting for events left
                           // out: the drawing between two passes and the pass itself
    int gapsOver2ms = 0;   // how many such gaps exceeded 2 ms
    long passes = 0;       // passes of the event loop
    long preempted = 0;    // involuntary context switches of the user-interface thread meanwhile:
                           // on a loaded machine the scheduler, not the program, makes long gaps
    std::vector<double> inputMs;          // post-to-handler delay of each probe event
    std::vector<double> paintIntervalsMs; // between two paints of the view
    int paints = 0;                       // paints of the view
};

// Clicks the start button of `drawing` in the idle window; the whole drawing runs inside the
// click. Meanwhile another thread posts a probe event every millisecond, whose handler records
// how long it waited.
WindowDrawing drawInWindow(Main &window, Drawing drawing, GapClock clock = GapClock::Wall);

// Processor time of the whole process in seconds (user and system).
double processCpuSeconds();

// Makes every pass of the event loop from now on `extra` dearer, by a busy wait at its start,
// as on a machine where a pass costs more; zero takes it back.
void setEventPassSurcharge(std::chrono::nanoseconds extra);

// What one pass of the event loop costs with nothing pending (the median of many, the
// surcharge included), in microseconds.
double bareEventPassMicroseconds();

} // namespace divograf::bench
