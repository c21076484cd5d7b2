// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The panels, the text rule, the fractal explored by the mouse, and the start/stop protocol with
// nested commands "pressed" and clicks at chosen drawn elements of a scripted yield.

#include "core/fractal/viewpoint.h"
#include "scripted.h"

#include "printers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

using namespace divograf;

namespace {

constexpr StoredInt B16(int v) { return {v, Width::Bits16}; }
constexpr StoredInt B32(int v) { return {v, Width::Bits32}; }

struct Handler
{
    Control control;
    int value;
    StoredInt FractalVars::*variable;
    StoredInt expected;
};
struct Rule
{
    Pair pair;
    const char *text;
    int value;
    const char *rewrite; // nullptr: the text stays
};
using enum Pair;
struct Act
{
    int at;
    std::optional<Drawing> press; // none: a click on the surface
};
struct Look // after element `at`; percent -1: the name alone
{
    int at, percent;
    bool running;
    int pen;
};
struct Scenario
{
    const char *name;
    Drawing drawing;
    std::vector<Act> acts;
    int elements;
    std::vector<Look> looks;
};

constexpr Drawing Fractal = Drawing::Fractal;
constexpr Drawing Map = Drawing::Interference;
constexpr Drawing Solid = Drawing::Interference3D;
constexpr Drawing Rainbow = Drawing::Rainbow;
constexpr std::nullopt_t Click = std::nullopt;

} // namespace

TEST(FractalPanel, HandlersCaptionsMarkerAndOptions)
{
    Model m;
    m.startUp();
    EXPECT_EQ(m.fractal.vars.CenterY, B16(2500)); // the stored ones in the parameter file's bytes
    EXPECT_EQ(m.fractal.vars.Detail, B16(50));
    EXPECT_FALSE(m.fractal.mmEnabled());
    EXPECT_EQ(m.fractal.value(Control::Box), 1);
    EXPECT_EQ(m.marker.Left, 2411);
    EXPECT_EQ(m.fractal.label2Caption(), "Оси 7");
    EXPECT_EQ(m.fractal.frame1Caption(), "Размер 30");
    // Sliders store 32 bits, options and check boxes 16; a slider clamps, and runs no handler
    // when set to the value it has.
    for (const Handler &h : std::vector<Handler>{{Control::Rc, 200, &FractalVars::RedCorr, B32(0)},
             {Control::Gc, 150, &FractalVars::GreenCorr, B32(50)},
             {Control::Bc, 1, &FractalVars::BlueCorr, B32(199)},
             {Control::KFS, 7, &FractalVars::Coef, B32(3)},
             {Control::Slider1, 40, &FractalVars::CenterY, B32(4000)},
             {Control::Slider2, 10, &FractalVars::CenterX, B32(1000)},
             {Control::Slider3, 99, &FractalVars::SizeFactor, B32(60)},
             {Control::Rc, -5, &FractalVars::RedCorr, B32(200)},
             {Control::Rc, 175, &FractalVars::RedCorr, B16(25)},
             {Control::Option1, 1, &FractalVars::Detail, B16(100)},
             {Control::Option4, 1, &FractalVars::Detail, B16(10)},
             {Control::KUB, 1, &FractalVars::Cube, B16(1)},
             {Control::MUA, 1, &FractalVars::UseMoivre, B16(1)}}) {
        Model fresh;
        fresh.startUp();
        fresh.fractal.setValue(h.control, h.value);
        EXPECT_EQ(fresh.fractal.vars.*h.variable, h.expected)
            << spec(h.control).name << " " << h.value;
    }
    // The size does not show the marker; the centre sliders do, and place it. Selecting the
    // selected option stores Detail again.
    FractalPanel &p = m.fractal;
    m.marker.Visible = false;
    p.setValue(Control::MM, 10);
    p.setValue(Control::Slider3, 0);
    EXPECT_EQ(p.label2Caption(), "Оси  10");
    EXPECT_FALSE(m.marker.Visible);
    p.setValue(Control::Slider2, 10);
    p.setValue(Control::Slider1, 40);
    EXPECT_TRUE(m.marker.Visible);
    EXPECT_EQ(m.marker.Left, 940);
    EXPECT_EQ(m.marker.Top, 3940);
    p.vars.Detail.set32(77);
    p.setValue(Control::Option2, 1);
    EXPECT_EQ(p.vars.Detail, B16(50));
}

