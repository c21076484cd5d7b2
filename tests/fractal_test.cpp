// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The fractal panel's handlers, the escape iteration with its golden points, and Render.

#include "core/model.h"
#include "core/fractal/panel.h"
#include "core/fractal/render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace divograf;

namespace {

struct Started
{
    Started() { model.startUp(); }
    FractalPanel &panel() { return model.fractal; }
    Model model;
};

// The centre pixel of the cell whose corner is (x, y) in surface units.
Colour cellCentre(const Surface &s, int x, int y, int detail)
{
    return s.pixel(s.toPixel(x + detail / 2.0f), s.toPixel(y + detail / 2.0f));
}

constexpr StoredInt B16(int v) { return {v, Width::Bits16}; }
constexpr StoredInt B32(int v) { return {v, Width::Bits32}; }

} // namespace

TEST(FractalPanel, StartUpDefaultsAndTheirWidths)
{
    Started m;
    const FractalVars &v = m.panel().vars;
    EXPECT_EQ(std::vector<StoredInt>({v.CenterX, v.CenterY, v.SizeFactor, v.Detail, v.Coef, v.RedCorr, v.GreenCorr,
                                      v.BlueCorr, v.Squarings, v.Cube, v.UseMoivre, v.Axes}),
              std::vector<StoredInt>({B16(2500), B16(2500), B16(30), B16(50), B16(2), B16(25), B16(24), B16(23),
                                      B32(1), B16(0), B16(0), B32(7)}));
    EXPECT_FALSE(m.panel().mmEnabled());
    EXPECT_EQ(m.panel().value(Control::Box), 1);
    EXPECT_EQ(m.panel().value(Control::Option2), 1);
    // Start-up neither shows nor moves the marker, nor touches the captions.
    EXPECT_EQ(m.model.marker.Left, 2411);
    EXPECT_EQ(m.model.marker.Top, 2411);
    EXPECT_EQ(m.panel().label2Caption(), QStringLiteral("Оси 7"));
    EXPECT_EQ(m.panel().frame1Caption(), QStringLiteral("Размер 30"));
}

struct HandlerCase
{
    Control control;
    int value;
    StoredInt FractalVars::*variable;
    StoredInt expected;
};

class Handlers : public testing::TestWithParam<HandlerCase> {};

TEST_P(Handlers, AssignTheDerivedValueWithTheirWidth)
{
    Started m;
    const HandlerCase &c = GetParam();
    m.panel().setValue(c.control, c.value);
    EXPECT_EQ(m.panel().vars.*c.variable, c.expected);
}

// Slider handlers store 32-bit values, option and check box handlers 16-bit ones.
INSTANTIATE_TEST_SUITE_P(Table, Handlers, testing::Values(
    HandlerCase{Control::Rc, 200, &FractalVars::RedCorr, B32(0)}, HandlerCase{Control::Rc, 0, &FractalVars::RedCorr, B32(200)},
    HandlerCase{Control::Gc, 150, &FractalVars::GreenCorr, B32(50)}, HandlerCase{Control::Bc, 1, &FractalVars::BlueCorr, B32(199)},
    HandlerCase{Control::KFS, 0, &FractalVars::Coef, B32(10)}, HandlerCase{Control::KFS, 7, &FractalVars::Coef, B32(3)},
    HandlerCase{Control::Slider1, 40, &FractalVars::CenterY, B32(4000)},
    HandlerCase{Control::Slider2, 10, &FractalVars::CenterX, B32(1000)},
    HandlerCase{Control::Slider3, 0, &FractalVars::SizeFactor, B32(0)}, HandlerCase{Control::MM, 10, &FractalVars::Axes, B32(10)},
    // Values beyond a range are clamped as the slider would.
    HandlerCase{Control::Slider3, 99, &FractalVars::SizeFactor, B32(60)},
    HandlerCase{Control::Rc, -5, &FractalVars::RedCorr, B32(200)},
    // Setting a slider to the value it has is no change and runs no handler.
    HandlerCase{Control::Rc, 175, &FractalVars::RedCorr, B16(25)},
    HandlerCase{Control::Option1, 1, &FractalVars::Detail, B16(100)},
    HandlerCase{Control::Option3, 1, &FractalVars::Detail, B16(20)},
    HandlerCase{Control::Option4, 1, &FractalVars::Detail, B16(10)},
    HandlerCase{Control::KUB, 1, &FractalVars::Cube, B16(1)}, HandlerCase{Control::MUA, 1, &FractalVars::UseMoivre, B16(1)}));

