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
// scripts/bench.sh prints the same figures for every detail level next to the headless times
// in one table (bench_report).

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
