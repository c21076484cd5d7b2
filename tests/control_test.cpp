// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The panels and the commands: the fractal handlers with the widths they store, the text rule
// of the interference pairs, and the start/stop protocol with nested commands, "pressed" and
// clicked at chosen drawn elements of a scripted yield.

#include "scripted.h"

#include "printers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

using namespace divograf;
using divograf::testing_support::ScriptedModel;

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
constexpr Pair L = Pair::L;
constexpr Pair Num = Pair::Num;
constexpr Pair Scal = Pair::Scal;
constexpr Pair Ampl = Pair::Ampl;
struct Act
{
    int at;
    std::optional<Drawing> press; // none: a click on the surface
};
struct Look // after element `at`
{
    int at;
    int percent; // -1: the name alone
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

TEST(FractalPanel, HandlersStoreTheDerivedValueWithTheirWidth)
{
    Model m;
    m.startUp();
    const FractalVars &v = m.fractal.vars;
    EXPECT_EQ(std::vector<StoredInt>({v.CenterX, v.CenterY, v.SizeFactor, v.Detail, v.Coef,
                  v.RedCorr, v.GreenCorr, v.BlueCorr, v.Squarings, v.Cube, v.UseMoivre, v.Axes}),
        std::vector<StoredInt>({B16(2500), B16(2500), B16(30), B16(50), B16(2), B16(25), B16(24),
            B16(23), B32(1), B16(0), B16(0), B32(7)}));
    EXPECT_FALSE(m.fractal.mmEnabled());
    EXPECT_EQ(m.fractal.value(Control::Box), 1);
    EXPECT_EQ(m.marker.Left, 2411);
    EXPECT_EQ(m.fractal.label2Caption(), QStringLiteral("Оси 7"));
    EXPECT_EQ(m.fractal.frame1Caption(), QStringLiteral("Размер 30"));
    // Sliders store 32-bit values, options and check boxes 16-bit ones; a value beyond the range
    // is clamped as the slider would; setting the value a slider has runs no handler.
    for (const Handler &h : std::vector<Handler>{{Control::Rc, 200, &FractalVars::RedCorr, B32(0)},
             {Control::Rc, 0, &FractalVars::RedCorr, B32(200)},
             {Control::Gc, 150, &FractalVars::GreenCorr, B32(50)},
             {Control::Bc, 1, &FractalVars::BlueCorr, B32(199)},
             {Control::KFS, 0, &FractalVars::Coef, B32(10)},
             {Control::KFS, 7, &FractalVars::Coef, B32(3)},
             {Control::Slider1, 40, &FractalVars::CenterY, B32(4000)},
             {Control::Slider2, 10, &FractalVars::CenterX, B32(1000)},
             {Control::Slider3, 0, &FractalVars::SizeFactor, B32(0)},
             {Control::MM, 10, &FractalVars::Axes, B32(10)},
             {Control::Slider3, 99, &FractalVars::SizeFactor, B32(60)},
             {Control::Rc, -5, &FractalVars::RedCorr, B32(200)},
             {Control::Rc, 175, &FractalVars::RedCorr, B16(25)},
             {Control::Option1, 1, &FractalVars::Detail, B16(100)},
             {Control::Option3, 1, &FractalVars::Detail, B16(20)},
             {Control::Option4, 1, &FractalVars::Detail, B16(10)},
             {Control::KUB, 1, &FractalVars::Cube, B16(1)},
             {Control::MUA, 1, &FractalVars::UseMoivre, B16(1)}}) {
        Model fresh;
        fresh.startUp();
        fresh.fractal.setValue(h.control, h.value);
        EXPECT_EQ(fresh.fractal.vars.*h.variable, h.expected)
            << spec(h.control).name << " " << h.value;
    }
}

TEST(FractalPanel, CaptionsMarkerMmAndOptions) // QWA: in the window suite, as the user chooses it
{
    Model m;
    m.startUp();
    FractalPanel &p = m.fractal;
    m.marker.Visible = false;
    p.setValue(Control::MM, 10);
    // The size does not show the marker; the centre sliders do, and place it.
    p.setValue(Control::Slider3, 0);
    EXPECT_EQ(p.label2Caption(), QStringLiteral("Оси  10"));
    EXPECT_EQ(p.frame1Caption(), QStringLiteral("Размер  0"));
    EXPECT_FALSE(m.marker.Visible);
    p.setValue(Control::Slider2, 10);
    p.setValue(Control::Slider1, 40);
    EXPECT_TRUE(m.marker.Visible);
    EXPECT_EQ(m.marker.Left, 940);
    EXPECT_EQ(m.marker.Top, 3940);
    p.setValue(Control::MUA, 1);
    EXPECT_TRUE(p.mmEnabled());
    p.setValue(Control::MUA, 0);
    EXPECT_FALSE(p.mmEnabled());
    // Selecting the selected option stores Detail again; the options form a group.
    p.vars.Detail.set32(77);
    p.setValue(Control::Option2, 1);
    EXPECT_EQ(p.vars.Detail, B16(50));
    p.setValue(Control::Option4, 1);
    EXPECT_EQ(p.value(Control::Option2), 0);
    EXPECT_EQ(p.value(Control::Option4), 1);
}

TEST(TextRule, GivesTheValueAndRewritesOnlyWhenTheTextDoesNotShowIt)
{
    const std::vector<Rule> rules = {
        // The wrap by max + 1 (sign of the dividend), then the lower clamp.
        {L, "3000", 3000, nullptr},
        {L, "3001", 1, "1"},
        {L, "3500", 499, "499"},
        {L, "-5", 1, "1"},
        {L, "-3006", 1, "1"},
        {Num, "0", 1, "1"},
        {Num, "25", 4, "4"},
        {Num, "21", 1, "1"},
        {Num, "20", 20, nullptr},
        {Scal, "12", 1, "1"},
        {Scal, "11", 1, "1"},
        {Scal, "10", 10, nullptr},
        // Rounding half to even; a text that shows the value is left alone.
        {L, "12.5", 12, "12"},
        {L, "13.5", 14, "14"},
        {L, "12.49", 12, "12"},
        {L, "12.0", 12, nullptr},
        {Num, "0.5", 1, "1"},
        {Num, "1.5", 2, "2"},
        // The amplitude shows its value less 50: 510 wraps to 9, -30 gives 20, both raised to 50.
        {Ampl, "450", 500, nullptr},
        {Ampl, "0", 50, nullptr},
        {Ampl, "460", 50, "0"},
        {Ampl, "-30", 50, "0"},
        {Ampl, "-50", 50, "0"},
        {Ampl, "449.5", 500, "450"},
        {Ampl, "буквы", 50, nullptr},
        {Ampl, "", 50, nullptr},
        // Reading: blanks skipped everywhere, the number read up to what cannot continue it.
        {Num, "letters", 1, "1"},
        {L, "", 1, nullptr},
        {L, " 700 ", 700, nullptr},
        {L, "\t 7 0 0", 700, nullptr},
        {L, "+8", 8, nullptr},
        {L, "- 8", 1, "1"},
        {L, "12abc", 12, nullptr},
        {L, "12.5abc", 12, "12"},
        {L, "7,6", 7, nullptr},
        {L, "1e3", 1000, nullptr},
        {L, "1E+3", 1000, nullptr},
        {L, "25e-1", 2, "2"},
        {L, "1e", 1, nullptr},
        {L, "5e+x", 5, nullptr},
        {L, ".5e3", 500, nullptr},
        {L, "5.", 5, nullptr},
        {L, ".", 1, "1"},
        {L, "-", 1, "1"},
        {L, "0x10", 1, "1"},
        {L, "&H10", 1, "1"},
        {L, "٣", 1, "1"},
        // Beyond 32 bits a number counts as the nearest bound:
        // 2147483647 mod 3001 = 1058, mod 501 = 253.
        {L, "1e12", 1058, "1058"},
        {L, "4294967296", 1058, "1058"},
        {L, "1e400", 1058, "1058"},
        {L, "1e99999999999999999999", 1058, "1058"},
        {L, "-1e12", 1, "1"},
        {L, "-1e400", 1, "1"},
        {L, "1e-400", 1, "1"},
        {L, "0.000e999", 1, "1"},
        {L, "inf", 1, "1"},
        {L, "nan", 1, "1"},
        {Ampl, "1e12", 253, "203"},
        {Ampl, "-1e400", 50, "0"},
        {Ampl, "inf", 50, nullptr},
        {Num, "1e12", 1, "1"},
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
}

TEST(TextRule, StartUpTextsAndTheTextFollowsTheSpinnerOnRelease)
{
    InterferencePanel p;
    p.startUp();
    EXPECT_EQ(std::vector<int>({p.value(Ampl), p.value(Scal), p.value(Num), p.value(L)}),
        std::vector<int>({100, 7, 7, 700}));
    EXPECT_EQ(QStringList({p.text(Ampl), p.text(Scal), p.text(Num), p.text(L)}),
        QStringList({"50", "7", "7", "700"}));
    p.setSpinner(L, 710);
    p.setSpinner(Ampl, 600);                // clamped to the range
    p.setText(Scal, QStringLiteral(" 5 ")); // a blank-led text, as a loaded file writes it, stays
    EXPECT_EQ(
        QStringList({p.text(L), p.text(Ampl), p.text(Scal)}), QStringList({"700", "50", " 5 "}));
    for (Pair pair : {L, Ampl, Scal}) // a release writes the value, less 50 for the amplitude
        p.released(pair);
    EXPECT_EQ(
        QStringList({p.text(L), p.text(Ampl), p.text(Scal)}), QStringList({"710", "450", "5"}));
    EXPECT_EQ(p.value(L), 710);
    EXPECT_EQ(p.value(Ampl), 500);
    p.setText(Ampl, QString()); // an empty text stays empty until a release
    p.released(Ampl);
    EXPECT_EQ(p.text(Ampl), QStringLiteral("0"));
    EXPECT_EQ(p.value(Ampl), 50);
}

// At Detail 100: a fractal or map of 50 columns of 50 cells, 3-D rows of 61 points, rainbow
// passes of 350 rings.
TEST(RunControl, Scenarios)
{
    const std::vector<Scenario> scenarios = {
        {"from idle to the end", Fractal, {}, 2500,
            {{1, -1, true, 1}, {51, 0, true, 1}, {119, 2, true, 1}, {2500, 96, true, 1}}},
        {"the map from idle", Map, {}, 2500,
            {{51, 0, true, 1}, {101, 2, true, 1}, {2451, 96, true, 1}}},
        {"a second press: the column ends", Fractal, {{120, Fractal}}, 150,
            {{119, 2, true, 1}, {121, -1, false, 1}}},
        {"another command stops it too", Fractal, {{120, Map}}, 150,
            {{121, -1, false, 1}, {150, -1, false, 1}}},
        {"a click: reset only when the column ends", Fractal, {{120, Click}}, 150,
            {{121, 2, false, 1}, {150, 2, false, 1}}},
        {"a start while the column ends runs inside it", Fractal, {{120, Fractal}, {125, Fractal}},
            125 + 2500 + 25,
            {{126, -1, true, 1}, {176, 0, true, 1}, {2625, 96, true, 1}, {2626, -1, false, 1}}},
        // A press in the second row or pass: the nested run sets the pen back to 1 for the rest.
        {"3-D, a press", Solid, {{91, Solid}}, 122,
            {{91, 0, true, 50}, {92, -1, false, 1}, {122, -1, false, 1}}},
        {"3-D, a click: the row ends with the wide pen", Solid, {{91, Click}}, 122,
            {{92, 0, false, 50}, {122, 0, false, 50}}},
        {"3-D, a map inside the finishing row", Solid, {{71, Click}, {81, Map}}, 81 + 2500 + 41,
            {{82, 0, true, 50}, {2582, -1, false, 50}}},
        {"rainbow, a press", Rainbow, {{380, Rainbow}}, 700,
            {{380, -1, true, 2}, {381, -1, false, 1}, {700, -1, false, 1}}},
        {"rainbow, a click", Rainbow, {{380, Click}}, 700,
            {{381, -1, false, 2}, {700, -1, false, 2}}},
        {"rainbow, a map inside the finishing pass", Rainbow, {{360, Click}, {370, Map}},
            370 + 2500 + 330, {{371, -1, true, 2}, {2871, -1, false, 2}}},
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
                    EXPECT_FALSE(m.run.Running);
                    EXPECT_TRUE(m.surface.Image() == before) << "a click drew";
                    return;
                }
                // A start clears: the pixel (10, 200), off the first element, is white after it.
                if (!stopping)
                    s.plan[s.elements + 1] = [&] {
                        EXPECT_EQ(m.surface.pixel(10, 200), White) << "at " << s.elements;
                    };
                // Then the marker is hidden, the flag down, the caption reset; a stop draws
                // nothing.
                m.marker.Visible = true;
                m.startStop(*act.press);
                EXPECT_FALSE(m.marker.Visible);
                EXPECT_FALSE(m.run.Running);
                EXPECT_EQ(m.run.status.caption(), QStringLiteral("Дивограф"));
                EXPECT_TRUE(!stopping || m.surface.Image() == before) << "a stop drew";
            };
        m.marker.Visible = true;
        m.startStop(sc.drawing);
        EXPECT_EQ(s.elements, sc.elements);
        for (const Look &l : sc.looks) {
            const QString caption = l.percent < 0 ? QStringLiteral("Дивограф")
                                                  : QStringLiteral("Дивограф  %1%").arg(l.percent);
            EXPECT_EQ(s.at(l.at).caption, caption) << "at " << l.at;
            EXPECT_EQ(s.at(l.at).running, l.running) << "at " << l.at;
            EXPECT_EQ(s.at(l.at).drawWidth, l.pen) << "at " << l.at;
        }
        EXPECT_FALSE(m.run.Running);
        EXPECT_EQ(m.run.status.caption(), QStringLiteral("Дивограф"));
        EXPECT_EQ(m.run.status.progress(), 0);
        EXPECT_EQ(m.surface.DrawWidth(), 1);
        EXPECT_FALSE(m.marker.Visible);
        EXPECT_EQ(m.drawingsOnStack(), 0);
    }
}

