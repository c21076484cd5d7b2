// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// bench_report: the one benchmark report. For every drawing and detail level it draws the
// picture headless (the renderer's way: no window, a yield that does nothing) and in the real
// window (`Main`, its yield after every element), and prints one table:
//
//   headless ms     median time of a whole headless drawing
//   window ms       median time of the same drawing started by its button in the window
//   ratio           window / headless: what the yields, the repaints and the event loop cost
//   gap max ms      the longest time from the start of one pass of the event loop to the start
//                   of the next in any window run (the time it slept waiting left out)
//   gap med ms      the median over the window runs of each run's longest gap: a gap that the
//                   program makes comes back in every run, one that the scheduler makes does not
//   gap cpu ms      the longest gap in one more window run, measured in the processor time of
//                   the window's thread: what the program itself spends between two passes,
//                   without the time the scheduler gave to other processes
//   input p95/max   delay from posting an event (another thread posts one every millisecond)
//                   to its handler running, over all window runs
//   paints/s        repaints of the view per second of drawing, where a run lasts a few frames
//   target          the most the window may take, and whether it did: a multiple of the
//                   headless time, or for the rainbow the span that one pass a frame makes
//
// and below it the input and repaint targets, the rainbow's frames, the fractal at the highest
// detail explored with the mouse (a notch of the wheel to the whole new picture, against the
// drawing by its button and one frame; a drag of one second at 100 motion events a second,
// with at most one drawing after the release), the cost of one bare pass
// of the event loop, the idle window's processor time and the time of saving and loading the
// parameter file. --event-cost N makes every pass of the event loop N times as dear, as on a
// slower machine. Run offscreen (QT_QPA_PLATFORM=offscreen, as scripts/bench.sh does) or on a
// display.

#include "core/files/parameters.h"
#include "core/rainbow/rainbow.h"
#include "gestureprobe.h"
#include "scenarios.h"
#include "windowprobe.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

using namespace divograf;
using namespace divograf::bench;

namespace {

using Clock = std::chrono::steady_clock;

// Headless drawings are repeated until they add up to this, at least MinRuns times.
constexpr double HeadlessBudgetSeconds = 0.5;
constexpr int MinRuns = 3;
constexpr int MaxRuns = 100;
// Window drawings: the runs asked for, more while they add up to less than this.
constexpr double WindowBudgetSeconds = 0.5;
constexpr int WindowMaxRuns = 20;
constexpr int FileRuns = 1000;
// A window run this long shows its repaint rate.
constexpr double MinPaintedSeconds = 0.1;
constexpr int IdleMs = 1000;

struct Row
{
    double headlessMs = 0;
    double windowMs = 0;
    double gapMaxMs = 0;
    double gapMedianMs = 0;
    double gapCpuMs = 0;
    double inputP95Ms = 0;
    double inputMaxMs = 0;
    double paintsPerSecond = 0; // 0: no run lasted long enough to tell
    int paintsPerRun = 0;       // the median
    long preempted = 0;
    double windowSeconds = 0, windowCpuSeconds = 0; // all window runs together
    bool samePicture = false; // the window drew the very pixels the headless run drew
};

double toMs(double seconds) { return seconds * 1000; }

Row measure(Main &window, const Scenario &scenario, int detail, int windowRuns)
{
    const std::vector<cli::Setting> settings = settingsFor(scenario, detail);
    Row row;

    Model model;
    configure(model, settings);
    drawHeadless(model, scenario.drawing); // first use of the code and the data
    std::vector<double> headless;
    double total = 0;
    while (headless.size() < static_cast<std::size_t>(MaxRuns)
        && (headless.size() < static_cast<std::size_t>(MinRuns) || total < HeadlessBudgetSeconds)) {
        headless.push_back(drawHeadless(model, scenario.drawing));
        total += headless.back();
    }
    row.headlessMs = toMs(median(headless));

    configure(window, settings);
    std::vector<double> times, gaps, inputs, paints;
    double paintTime = 0;
    int paintIntervals = 0;
    total = 0;
    while (times.size() < static_cast<std::size_t>(WindowMaxRuns)
        && (times.size() < static_cast<std::size_t>(windowRuns) || total < WindowBudgetSeconds)) {
        const WindowDrawing d = drawInWindow(window, scenario.drawing);
        times.push_back(d.seconds);
        total += d.seconds;
        gaps.push_back(d.maxGapMs);
        inputs.insert(inputs.end(), d.inputMs.begin(), d.inputMs.end());
        row.preempted += d.preempted;
        row.windowSeconds += d.seconds;
        row.windowCpuSeconds += d.cpuSeconds;
        paints.push_back(d.paints);
        if (d.seconds >= MinPaintedSeconds) {
            paintIntervals += static_cast<int>(d.paintIntervalsMs.size());
            for (double interval : d.paintIntervalsMs)
                paintTime += interval;
        }
    }
    row.paintsPerSecond = paintTime > 0 ? 1000 * paintIntervals / paintTime : 0;
    row.paintsPerRun = static_cast<int>(median(paints));
    row.windowMs = toMs(median(times));
    row.gapMaxMs = *std::max_element(gaps.begin(), gaps.end());
    row.gapMedianMs = median(gaps);
    row.inputP95Ms = percentile(inputs, 95);
    row.inputMaxMs = inputs.empty() ? 0 : *std::max_element(inputs.begin(), inputs.end());
    row.gapCpuMs = drawInWindow(window, scenario.drawing, GapClock::ThreadCpu).maxGapMs;
    row.samePicture = window.model().surface.Image() == model.surface.Image();
    return row;
}

// Saving: the records taken from the model and written as Save writes them. Loading: the
// file read and checked, then applied to the model as Load applies it. Median of each, in µs.
std::pair<double, double> parameterFileMicroseconds()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Fractal.dvg"));
    Model model;
    model.startUp();
    std::vector<double> save, load;
    for (int i = 0; i < FileRuns; ++i) {
        const Clock::time_point start = Clock::now();
        const std::optional<Failure> failure = saveParameterFile(path, takeParameters(model));
        save.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (failure) {
            std::fprintf(stderr, "bench_report: %s\n", qPrintable(failure->message));
            return {0, 0};
        }
    }
    for (int i = 0; i < FileRuns; ++i) {
        const Clock::time_point start = Clock::now();
        const auto loaded = loadParameterFile(path);
        if (const auto *records = std::get_if<ParameterRecords>(&loaded))
            applyParameters(model, *records);
        load.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return {median(save), median(load)};
}

std::string loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return "?";
    return file.readLine().split(' ').mid(0, 3).join(' ').toStdString();
}

