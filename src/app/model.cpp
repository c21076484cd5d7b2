#include "app/model.h"

#include "fractal/render.h"

namespace divograf {

Model::Model(int scale)
    : surface(scale)
{
}

void Model::startUp()
{
    fractal.startupDefaults();
}

void Model::startStop(Drawing drawing)
{
    marker.Visible = false;
    if (!run.Running)
        surface.clear();
    run.Running = !run.Running;
    switch (drawing) {
    case Drawing::Fractal:
        Render(surface, fractal, run);
        break;
    case Drawing::Rainbow:
    case Drawing::Interference:
    case Drawing::Interference3D:
        // Not built yet: the command still follows the protocol, so it stops a running drawing.
        run.Running = false;
        break;
    }
}

} // namespace divograf
