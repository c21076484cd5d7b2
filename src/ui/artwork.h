// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/commands.h"

#include <QImage>

namespace divograf::artwork {

// The pictures of the window: drawn at start, by the program's own fractal engine where they
// show a fractal, by a few lines of painting where they show the other drawings.

// The window icon, `side` x `side` pixels (1..329; the window takes 120): an eight-armed
// magenta star amid many colours. The desktop's icons are this at their sizes.
inline constexpr int WindowIconSide = 120;
QImage windowIcon(int side = WindowIconSide);
// `Command1`, 32 x 32: the fractal at its start-up parameters.
QImage fractalButton();
// `Command3`, 32 x 32: the waves of a few holes, seen from above.
QImage interferenceButton();
// `Command4`, 32 x 32: a wavy surface seen obliquely.
QImage interference3DButton();
// `Command2`, 120 x 120: concentric rainbow rings (the button shows a crop of it).
QImage rainbowButton();
// The picture of the start/stop button of `drawing`: one of the four above.
QImage commandPicture(Drawing drawing);

} // namespace divograf::artwork