TEST(TextRule, GivesTheValueAndRewritesOnlyWhenTheTextDoesNotShowIt)
{
    const std::vector<Rule> rules = {
        // The wrap by max + 1 (sign of the dividend), then the lower clamp.
        {L, "3000", 3000, nullptr},
        {L, "3500", 499, "499"},
        {L, "-5", 1, "1"},
        {Num, "25", 4, "4"},
        // Rounding half to even; a text that shows the value is left alone.
        {L, "12.5", 12, "12"},
        {L, "13.5", 14, "14"},
        // The amplitude shows its value less 50: 510 wraps to 9, raised to 50.
        {Ampl, "450", 500, nullptr},
        {Ampl, "460", 50, "0"},
        {Ampl, "буквы", 50, nullptr},
        {Ampl, "", 50, nullptr},
        // Reading: blanks skipped everywhere, the number read up to what cannot continue it.
        {Num, "letters", 1, "1"},
        {L, "\t 7 0 0", 700, nullptr},
        {L, "+70", 70, nullptr},
        {L, "25e-1", 2, "2"},
        {L, "1e", 1, nullptr},
        {L, "5e+x", 5, nullptr},
        {L, ".5e3", 500, nullptr},
        {L, "٣", 1, "1"},
        // Beyond 32 bits the nearest bound: 2147483647 mod 3001 = 1058, mod 501 = 253.
        {L, "1e12", 1058, "1058"},
        {L, "1e99999999999999999999", 1058, "1058"},
        {L, "1e-400", 1, "1"},
        {L, "0.000e999", 1, "1"},
        {Ampl, "1e12", 253, "203"},
    };
    for (const Rule &c : rules) {
        const QString text = QString::fromUtf8(c.text);
        const QString shown = c.rewrite ? QString::fromUtf8(c.rewrite) : text;
        InterferencePanel panel; // the handler rewrites, and runs again on the rewritten text
        panel.setText(c.pair, text);
        SCOPED_TRACE(testing::Message() << spec(c.pair).textBox << " \"" << c.text << '"');
        EXPECT_EQ(panel.value(c.pair), c.value);
        EXPECT_EQ(panel.text(c.pair), shown);
    }
    InterferencePanel p; // a spinner's value is written on release, less 50 for the amplitude
    p.setSpinner(Ampl, 600);
    EXPECT_EQ(p.text(Ampl), "1");
    p.released(Ampl);
    EXPECT_EQ(p.text(Ampl), "450");
    EXPECT_EQ(p.value(Ampl), 500);
}

