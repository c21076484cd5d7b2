// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/commands.h"
#include "core/fractal/panel.h"
#include "core/interference/panel.h"
#include "core/interference/waves.h"
#include "core/surface/run.h"
#include "core/surface/surface.h"

#include <optional>

namespace divograf {

// Drawings on the stack at most: each restart given while a stopped drawing finishes its pass
// runs nested inside it, and commands that come faster than the passes end would otherwise
// nest without bound until the stack overflows. Clicks at a human pace nest one or two.
inline constexpr int MaxNestedDrawings = 16;

// Everything the main window owns, without the window: the surface and its marker, the run
// context with the one `Running` flag, and the parameter panels. The window and the renderer
// each hold one and drive it through these operations.
class Model
{
public:
    explicit Model(int scale = 1);

    // The start-up sequence: the texts of the interference pairs, then the fractal defaults.
    // Draws nothing.
    void startUp();

    // The start/stop protocol of every drawing command: hide the marker; clear to white
    // unless a drawing is meant to go on; invert `Running`; run the drawing whatever the
    // new value. Called inside a yield, it stops the running drawing or, while one is
    // finishing its pass, runs a whole new drawing nested in it; with `MaxNestedDrawings`
    // drawings on the stack such a start does nothing at all.
    void startStop(Drawing drawing);

    // The drawings on the stack: 0 when idle.
    int drawingsOnStack() const { return drawings_; }

    // The drawing that the last start (not a stop) ran: what the surface shows, whole or in
    // part. None before the first drawing.
    std::optional<Drawing> lastDrawing() const { return lastDrawing_; }

    // A click on the surface: `Running` false, nothing else.
    void clickField() { run.Running = false; }

    Surface surface;
    Marker marker;
    Run run;
    FractalPanel fractal{marker};
    InterferencePanel interference;
    HoleTables holes; // shared by both interference drawings

    // The spinner values as the parameter file last wrote or read them.
    StoredInt StoredNum, StoredScale, StoredDistance, StoredAmplitude;

private:
    int drawings_ = 0;
    std::optional<Drawing> lastDrawing_;
};

} // namespace divograf