TEST(FractalPanel, CaptionsMarkerMmAndQwa)
{
    Started m;
    FractalPanel &p = m.panel();
    p.setValue(Control::MM, 10);
    EXPECT_EQ(p.label2Caption(), QStringLiteral("Оси  10"));
    p.setValue(Control::Slider3, 0);
    EXPECT_EQ(p.frame1Caption(), QStringLiteral("Размер  0"));

    // The centre sliders show and place the marker; Slider3 does not show it.
    Marker &marker = m.model.marker;
    marker.Visible = false;
    p.setValue(Control::Slider3, 10);
    EXPECT_FALSE(marker.Visible);
    p.setValue(Control::Slider2, 10);
    EXPECT_TRUE(marker.Visible);
    EXPECT_EQ(marker.Left, 940);
    marker.Visible = false;
    p.setValue(Control::Slider1, 40);
    EXPECT_TRUE(marker.Visible);
    EXPECT_EQ(marker.Top, 3940);

    p.setValue(Control::MUA, 1);
    EXPECT_TRUE(p.mmEnabled());
    p.setValue(Control::MUA, 0);
    EXPECT_FALSE(p.mmEnabled());

    p.setValue(Control::QWA, 4); // a value set by the program, as Load does
    EXPECT_EQ(p.value(Control::QWA), 4);
    EXPECT_EQ(p.vars.Squarings.value, 1);
    p.clickQwa();
    EXPECT_EQ(p.vars.Squarings, B32(4));

    // Options form one group; selecting the selected one stores Detail again.
    p.vars.Detail.set32(77);
    p.setValue(Control::Option2, 1);
    EXPECT_EQ(p.vars.Detail, B16(50));
    p.setValue(Control::Option4, 1);
    EXPECT_EQ(p.value(Control::Option2), 0);
    EXPECT_EQ(p.value(Control::Option4), 1);
}

TEST(EscapeCount, GoldenPointsOfTheStartUpParameters)
{
    const Formula f; // QWA 1, no cube, no De Moivre, Coef 2
    double angle = 0;
    // s = 3100, origin (2500, 2500)
    const int k1 = escapeCount((1 - 2500) / 3100.0, (2500 - 2501) / 3100.0, f, angle);
    EXPECT_EQ(k1, 7);
    EXPECT_EQ(cellColour(k1, 25, 24, 23), RGB(175, 168, 161));
    const int k2 = escapeCount((1 - 2500) / 3100.0, (2500 - 1) / 3100.0, f, angle);
    EXPECT_EQ(k2, 13);
    EXPECT_EQ(cellColour(k2, 25, 24, 23), RGB(70, 57, 44));
    EXPECT_EQ(cellColour(46, 25, 24, 23), RGB(130, 84, 38));
    // Without any step nothing moves, so no point escapes.
    EXPECT_EQ(escapeCount(0.7, -0.4, Formula{0, false, false, 2, 7}, angle), 46);
    EXPECT_EQ(cellColour(3, 200, 0, 100), RGB(600 % 255, 0, 300 % 255));
}

