// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// renderer_report: the renderer's figures, each row a Google Benchmark run, gathered into one
// table with its target:
//
//   posters         the heavy fractal and the 2-D map of 20 holes with the fill box ticked, at
//                   scale 8 with one cell a pixel (--cell px), drawn in blocks on 1, 2, ...
//                   threads up to the processors: the drawing's wall time, the processor time
//                   it took (all threads) and cells a second.
//                   Target: on all processors at most 1.15 x (one thread's time / processors).
//   scale 16        the heavy fractal at scale 16 with --cell px, run as divograf-render itself
//                   on one thread and on all of them, written as PNG, and once more as BMP: the
//                   whole run's time and its peak memory (the largest resident set).
//                   Target: peak at most 1.5 x the image (4 bytes a pixel) + 50 MB.
//   one thread      every drawing at the four detail levels at scale 1, drawn in blocks on one
//                   thread (the renderer's way) and cell by cell with a yield that does nothing
//                   (the window's loop, the renderer's way before blocks), in turn, at least 7
//                   times and 2 s each row: the median processor time of each.
//                   Target: blocks at most 1.05 x the window's loop.
//
// Google Benchmark's own options apply (--benchmark_filter=poster, say).

#include "core/fractal/render.h"
#include "core/interference/drawings.h"
#include "core/surface/workers.h"
#include "scenarios.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <ctime>
#include <ctime>
#include <cstdio>
#include <map>
#include <string>

extern char **environ;

using namespace divograf;
using namespace divograf::bench;

namespace {

constexpr int PosterScale = 8;
constexpr int LargeScale = 16;
constexpr double SpeedUpSlack = 1.15;
constexpr double MemoryFactor = 1.5;
constexpr double MemoryPlusMb = 50;
constexpr double OneThreadSlack = 1.05;
constexpr double OneThreadSeconds = 2; // both ways together, at least
constexpr std::size_t OneThreadPairs = 7;

const Scenario &scenarioNamed(const char *name)
{
    for (const Scenario &s : Scenarios)
        if (std::string(s.name) == name)
            return s;
    return Scenarios[0];
}

// A drawing into `model`, configured for `scenario` (its detail at `detail`), `cell` units a
// cell, on `threads` workers; 0 threads: the window's loop. Returns its wall time.
double draw(Model &model, const Scenario &scenario, int detail, int cell, int threads)
{
    configure(model, settingsFor(scenario, detail));
    Workers workers(std::max(threads, 1));
    model.run.workers = threads > 0 ? &workers : nullptr;
    model.run.cell = cell;
    const double seconds = drawHeadless(model, scenario.drawing);
    model.run.workers = nullptr;
    return seconds;
}

int cellsOf(const Scenario &scenario, int cell)
{
    const int side = scenario.drawing == Drawing::Fractal ? samplePoints(cell) : mapPoints(cell);
    return side * side;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void posterRow(benchmark::State &state, const char *name, int threads)
{
    const Scenario &scenario = scenarioNamed(name);
    const int cell = Surface::unitsNearestPixel(PosterScale);
    Model model(PosterScale);
    for (auto _ : state) {
        const double cpu = processCpuSeconds();
        state.SetIterationTime(draw(model, scenario, HighestDetail, cell, threads));
        state.counters["cpu_s"] = processCpuSeconds() - cpu;
    }
    state.counters["cells"] = cellsOf(scenario, cell);
    state.counters["threads"] = threads;
}

// divograf-render run to its end: wall time and peak resident set.
struct Process
{
    double seconds = 0;
    double peakMb = 0;
    bool ok = false;
};

Process runRenderer(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    std::string exe = DIVOGRAF_RENDER_EXE;
    argv.push_back(exe.data());
    std::vector<std::string> copies = args;
    for (std::string &a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Process p;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return p;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return p;
    p.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    p.peakMb = usage.ru_maxrss / 1024.0; // kilobytes on Linux
    p.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return p;
}

void largeRow(benchmark::State &state, int threads, const char *suffix)
{
    QTemporaryDir dir;
    const std::string out = dir.filePath(QStringLiteral("poster.")).toStdString() + suffix;
    for (auto _ : state) {
        const Process p = runRenderer({"fractal", "--set", "QWA=5", "--set", "KUB=1", "--set",
            "MUA=1", "--set", "MM=7", "--scale", std::to_string(LargeScale), "--cell", "px",
            "--threads", std::to_string(threads), "--quiet", "-o", out});
        if (!p.ok) {
            state.SkipWithError("divograf-render failed");
            return;
        }
        state.SetIterationTime(p.seconds);
        state.counters["peak_mb"] = p.peakMb;
    }
    state.counters["threads"] = threads;
}

// The two ways taken in turn, so that a change in the machine's load weighs on both alike, at
// least `OneThreadPairs` times and for `OneThreadSeconds` in all.
void oneThreadRow(benchmark::State &state, const Scenario &scenario, int detail)
{
    Model model;
    std::vector<double> window, blocks;
    double total = 0;
    for (auto _ : state)
        while (window.size() < OneThreadPairs || total < OneThreadSeconds)
            for (auto [threads, times] : {std::pair{0, &window}, {1, &blocks}}) {
                const double start = threadCpuSeconds();
                draw(model, scenario, detail, 0, threads);
                times->push_back(threadCpuSeconds() - start);
                total += times->back();
            }
    state.counters["window_ms"] = 1000 * median(window);
    state.counters["blocks_ms"] = 1000 * median(blocks);
}

// Each run as it comes, by name.
class Collector : public benchmark::BenchmarkReporter
{
public:
    bool ReportContext(const Context &) override { return true; }
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs) {
            if (r.error_occurred) {
                std::fprintf(stderr, "renderer_report: %s: %s\n", r.benchmark_name().c_str(),
                    r.error_message.c_str());
                continue;
            }
            Result &result = results[r.run_name.function_name];
            result.ms = r.GetAdjustedRealTime();
            for (const auto &[key, counter] : r.counters)
                result.counters[key] = counter.value;
        }
    }
    struct Result
    {
        double ms = 0;
        std::map<std::string, double> counters;
    };
    std::map<std::string, Result> results;
};

std::string fixed(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, v < 10 ? "%.2f" : v < 100 ? "%.1f" : "%.0f", v);
    return text;
}

