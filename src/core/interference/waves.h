// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/fractal/panel.h"
#include "core/interference/panel.h"
#include "core/surface/colour.h"

#include <vector>

namespace divograf {

// The holes on their circle, shared by both interference drawings and re-created at the start
// of every interference drawing (a nested stop command re-creates them too; a running drawing
// then goes on with the new tables). Indices 1..N as the drawings count holes; entry 0 exists
// and is never used.
struct HoleTables
{
    std::vector<double> HoleX, HoleY; // hole positions in grid units
    std::vector<double> HolePath;     // the path term of each hole for the point being computed

    // The number of holes the tables hold.
    int count() const { return HoleX.empty() ? 0 : static_cast<int>(HoleX.size()) - 1; }

    // Re-creates the tables for n holes on the circle of radius 100 grid units round
    // (centreX, centreY); hole k lies at the angle 2 * Pi * k / n from the direction of
    // increasing x toward increasing y, so hole n lies to the right of the centre.
    void rebuild(int n, double centreX, double centreY);
};

inline constexpr double HoleCircleRadius = 100; // grid units
inline constexpr int GridUnit = 10;             // surface units per grid unit
inline constexpr int HeightDivisor = 5;         // each hole lifts a 3-D point by A * sin(path) / 5

// The wavelength of each colour channel, made from the colour corrections.
struct Wavelengths
{
    double red, green, blue;
};

// 0.001 + RedCorr * 1.01 / 25, 0.001 + GreenCorr * 1.005 / greenDivisor and
// 0.001 + BlueCorr * 1 / blueDivisor: the 2-D map divides by 25, 24 and 23, the 3-D surface by
// 25 throughout. No wavelength is 0 for whole-number corrections.
Wavelengths wavelengths(const FractalVars &v, int greenDivisor, int blueDivisor);
inline Wavelengths wavelengths2D(const FractalVars &v) { return wavelengths(v, 24, 23); }
inline Wavelengths wavelengths3D(const FractalVars &v) { return wavelengths(v, 25, 25); }

// The spinner values that a point reads: amplitude A, scale S, number of holes N, distance L.
struct WaveParams
{
    int A, S, N, L;
};
WaveParams waveParams(const InterferencePanel &panel);

// The waves of all holes summed at the grid point (x, y).
struct WaveSums
{
    int r = 0, g = 0, b = 0; // channel sums: floor(A * sin(path / wavelength)) per hole
    double h = 0;            // height: A * sin(path) / 5 per hole (3-D only)
};

// Sums the holes 1..min(N, holes in the tables), writing HolePath(k) =
// pathFactor * sqrt((x - HoleX(k))^2 + (y - HoleY(k))^2 + L^2) / S for each. pathFactor is 2
// for the 2-D map and -2 for the 3-D surface; `withHeight` adds the height term. HolePath is
// scratch for one point: threads that compute points at once each need tables of their own.
WaveSums sumWaves(HoleTables &holes, double x, double y, const WaveParams &p, const Wavelengths &w,
    double pathFactor, bool withHeight);

// The colour of the 2-D map at grid point (x, y): the channel sums, a negative sum as 0.
Colour mapColour(HoleTables &holes, double x, double y, const WaveParams &p, const Wavelengths &w);

// The 3-D surface at grid point (x, y): the magnitudes of the channel sums as its colour, and
// where it is seen (grid units) once lifted by its height and projected at the view angle.
struct View
{
    double c15, s15; // cosine and sine of the view angle
};
struct SurfacePoint
{
    Colour colour;
    double px, py;
};
SurfacePoint surfacePoint(HoleTables &holes, double x, double y, const WaveParams &p,
    const Wavelengths &w, const View &view);

// Point `index` of a row or a column whose first point lies at `first` (grid units) and whose
// points lie `step` surface units apart: worked out from the index rather than added up, so
// that steps finer than the grid unit land on the same positions however far the loop has gone.
inline double gridPosition(double first, int index, int step)
{
    return first + static_cast<double>(index) * step / GridUnit;
}

} // namespace divograf