std::string fixed(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, v < 10 ? "%.2f" : v < 100 ? "%.1f" : "%.0f", v);
    return text;
}

// The processor time the idle window takes, as a share of one processor.
double idleShare()
{
    const double before = processCpuSeconds();
    const Clock::time_point start = Clock::now();
    QTimer::singleShot(IdleMs, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    return (processCpuSeconds() - before)
        / std::chrono::duration<double>(Clock::now() - start).count();
}

// The target of a row and whether the window met it, e.g. "<= 54 ok".
std::pair<std::string, bool> target(const Scenario &scenario, int detail, const Row &row)
{
    if (scenario.animated) {
        const bool met = row.windowMs >= toMs(AnimationMinSeconds)
            && row.windowMs <= toMs(AnimationMaxSeconds);
        return {fixed(toMs(AnimationMinSeconds)) + "-" + fixed(toMs(AnimationMaxSeconds))
                + (met ? " ok" : " MISSED"),
            met};
    }
    const Target t = detail == HighestDetail ? scenario.target : CoarserDetailTarget;
    const double most = t.factor * row.headlessMs + t.plusMs;
    const bool met = row.windowMs <= most;
    return {"<= " + fixed(most) + (met ? " ok" : " MISSED"), met};
}

// The fractal at the highest detail explored with the mouse on the surface.
void exploreWithTheMouse(Main &window, int runs)
{
    configure(window, settingsFor(Scenarios[0], HighestDetail));
    std::vector<double> button, notch;
    for (int i = 0; i < runs; ++i)
        button.push_back(toMs(drawInWindow(window, Drawing::Fractal).seconds));
    for (int i = 0; i < 2 * runs; ++i) // forward and back again
        notch.push_back(wheelNotchMs(window, i % 2 == 0));
    const double frameMs
        = std::chrono::duration<double, std::milli>(window.windowYield().framePeriod()).count();
    const double most = median(button) + frameMs;
    std::printf("Wheel notch to the whole new picture (fractal, detail %d): median %s ms, worst %s "
                "ms (target <= the drawing by its button %s ms + one frame %s ms = %s): %s\n",
        DetailUnits[HighestDetail], fixed(median(notch)).c_str(),
        fixed(*std::max_element(notch.begin(), notch.end())).c_str(), fixed(median(button)).c_str(),
        fixed(frameMs).c_str(), fixed(most).c_str(), median(notch) <= most ? "ok" : "MISSED");
    int during = 0, after = 0, right = 0;
    double releaseMs = 0;
    for (int i = 0; i < runs; ++i) {
        const DragRun run = drag(window, 1, 100);
        during = std::max(during, run.drawingsWhileDragging);
        after = std::max(after, run.drawingsAfterRelease);
        right += run.finalPicture;
        releaseMs = std::max(releaseMs, run.releaseToPictureMs);
    }
    std::printf("Drag of 1 s at 100 motion events a second (fractal, detail %d), %d runs: at most "
                "%d drawings while dragging and %d after the release (target <= 1), the last "
                "picture at most %s ms after the release, that of the final position in %d runs: "
                "%s\n",
        DetailUnits[HighestDetail], runs, during, after, fixed(releaseMs).c_str(), right,
        after <= 1 && right == runs ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints the benchmark table of every drawing, headless and in the window."));
    const QCommandLineOption runsOption(QStringLiteral("runs"),
        QStringLiteral("Window drawings per row (at least; default 3)."), QStringLiteral("N"),
        QStringLiteral("3"));
    const QCommandLineOption costOption(QStringLiteral("event-cost"),
        QStringLiteral("Makes every pass of the event loop N times as dear as here (default 1)."),
        QStringLiteral("N"), QStringLiteral("1"));
    parser.addOption(runsOption);
    parser.addOption(costOption);
    parser.addHelpOption();
    parser.process(app);
    bool ok = false, costOk = false;
    const int runs = parser.value(runsOption).toInt(&ok);
    const double cost = parser.value(costOption).toDouble(&costOk);
    if (!ok || runs < 1 || !costOk || cost < 1) {
        std::fprintf(stderr,
            "bench_report: --runs wants a whole number from 1 up, --event-cost a number from 1 "
            "up\n");
        return 2;
    }

    Main window;
    showSettled(window);
    const double barePassUs = bareEventPassMicroseconds();
    if (cost > 1)
        setEventPassSurcharge(
            std::chrono::nanoseconds(static_cast<long long>((cost - 1) * barePassUs * 1000)));
    std::printf("Platform %s, Qt %s, %d+ window runs per row, load average %s%s\n\n",
        qPrintable(QApplication::platformName()), qVersion(), runs, loadAverage().c_str(),
        cost > 1 ? (", every pass of the event loop made " + fixed(cost) + " times as dear").c_str()
                 : "");
    std::printf(
        "| %-21s | %6s | %11s | %9s | %5s | %10s | %10s | %10s | %12s | %12s | %8s | %-16s |\n",
        "drawing", "detail", "headless ms", "window ms", "ratio", "gap max ms", "gap med ms",
        "gap cpu ms", "input p95 ms", "input max ms", "paints/s", "target (window)");
    std::printf("|%s|%s:|%s:|%s:|%s:|%s:|%s:|%s:|%s:|%s:|%s:|%s|\n", std::string(23, '-').c_str(),
        std::string(7, '-').c_str(), std::string(12, '-').c_str(), std::string(10, '-').c_str(),
        std::string(6, '-').c_str(), std::string(11, '-').c_str(), std::string(11, '-').c_str(),
        std::string(11, '-').c_str(), std::string(13, '-').c_str(), std::string(13, '-').c_str(),
        std::string(9, '-').c_str(), std::string(18, '-').c_str());
    std::fflush(stdout);

    double worstP95 = 0, worstInput = 0;
    double fewestPaints = 1e9, mostPaints = 0;
    long preempted = 0;
    double wall = 0, cpu = 0;
    int targetsMissed = 0, picturesDiffering = 0;
    Row animation;
    for (const Scenario &scenario : Scenarios) {
        for (int detail = scenario.animated ? HighestDetail : 0; detail < DetailLevels; ++detail) {
            const Row row = measure(window, scenario, detail, runs);
            if (window.windowYield().quitting()) {
                // Something closed the window (a stuck Ctrl+X on the display, say): nothing drew.
                std::fprintf(stderr,
                    "bench_report: the window was closed during the benchmark; no figures\n");
                return 1;
            }
            const auto [targetText, met] = target(scenario, detail, row);
            targetsMissed += !met;
            picturesDiffering += !row.samePicture;
            worstP95 = std::max(worstP95, row.inputP95Ms);
            worstInput = std::max(worstInput, row.inputMaxMs);
            if (row.paintsPerSecond > 0) {
                fewestPaints = std::min(fewestPaints, row.paintsPerSecond);
                mostPaints = std::max(mostPaints, row.paintsPerSecond);
            }
            if (scenario.animated)
                animation = row;
            preempted += row.preempted;
            wall += row.windowSeconds;
            cpu += row.windowCpuSeconds;
            std::printf("| %-21s | %6s | %11s | %9s | %5s | %10s | %10s | %10s | %12s | %12s | %8s "
                        "| %-16s |\n",
                (scenario.name + std::string(row.samePicture ? "" : " (!)")).c_str(),
                scenario.animated ? "-" : std::to_string(DetailUnits[detail]).c_str(),
                fixed(row.headlessMs).c_str(), fixed(row.windowMs).c_str(),
                fixed(row.windowMs / row.headlessMs).c_str(), fixed(row.gapMaxMs).c_str(),
                fixed(row.gapMedianMs).c_str(), fixed(row.gapCpuMs).c_str(),
                fixed(row.inputP95Ms).c_str(), fixed(row.inputMaxMs).c_str(),
                row.paintsPerSecond > 0 ? fixed(row.paintsPerSecond).c_str() : "-",
                targetText.c_str());
            std::fflush(stdout);
        }
    }

    const bool inputMet = worstP95 <= InputTargetP95Ms && worstInput <= InputTargetMaxMs;
    const bool paintsMet
        = fewestPaints >= RepaintsMinPerSecond && mostPaints <= RepaintsMaxPerSecond;
    std::printf("\nWindow times missed: %d\n", targetsMissed);
    std::printf(
        "Input while drawing: worst p95 %s ms (target <= %s), worst %s ms (target <= %s): %s\n",
        fixed(worstP95).c_str(), fixed(InputTargetP95Ms).c_str(), fixed(worstInput).c_str(),
        fixed(InputTargetMaxMs).c_str(), inputMet ? "ok" : "MISSED");
    std::printf("Repaints while drawing: %s to %s a second (target %s to %s): %s\n",
        fixed(fewestPaints).c_str(), fixed(mostPaints).c_str(), fixed(RepaintsMinPerSecond).c_str(),
        fixed(RepaintsMaxPerSecond).c_str(), paintsMet ? "ok" : "MISSED");
    std::printf(
        "Rainbow: %d paints of the view a run for %d passes, its thread busy %.0f %% of the time\n",
        animation.paintsPerRun, (RainbowPassLast - 1) / RainbowPassStep + 1,
        animation.windowSeconds > 0 ? 100 * animation.windowCpuSeconds / animation.windowSeconds
                                    : 0.0);
    std::printf("Pictures the window drew differently from the headless run: %d%s\n",
        picturesDiffering,
        picturesDiffering ? " (marked (!): the two runs were not set up alike)" : "");
    exploreWithTheMouse(window, std::max(runs, MinRuns));
    const auto [saveUs, loadUs] = parameterFileMicroseconds();
    std::printf("Parameter file (Fractal.dvg, %d bytes), median of %d: save %s µs (takeParameters "
                "+ saveParameterFile, synced to disk), "
                "load %s µs (loadParameterFile + applyParameters)\n",
        ParameterFileLength, FileRuns, fixed(saveUs).c_str(), fixed(loadUs).c_str());
    std::printf("Idle window: %.1f %% of a processor over %d ms\n", 100 * idleShare(), IdleMs);
    std::printf("One bare pass of the event loop: %s µs", fixed(barePassUs).c_str());
    if (cost > 1)
        std::printf(", made %s µs with the added wait", fixed(bareEventPassMicroseconds()).c_str());
    std::printf("\nWhile drawing, the window's thread had %.0f %% of a processor and was preempted "
                "%ld times; load average now %s\n",
        wall > 0 ? 100 * cpu / wall : 0.0, preempted, loadAverage().c_str());
    return 0;
}
