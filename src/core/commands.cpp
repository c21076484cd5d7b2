// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/commands.h"

#include "core/fractal/render.h"
#include "core/interference/drawings.h"
#include "core/model.h"
#include "core/rainbow/rainbow.h"

namespace divograf {

const DrawingCommand DrawingCommands[4] = {
    {Drawing::Fractal, "fractal", "Command1", "", "Run", "Строить фрактал", Qt::Key_F, false,
        [](Model &m) { Render(m.surface, m.fractal, m.run); }},
    {Drawing::Rainbow, "rainbow", "Command2", "", "Rainbow", "Строить радугу", Qt::Key_R, false,
        [](Model &m) { Rainbow(m.surface, m.run); }},
    {Drawing::Interference3D, "interference-3d", "Command4", "3D", "interf3D",
        "Строить 3D интерференцию", Qt::Key_J, true,
        [](Model &m) { Interference3D(m.surface, m.fractal, m.interference, m.holes, m.run); }},
    {Drawing::Interference, "interference", "Command3", "2D", "interf", "Строить интерференцию",
        Qt::Key_I, true,
        [](Model &m) { Interference2D(m.surface, m.fractal, m.interference, m.holes, m.run); }},
};

const DrawingCommand &command(Drawing drawing)
{
    for (const DrawingCommand &c : DrawingCommands)
        if (c.drawing == drawing)
            return c;
    return DrawingCommands[0]; // not reached: every drawing has its row
}

} // namespace divograf
