// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/commands.h"
#include "core/fractal/panel.h"

#include <QPointF>

#include <optional>

namespace divograf {

// Surface units that one step of a centre slider moves the centre.
inline constexpr int CentreStep = 100;

// Surface units that one unit of the plane spans at the size `size` (`SizeFactor`).
constexpr int planeUnitSpan(int size) { return 100 * size + 100; }

// On one axis, where the centre must lie for the point of the plane that lies at `at` (centre
// at `centre`, size `from`) to lie at `at` again at the size `to`. Surface units, exact.
double centreKeeping(double at, double centre, int from, int to);

// The value of a centre slider for a centre at `centre` surface units: the nearest whole step
// within the slider's range.
int centreSliderValue(double centre);

// What a gesture changed on the panel.
struct Moved
{
    bool size = false;
    bool centre = false;
};

// Whether `drawing`, drawn again, would show what `moved` changed: the fractal shows the size
// and the centre, both interference drawings the centre, the rainbow neither.
bool shows(Drawing drawing, Moved moved);

// The fractal explored with the mouse: the wheel zooms about a point of the surface and a drag
// moves the picture, both by moving the panel's size and centre sliders as a user would, so
// their handlers do the rest (the variables, the marker, the caption). Positions are in
// surface units.
class Viewpoint
{
public:
    explicit Viewpoint(FractalPanel &panel)
        : panel_(panel)
    {
    }

    // The wheel turned `notches` whole steps of the size (forward, positive, enlarges) with the
    // cursor at `at`. The point of the plane under the cursor stays there as nearly as the
    // centre's whole steps allow. After an interference drawing (`shown`), which does not use
    // the size, only the size changes; before any drawing and after the rainbow the centre
    // follows as for the fractal. While the cursor stays put and nobody else moves the
    // sliders, the turns are one gesture: the exact centre is carried from turn to turn and
    // only the sliders' values are rounded, so that many small moves add up.
    Moved zoom(QPointF at, int notches, std::optional<Drawing> shown);

    // A drag begins: it moves the centre from where the panel holds it now.
    void grab();
    // The cursor is `offset` away from where the drag began: the centre moves by as much, to
    // the nearest whole step, so that the grabbed point stays under the cursor.
    Moved drag(QPointF offset);

private:
    // Sets the sliders, as far as they can go; what changed.
    Moved moveTo(int size, QPointF centre);

    FractalPanel &panel_;
    // The zoom under way: the cursor, the exact centre, and what the last turn gave the panel.
    struct Zoom
    {
        QPointF at, exact;
        int size = 0, slider2 = 0, slider1 = 0;
    };
    std::optional<Zoom> zoom_;
    QPointF grabbed_; // the centre where the drag began
};

} // namespace divograf