TEST(EscapeCount, DeMoivreStep)
{
    const Formula moivre{0, false, true, 2, 7};
    // z = 0 stays 0 under the power and takes the shift.
    double re = 0, im = 0, angle = 0;
    EXPECT_FALSE(iterate(re, im, moivre, angle));
    EXPECT_EQ(re, 0.254164);
    EXPECT_EQ(im, -0.81);
    // re = 0 keeps the previous angle: t = 7 * 0.5.
    re = 0, im = 0.5, angle = 0.5;
    iterate(re, im, moivre, angle);
    EXPECT_EQ(angle, 0.5);
    EXPECT_DOUBLE_EQ(re, std::exp(7 * std::log(0.5)) * std::cos(3.5) + 0.254164);
    // re < 0 adds the five-decimal half turn, not pi.
    re = -1, im = 0, angle = 0;
    iterate(re, im, moivre, angle);
    EXPECT_EQ(angle, 3.14159);
    // A powered modulus above 1000 escapes before the squaring steps of that iteration:
    // |z| = 3, 3^7 = 2187.
    re = 3, im = 0, angle = 0;
    EXPECT_TRUE(iterate(re, im, Formula{5, true, true, 2, 7}, angle));
    EXPECT_DOUBLE_EQ(re, 2187 + 0.254164);
    angle = 0;
    EXPECT_EQ(escapeCount(3, 0, Formula{5, true, true, 2, 7}, angle), 2);
}

TEST(EscapeCount, SquaringCubeEscapeAndOverflow)
{
    double re = 0.5, im = 0.25, angle = 0;
    iterate(re, im, Formula{1, false, false, 3, 7}, angle);
    EXPECT_DOUBLE_EQ(re, 0.25 - 0.0625 - 0.053);
    EXPECT_DOUBLE_EQ(im, 3 * 0.5 * 0.25 + 0.85);
    re = 0.5, im = 0.25;
    iterate(re, im, Formula{0, true, false, 2, 7}, angle); // z^3, no shift
    EXPECT_DOUBLE_EQ(re, 0.5 * (0.25 - 3 * 0.0625));
    EXPECT_DOUBLE_EQ(im, 0.25 * (3 * 0.25 - 0.0625));
    // The escape test follows the steps: |re| 1400 stays, beyond escapes.
    re = 1400, im = 0;
    EXPECT_FALSE(iterate(re, im, Formula{0, false, false, 2, 7}, angle));
    re = 1400.5, im = 3010;
    EXPECT_TRUE(iterate(re, im, Formula{0, false, false, 2, 7}, angle));
    re = 0, im = 3010.5;
    EXPECT_TRUE(iterate(re, im, Formula{0, false, false, 2, 7}, angle));
    // QWA 5 with the cube and Coef 10 overflows to infinity and NaN within one iteration.
    re = 1300, im = 3000;
    EXPECT_TRUE(iterate(re, im, Formula{5, true, false, 10, 7}, angle));
    EXPECT_EQ(escapeCount(1300, 3000, Formula{5, true, false, 10, 7}, angle), 2);
}

TEST(Render, StartUpCellsCarryTheirColourAtTheirCentre)
{
    Started m;
    m.model.startStop(Drawing::Fractal);
    const Surface &s = m.model.surface;
    EXPECT_EQ(cellCentre(s, 1, 2501, 50), RGB(175, 168, 161));
    EXPECT_EQ(cellCentre(s, 1, 1, 50), RGB(70, 57, 44));
}

TEST(Render, UntickedBoxDrawsDiagonalsOverWhatWasThere)
{
    Started m;
    m.panel().setValue(Control::Box, 0);
    m.panel().setValue(Control::Option1, 1);
    m.model.startStop(Drawing::Fractal);
    const Surface &s = m.model.surface;
    // The diagonal of the cell at (2401, 2401) passes its centre; the off-diagonal corner
    // keeps the white of the clearing.
    EXPECT_NE(cellCentre(s, 2401, 2401, 100), White);
    EXPECT_EQ(s.pixel(s.toPixel(2401 + 80), s.toPixel(2401 + 20)), White);
}
