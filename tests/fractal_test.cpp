#include "app/model.h"
#include "fractal/panel.h"
#include "fractal/render.h"

#include <gtest/gtest.h>

#include <cmath>

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

} // namespace

TEST(FractalPanel, StartUpDefaultsAndTheirWidths)
{
    Started m;
    const FractalVars &v = m.panel().vars;
    EXPECT_EQ(v.CenterX, (StoredInt{2500, Width::Bits16}));
    EXPECT_EQ(v.CenterY, (StoredInt{2500, Width::Bits16}));
    EXPECT_EQ(v.SizeFactor, (StoredInt{30, Width::Bits16}));
    EXPECT_EQ(v.Detail, (StoredInt{50, Width::Bits16}));
    EXPECT_EQ(v.Coef, (StoredInt{2, Width::Bits16}));
    EXPECT_EQ(v.RedCorr, (StoredInt{25, Width::Bits16}));
    EXPECT_EQ(v.GreenCorr, (StoredInt{24, Width::Bits16}));
    EXPECT_EQ(v.BlueCorr, (StoredInt{23, Width::Bits16}));
    EXPECT_EQ(v.Squarings, (StoredInt{1, Width::Bits32}));
    EXPECT_EQ(v.Cube, (StoredInt{0, Width::Bits16}));
    EXPECT_EQ(v.UseMoivre, (StoredInt{0, Width::Bits16}));
    EXPECT_EQ(v.Axes, (StoredInt{7, Width::Bits32}));
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

class SliderHandlers : public testing::TestWithParam<HandlerCase> {};

TEST_P(SliderHandlers, AssignTheDerivedValueAs32Bit)
{
    Started m;
    const HandlerCase &c = GetParam();
    m.panel().setValue(c.control, c.value);
    EXPECT_EQ(m.panel().vars.*c.variable, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SliderHandlers, testing::Values(
    HandlerCase{Control::Rc, 200, &FractalVars::RedCorr, {0, Width::Bits32}},
    HandlerCase{Control::Rc, 0, &FractalVars::RedCorr, {200, Width::Bits32}},
    HandlerCase{Control::Rc, 180, &FractalVars::RedCorr, {20, Width::Bits32}},
    HandlerCase{Control::Gc, 150, &FractalVars::GreenCorr, {50, Width::Bits32}},
    HandlerCase{Control::Bc, 1, &FractalVars::BlueCorr, {199, Width::Bits32}},
    HandlerCase{Control::KFS, 0, &FractalVars::Coef, {10, Width::Bits32}},
    HandlerCase{Control::KFS, 7, &FractalVars::Coef, {3, Width::Bits32}},
    HandlerCase{Control::Slider1, 40, &FractalVars::CenterY, {4000, Width::Bits32}},
    HandlerCase{Control::Slider2, 10, &FractalVars::CenterX, {1000, Width::Bits32}},
    HandlerCase{Control::Slider3, 0, &FractalVars::SizeFactor, {0, Width::Bits32}},
    HandlerCase{Control::MM, 10, &FractalVars::Axes, {10, Width::Bits32}},
    // Values beyond a range are clamped as the slider would.
    HandlerCase{Control::Slider3, 99, &FractalVars::SizeFactor, {60, Width::Bits32}},
    HandlerCase{Control::Rc, -5, &FractalVars::RedCorr, {200, Width::Bits32}},
    // Setting a slider to the value it has is no change and runs no handler.
    HandlerCase{Control::Rc, 175, &FractalVars::RedCorr, {25, Width::Bits16}},
    // Option and check box handlers store 16-bit values.
    HandlerCase{Control::Option1, 1, &FractalVars::Detail, {100, Width::Bits16}},
    HandlerCase{Control::Option3, 1, &FractalVars::Detail, {20, Width::Bits16}},
    HandlerCase{Control::Option4, 1, &FractalVars::Detail, {10, Width::Bits16}},
    HandlerCase{Control::KUB, 1, &FractalVars::Cube, {1, Width::Bits16}},
    HandlerCase{Control::MUA, 1, &FractalVars::UseMoivre, {1, Width::Bits16}}));

TEST(FractalPanel, CaptionsFollowTheirSlidersWithTwoBlanks)
{
    Started m;
    m.panel().setValue(Control::MM, 10);
    EXPECT_EQ(m.panel().label2Caption(), QStringLiteral("Оси  10"));
    m.panel().setValue(Control::Slider3, 0);
    EXPECT_EQ(m.panel().frame1Caption(), QStringLiteral("Размер  0"));
    m.panel().setValue(Control::Slider3, 60);
    EXPECT_EQ(m.panel().frame1Caption(), QStringLiteral("Размер  60"));
}

TEST(FractalPanel, CentreSlidersShowAndPlaceTheMarker)
{
    Started m;
    m.model.marker.Visible = false;
    m.panel().setValue(Control::Slider2, 10);
    EXPECT_TRUE(m.model.marker.Visible);
    EXPECT_EQ(m.model.marker.Left, 940);
    m.model.marker.Visible = false;
    m.panel().setValue(Control::Slider1, 40);
    EXPECT_TRUE(m.model.marker.Visible);
    EXPECT_EQ(m.model.marker.Top, 3940);
    m.model.marker.Visible = false;
    m.panel().setValue(Control::Slider3, 10);
    EXPECT_FALSE(m.model.marker.Visible);
}

TEST(FractalPanel, MuaEnablesMmAndQwaReachesSquaringsOnlyOnAClick)
{
    Started m;
    m.panel().setValue(Control::MUA, 1);
    EXPECT_TRUE(m.panel().mmEnabled());
    m.panel().setValue(Control::MUA, 0);
    EXPECT_FALSE(m.panel().mmEnabled());
    EXPECT_EQ(m.panel().vars.UseMoivre, (StoredInt{0, Width::Bits16}));

    m.panel().setValue(Control::QWA, 4); // the keyboard
    EXPECT_EQ(m.panel().value(Control::QWA), 4);
    EXPECT_EQ(m.panel().vars.Squarings.value, 1);
    m.panel().clickQwa();
    EXPECT_EQ(m.panel().vars.Squarings, (StoredInt{4, Width::Bits32}));

    // Options form one group; selecting the selected one stores Detail again.
    m.panel().vars.Detail.set32(77);
    m.panel().setValue(Control::Option2, 1);
    EXPECT_EQ(m.panel().vars.Detail, (StoredInt{50, Width::Bits16}));
    m.panel().setValue(Control::Option4, 1);
    EXPECT_EQ(m.panel().value(Control::Option2), 0);
    EXPECT_EQ(m.panel().value(Control::Option4), 1);
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

TEST(EscapeCount, SquaringAndCubeSteps)
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
}

TEST(EscapeCount, OverflowCountsAsEscaped)
{
    // QWA 5 with the cube and Coef 10 overflows to infinity and NaN within one iteration.
    double re = 1300, im = 3000, angle = 0;
    EXPECT_TRUE(iterate(re, im, Formula{5, true, false, 10, 7}, angle));
    angle = 0;
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

TEST(Render, HeavyOverflowingSettingDrawsEveryCell)
{
    Started m;
    for (auto [c, v] : {std::pair{Control::QWA, 5}, {Control::KUB, 1}, {Control::KFS, 0}, {Control::Option1, 1}})
        m.panel().setValue(c, v);
    m.model.startStop(Drawing::Fractal);
    for (int x = 1; x <= 4901; x += 100)
        for (int y = 1; y <= 4901; y += 100) {
            const Colour c = cellCentre(m.model.surface, x, y, 100);
            bool computed = false;
            for (int k = 2; k <= 46; ++k)
                computed = computed || c == cellColour(k, 25, 24, 23);
            ASSERT_TRUE(computed) << x << "," << y;
        }
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
