// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The start/stop protocol with nested commands: commands "pressed" and clicks on the surface at
// chosen drawn elements, and what a view shows after the elements that follow.

#include "scripted.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using namespace divograf;
using divograf::testing_support::ScriptedModel;

namespace {

struct Act { int at; std::optional<Drawing> press; }; // no press: a click on the surface
// The view after element `at`: the caption's percentage (-1: the name alone), the flag, the pen.
struct Look { int at, percent; bool running; int pen; };
struct Scenario { const char *name; Drawing drawing; std::vector<Act> acts; int elements; std::vector<Look> looks; };

constexpr auto Fractal = Drawing::Fractal, Map = Drawing::Interference, Solid = Drawing::Interference3D, Rainbow = Drawing::Rainbow;
constexpr std::nullopt_t Click = std::nullopt;

} // namespace

// At Detail 100: a fractal or map of 50 columns of 50 cells, 3-D rows of 61 points, rainbow
// passes of 350 rings.
TEST(RunControl, Scenarios)
{
    const std::vector<Scenario> scenarios = {
        {"from idle to the end", Fractal, {}, 2500, {{1, -1, true, 1}, {51, 0, true, 1}, {119, 2, true, 1}, {2500, 96, true, 1}}},
        {"the map from idle", Map, {}, 2500, {{51, 0, true, 1}, {101, 2, true, 1}, {2451, 96, true, 1}}},
        {"a second press: the column ends", Fractal, {{120, Fractal}}, 150, {{119, 2, true, 1}, {121, -1, false, 1}}},
        {"another command stops it too", Fractal, {{120, Map}}, 150, {{121, -1, false, 1}, {150, -1, false, 1}}},
        {"a click: reset only when the column ends", Fractal, {{120, Click}}, 150, {{121, 2, false, 1}, {150, 2, false, 1}}},
        {"a start while the column ends runs inside it", Fractal, {{120, Fractal}, {125, Fractal}}, 125 + 2500 + 25,
         {{126, -1, true, 1}, {176, 0, true, 1}, {2625, 96, true, 1}, {2626, -1, false, 1}}},
        // A press in the second row or pass: the nested run sets the pen back to 1 for the rest.
        {"3-D, a press", Solid, {{91, Solid}}, 122, {{91, 0, true, 50}, {92, -1, false, 1}, {122, -1, false, 1}}},
        {"3-D, a click: the row ends with the wide pen", Solid, {{91, Click}}, 122, {{92, 0, false, 50}, {122, 0, false, 50}}},
        {"3-D, a map inside the finishing row", Solid, {{71, Click}, {81, Map}}, 81 + 2500 + 41, {{82, 0, true, 50}, {2582, -1, false, 50}}},
        {"rainbow, a press", Rainbow, {{380, Rainbow}}, 700, {{380, -1, true, 2}, {381, -1, false, 1}, {700, -1, false, 1}}},
        {"rainbow, a click", Rainbow, {{380, Click}}, 700, {{381, -1, false, 2}, {700, -1, false, 2}}},
        {"rainbow, a map inside the finishing pass", Rainbow, {{360, Click}, {370, Map}}, 370 + 2500 + 330, {{371, -1, true, 2}, {2871, -1, false, 2}}},
    };
    for (const Scenario &sc : scenarios) {
        SCOPED_TRACE(sc.name);
        ScriptedModel s(true);
        Model &m = s.model;
        for (const Act &act : sc.acts)
            s.plan[act.at] = [&] {
                const bool stopping = m.run.Running;
                const QImage before = m.surface.Image();
                if (!act.press) {
                    m.clickField(); // nothing else happens
                    EXPECT_EQ(std::make_pair(m.run.Running, m.surface.Image() == before), std::make_pair(false, true));
                    return;
                }
                if (!stopping) // a start clears: after the first element of the new drawing, one cell is all there is
                    s.plan[s.elements + 1] = [&] {
                        int painted = 0;
                        for (int y = 0; y < m.surface.pixels(); ++y)
                            for (int x = 0; x < m.surface.pixels(); ++x)
                                painted += m.surface.pixel(x, y) != White;
                        EXPECT_LT(painted, 2000) << "at " << s.elements;
                    };
                m.marker.Visible = true;
                m.startStop(*act.press);
                EXPECT_FALSE(m.marker.Visible);
                if (stopping) { // a stop clears nothing, draws nothing and resets at once
                    EXPECT_EQ(std::make_tuple(m.run.Running, m.run.status.caption(), m.surface.Image() == before),
                              std::make_tuple(false, QStringLiteral("Дивограф"), true));
                }
            };
        m.marker.Visible = true;
        m.startStop(sc.drawing);
        EXPECT_EQ(s.elements, sc.elements);
        for (const Look &l : sc.looks) {
            const QString caption = l.percent < 0 ? QStringLiteral("Дивограф") : QStringLiteral("Дивограф  %1%").arg(l.percent);
            EXPECT_EQ(std::make_tuple(s.at(l.at).caption, s.at(l.at).running, s.at(l.at).drawWidth), std::make_tuple(caption, l.running, l.pen)) << "at " << l.at;
        }
        EXPECT_EQ(std::make_tuple(m.run.Running, m.run.status.caption(), m.run.status.progress(), m.surface.DrawWidth(), m.marker.Visible, m.drawingsOnStack()),
                  std::make_tuple(false, QStringLiteral("Дивограф"), 0, std::int16_t(1), false, 0));
    }
}

