// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/interference/drawings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace divograf {

namespace {

constexpr double Margin = 0.6;      // rows reach 0.6 A beyond the grid on either side
constexpr double RowsEnd = 510;     // the last row is 510 + 0.6 A
constexpr int PointsFrom = -50;     // the points of a row run from -50 ...
constexpr int PointsTo = 550;       // ... to 550
constexpr double VisibleFrom = -10; // a projected point is visible strictly inside
constexpr double VisibleTo = 510;   // -10 .. 510 on both axes
constexpr double PathFactor = -2;   // the opposite sign of the 2-D map

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

void Interference3D(Surface &surface, const FractalPanel &fractal, const InterferencePanel &panel,
    HoleTables &holes, Run &run)
{
    const FractalVars &v = fractal.vars;
    surface.setDrawWidth(static_cast<std::int16_t>(v.Detail.value * 5 / 10));
    const Wavelengths w = wavelengths3D(v);
    holes.rebuild(panel.value(Pair::Num), v.CenterX.value / 10.0, v.CenterY.value / 10.0);
    const double c15 = std::cos(std::numbers::pi / ViewDivisor);
    const double s15 = std::sin(std::numbers::pi / ViewDivisor);
    // The previous projected point, carried across row ends.
    double prevX = 0, prevY = 0;

    const int step = v.Detail.value / GridUnit;
    const int a = panel.value(Pair::Ampl); // the row bounds keep the amplitude of the start
    const double lastRow = RowsEnd + Margin * a;
    for (double y = -Margin * a; y <= lastRow; y += step) {
        if (!run.Running)
            break;
        for (int x = PointsFrom; x <= PointsTo; x += step) {
            const WaveSums sums = sumWaves(holes, x, y, waveParams(panel), w, PathFactor, true);
            const Colour colour = RGB(std::abs(sums.r), std::abs(sums.g), std::abs(sums.b));
            const double px = x * c15 + sums.h * s15;
            const double py = y + sums.h * c15;
            // The first point of a row is never joined to the row before; the previous point
            // may lie off the surface.
            if (x > PointsFrom && projectedVisible(px, py))
                surface.line(static_cast<float>(GridUnit * px), static_cast<float>(GridUnit * py),
                    static_cast<float>(GridUnit * prevX), static_cast<float>(GridUnit * prevY),
                    colour);
            prevX = px;
            prevY = py;
            run.yield();
        }
        run.status.show(surfaceProgress(y, panel.value(Pair::Ampl)));
    }
    run.status.reset();
    run.Running = false;
    surface.setDrawWidth(1);
}

} // namespace divograf