std::string loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return "?";
    return file.readLine().split(' ').mid(0, 3).join(' ').toStdString();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int processors = processorCount();
    const char *posters[] = {"fractal heavy", "2-D interference N=20"};
    std::vector<int> threadCounts;
    for (int t = 1; t <= processors; ++t)
        threadCounts.push_back(t);

    // A whole run, timed by the row itself, once.
    const auto once = [](benchmark::internal::Benchmark *row) {
        row->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
    };
    for (const char *name : posters)
        for (int t : threadCounts)
            once(benchmark::RegisterBenchmark(
                (std::string("poster/") + name + "/threads:" + std::to_string(t)).c_str(),
                posterRow, name, t));
    for (const auto &[threads, suffix] :
        {std::pair{1, "png"}, {processors, "png"}, {processors, "bmp"}})
        once(benchmark::RegisterBenchmark(
            (std::string("scale16/") + suffix + "/threads:" + std::to_string(threads)).c_str(),
            largeRow, threads, suffix));
    for (const Scenario &s : Scenarios)
        for (int detail = s.animated ? HighestDetail : 0; detail < DetailLevels; ++detail)
            benchmark::RegisterBenchmark(
                (std::string("one-thread/") + s.name + "/" + std::to_string(DetailUnits[detail]))
                    .c_str(),
                oneThreadRow, s, detail)
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    std::printf("Renderer: %d processors, load average %s\n", processors, loadAverage().c_str());
    std::fflush(stdout);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    const auto found = [&](const std::string &name) -> const Collector::Result * {
        const auto it = collector.results.find(name);
        return it == collector.results.end() ? nullptr : &it->second;
    };
    int missed = 0;

    std::printf(
        "\n| poster (scale %d, --cell px, fill box) | threads | drawing ms | processor s "
        "| cells/s | cells/s a thread | target (all threads) |\n|---|--:|--:|--:|--:|--:|---|\n",
        PosterScale);
    for (const char *name : posters) {
        const Collector::Result *one = found(std::string("poster/") + name + "/threads:1");
        for (int t : threadCounts) {
            const Collector::Result *r
                = found(std::string("poster/") + name + "/threads:" + std::to_string(t));
            if (!r)
                continue;
            const double cellsPerSecond = r->counters.at("cells") / (r->ms / 1000);
            std::string target = "-";
            if (t == processors && one) {
                const double most = SpeedUpSlack * one->ms / processors;
                const bool met = r->ms <= most;
                missed += !met;
                target = "<= " + fixed(most) + (met ? " ok" : " MISSED") + " (x"
                    + fixed(one->ms / r->ms) + ")";
            }
            std::printf("| %s | %d | %s | %s | %.3g | %.3g | %s |\n", name, t, fixed(r->ms).c_str(),
                fixed(r->counters.at("cpu_s")).c_str(), cellsPerSecond, cellsPerSecond / t,
                target.c_str());
        }
    }

    const double imageMb
        = 4.0 * (Surface::Pixels * LargeScale) * (Surface::Pixels * LargeScale) / (1024 * 1024);
    const double mostMb = MemoryFactor * imageMb + MemoryPlusMb;
    std::printf("\n| heavy fractal, scale %d, --cell px | threads | run s | peak MB | target "
                "(peak) |\n|---|--:|--:|--:|---|\n",
        LargeScale);
    for (const auto &[threads, suffix] :
        {std::pair{1, "png"}, {processors, "png"}, {processors, "bmp"}}) {
        const Collector::Result *r
            = found(std::string("scale16/") + suffix + "/threads:" + std::to_string(threads));
        if (!r)
            continue;
        const double peak = r->counters.at("peak_mb");
        const bool met = peak <= mostMb;
        missed += !met;
        std::printf("| %s | %d | %s | %s | <= %s%s |\n", suffix, threads,
            fixed(r->ms / 1000).c_str(), fixed(peak).c_str(), fixed(mostMb).c_str(),
            met ? " ok" : " MISSED");
    }

    std::printf("\n| one thread, scale 1 | detail | window loop cpu ms | blocks cpu ms | ratio | "
                "target |\n|---|--:|--:|--:|--:|---|\n");
    for (const Scenario &s : Scenarios)
        for (int detail = s.animated ? HighestDetail : 0; detail < DetailLevels; ++detail) {
            const std::string stem
                = std::string("one-thread/") + s.name + "/" + std::to_string(DetailUnits[detail]);
            const Collector::Result *r = found(stem);
            if (!r)
                continue;
            const double windowMs = r->counters.at("window_ms");
            const double blocksMs = r->counters.at("blocks_ms");
            const double ratio = blocksMs / windowMs;
            const bool met = ratio <= OneThreadSlack;
            missed += !met;
            std::printf("| %s | %s | %s | %s | %s | <= %s%s |\n", s.name,
                s.animated ? "-" : std::to_string(DetailUnits[detail]).c_str(),
                fixed(windowMs).c_str(), fixed(blocksMs).c_str(), fixed(ratio).c_str(),
                fixed(OneThreadSlack).c_str(), met ? " ok" : " MISSED");
        }
    std::printf(
        "\nRenderer targets missed: %d; load average now %s\n", missed, loadAverage().c_str());
    return 0;
}
