// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/surface/run.h"
#include "core/surface/surface.h"

namespace divograf {

inline constexpr int RainbowPassStep = 3; // passes I = 1, 4, ..., 598
inline constexpr int RainbowPassLast = 600;
inline constexpr int RainbowRings = 350; // ring J has radius 10 J round the middle
inline constexpr int RainbowRingSpacing = 10;

// The colour of ring j (1..350) in pass i: with theta = arctan(j / i), each channel is
// 255 * sin(k * theta - Pi / 8)^2 for k = 15 (red), 12 (green), 14 (blue), converted to a
// 16-bit integer half to even.
Colour ringColour(int i, int j);

// The rainbow: 200 passes of 350 rings, each pass from the inside out, with a 2-pixel pen;
// `Running` is checked before each pass and the yield follows each ring, so a stop lets the
// pass finish. Each pass is a frame of the animation (`frameDrawn` follows it), so that in
// the window the colours flow at the display's pace. Runs after the start/stop protocol,
// whatever the value of `Running`; ends with `Running` false and the pen back at 1. Shows no
// progress. With `run.workers` each pass is painted in bands of rows on those threads, with
// one yield after the pass.
void Rainbow(Surface &surface, Run &run);

} // namespace divograf
