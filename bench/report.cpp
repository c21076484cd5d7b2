// bench_report: the one benchmark report. For every drawing and detail level it draws the
// picture headless (the renderer's way: no window, a yield that does nothing) and in the real
// window (`Main`, its yield processing events after every element), and prints one table:
//
//   headless ms     median time of a whole headless drawing
//   window ms       median time of the same drawing started by its button in the window
//   ratio           window / headless: what the yields, the repaints and the event steps cost
//   gap max ms      the longest time between two event steps of the yield in any window run
//   gap med ms      the median over the window runs of each run's longest gap: a gap that the
//                   program makes comes back in every run, one that the scheduler makes does not
//   gap cpu ms      the longest gap in one more window run, measured in the processor time of
//                   the window's thread: what the program itself spends between two event
//                   steps, without the time the scheduler gave to other processes
//   input p95/max   delay from posting an event (another thread posts one every millisecond)
//                   to its handler running, over all window runs
//   target          the most the window may take at the highest detail, where one is set
//
// and below it the time of saving and loading the parameter file. Run offscreen
// (QT_QPA_PLATFORM=offscreen, as scripts/bench.sh does) or on a display.

#include "core/files/parameters.h"
#include "scenarios.h"
#include "windowprobe.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>

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

struct Row
{
    double headlessMs = 0;
    double windowMs = 0;
    double gapMaxMs = 0;
    double gapMedianMs = 0;
    double gapCpuMs = 0;
    double inputP95Ms = 0;
    double inputMaxMs = 0;
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
    std::vector<double> times, gaps, inputs;
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
    }
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints the benchmark table of every drawing, headless and in the window."));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Window drawings per row (at least; default 3)."),
                                        QStringLiteral("N"), QStringLiteral("3"));
    parser.addOption(runsOption);
    parser.addHelpOption();
    parser.process(app);
    bool ok = false;
    const int runs = parser.value(runsOption).toInt(&ok);
    if (!ok || runs < 1) {
        std::fprintf(stderr, "bench_report: --runs wants a whole number from 1 up\n");
        return 2;
    }

    Main window;
    showSettled(window);
    std::printf("Platform %s, Qt %s, %d+ window runs per row, load average %s\n\n", qPrintable(QApplication::platformName()),
                qVersion(), runs, loadAverage().c_str());
    std::printf("| %-21s | %6s | %11s | %9s | %5s | %10s | %10s | %10s | %12s | %12s | %-15s |\n", "drawing", "detail",
                "headless ms", "window ms", "ratio", "gap max ms", "gap med ms", "gap cpu ms", "input p95 ms", "input max ms",
                "target (window)");
    std::printf("|%s|%s:|%s:|%s:|%s:|%s:|%s:|%s:|%s:|%s:|%s|\n", std::string(23, '-').c_str(), std::string(7, '-').c_str(),
                std::string(12, '-').c_str(), std::string(10, '-').c_str(), std::string(6, '-').c_str(),
                std::string(11, '-').c_str(), std::string(11, '-').c_str(), std::string(11, '-').c_str(),
                std::string(13, '-').c_str(), std::string(13, '-').c_str(), std::string(17, '-').c_str());
    std::fflush(stdout);

    double worstP95 = 0, worstInput = 0;
    long preempted = 0;
    double wall = 0, cpu = 0;
    int targetsMissed = 0, picturesDiffering = 0;
    for (const Scenario &scenario : Scenarios) {
        for (int detail = scenario.detailed ? 0 : HighestDetail; detail < DetailLevels; ++detail) {
            const Row row = measure(window, scenario, detail, runs);
            if (window.windowYield().quitting()) {
                // Something closed the window (a stuck Ctrl+X on the display, say): nothing drew.
                std::fprintf(stderr, "bench_report: the window was closed during the benchmark; no figures\n");
                return 1;
            }
            std::string target;
            if (scenario.targetSeconds > 0 && detail == HighestDetail) {
                const bool met = row.windowMs <= toMs(scenario.targetSeconds);
                targetsMissed += !met;
                target = "<= " + fixed(toMs(scenario.targetSeconds)) + (met ? " ok" : " MISSED");
            }
            picturesDiffering += !row.samePicture;
            worstP95 = std::max(worstP95, row.inputP95Ms);
            worstInput = std::max(worstInput, row.inputMaxMs);
            preempted += row.preempted;
            wall += row.windowSeconds;
            cpu += row.windowCpuSeconds;
            std::printf("| %-21s | %6s | %11s | %9s | %5s | %10s | %10s | %10s | %12s | %12s | %-15s |\n",
                        (scenario.name + std::string(row.samePicture ? "" : " (!)")).c_str(),
                        scenario.detailed ? std::to_string(DetailUnits[detail]).c_str() : "-", fixed(row.headlessMs).c_str(),
                        fixed(row.windowMs).c_str(), fixed(row.windowMs / row.headlessMs).c_str(), fixed(row.gapMaxMs).c_str(),
                        fixed(row.gapMedianMs).c_str(), fixed(row.gapCpuMs).c_str(), fixed(row.inputP95Ms).c_str(),
                        fixed(row.inputMaxMs).c_str(), target.c_str());
            std::fflush(stdout);
        }
    }

    const auto [saveUs, loadUs] = parameterFileMicroseconds();
    std::printf("\nParameter file (Fractal.dvg, %d bytes), median of %d: save %s µs (takeParameters + saveParameterFile, synced to disk), "
                "load %s µs (loadParameterFile + applyParameters)\n",
                ParameterFileLength, FileRuns, fixed(saveUs).c_str(), fixed(loadUs).c_str());
    std::printf("Input while drawing: worst p95 %s ms (target <= %s), worst %s ms (target <= %s); window targets missed: %d\n",
                fixed(worstP95).c_str(), fixed(InputTargetP95Ms).c_str(), fixed(worstInput).c_str(),
                fixed(InputTargetMaxMs).c_str(), targetsMissed);
    std::printf("Pictures the window drew differently from the headless run: %d%s\n", picturesDiffering,
                picturesDiffering ? " (marked (!): the two runs were not set up alike)" : "");
    std::printf("While drawing, the window's thread had %.0f %% of a processor and was preempted %ld times; load average now %s\n",
                wall > 0 ? 100 * cpu / wall : 0.0, preempted, loadAverage().c_str());
    return 0;
}