// At Detail 100: a fractal or map of 50 columns of 50 cells, 3-D rows of 61 points, rainbow
// passes of 350 rings.
TEST(RunControl, Scenarios)
{
    const std::vector<Scenario> scenarios = {
        {"from idle to the end", Fractal, {}, 2500,
            {{1, -1, true, 1}, {51, 0, true, 1}, {119, 2, true, 1}, {2500, 96, true, 1}}},
        {"another command stops it", Fractal, {{120, Map}}, 150,
            {{119, 2, true, 1}, {121, -1, false, 1}}},
        {"a click: the column ends", Fractal, {{120, Click}}, 150,
            {{121, 2, false, 1}, {150, 2, false, 1}}},
        {"a start while the column ends runs inside it", Fractal, {{120, Fractal}, {125, Fractal}},
            125 + 2500 + 25,
            {{126, -1, true, 1}, {176, 0, true, 1}, {2625, 96, true, 1}, {2626, -1, false, 1}}},
        // A press in the second row or pass: the nested run sets the pen back to 1 for the rest.
        {"3-D, a press", Solid, {{91, Solid}}, 122,
            {{91, 0, true, 50}, {92, -1, false, 1}, {122, -1, false, 1}}},
        {"3-D, a map in the ending row", Solid, {{71, Click}, {81, Map}}, 81 + 2500 + 41,
            {{82, 0, true, 50}, {2582, -1, false, 50}}},
        {"rainbow, a press", Rainbow, {{380, Rainbow}}, 700,
            {{380, -1, true, 2}, {381, -1, false, 1}, {700, -1, false, 1}}},
    };
    for (const Scenario &sc : scenarios) {
        SCOPED_TRACE(sc.name);
        ScriptedModel s(true);
        Model &m = s.model;
        for (const Act &act : sc.acts)
            s.plan[act.at] = [&] {
                const bool starting = act.press && !m.run.Running;
                const QImage before = m.surface.Image();
                // A start clears: (10, 200), off the first element, is white after it.
                if (starting)
                    s.plan[s.elements + 1] = [&] { EXPECT_EQ(m.surface.pixel(10, 200), White); };
                m.marker.Visible = act.press.has_value();
                if (act.press)
                    m.startStop(*act.press);
                else
                    m.clickField();
                EXPECT_FALSE(m.marker.Visible);
                EXPECT_FALSE(m.run.Running);
                EXPECT_TRUE(starting || m.surface.Image() == before) << "a stop or a click drew";
            };
        m.marker.Visible = true;
        m.startStop(sc.drawing);
        EXPECT_EQ(s.elements, sc.elements);
        for (const Look &l : sc.looks) {
            const QString caption
                = l.percent < 0 ? "Дивограф" : QString("Дивограф  %1%").arg(l.percent);
            EXPECT_EQ(s.at(l.at).caption, caption) << "at " << l.at;
            EXPECT_EQ(s.at(l.at).running, l.running) << "at " << l.at;
            EXPECT_EQ(s.at(l.at).drawWidth, l.pen) << "at " << l.at;
        }
        EXPECT_FALSE(m.run.Running);
        EXPECT_EQ(m.run.status.caption(), "Дивограф");
        EXPECT_EQ(m.surface.DrawWidth(), 1);
        EXPECT_FALSE(m.marker.Visible);
        EXPECT_EQ(m.drawingsOnStack(), 0);
    }
}

// Restarts faster than the columns end: each start finds the drawing finishing its column and
// runs a new one inside it, until the limit ignores the start.
TEST(RunControl, RestartsNestNoDeeperThanTheLimit)
{
    ScriptedModel s(true);
    Model &m = s.model;
    int deepest = 0;
    int ignored = 0;
    m.run.yield = [&] {
        ++s.elements;
        deepest = std::max(deepest, m.drawingsOnStack());
        if (!m.run.Running)
            return;
        m.startStop(Drawing::Fractal);
        m.startStop(Drawing::Fractal);
        ignored += m.drawingsOnStack() == MaxNestedDrawings;
        EXPECT_TRUE(m.drawingsOnStack() < MaxNestedDrawings || !m.run.Running);
    };
    m.startStop(Drawing::Fractal);
    EXPECT_EQ(deepest, MaxNestedDrawings);
    EXPECT_EQ(ignored, 1);
    EXPECT_EQ(m.drawingsOnStack(), 0);
    EXPECT_EQ(s.elements, MaxNestedDrawings * 50);
    s.elements = 0; // the limit counts drawings on the stack, not drawings ever run
    m.run.yield = [&] { ++s.elements; };
    m.startStop(Drawing::Fractal);
    EXPECT_EQ(s.elements, 2500);
}