// Restarts faster than the columns end: each start finds the drawing finishing its column and
// runs a new one inside it, until the limit ignores the start (and clears nothing).
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
        const QImage before = m.surface.Image();
        m.startStop(Drawing::Fractal);
        ignored += m.drawingsOnStack() == MaxNestedDrawings;
        EXPECT_TRUE(m.drawingsOnStack() < MaxNestedDrawings
            || (!m.run.Running && m.surface.Image() == before));
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
        map.model.interference.setText(Pair::Num, QStringLiteral("3"));
        map.model.startStop(Drawing::Interference3D);
        EXPECT_EQ(map.model.holes.count(), 3);
        EXPECT_EQ(map.model.surface.DrawWidth(), 1);
    };
    map.plan[120] = [&] { map.model.interference.setText(Pair::Num, QStringLiteral("20")); };
    map.model.startStop(Drawing::Interference);
    const Surface &t = map.model.surface;
    const auto cell = [&](int x, int y) {
        return t.pixel(t.toPixel(10 * x + 50.0f), t.toPixel(10 * y + 50.0f));
    };
    EXPECT_EQ(std::vector<Colour>({cell(21, 91), cell(21, 101), cell(21, 491), cell(31, 1)}),
        std::vector<Colour>({RGB(0, 0, 0), RGB(65, 0, 0), RGB(44, 0, 0), White}));
}
