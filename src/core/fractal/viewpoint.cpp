// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/fractal/viewpoint.h"

#include <algorithm>
#include <cmath>

namespace divograf {

double centreKeeping(double at, double centre, int from, int to)
{
    // The point lies (at - centre) / span(from) plane units from the centre, and must lie as
    // many at the new span.
    return at - (at - centre) * planeUnitSpan(to) / planeUnitSpan(from);
}

int centreSliderValue(double centre)
{
    const ControlSpec &s = spec(Control::Slider2); // Slider1 has the same range
    return static_cast<int>(
        std::lround(std::clamp(centre / CentreStep, double(s.min), double(s.max))));
}

bool shows(Drawing drawing, Moved moved)
{
    if (drawing == Drawing::Rainbow)
        return false;
    return moved.centre || (moved.size && drawing == Drawing::Fractal);
}

Moved Viewpoint::zoom(QPointF at, int notches, std::optional<Drawing> shown)
{
    const FractalVars &v = panel_.vars;
    const ControlSpec &sizeSpec = spec(Control::Slider3);
    const int from = v.SizeFactor.value;
    const int to = std::clamp(from + notches, sizeSpec.min, sizeSpec.max);
    // A picture that shows the centre but not the size would only move about.
    if (shown && shows(*shown, {.centre = true}) && !shows(*shown, {.size = true}))
        return moveTo(to, {double(v.CenterX.value), double(v.CenterY.value)});
    // Anything else that moved the size or the centre ends the gesture.
    if (!zoom_ || zoom_->at != at || zoom_->size != from
        || zoom_->slider2 != panel_.value(Control::Slider2)
        || zoom_->slider1 != panel_.value(Control::Slider1))
        zoom_ = Zoom{at, {double(v.CenterX.value), double(v.CenterY.value)}};
    QPointF &exact = zoom_->exact;
    exact = QPointF(
        centreKeeping(at.x(), exact.x(), from, to), centreKeeping(at.y(), exact.y(), from, to));
    const Moved moved = moveTo(to, exact);
    zoom_->size = v.SizeFactor.value;
    zoom_->slider2 = panel_.value(Control::Slider2);
    zoom_->slider1 = panel_.value(Control::Slider1);
    return moved;
}

void Viewpoint::grab() { grabbed_ = QPointF(panel_.vars.CenterX.value, panel_.vars.CenterY.value); }

Moved Viewpoint::drag(QPointF offset)
{
    return moveTo(panel_.vars.SizeFactor.value, grabbed_ + offset);
}

Moved Viewpoint::moveTo(int size, QPointF centre)
{
    const FractalVars &v = panel_.vars;
    const FractalVars before = v;
    panel_.setValue(Control::Slider3, size);
    panel_.setValue(Control::Slider2, centreSliderValue(centre.x()));
    panel_.setValue(Control::Slider1, centreSliderValue(centre.y()));
    return {.size = v.SizeFactor.value != before.SizeFactor.value,
        .centre
        = v.CenterX.value != before.CenterX.value || v.CenterY.value != before.CenterY.value};
}

} // namespace divograf
