// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/interference/drawings.h"
#include "core/surface/workers.h"

#include <algorithm>
#include <vector>

namespace divograf {

namespace {

constexpr int GridLast = 500;        // the last grid coordinate of a cell
constexpr int ColumnsPerPercent = 5; // progress = x / 5
constexpr double GridFirst = 1;      // the first grid coordinate of a cell

// The most cells a block of the parallel loop holds (see the fractal's).
constexpr int BlockCells = 1 << 14;
constexpr int CellsPerTask = 16;

// The map in blocks of columns on the run's workers, each with hole tables of its own; cells
// `cell` surface units apart.
void mapInBlocks(Surface &surface, const FractalPanel &fractal, const InterferencePanel &panel,
    const HoleTables &holes, Run &run)
{
    const int cell = run.cellOr(fractal.vars.Detail.value);
    Workers &workers = *run.workers;
    const Wavelengths w = wavelengths2D(fractal.vars);
    const WaveParams p = waveParams(panel);
    const bool filled = fractal.value(Control::Box) == 1;
    const int points = mapPoints(cell);
    const int blockColumns = std::max(1, BlockCells / points);
    std::vector<Colour> colours(static_cast<std::size_t>(blockColumns) * points);
    std::vector<HoleTables> scratch(workers.threads(), holes);
    const auto at = [cell](int index) { return gridPosition(GridFirst, index, cell); };

    for (int first = 0; first < points && run.Running; first += blockColumns) {
        const CellBlock block{first, std::min(blockColumns, points - first), points};
        forEachCell(workers, block, CellsPerTask, [&](int column, int row, int n, int worker) {
            colours[n] = mapColour(scratch[worker], at(column), at(row), p, w);
        });
        paintCells(
            surface, workers, block,
            [&](int index) { return static_cast<float>(GridUnit * at(index)); },
            static_cast<float>(cell), filled, [&](int n) { return colours[n]; });
        run.status.show(static_cast<int>(at(first + block.columns - 1)) / ColumnsPerPercent);
        run.done = static_cast<double>(first + block.columns) / points;
        run.yield();
    }
}

} // namespace

int mapPoints(int cell)
{
    int n = 0;
    while (gridPosition(GridFirst, n, cell) <= GridLast)
        ++n;
    return n;
}

void Interference2D(Surface &surface, const FractalPanel &fractal, const InterferencePanel &panel,
    HoleTables &holes, Run &run)
{
    const FractalVars &v = fractal.vars;
    const Wavelengths w = wavelengths2D(v);
    holes.rebuild(panel.value(Pair::Num), v.CenterX.value / 10.0, v.CenterY.value / 10.0);

    if (run.workers) {
        mapInBlocks(surface, fractal, panel, holes, run);
    } else {
        const int step = run.cellOr(v.Detail.value); // in surface units, as the drawing starts
        const int points = mapPoints(step);
        for (int i = 0; i < points; ++i) {
            if (!run.Running)
                break;
            const double x = gridPosition(GridFirst, i, step);
            for (int j = 0; j < points; ++j) {
                const double y = gridPosition(GridFirst, j, step);
                const Colour colour = mapColour(holes, x, y, waveParams(panel), w);
                surface.cell(static_cast<float>(GridUnit * x), static_cast<float>(GridUnit * y),
                    run.cellOr(v.Detail.value), fractal.value(Control::Box) == 1, colour);
                run.yield();
            }
            run.status.show(static_cast<int>(x) / ColumnsPerPercent);
        }
    }
    run.status.reset();
    run.Running = false;
}

} // namespace divograf
