// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Headless speed of the interference drawings and the rainbow: whole drawings into the surface
// at each detail level, and the stroking of their thick lines and circles with each pen shape.
// Report: time per drawing and per element.

#include "core/model.h"
#include "scenarios.h"
#include "core/interference/drawings.h"
#include "core/rainbow/rainbow.h"

#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPen>

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace divograf;

namespace {

using bench::DetailOption;
using bench::DetailUnits;

void perElement(benchmark::State &state, int elements)
{
    state.counters["elements"] = elements;
    state.counters["per_element"] = benchmark::Counter(static_cast<double>(elements),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// range(0): detail option index; range(1): number of holes
void BM_Interference2D(benchmark::State &state)
{
    Model m;
    m.startUp();
    m.fractal.setValue(DetailOption[state.range(0)], 1);
    m.interference.setText(Pair::Num, QString::number(state.range(1)));
    int cells = 0;
    m.run.yield = [&] { ++cells; };
    for (auto _ : state) {
        cells = 0;
        m.startStop(Drawing::Interference);
    }
    perElement(state, cells);
}

// range(0): detail option index
void BM_Interference3D(benchmark::State &state)
{
    Model m;
    m.startUp();
    m.fractal.setValue(DetailOption[state.range(0)], 1);
    int points = 0;
    m.run.yield = [&] { ++points; };
    for (auto _ : state) {
        points = 0;
        m.startStop(Drawing::Interference3D);
    }
    perElement(state, points);
}

void BM_Rainbow(benchmark::State &state)
{
    Model m;
    m.startUp();
    int rings = 0;
    m.run.yield = [&] { ++rings; };
    for (auto _ : state) {
        rings = 0;
        m.startStop(Drawing::Rainbow);
    }
    perElement(state, rings);
}

// The segments of the start-up 3-D surface at a detail level, in pixels, worked out with the
// drawing's own functions, so that their stroking can be timed alone.
std::vector<QLine> surfaceSegments(int detail)
{
    Model m;
    m.startUp();
    const FractalVars &v = m.fractal.vars;
    HoleTables holes;
    holes.rebuild(7, v.CenterX.value / 10.0, v.CenterY.value / 10.0);
    const Wavelengths w = wavelengths3D(v);
    const double c15 = std::cos(std::numbers::pi / ViewDivisor),
                 s15 = std::sin(std::numbers::pi / ViewDivisor);
    const double toPixel = static_cast<double>(Surface::Pixels) / Surface::Units * GridUnit;
    const int step = detail / GridUnit;
    std::vector<QLine> segments;
    double prevX = 0, prevY = 0;
    for (double y = -60; y <= 570; y += step)
        for (int x = -50; x <= 550; x += step) {
            const WaveSums s = sumWaves(holes, x, y, waveParams(m.interference), w, -2, true);
            const double px = x * c15 + s.h * s15, py = y + s.h * c15;
            if (x > -50 && projectedVisible(px, py))
                segments.emplace_back(static_cast<int>(std::lround(px * toPixel)),
                    static_cast<int>(std::lround(py * toPixel)),
                    static_cast<int>(std::lround(prevX * toPixel)),
                    static_cast<int>(std::lround(prevY * toPixel)));
            prevX = px;
            prevY = py;
        }
    return segments;
}

constexpr Qt::PenCapStyle Caps[] = {Qt::RoundCap, Qt::FlatCap, Qt::SquareCap};
constexpr Qt::PenJoinStyle Joins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin};

// range(0): detail option index; range(1): cap (round, flat, square); range(2): join (round,
// bevel, miter). The pen of a segment is as wide as the drawing sets it, the colour changes
// from segment to segment as in the drawing.
void BM_SurfaceStrokes(benchmark::State &state)
{
    const int detail = DetailUnits[state.range(0)];
    const std::vector<QLine> segments = surfaceSegments(detail);
    QImage image(Surface::Pixels, Surface::Pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(
        Qt::black, detail * 5 / 10, Qt::SolidLine, Caps[state.range(1)], Joins[state.range(2)]);
    for (auto _ : state) {
        int i = 0;
        for (const QLine &l : segments) {
            pen.setColor(QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (++i * 2654435761u))));
            p.setPen(pen);
            p.drawLine(l);
        }
    }
    perElement(state, static_cast<int>(segments.size()));
}

// The 350 rings of one pass as the surface paints them; range(0): pen width.
void BM_SurfaceRings(benchmark::State &state)
{
    Surface surface;
    surface.clear();
    surface.setDrawWidth(static_cast<std::int16_t>(state.range(0)));
    for (auto _ : state)
        for (int j = 1; j <= RainbowRings; ++j)
            surface.circle(
                2500, 2500, static_cast<float>(RainbowRingSpacing * j), ringColour(1, j));
    perElement(state, RainbowRings);
}

// The same rings stroked by QPainter, for comparison, with each pen shape; range(0) cap,
// range(1) join, range(2) width.
void BM_QtRingStrokes(benchmark::State &state)
{
    QImage image(Surface::Pixels, Surface::Pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double pixelsPerUnit = static_cast<double>(Surface::Pixels) / Surface::Units;
    const QPointF middle(2500 * pixelsPerUnit, 2500 * pixelsPerUnit);
    QPen pen(Qt::black, static_cast<qreal>(state.range(2)), Qt::SolidLine, Caps[state.range(0)],
        Joins[state.range(1)]);
    for (auto _ : state)
        for (int j = 1; j <= RainbowRings; ++j) {
            pen.setColor(QColor::fromRgb(ringColour(1, j)));
            p.setPen(pen);
            const double r = RainbowRingSpacing * j * pixelsPerUnit;
            p.drawEllipse(middle, r, r);
        }
    perElement(state, RainbowRings);
}

} // namespace

BENCHMARK(BM_Interference2D)->ArgsProduct({{0, 1, 2, 3}, {7, 20}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Interference3D)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rainbow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SurfaceStrokes)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SurfaceRings)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtRingStrokes)
    ->ArgsProduct({{0, 1}, {0, 1, 2}, {1, 2}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
