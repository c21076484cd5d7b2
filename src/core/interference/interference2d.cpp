// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/interference/drawings.h"

#include <algorithm>

namespace divograf {

namespace {

constexpr int GridLast = 500;        // the last grid coordinate of a cell
constexpr int ColumnsPerPercent = 5; // progress = x / 5
constexpr double PathFactor = 2;     // the 3-D surface takes -2

} // namespace

void Interference2D(Surface &surface, const FractalPanel &fractal, const InterferencePanel &panel,
    HoleTables &holes, Run &run)
{
    const FractalVars &v = fractal.vars;
    const Wavelengths w = wavelengths2D(v);
    holes.rebuild(panel.value(Pair::Num), v.CenterX.value / 10.0, v.CenterY.value / 10.0);
    const int step = v.Detail.value / GridUnit;

    for (int x = 1; x <= GridLast; x += step) {
        if (!run.Running)
            break;
        for (int y = 1; y <= GridLast; y += step) {
            const WaveSums sums = sumWaves(holes, x, y, waveParams(panel), w, PathFactor, false);
            const Colour colour
                = RGB(std::max(sums.r, 0), std::max(sums.g, 0), std::max(sums.b, 0));
            surface.cell(GridUnit * x, GridUnit * y, v.Detail.value,
                fractal.value(Control::Box) == 1, colour);
            run.yield();
        }
        run.status.show(x / ColumnsPerPercent);
    }
    run.status.reset();
    run.Running = false;
}

} // namespace divograf
