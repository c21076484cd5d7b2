// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Every drawing in the real window with the window's yield after every element, at the
// highest detail: how long a whole drawing takes, how often the view repaints, the longest
// stretch the program itself goes without processing events, and how soon an event that
// arrives meanwhile is handled. Run it offscreen (QT_QPA_PLATFORM=offscreen) and on a display.
//
// Counters:
//   repaints_per_s  paint events of the surface view per second of drawing
//   max_gap_ms      the longest time from the start of one pass of the event loop to the start
//                   of the next (the drawing between them and the pass itself)
//   median_max_gap_ms
//                   the median over the drawings of each drawing's longest gap: a gap that
//                   the program makes comes back in every drawing, one that the scheduler
//                   makes does not
//   gaps_over_2ms   how many such gaps exceeded 2 ms
//   preempted       involuntary context switches of the user-interface thread meanwhile: on a
//                   loaded machine the scheduler, not the program, makes the long gaps
//   event_passes_per_s
//                   passes of the event loop per second of drawing
//   input_p95_ms, input_max_ms
//                   delay from posting an event (from another thread, every millisecond) to
//                   its handler running, while drawing
//   idle_cpu        CPU time per second of wall time while the window sits idle
//
// Two rows explore the fractal at the highest detail with the mouse on the surface:
//   BM_WheelNotch   time from a notch of the wheel to the view's paint of the whole new
//                   picture; button_ms is the same drawing started by its button, and the
//                   target is that plus one frame (target_met 1)
//   BM_Drag         a drag of one second at 100 motion events a second: drawings started
//                   while dragging and after the release (target: at most 1), the time from
//                   the release to the last picture, and whether it is the final position's
//
// scripts/bench.sh prints the same figures for every detail level next to the headless times
// in one table (bench_report).

#include "gestureprobe.h"
#include "scenarios.h"
#include "windowprobe.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <numeric>

using namespace divograf;
using namespace divograf::bench;

namespace {

Main *theWindow = nullptr; // made by main

// range(0): index into Scenarios; range(1): detail level; range(2): 0 gaps on the wall clock,
// 1 gaps in the user-interface thread's processor time.
void BM_WindowDrawing(benchmark::State &state)
{
    Main &w = *theWindow;
    const Scenario &scenario = Scenarios[state.range(0)];
    configure(w, settingsFor(scenario, static_cast<int>(state.range(1))));
    const GapClock clock = state.range(2) == 1 ? GapClock::ThreadCpu : GapClock::Wall;
    state.SetLabel(scenario.name);

    double maxGap = 0, passes = 0, seconds = 0;
    std::vector<double> drawingMaxGaps, latencies, paintIntervals;
    int longGaps = 0;
    long preempted = 0;
    for (auto _ : state) {
        if (w.windowYield().quitting()) {
            state.SkipWithError("the window was closed; nothing draws");
            break;
        }
        WindowDrawing d = drawInWindow(w, scenario.drawing, clock);
        state.SetIterationTime(d.seconds);
        maxGap = std::max(maxGap, d.maxGapMs);
        passes += static_cast<double>(d.passes);
        seconds += d.seconds;
        drawingMaxGaps.push_back(d.maxGapMs);
        longGaps += d.gapsOver2ms;
        preempted += d.preempted;
        latencies.insert(latencies.end(), d.inputMs.begin(), d.inputMs.end());
        paintIntervals.insert(
            paintIntervals.end(), d.paintIntervalsMs.begin(), d.paintIntervalsMs.end());
    }

    const std::vector<double> &p = paintIntervals;
    state.counters["repaints_per_s"] = p.empty()
        ? 0
        : 1000 * static_cast<double>(p.size()) / std::accumulate(p.begin(), p.end(), 0.0);
    state.counters["min_repaint_interval_ms"]
        = p.empty() ? 0 : *std::min_element(p.begin(), p.end());
    state.counters["max_gap_ms"] = maxGap;
    state.counters["median_max_gap_ms"] = median(drawingMaxGaps);
    state.counters["gaps_over_2ms"] = longGaps;
    state.counters["preempted"] = static_cast<double>(preempted);
    state.counters["event_passes_per_s"] = seconds > 0 ? passes / seconds : 0;
    state.counters["input_p95_ms"] = percentile(latencies, 95);
    state.counters["input_max_ms"]
        = latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end());
    state.counters["input_events"] = static_cast<double>(latencies.size());
}

void BM_WheelNotch(benchmark::State &state)
{
    Main &w = *theWindow;
    configure(w, settingsFor(Scenarios[0], HighestDetail));
    const double buttonMs = 1000 * drawInWindow(w, Drawing::Fractal).seconds;
    const double frameMs
        = std::chrono::duration<double, std::milli>(w.windowYield().framePeriod()).count();
    std::vector<double> notches;
    for (auto _ : state) {
        notches.push_back(wheelNotchMs(w, notches.size() % 2 == 0));
        state.SetIterationTime(notches.back() / 1000);
    }
    if (notches.size() % 2 == 1)
        wheelNotchMs(w, false); // back to the size the settings leave
    state.counters["button_ms"] = buttonMs;
    state.counters["frame_ms"] = frameMs;
    state.counters["median_ms"] = median(notches);
    state.counters["target_met"] = median(notches) <= buttonMs + frameMs;
}

void BM_Drag(benchmark::State &state)
{
    Main &w = *theWindow;
    configure(w, settingsFor(Scenarios[0], HighestDetail));
    drawInWindow(w, Drawing::Fractal);
    int during = 0, after = 0, wrong = 0;
    double releaseMs = 0;
    for (auto _ : state) {
        const DragRun run = drag(w, 1, 100);
        during = std::max(during, run.drawingsWhileDragging);
        after = std::max(after, run.drawingsAfterRelease);
        wrong += !run.finalPicture;
        releaseMs = std::max(releaseMs, run.releaseToPictureMs);
    }
    state.counters["drawings_dragging"] = during;
    state.counters["drawings_after_release"] = after;
    state.counters["release_to_picture_ms"] = releaseMs;
    state.counters["wrong_final_pictures"] = wrong;
}

void BM_WindowIdle(benchmark::State &state)
{
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double before = processCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        QTimer::singleShot(1000, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += processCpuSeconds() - before;
    }
    state.counters["idle_cpu"] = cpu / wall;
}

} // namespace

BENCHMARK(BM_WindowDrawing)
    ->ArgsProduct({benchmark::CreateDenseRange(0, ScenarioCount - 1, 1), {HighestDetail}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK(BM_WheelNotch)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_Drag)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WindowIdle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Main w;
    showSettled(w);
    theWindow = &w;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
