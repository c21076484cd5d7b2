// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/fractal/panel.h"
#include "core/interference/panel.h"
#include "core/interference/waves.h"
#include "core/surface/run.h"
#include "core/surface/surface.h"

namespace divograf {

// The 3-D surface seen at 15 degrees.
inline constexpr int ViewDivisor = 12; // the view angle is Pi / 12

// The progress after the 3-D row Y with the current amplitude A:
// floor((Y + 0.6 A) / (0.012 A + 5.1)), kept within the bar's 0..100 (an amplitude lowered
// during the drawing would take it beyond).
int surfaceProgress(double y, int amplitude);

// Whether a projected 3-D point (grid units) lies on the surface: strictly inside -10 .. 510
// on both axes.
bool projectedVisible(double px, double py);

// The cells of the 2-D map on each axis when they lie `cell` surface units apart: the grid
// points 1, 1 + cell / 10, ... up to 500 (50, 100, 250 and 500 for the four Detail values).
int mapPoints(int cell);

// The pen of the 3-D surface in raster pixels: half the cell in pixels at scale 1
// (Detail * 5 / 10: 50, 25, 10 or 5), times the scale, rounded down, and at least 1 pixel, so
// that rows finer than the window's keep the window's proportion of pen to row.
int surfacePen(int cell, int scale);

// Both drawings run after the start/stop protocol has cleared the surface (or not) and
// inverted `Running`, and run whatever its new value: called with `Running` false they only
// re-create the hole tables and run their end steps. Both read the panels live through the
// references, so a change made in a yield applies from the next point, check `Running` before
// each outer pass, yield after each drawn element, and end with progress 0, the caption
// "Дивограф" and `Running` false. With `run.workers` they compute in blocks on those threads,
// each with hole tables of its own, and paint in the window's order; the points then lie
// `run.cell` surface units apart when it is set, Detail units otherwise, each grid position
// worked out from its index.

// The 2-D map: a cell of side Detail per grid point (1, 1 + s, ... up to 500, s = Detail / 10
// at the start), column by column; each channel clamped to 0..255; a filled cell, or a diagonal
// when Box is unticked; progress floor(x / 5) after each column.
void Interference2D(Surface &surface, const FractalPanel &fractal, const InterferencePanel &panel,
    HoleTables &holes, Run &run);

// The 3-D surface: the height of every grid point lifts and projects it, and the points of each
// row (far to near) are joined by segments Detail * 5 / 10 pixels wide (`surfacePen` with a
// cell) in the magnitude of the channel sums. The pen goes back to 1 pixel at the end.
void Interference3D(Surface &surface, const FractalPanel &fractal, const InterferencePanel &panel,
    HoleTables &holes, Run &run);

} // namespace divograf
