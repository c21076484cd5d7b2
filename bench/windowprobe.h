#pragma once

// A drawing run in the real window `Main` with its yield after every element, timed from
// outside: how long it takes, how often the view repaints, the longest stretch the program
// goes without processing events, and how soon an event that arrives meanwhile is handled.

#include "ui/mainwindow.h"
#include "cli/options.h"

#include <vector>

namespace divograf::bench {

// Shows the window and processes its events until it is mapped and painted.
void showSettled(Main &window);

// Sets the window's controls as a user would: a slider moved, a box ticked, an option
// clicked, a text typed into its box.
void configure(Main &window, const std::vector<cli::Setting> &settings);

// The clock the gaps between two event steps are measured on: the wall clock, or the
// processor time of the user-interface thread alone (what the program itself spends; reading
// it twice an element slows the drawing, so take the drawing time from wall-clock runs).
enum class GapClock { Wall, ThreadCpu };

struct WindowDrawing
{
    double seconds = 0;      // the click on the start button, which returns at the drawing's end
    double cpuSeconds = 0;   // the processor time of the user-interface thread meanwhile
    double maxGapMs = 0;     // the longest time between two event steps of the yield: one element,
                             // the progress and caption, and the yield's own bookkeeping
    int gapsOver2ms = 0;     // how many such gaps exceeded 2 ms
    double maxStepMs = 0;    // the longest event step (repaints and handlers run there)
    long preempted = 0;      // involuntary context switches of the user-interface thread meanwhile:
                             // on a loaded machine the scheduler, not the program, makes long gaps
    std::vector<double> inputMs;          // post-to-handler delay of each probe event
    std::vector<double> paintIntervalsMs; // between two paints of the view
};

// Clicks the start button of `drawing` in the idle window; the whole drawing runs inside the
// click. Meanwhile another thread posts a probe event every millisecond, whose handler records
// how long it waited.
WindowDrawing drawInWindow(Main &window, Drawing drawing, GapClock clock = GapClock::Wall);

// Processor time of the whole process in seconds (user and system).
double processCpuSeconds();

} // namespace divograf::bench
