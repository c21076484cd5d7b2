// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Headless drawing speed: whole drawings into the surface next to the bare arithmetic of the
// same cells, so that the surface's share is visible. Report: time per cell.

#include "core/model.h"
#include "scenarios.h"
#include "core/fractal/render.h"

#include <benchmark/benchmark.h>

using namespace divograf;

namespace {

using bench::DetailOption;
using bench::DetailUnits;

// range(0): detail option index; range(1): 0 start-up parameters, 1 heavy (QWA 5, KUB, MUA, MM 7)
void configure(Model &m, const benchmark::State &state)
{
    m.startUp();
    m.fractal.setValue(DetailOption[state.range(0)], 1);
    if (state.range(1) == 1) {
        m.fractal.setValue(Control::QWA, 5);
        m.fractal.setValue(Control::KUB, 1);
        m.fractal.setValue(Control::MUA, 1);
        m.fractal.setValue(Control::MM, 7);
    }
}

void perCell(benchmark::State &state, int cells)
{
    state.counters["cells"] = cells;
    state.counters["per_cell"] = benchmark::Counter(static_cast<double>(cells),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_EscapeLoop(benchmark::State &state)
{
    Model m;
    configure(m, state);
    const FractalPanel &p = m.fractal;
    const int d = DetailUnits[state.range(0)];
    int cells = 0;
    for (auto _ : state) {
        double angle = 0;
        cells = 0;
        Colour sum = 0;
        for (int x = 1; x <= 5000; x += d)
            for (int y = 1; y <= 5000; y += d) {
                const double re = static_cast<double>(x - 2500) / 3100,
                             im = static_cast<double>(2500 - y) / 3100;
                const Formula f{p.value(Control::QWA), p.value(Control::KUB) == 1,
                    p.value(Control::MUA) == 1, 2, 7};
                sum += cellColour(escapeCount(re, im, f, angle), 25, 24, 23);
                ++cells;
            }
        benchmark::DoNotOptimize(sum);
    }
    perCell(state, cells);
}

// range(2): 1 filled cells, 0 diagonal lines
void BM_Render(benchmark::State &state)
{
    Model m;
    configure(m, state);
    m.fractal.setValue(Control::Box, static_cast<int>(state.range(2)));
    int cells = 0;
    m.run.yield = [&] { ++cells; };
    for (auto _ : state) {
        cells = 0;
        m.startStop(Drawing::Fractal);
    }
    perCell(state, cells);
}

} // namespace

BENCHMARK(BM_EscapeLoop)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render)->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {1, 0}})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
