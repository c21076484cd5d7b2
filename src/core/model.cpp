// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/model.h"

namespace divograf {

Model::Model(int scale)
    : surface(scale)
{
}

void Model::startUp()
{
    interference.startUp();
    fractal.startupDefaults();
}

void Model::startStop(Drawing drawing)
{
    if (!run.Running && drawings_ >= MaxNestedDrawings)
        return;
    marker.Visible = false;
    if (!run.Running) {
        surface.clear();
        lastDrawing_ = drawing;
    }
    run.Running = !run.Running;
    ++drawings_;
    command(drawing).draw(*this);
    --drawings_;
}

} // namespace divograf
