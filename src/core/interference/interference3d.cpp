// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/interference/drawings.h"
#include "core/surface/workers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace divograf {

namespace {

constexpr double Margin = 0.6;      // rows reach 0.6 A beyond the grid on either side
constexpr double RowsEnd = 510;     // the last row is 510 + 0.6 A
constexpr int PointsFrom = -50;     // the points of a row run from -50 ...
constexpr int PointsTo = 550;       // ... to 550
constexpr double VisibleFrom = -10; // a projected point is visible strictly inside
constexpr double VisibleTo = 510;   // -10 .. 510 on both axes

// The most points a block of the parallel loop holds (see the fractal's), and the segments
// painted between two yields: a wide pen makes a segment dear.
constexpr int BlockPoints = 1 << 14;
constexpr int PointsPerTask = 16;
constexpr int SegmentsPerYield = 64;

// The rows and the points of a row: `step` surface units apart, the rows from -0.6 A of the
// amplitude at the start.
struct Rows
{
    double first, last;
    int step;
    double y(int index) const { return gridPosition(first, index, step); }
    static double x(int index, int step) { return gridPosition(PointsFrom, index, step); }
};

int pointsPerRow(int step)
{
    int n = 0;
    while (Rows::x(n, step) <= PointsTo)
        ++n;
    return n;
}

int rowCount(const Rows &rows)
{
    int n = 0;
    while (rows.y(n) <= rows.last)
        ++n;
    return n;
}

View view()
{
    return {std::cos(std::numbers::pi / ViewDivisor), std::sin(std::numbers::pi / ViewDivisor)};
}

// Joins the point to the previous one when it is in view and not the first of its row.
void drawSegment(
    Surface &surface, bool firstOfRow, const SurfacePoint &point, double prevX, double prevY)
{
    // The previous point may lie off the surface.
    if (!firstOfRow && projectedVisible(point.px, point.py))
        surface.line(static_cast<float>(GridUnit * point.px),
            static_cast<float>(GridUnit * point.py), static_cast<float>(GridUnit * prevX),
            static_cast<float>(GridUnit * prevY), point.colour);
}

// The surface in blocks of rows: the points computed on the run's workers, each with hole
// tables of its own, the segments painted in order on this thread.
void surfaceInBlocks(Surface &surface, const InterferencePanel &panel, const Wavelengths &w,
    const HoleTables &holes, Run &run, const Rows &rows)
{
    Workers &workers = *run.workers;
    const WaveParams p = waveParams(panel);
    const View v = view();
    const int perRow = pointsPerRow(rows.step);
    const int rowTotal = rowCount(rows);
    const int blockRows = std::max(1, BlockPoints / perRow);
    std::vector<SurfacePoint> block(static_cast<std::size_t>(blockRows) * perRow);
    std::vector<HoleTables> scratch(workers.threads(), holes);
    double prevX = 0, prevY = 0;

    for (int first = 0; first < rowTotal && run.Running; first += blockRows) {
        const int count = std::min(blockRows, rowTotal - first);
        forEachCell(workers, CellBlock{first, count, perRow}, PointsPerTask,
            [&](int row, int point, int n, int worker) {
                block[n] = surfacePoint(
                    scratch[worker], Rows::x(point, rows.step), rows.y(row), p, w, v);
            });
        for (int n = 0; n < count * perRow && run.Running; ++n) {
            const SurfacePoint &point = block[n];
            drawSegment(surface, n % perRow == 0, point, prevX, prevY);
            prevX = point.px;
            prevY = point.py;
            if ((n + 1) % SegmentsPerYield == 0)
                run.yield();
        }
        run.status.show(surfaceProgress(rows.y(first + count - 1), p.A));
        run.done = static_cast<double>(first + count) / rowTotal;
        run.yield();
    }
}

} // namespace

bool projectedVisible(double px, double py)
{
    return VisibleFrom < px && px < VisibleTo && VisibleFrom < py && py < VisibleTo;
}

int surfaceProgress(double y, int amplitude)
{
    const double p = std::floor((y + Margin * amplitude) / (0.012 * amplitude + 5.1));
    return static_cast<int>(std::clamp(p, 0.0, 100.0));
}

int surfacePen(int cell, int scale) { return std::max(1, cell * 5 * scale / 10); }

void Interference3D(Surface &surface, const FractalPanel &fractal, const InterferencePanel &panel,
    HoleTables &holes, Run &run)
{
    const FractalVars &v = fractal.vars;
    const int cell = run.cellOr(v.Detail.value);
    if (run.cell > 0)
        surface.setRasterPen(surfacePen(cell, surface.scale()));
    else
        surface.setDrawWidth(static_cast<std::int16_t>(v.Detail.value * 5 / 10));
    const Wavelengths w = wavelengths3D(v);
    holes.rebuild(panel.value(Pair::Num), v.CenterX.value / 10.0, v.CenterY.value / 10.0);
    const int a = panel.value(Pair::Ampl); // the row bounds keep the amplitude of the start
    const Rows rows{-Margin * a, RowsEnd + Margin * a, cell};

    if (run.workers) {
        surfaceInBlocks(surface, panel, w, holes, run, rows);
    } else {
        const View view3D = view();
        const int perRow = pointsPerRow(rows.step);
        // The previous projected point, carried across row ends.
        double prevX = 0, prevY = 0;
        for (int j = 0; rows.y(j) <= rows.last; ++j) {
            if (!run.Running)
                break;
            const double y = rows.y(j);
            for (int i = 0; i < perRow; ++i) {
                const SurfacePoint point
                    = surfacePoint(holes, Rows::x(i, rows.step), y, waveParams(panel), w, view3D);
                drawSegment(surface, i == 0, point, prevX, prevY);
                prevX = point.px;
                prevY = point.py;
                run.yield();
            }
            run.status.show(surfaceProgress(y, panel.value(Pair::Ampl)));
        }
    }
    run.status.reset();
    run.Running = false;
    surface.setDrawWidth(1);
}

} // namespace divograf
