// The fractal drawn in the real window with the window's yield after every cell: how long a
// whole drawing takes, how often the view repaints, the longest stretch the program itself
// goes without processing events, and how soon an event that arrives meanwhile is handled.
// Run it offscreen (QT_QPA_PLATFORM=offscreen) and on a display.
//
// Counters:
//   repaints_per_s  paint events of the surface view per second of drawing
//   max_gap_ms      the longest time between two event steps of the yield: one cell, the
//                   per-column progress and caption, and the yield's own bookkeeping
//   median_max_gap_ms
//                   the median over the drawings of each drawing's longest gap: a gap that
//                   the program makes comes back in every drawing, one that the scheduler
//                   makes does not
//   gaps_over_2ms   how many such gaps exceeded 2 ms
//   preempted       involuntary context switches of the process meanwhile: on a loaded
//                   machine the scheduler, not the program, makes the long gaps
//   max_events_ms   the longest event step (repaints and handlers run there)
//   input_p95_ms, input_max_ms
//                   delay from posting an event (from another thread, every millisecond) to
//                   its handler running, while drawing
//   idle_cpu        CPU time per second of wall time while the window sits idle

#include "app/mainwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QSlider>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <numeric>
#include <thread>
#include <vector>

using namespace divograf;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// An event stamped when it was posted.
struct Probe : QEvent
{
    static inline const QEvent::Type Kind = static_cast<QEvent::Type>(QEvent::registerEventType());
    Probe() : QEvent(Kind), posted(Clock::now()) {}
    Clock::time_point posted;
};

// Handles the probes on the user-interface thread and counts the view's paints.
class Observer : public QObject
{
public:
    std::vector<double> latencies;
    std::vector<double> paintIntervals; // between two paints of the view while drawing
    bool drawing = false;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != Probe::Kind)
            return QObject::event(e);
        latencies.push_back(ms(Clock::now() - static_cast<Probe *>(e)->posted));
        return true;
    }
    Clock::time_point lastPaint;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            const Clock::time_point now = Clock::now();
            if (drawing && lastPaint != Clock::time_point{})
                paintIntervals.push_back(ms(now - lastPaint));
            lastPaint = drawing ? now : Clock::time_point{};
        }
        return false;
    }
};

Main *theWindow = nullptr; // made by main

Main &window() { return *theWindow; }

template <typename T>
T *control(const char *name)
{
    return window().findChild<T *>(QString::fromLatin1(name));
}

// range(0): 0 start-up parameters, 1 heavy (QWA 5, KUB, MUA, MM 7); always the highest detail.
void configure(int heavy)
{
    control<QAbstractButton>("Option4")->click();
    control<QSlider>("QWA")->setValue(heavy ? 5 : 1);
    for (const char *box : {"KUB", "MUA"})
        if (control<QAbstractButton>(box)->isChecked() != bool(heavy))
            control<QAbstractButton>(box)->click();
    control<QSlider>("MM")->setValue(7);
}

// How often the scheduler took the processor away from this process (a loaded machine makes
// gaps that the program does not make).
long involuntarySwitches()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nivcsw;
}

// The processor time of this thread alone: what the program itself spends.
Clock::duration threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// range(0): 0 start-up parameters, 1 heavy. range(1): 0 gaps on the wall clock, 1 gaps in this
// thread's processor time (reading that clock twice a cell slows the drawing; use the time of
// the wall-clock runs).
void BM_WindowFractal(benchmark::State &state)
{
    Main &w = window();
    configure(static_cast<int>(state.range(0)));
    const bool cpuClock = state.range(1) == 1;
    Observer observer;
    QWidget *field = w.findChild<QWidget *>(QStringLiteral("Field"));
    field->installEventFilter(&observer);
    auto *command1 = control<QAbstractButton>("Command1");

    Clock::duration maxGap{}, maxStep{};
    std::vector<double> drawingMaxGaps; // the longest gap of each drawing
    int longGaps = 0;
    Clock::duration lastStep{};
    auto now = [cpuClock] { return cpuClock ? threadCpu() : Clock::now().time_since_epoch(); };
    w.windowYield().setEventStep([&] {
        const Clock::duration start = now();
        const Clock::duration gap = start - lastStep;
        maxGap = std::max(maxGap, gap);
        longGaps += gap > std::chrono::milliseconds(2);
        QCoreApplication::processEvents();
        lastStep = now();
        maxStep = std::max(maxStep, lastStep - start);
    });
    const long preemptedBefore = involuntarySwitches();

    double drawingSeconds = 0;
    for (auto _ : state) {
        std::atomic<bool> posting = true;
        std::thread poster([&] {
            while (posting.load()) {
                QCoreApplication::postEvent(&observer, new Probe);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        observer.drawing = true;
        const Clock::duration worstBefore = maxGap;
        maxGap = {};
        const Clock::time_point start = Clock::now();
        lastStep = now();
        command1->click(); // the whole drawing runs inside the click
        drawingSeconds += std::chrono::duration<double>(Clock::now() - start).count();
        observer.drawing = false;
        drawingMaxGaps.push_back(ms(maxGap));
        maxGap = std::max(maxGap, worstBefore);
        posting = false;
        poster.join();
        QCoreApplication::processEvents(); // the final repaint and any probe still queued
    }
    w.windowYield().setEventStep([] { QCoreApplication::processEvents(); });
    field->removeEventFilter(&observer);

    std::vector<double> &l = observer.latencies;
    std::sort(l.begin(), l.end());
    const std::vector<double> &p = observer.paintIntervals;
    state.counters["repaints_per_s"] = p.empty() ? 0 : 1000 * static_cast<double>(p.size()) / std::accumulate(p.begin(), p.end(), 0.0);
    state.counters["min_repaint_interval_ms"] = p.empty() ? 0 : *std::min_element(p.begin(), p.end());
    std::sort(drawingMaxGaps.begin(), drawingMaxGaps.end());
    state.counters["max_gap_ms"] = ms(maxGap);
    state.counters["median_max_gap_ms"] = drawingMaxGaps[drawingMaxGaps.size() / 2];
    state.counters["gaps_over_2ms"] = longGaps;
    state.counters["preempted"] = static_cast<double>(involuntarySwitches() - preemptedBefore);
    state.counters["max_events_ms"] = ms(maxStep);
    state.counters["input_p95_ms"] = l.empty() ? 0 : l[l.size() * 95 / 100];
    state.counters["input_max_ms"] = l.empty() ? 0 : l.back();
    state.counters["input_events"] = static_cast<double>(l.size());
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_WindowIdle(benchmark::State &state)
{
    window();
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double before = cpuSeconds();
        const Clock::time_point start = Clock::now();
        QTimer::singleShot(1000, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        wall += std::chrono::duration<double>(Clock::now() - start).count();
        cpu += cpuSeconds() - before;
    }
    state.counters["idle_cpu"] = cpu / wall;
}

} // namespace

BENCHMARK(BM_WindowFractal)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_WindowIdle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Main w;
    w.show();
    QElapsedTimer settle; // until the window is mapped and painted
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    theWindow = &w;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