// A nested stop of an interference drawing re-creates the hole tables for the current N, and the
// running map goes on with them; N raised later stays within them. At start-up the cell of
// (21, 91) sums (-82, -194, -100); with three holes (21, 101) sums (65, -81, -148) and (21, 491)
// (44, -87, -110).
TEST(RunControl, ANestedStopRebuildsTheHoleTables)
{
    ScriptedModel map(true);
    map.plan[110] = [&] { // column 3 (x = 21), cell 10
        map.model.interference.setText(Pair::Num, "3");
        map.model.startStop(Drawing::Interference3D);
        EXPECT_EQ(map.model.holes.count(), 3);
        EXPECT_EQ(map.model.surface.DrawWidth(), 1);
    };
    map.plan[120] = [&] { map.model.interference.setText(Pair::Num, "20"); };
    map.model.startStop(Drawing::Interference);
    const Surface &t = map.model.surface;
    const auto cell = [&](int x, int y) {
        return t.pixel(t.toPixel(10 * x + 50.0f), t.toPixel(10 * y + 50.0f));
    };
    EXPECT_EQ(std::vector<Colour>({cell(21, 91), cell(21, 101), cell(21, 491), cell(31, 1)}),
        std::vector<Colour>({RGB(0, 0, 0), RGB(65, 0, 0), RGB(44, 0, 0), White}));
}

namespace {

struct Gesture
{
    QPointF at;            // a drag: its offset from where it began
    int notches;           // 0: a drag
    int slider2Before = 0; // moved there by hand before; 0 leaves it
};
struct Move
{
    const char *what;
    std::optional<Drawing> shown;
    std::vector<Gesture> gestures;
    int size, slider2, slider1;
    bool movedSize, movedCentre; // by the last gesture
};

} // namespace

// From size 30, centre (2500, 2500), x stays in place as the centre goes to x - (x - 2500) *
// (100 * size + 100) / 3100: at c, 3 notches give 4000 - 1500 * 3400 / 3100 = 2354.8 (step 24).
TEST(Viewpoint, WheelZoomsAboutTheCursorAndDragMovesTheCentre)
{
    const QPointF corner(4000, 1000);
    const QPointF c(4000, 1000);
    const QPointF e(4000, 2500);
    const Move rows[] = {
        {"notches add up", {}, {{c, 1}, {c, 1}, {c, 1}}, 33, 24, 26, true, false},
        {"back: 2741.9", Fractal, {{e, -5}}, 25, 27, 25, true, true},
        {"size at most 60: 1048.4", Fractal, {{c, 40}, {c, 1}}, 60, 10, 40, false, false},
        {"moved slider: 2968.75", {}, {{c, 1}, {c, 1, 30}}, 32, 30, 25, true, false},
        {"moved cursor: 2352.9", {}, {{e, 3}, {{4000, 2600}, 1}}, 34, 24, 25, true, false},
        {"after the map the size alone", Map, {{c, 1}, {c, 1}, {c, 1}}, 33, 25, 25, true, false},
        {"after the rainbow as for the fractal", Rainbow, {{c, 3}}, 33, 24, 26, true, true},
        {"drag from the press", {}, {{{60, 0}, 0}, {{120, 0}, 0}}, 30, 26, 25, false, false},
        {"drag, halves away from zero", {}, {{{-50, 150}, 0}}, 30, 25, 27, false, true},
        {"drag within the sliders", {}, {{{-2000, 2000}, 0}}, 30, 10, 40, false, true},
    };
    for (const Move &row : rows) {
        SCOPED_TRACE(row.what);
        Marker marker;
        FractalPanel panel(marker);
        panel.startupDefaults();
        Viewpoint viewpoint(panel);
        Moved moved;
        bool dragging = false;
        for (const Gesture &g : row.gestures) {
            if (g.slider2Before != 0)
                panel.setValue(Control::Slider2, g.slider2Before);
            if (g.notches == 0 && !dragging)
                viewpoint.grab();
            dragging = g.notches == 0;
            moved = dragging ? viewpoint.drag(g.at) : viewpoint.zoom(g.at, g.notches, row.shown);
        }
        EXPECT_EQ(panel.value(Control::Slider3), row.size);
        EXPECT_EQ(panel.value(Control::Slider2), row.slider2);
        EXPECT_EQ(panel.value(Control::Slider1), row.slider1);
        EXPECT_EQ(panel.vars.SizeFactor.value, row.size);
        EXPECT_EQ(panel.vars.CenterX.value, row.slider2 * 100);
        EXPECT_EQ(panel.vars.CenterY.value, row.slider1 * 100);
        EXPECT_EQ(moved.size, row.movedSize);
        EXPECT_EQ(moved.centre, row.movedCentre);
    }
}
