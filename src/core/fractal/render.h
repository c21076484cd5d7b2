// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/fractal/panel.h"
#include "core/surface/run.h"
#include "core/surface/surface.h"

namespace divograf {

inline constexpr int MaxIterations = 45;

// The iteration formula of one point. Render takes these from the panel for each point;
// nothing can change them while a point is computed, since no yield falls inside it.
struct Formula
{
    int squarings = 1;   // QWA, 0..5
    bool cube = false;   // KUB
    bool moivre = false; // MUA
    int coef = 2;        // Coef, 2..10
    int axes = 7;        // n: MM as it stood when the run started
};

// One iteration of the formula on re + i*im, in place. Returns true when the point escaped
// in it: the powered modulus of the De Moivre step above 1000, |re| above 1400, |im| above
// 3010, or a value that overflowed or stopped being a number.
bool iterate(double &re, double &im, const Formula &f, double &angle);

// The escape count k of the point re + i*im: 2 if it escapes in the first iteration, 46 if
// it never does. `angle` is the De Moivre angle, carried from point to point within a run.
// A value that overflows or stops being a number counts as escaped in that iteration.
int escapeCount(double re, double im, const Formula &f, double &angle);

// The colour of escape count k: each channel is k times its correction, modulo 255.
Colour cellColour(int k, int redCorr, int greenCorr, int blueCorr);

// The cell at surface point (x, y) as the panel stands: its sample point re + i*im, with the
// plane's origin at (CenterX, CenterY), one plane unit 100 * SizeFactor + 100 units and the
// imaginary axis up; its formula (QWA, KUB, MUA, Coef and the axes of the run); its corrections.
struct FractalCell
{
    double re, im;
    Formula f;
    int redCorr, greenCorr, blueCorr;
};
FractalCell fractalCell(const FractalPanel &panel, int axes, int x, int y);

// The cell's colour; `angle` is the De Moivre angle carried from the cell before.
inline Colour colourOf(const FractalCell &c, double &angle)
{
    return cellColour(escapeCount(c.re, c.im, c.f, angle), c.redCorr, c.greenCorr, c.blueCorr);
}

// Whether the cell's colour depends on the angle carried in: the De Moivre step, the first of
// each iteration, keeps the angle when re is exactly 0 and sets it otherwise, so a cell reads
// the carried angle only when its very first step meets re = 0. Every other cell sets the
// angle before it reads it.
inline bool readsCarriedAngle(const FractalCell &c) { return c.f.moivre && c.re == 0; }

// The sample points of a run: 1, 1 + side, ... up to 5000 on each axis.
inline constexpr int FractalLast = 5000;
inline constexpr int samplePoints(int side) { return (FractalLast - 1) / side + 1; }

// `Render`: the fractal, column by column, a cell per sample point, yielding after each cell
// and checking `Running` before each column. Ends with progress 0, caption "Дивограф" and
// `Running` false. Reads the panel afresh as it goes, so changes made in a yield apply at once.
// With `run.workers` it computes in blocks of columns on those threads instead, as the window
// draws it with the panel unchanged (`run.cell` in place of Detail), and paints every block in
// the window's order.
void Render(Surface &surface, const FractalPanel &panel, Run &run);

} // namespace divograf