// Restarts faster than the columns end: each start finds the drawing finishing its column and
// runs a new one inside it, until the limit ignores the start (and clears nothing).
TEST(RunControl, RestartsNestNoDeeperThanTheLimit)
{
    ScriptedModel s(true);
    Model &m = s.model;
    int deepest = 0, ignored = 0;
    m.run.yield = [&] {
        ++s.elements;
        deepest = std::max(deepest, m.drawingsOnStack());
        if (!m.run.Running)
            return;
        m.startStop(Drawing::Fractal);
        const QImage before = m.surface.Image();
        m.startStop(Drawing::Fractal);
        if (m.drawingsOnStack() == MaxNestedDrawings) {
            ++ignored;
            EXPECT_EQ(std::make_pair(m.run.Running, m.surface.Image() == before), std::make_pair(false, true));
        }
    };
    m.startStop(Drawing::Fractal);
    EXPECT_EQ(std::make_tuple(deepest, ignored, m.drawingsOnStack(), s.elements), std::make_tuple(MaxNestedDrawings, 1, 0, MaxNestedDrawings * 50));
    s.elements = 0; // the limit counts drawings on the stack, not drawings ever run
    m.run.yield = [&] { ++s.elements; };
    m.startStop(Drawing::Fractal);
    EXPECT_EQ(s.elements, 2500);
}

static Colour cellOf(const Surface &s, int x, int y) { return s.pixel(s.toPixel(x + 50.0f), s.toPixel(y + 50.0f)); }

// Changes made in a yield apply from the next cell. A nested stop of an interference drawing
// re-creates the hole tables for the current N and the running map goes on with them; N raised
// later stays within the tables. At start-up the cell of (21, 91) sums (-82, -194, -100); with
// three holes (21, 101) sums (65, -81, -148) and (21, 491) (44, -87, -110).
TEST(RunControl, ChangesInAYieldApplyFromTheNextCell)
{
    ScriptedModel f(true);
    f.plan[60] = [&] { // column 2 (X = 101), cell 10 (Y = 901)
        f.model.fractal.setValue(Control::Box, 0);
        f.model.fractal.setValue(Control::Rc, 200); // red 0 from now on
    };
    f.model.startStop(Drawing::Fractal);
    const Surface &s = f.model.surface;
    EXPECT_NE(s.pixel(s.toPixel(101 + 90), s.toPixel(901 + 10)), White); // filled
    EXPECT_EQ(s.pixel(s.toPixel(101 + 90), s.toPixel(1001 + 10)), White); // a diagonal from cell 11 on
    for (int x = s.toPixel(101) + 1; x < s.toPixel(201); ++x)
        for (int y = s.toPixel(1001) + 1; y < s.pixels(); ++y)
            ASSERT_TRUE(s.pixel(x, y) == White || redOf(s.pixel(x, y)) == 0) << x << "," << y;

    ScriptedModel map(true);
    map.plan[110] = [&] { // column 3 (x = 21), cell 10
        map.model.interference.setText(Pair::Num, QStringLiteral("3"));
        map.model.startStop(Drawing::Interference3D);
        EXPECT_EQ(std::make_pair(map.model.holes.count(), map.model.surface.DrawWidth()), std::make_pair(3, std::int16_t(1)));
    };
    map.plan[120] = [&] { map.model.interference.setText(Pair::Num, QStringLiteral("20")); };
    map.model.startStop(Drawing::Interference);
    const Surface &t = map.model.surface;
    EXPECT_EQ(std::vector<Colour>({cellOf(t, 210, 910), cellOf(t, 210, 1010), cellOf(t, 210, 4910), cellOf(t, 310, 10)}),
              std::vector<Colour>({RGB(0, 0, 0), RGB(65, 0, 0), RGB(44, 0, 0), White}));

    ScriptedModel raised(true); // seven holes to the end: (491, 491) sums (94, 234, 102)
    raised.plan[100] = [&] { raised.model.interference.setText(Pair::Num, QStringLiteral("20")); };
    raised.model.startStop(Drawing::Interference);
    EXPECT_EQ(std::make_pair(cellOf(raised.model.surface, 4910, 4910), raised.model.holes.count()), std::make_pair(RGB(94, 234, 102), 7));
}
