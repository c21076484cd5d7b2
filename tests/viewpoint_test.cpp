// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The fractal explored by the mouse without a window: the wheel's zoom about a point, the drag,
// which pictures show what moved, and which drawing the surface shows.

#include "core/fractal/viewpoint.h"
#include "scripted.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace divograf;
using divograf::testing_support::ScriptedModel;

namespace {

struct Turn
{
    QPointF at;
    int notches;
    int slider2Before = 0; // moved there by hand before the turn; 0 leaves it
};
struct Zoom
{
    const char *what;
    std::optional<Drawing> shown;
    std::vector<Turn> turns;
    int size, slider2, slider1;
    bool movedSize, movedCentre; // by the last turn
};

struct Drag
{
    const char *what;
    std::vector<QPointF> offsets; // one drag, from where it began
    int slider2, slider1;
};

} // namespace

// From the start-up panel (size 30, centre 2500, 2500). The point x stays where it is when
// the centre goes to x - (x - 2500) * (100 * size + 100) / 3100; at (4000, 1000) three notches
// give 4000 - 1500 * 3400 / 3100 = 2354.8 and 1000 + 1645.2 = 2645.2, steps 24 and 26.
TEST(Viewpoint, WheelZoomsAboutThePointUnderTheCursor)
{
    const QPointF middle(2497.5, 2497.5), corner(4000, 1000);
    const Zoom rows[] = {
        {"the middle, one notch", {}, {{middle, 1}}, 31, 25, 25, true, false},
        {"three notches one at a time add up", {}, {{corner, 1}, {corner, 1}, {corner, 1}}, 33, 24,
            26, true, false},
        {"five back: 4000 - 1500 * 2600 / 3100 = 2741.9", Drawing::Fractal, {{{4000, 2500}, -5}},
            25, 27, 25, true, true},
        {"the size stops at 60: 4000 - 1500 * 6100 / 3100 = 1048.4", Drawing::Fractal,
            {{corner, 40}, {corner, 1}}, 60, 10, 40, false, false},
        {"the sliders stop at their ends, the exact centre goes on and back", {},
            {{{4900, 100}, 30}, {{4900, 100}, -30}}, 30, 25, 25, true, true},
        {"a slider moved by hand begins anew: 4000 - 1000 * 3300 / 3200 = 2968.75", {},
            {{corner, 1}, {corner, 1, 30}}, 32, 30, 25, true, false},
        {"a moved cursor begins anew from step 24: 4000 - 1600 * 3500 / 3400 = 2352.9", {},
            {{{4000, 2500}, 3}, {{4000, 2600}, 1}}, 34, 24, 25, true, false},
        {"after the 2-D interference the size alone", Drawing::Interference,
            {{corner, 1}, {corner, 1}, {corner, 1}}, 33, 25, 25, true, false},
        {"after the 3-D interference the size alone", Drawing::Interference3D, {{corner, 3}}, 33,
            25, 25, true, false},
        {"after the rainbow as for the fractal", Drawing::Rainbow, {{corner, 3}}, 33, 24, 26, true,
            true},
    };
    for (const Zoom &row : rows) {
        SCOPED_TRACE(row.what);
        Marker marker;
        FractalPanel panel(marker);
        panel.startupDefaults();
        Viewpoint viewpoint(panel);
        Moved moved;
        for (const Turn &turn : row.turns) {
            if (turn.slider2Before != 0)
                panel.setValue(Control::Slider2, turn.slider2Before);
            moved = viewpoint.zoom(turn.at, turn.notches, row.shown);
        }
        EXPECT_EQ(panel.value(Control::Slider3), row.size);
        EXPECT_EQ(panel.value(Control::Slider2), row.slider2);
        EXPECT_EQ(panel.value(Control::Slider1), row.slider1);
        EXPECT_EQ(panel.vars.SizeFactor.value, row.size);
        EXPECT_EQ(panel.vars.CenterX.value, row.slider2 * 100);
        EXPECT_EQ(moved.size, row.movedSize);
        EXPECT_EQ(moved.centre, row.movedCentre);
    }
}

// 20 pixels of the window are 20 * 4995 / 329 = 303.6 units: three steps.
TEST(Viewpoint, DragMovesTheCentreFromWhereItBegan)
{
    const Drag rows[] = {
        {"20 pixels right", {{20 * 4995 / 329.0, 0}}, 28, 25},
        {"measured from the press, not from the last move", {{60, 0}, {120, 0}}, 26, 25},
        {"to the nearest step both ways", {{-49, 151}}, 25, 27},
        {"no further than the sliders go", {{-2000, 2000}}, 10, 40},
    };
    for (const Drag &row : rows) {
        SCOPED_TRACE(row.what);
        Marker marker;
        FractalPanel panel(marker);
        panel.startupDefaults();
        Viewpoint viewpoint(panel);
        viewpoint.grab();
        for (const QPointF &offset : row.offsets)
            viewpoint.drag(offset);
        EXPECT_EQ(panel.value(Control::Slider2), row.slider2);
        EXPECT_EQ(panel.value(Control::Slider1), row.slider1);
        EXPECT_EQ(panel.vars.CenterY.value, row.slider1 * 100);
        EXPECT_TRUE(marker.Visible);
    }
}

TEST(Viewpoint, APictureShowsWhatItsDrawingReads)
{
    const struct
    {
        Drawing drawing;
        Moved moved;
        bool shown;
    } rows[] = {
        {Drawing::Fractal, {.size = true}, true},
        {Drawing::Fractal, {.centre = true}, true},
        {Drawing::Fractal, {}, false},
        {Drawing::Interference, {.size = true}, false},
        {Drawing::Interference, {.centre = true}, true},
        {Drawing::Interference3D, {.size = true}, false},
        {Drawing::Interference3D, {.centre = true}, true},
        {Drawing::Rainbow, {.size = true, .centre = true}, false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(shows(row.drawing, row.moved), row.shown) << static_cast<int>(row.drawing);
}

// A stop is no drawing of its own: the surface still shows the drawing it stopped.
TEST(Viewpoint, TheLastDrawingIsTheLastStarted)
{
    ScriptedModel s(true);
    EXPECT_FALSE(s.model.lastDrawing().has_value());
    s.plan[1] = [&] { s.model.startStop(Drawing::Rainbow); };
    s.model.startStop(Drawing::Fractal);
    EXPECT_EQ(s.model.lastDrawing(), Drawing::Fractal);
    s.model.startStop(Drawing::Interference3D);
    EXPECT_EQ(s.model.lastDrawing(), Drawing::Interference3D);
}
