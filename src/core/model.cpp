#include "core/model.h"

#include "core/fractal/render.h"
#include "core/interference/drawings.h"
#include "core/rainbow/rainbow.h"

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
    if (!run.Running)
        surface.clear();
    run.Running = !run.Running;
    ++drawings_;
    switch (drawing) {
    case Drawing::Fractal:
        Render(surface, fractal, run);
        break;
    case Drawing::Rainbow:
        Rainbow(surface, run);
        break;
    case Drawing::Interference:
        Interference2D(surface, fractal, interference, holes, run);
        break;
    case Drawing::Interference3D:
        Interference3D(surface, fractal, interference, holes, run);
        break;
    }
    --drawings_;
}

} // namespace divograf
