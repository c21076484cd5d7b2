// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/interference/waves.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace divograf {

namespace {

constexpr double MapPathFactor = 2;
constexpr double SurfacePathFactor = -2; // the opposite sign of the map

} // namespace

void HoleTables::rebuild(int n, double centreX, double centreY)
{
    n = std::max(n, 0);
    HoleX.assign(n + 1, 0.0);
    HoleY.assign(n + 1, 0.0);
    HolePath.assign(n + 1, 0.0);
    for (int k = 1; k <= n; ++k) {
        const double angle = 2 * std::numbers::pi * k / n;
        HoleX[k] = centreX + HoleCircleRadius * std::cos(angle);
        HoleY[k] = centreY + HoleCircleRadius * std::sin(angle);
    }
}

Wavelengths wavelengths(const FractalVars &v, int greenDivisor, int blueDivisor)
{
    return {0.001 + v.RedCorr.value * 1.01 / 25, 0.001 + v.GreenCorr.value * 1.005 / greenDivisor,
        0.001 + v.BlueCorr.value * 1.0 / blueDivisor};
}

WaveParams waveParams(const InterferencePanel &panel)
{
    return {panel.value(Pair::Ampl), panel.value(Pair::Scal), panel.value(Pair::Num),
        panel.value(Pair::L)};
}

WaveSums sumWaves(HoleTables &holes, double x, double y, const WaveParams &p, const Wavelengths &w,
    double pathFactor, bool withHeight)
{
    WaveSums sums;
    // N may have been raised since the tables were built: stay within them.
    const int n = std::min(p.N, holes.count());
    const double l2 = static_cast<double>(p.L) * p.L;
    for (int k = 1; k <= n; ++k) {
        const double dx = x - holes.HoleX[k];
        const double dy = y - holes.HoleY[k];
        const double path = pathFactor * std::sqrt(dx * dx + dy * dy + l2) / p.S;
        holes.HolePath[k] = path;
        sums.r += static_cast<int>(std::floor(p.A * std::sin(path / w.red)));
        sums.g += static_cast<int>(std::floor(p.A * std::sin(path / w.green)));
        sums.b += static_cast<int>(std::floor(p.A * std::sin(path / w.blue)));
        if (withHeight)
            sums.h += p.A * std::sin(path) / HeightDivisor;
    }
    return sums;
}

Colour mapColour(HoleTables &holes, double x, double y, const WaveParams &p, const Wavelengths &w)
{
    const WaveSums sums = sumWaves(holes, x, y, p, w, MapPathFactor, false);
    return RGB(std::max(sums.r, 0), std::max(sums.g, 0), std::max(sums.b, 0));
}

SurfacePoint surfacePoint(HoleTables &holes, double x, double y, const WaveParams &p,
    const Wavelengths &w, const View &view)
{
    const WaveSums sums = sumWaves(holes, x, y, p, w, SurfacePathFactor, true);
    return {RGB(std::abs(sums.r), std::abs(sums.g), std::abs(sums.b)),
        x * view.c15 + sums.h * view.s15, y + sums.h * view.c15};
}

} // namespace divograf
