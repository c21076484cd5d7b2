// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The 2-D map and the 3-D surface against the formulas written out here a second time, and what
// happens to the hole tables when N changes or a command comes during the map.

#include "core/interference/drawings.h"
#include "scripted.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace divograf;
using divograf::testing_support::ScriptedModel;

namespace {

// A set of parameters as the user would make them.
struct Scene
{
    int detail = 50;                     // 100, 50, 20 or 10
    int A = 100, S = 7, N = 7, L = 700;
    int centreX = 2500, centreY = 2500;  // surface units, 1000..4000 by 100
    int red = 25, green = 24, blue = 23; // colour corrections 0..200
};

void PrintTo(const Scene &s, std::ostream *os)
{
    *os << "Detail " << s.detail << " A " << s.A << " S " << s.S << " N " << s.N << " L " << s.L << " centre "
        << s.centreX << "/" << s.centreY << " corrections " << s.red << "/" << s.green << "/" << s.blue;
}

// Sets the scene through the controls: texts typed, sliders moved, an option clicked.
void setUp(Model &m, const Scene &s)
{
    m.interference.setText(Pair::Ampl, QString::number(s.A - 50));
    m.interference.setText(Pair::Scal, QString::number(s.S));
    m.interference.setText(Pair::Num, QString::number(s.N));
    m.interference.setText(Pair::L, QString::number(s.L));
    m.fractal.setValue(Control::Slider2, s.centreX / 100);
    m.fractal.setValue(Control::Slider1, s.centreY / 100);
    m.fractal.setValue(Control::Rc, 200 - s.red);
    m.fractal.setValue(Control::Gc, 200 - s.green);
    m.fractal.setValue(Control::Bc, 200 - s.blue);
    m.fractal.setValue(s.detail == 100 ? Control::Option1 : s.detail == 50 ? Control::Option2
                       : s.detail == 20 ? Control::Option3 : Control::Option4, 1);
}

// The channel sums of one grid point with `placed` holes on the circle, of which the first
// `used` are summed. sign 2 for the map, -2 for the surface (which also divides green and blue
// by 25 and sums a height).
struct Sums
{
    int r = 0, g = 0, b = 0;
    double h = 0;
};

Sums reference(const Scene &s, double x, double y, int sign, int placed, int used)
{
    const double pi = 4 * std::atan(1.0);
    const double lr = 0.001 + s.red * 1.01 / 25;
    const double lg = 0.001 + s.green * 1.005 / (sign > 0 ? 24 : 25);
    const double lb = 0.001 + s.blue * 1.0 / (sign > 0 ? 23 : 25);
    Sums out;
    for (int k = 1; k <= used; ++k) {
        const double angle = 2 * pi * k / placed;
        const double hx = s.centreX / 10.0 + 100 * std::cos(angle);
        const double hy = s.centreY / 10.0 + 100 * std::sin(angle);
        const double path = sign * std::sqrt(std::pow(x - hx, 2) + std::pow(y - hy, 2) + std::pow(s.L, 2)) / s.S;
        out.r += static_cast<int>(std::floor(s.A * std::sin(path / lr)));
        out.g += static_cast<int>(std::floor(s.A * std::sin(path / lg)));
        out.b += static_cast<int>(std::floor(s.A * std::sin(path / lb)));
        out.h += s.A * std::sin(path) / 5;
    }
    return out;
}

Colour mapColour(const Scene &s, int x, int y, int placed = 0, int used = 0)
{
    const Sums v = reference(s, x, y, 2, placed ? placed : s.N, used ? used : s.N);
    auto clamp = [](int c) { return std::clamp(c, 0, 255); };
    return RGB(clamp(v.r), clamp(v.g), clamp(v.b));
}

// The pixel in the middle of the 2-D cell of grid point (x, y).
Colour cellMiddle(const Surface &surface, int x, int y, int detail = 100)
{
    return surface.pixel(surface.toPixel(10 * x + detail / 2.0f), surface.toPixel(10 * y + detail / 2.0f));
}

// A started-up model at Detail 100: 50 columns of 50 cells, rows of 61 points.
struct Coarse : ScriptedModel
{
    Coarse() { model.fractal.setValue(Control::Option1, 1); }
};

class MapScene : public testing::TestWithParam<Scene> {};

} // namespace

TEST(Waves, WavelengthsOfTheStartUpCorrections)
{
    Model m;
    m.startUp();
    const Wavelengths flat = wavelengths2D(m.fractal.vars), solid = wavelengths3D(m.fractal.vars);
    EXPECT_DOUBLE_EQ(flat.red, 1.011);
    EXPECT_DOUBLE_EQ(flat.green, 1.006);
    EXPECT_DOUBLE_EQ(flat.blue, 1.001);
    EXPECT_DOUBLE_EQ(solid.red, 1.011);
    EXPECT_DOUBLE_EQ(solid.green, 0.9658);
    EXPECT_DOUBLE_EQ(solid.blue, 0.921);
    m.fractal.setValue(Control::Rc, 200); // correction 0: the smallest wavelength, never 0
    EXPECT_DOUBLE_EQ(wavelengths2D(m.fractal.vars).red, 0.001);
}

// Numbers worked out by hand from the formulas (start-up parameters unless stated).
TEST(Map, GoldenCells)
{
    ScriptedModel s;
    s.model.startStop(Drawing::Interference);
    const Surface &f = s.model.surface;
    EXPECT_EQ(cellMiddle(f, 1, 1, 50), RGB(0, 0, 13));       // sums -209, -217, 13
    EXPECT_EQ(cellMiddle(f, 101, 201, 50), RGB(0, 0, 9));    // -156, -140, 9
    EXPECT_EQ(cellMiddle(f, 251, 251, 50), RGB(0, 0, 255));  // -663, -167, 482
    EXPECT_EQ(cellMiddle(f, 351, 251, 50), RGB(0, 0, 0));    // -182, -283, -125
    EXPECT_EQ(cellMiddle(f, 491, 491, 50), RGB(94, 234, 102));

    ScriptedModel one;
    setUp(one.model, {50, 500, 1, 1, 1});
    one.model.startStop(Drawing::Interference);
    EXPECT_EQ(cellMiddle(one.model.surface, 251, 151, 50), RGB(246, 255, 0)); // 246, 474, -70
    EXPECT_EQ(cellMiddle(one.model.surface, 351, 251, 50), RGB(0, 0, 0));    // -141, -149, -157 next to the hole
    EXPECT_EQ(cellMiddle(one.model.surface, 151, 251, 50), RGB(0, 0, 255));  // -416, -102, 489
}

TEST_P(MapScene, EveryCellMiddleHasTheColourOfTheFormula)
{
    const Scene &scene = GetParam();
    ScriptedModel s;
    setUp(s.model, scene);
    s.model.startStop(Drawing::Interference);
    const int step = scene.detail / 10;
    int cells = 0;
    for (int x = 1; x <= 500; x += step)
        for (int y = 1; y <= 500; y += step, ++cells)
            ASSERT_EQ(cellMiddle(s.model.surface, x, y, scene.detail), mapColour(scene, x, y)) << x << "," << y;
    EXPECT_EQ(s.elements, cells);
    // The band 0..10 along the left and top edges is never painted.
    for (int i = 0; i < s.model.surface.pixels(); ++i) {
        ASSERT_EQ(s.model.surface.pixel(0, i), White);
        ASSERT_EQ(s.model.surface.pixel(i, 0), White);
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, MapScene, testing::Values(
    Scene{100}, Scene{50},
    Scene{100, 500, 1, 1, 1, 1000, 4000, 0, 200, 100},
    Scene{50, 50, 10, 20, 3000, 4000, 1000, 200, 0, 7},
    Scene{100, 230, 3, 3, 10, 2000, 3000, 1, 2, 3},
    Scene{50, 370, 2, 13, 150, 3100, 2200, 120, 60, 30},
    Scene{100, 90, 5, 2, 1234, 2500, 2500, 199, 50, 80}));

TEST(Map, UntickedBoxDrawsOneDiagonalPerCell)
{
    Coarse s;
    s.model.fractal.setValue(Control::Box, 0);
    s.model.startStop(Drawing::Interference);
    const Surface &f = s.model.surface;
    for (int x = 11; x <= 491; x += 60)
        for (int y = 11; y <= 491; y += 70) {
            const int px = f.toPixel(10.0f * x), py = f.toPixel(10.0f * y);
            EXPECT_EQ(f.pixel(px, py), mapColour(Scene{100}, x, y)) << x << "," << y; // the starting corner
            EXPECT_EQ(f.pixel(px + 4, py), White);                                    // above the diagonal
        }
}

TEST(Map, ProgressFollowsTheColumns)
{
    Coarse s;
    s.model.startStop(Drawing::Interference);
    ASSERT_EQ(s.elements, 2500);
    EXPECT_EQ(s.at(51).caption, QStringLiteral("Дивограф  0%"));  // after x = 1
    EXPECT_EQ(s.at(101).progress, 2);                             // after x = 11
    EXPECT_EQ(s.at(2451).caption, QStringLiteral("Дивограф  96%")); // after x = 481
    for (int n = 1; n <= 2500; ++n)
        ASSERT_EQ(s.at(n).drawWidth, 1);
    EXPECT_EQ(s.model.run.status.caption(), QStringLiteral("Дивограф"));
    EXPECT_EQ(s.model.run.status.progress(), 0);
}

TEST(Map, ParametersChangedInAYieldApplyFromTheNextCell)
{
    Coarse s;
    Scene after{100};
    after.A = 300, after.L = 20, after.S = 2;
    s.plan[60] = [&] { // column 2 (x = 11), cell 10 (y = 91)
        s.model.interference.setText(Pair::Ampl, QStringLiteral("250"));
        s.model.interference.setText(Pair::L, QStringLiteral("20"));
        s.model.interference.setText(Pair::Scal, QStringLiteral("2"));
    };
    s.model.startStop(Drawing::Interference);
    const Surface &f = s.model.surface;
    EXPECT_EQ(cellMiddle(f, 11, 91), mapColour(Scene{100}, 11, 91));
    EXPECT_EQ(cellMiddle(f, 11, 101), mapColour(after, 11, 101));
    EXPECT_EQ(cellMiddle(f, 491, 491), mapColour(after, 491, 491));
}

// N changed during the drawing: raised, the hole loop stays within the seven holes of the
// start; lowered, the cells after the change sum the first holes of the start's circle.
TEST(Map, NChangedDuringTheDrawingStaysWithinTheHolesOfTheStart)
{
    Coarse plain, raised, lowered;
    plain.model.startStop(Drawing::Interference);
    raised.plan[100] = [&] { raised.model.interference.setText(Pair::Num, QStringLiteral("20")); };
    raised.model.startStop(Drawing::Interference);
    EXPECT_EQ(raised.model.surface.Image(), plain.model.surface.Image());
    EXPECT_EQ(raised.model.holes.count(), 7);

    lowered.plan[100] = [&] { lowered.model.interference.setText(Pair::Num, QStringLiteral("3")); };
    lowered.model.startStop(Drawing::Interference);
    EXPECT_EQ(cellMiddle(lowered.model.surface, 11, 491), mapColour(Scene{100}, 11, 491, 7, 7));
    EXPECT_EQ(cellMiddle(lowered.model.surface, 21, 1), mapColour(Scene{100}, 21, 1, 7, 3));
    EXPECT_EQ(cellMiddle(lowered.model.surface, 301, 301), mapColour(Scene{100}, 301, 301, 7, 3));
}

// A nested stop command of an interference drawing re-creates the tables for the current N; the
// running drawing goes on with them, and a later raise of N stays within them.
TEST(Map, NestedStopRebuildsTheTablesAndTheDrawingGoesOnWithThem)
{
    Coarse s;
    s.plan[110] = [&] { // column 3 (x = 21), cell 10
        s.model.interference.setText(Pair::Num, QStringLiteral("3"));
        const QImage before = s.model.surface.Image();
        s.model.startStop(Drawing::Interference3D);
        EXPECT_EQ(s.model.surface.Image(), before); // no clearing, nothing drawn
        EXPECT_EQ(s.model.holes.count(), 3);
        EXPECT_EQ(s.model.surface.DrawWidth(), 1);
        EXPECT_EQ(s.model.run.status.caption(), QStringLiteral("Дивограф"));
    };
    s.plan[120] = [&] { s.model.interference.setText(Pair::Num, QStringLiteral("20")); };
    s.model.startStop(Drawing::Interference);
    EXPECT_EQ(s.elements, 150); // the rest of column 3, then the end
    Scene three{100};
    three.N = 3;
    EXPECT_EQ(cellMiddle(s.model.surface, 21, 91), mapColour(Scene{100}, 21, 91));
    EXPECT_EQ(cellMiddle(s.model.surface, 21, 101), mapColour(three, 21, 101));
    EXPECT_EQ(cellMiddle(s.model.surface, 21, 491), mapColour(three, 21, 491));
    EXPECT_EQ(cellMiddle(s.model.surface, 31, 1), White);
    EXPECT_FALSE(s.model.run.Running);
}

// ---- The 3-D surface ----

namespace {

struct Point
{
    int x;
    double y;
    Colour colour;
    double px, py;
};

// The points of the surface in drawing order, worked out from the formulas.
std::vector<Point> surfacePoints(const Scene &s)
{
    const double pi = 4 * std::atan(1.0);
    const int step = s.detail / 10;
    std::vector<Point> points;
    for (double y = -0.6 * s.A; y <= 510 + 0.6 * s.A; y += step)
        for (int x = -50; x <= 550; x += step) {
            const Sums v = reference(s, x, y, -2, s.N, s.N);
            const double px = x * std::cos(pi / 12) + v.h * std::sin(pi / 12);
            const double py = y + v.h * std::cos(pi / 12);
            points.push_back({x, y, RGB(std::abs(v.r), std::abs(v.g), std::abs(v.b)), px, py});
        }
    return points;
}

class SolidScene : public testing::TestWithParam<Scene> {};

} // namespace

TEST(Solid, VisibilityAndProgressOfARow)
{
    EXPECT_TRUE(projectedVisible(0, 0));
    EXPECT_TRUE(projectedVisible(-9.999, 509.999));
    EXPECT_FALSE(projectedVisible(-10, 100)); // strict on all four bounds
    EXPECT_FALSE(projectedVisible(510, 100));
    EXPECT_FALSE(projectedVisible(100, -10));
    EXPECT_FALSE(projectedVisible(100, 510));

    EXPECT_EQ(surfaceProgress(-60, 100), 0);
    EXPECT_EQ(surfaceProgress(570, 100), 100); // the last row at start-up
    EXPECT_EQ(surfaceProgress(810, 500), 100); // the last row of A = 500, s = 10
    EXPECT_EQ(surfaceProgress(3.0, 100), 10);  // 63 / 6.3
    EXPECT_EQ(surfaceProgress(-60, 50), 0);    // the amplitude lowered during the drawing ...
    EXPECT_EQ(surfaceProgress(810, 50), 100);  // ... cannot take the bar beyond 0..100
}

// Every point: drawn exactly when it is visible and not the first of its row, in one of the
// colours the formulas give; the rows and points, the pen and the progress as the view sees them.
TEST_P(SolidScene, PointsRowsPenAndColours)
{
    const Scene &scene = GetParam();
    ScriptedModel s;
    setUp(s.model, scene);
    s.model.startStop(Drawing::Interference3D);
    const std::vector<Point> points = surfacePoints(scene);
    ASSERT_EQ(s.elements, static_cast<int>(points.size()));
    const int perRow = 600 / (scene.detail / 10) + 1;
    std::uint64_t revision = s.at(1).revision; // the first point draws nothing
    std::set<Colour> colours{White};
    int drawn = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point &p = points[i];
        const auto &seen = s.at(static_cast<int>(i) + 1);
        const bool expectDrawn = p.x > -50 && -10 < p.px && p.px < 510 && -10 < p.py && p.py < 510;
        ASSERT_EQ(seen.revision != revision, expectDrawn) << i;
        revision = seen.revision;
        drawn += expectDrawn;
        if (expectDrawn)
            colours.insert(p.colour);
        ASSERT_EQ(seen.drawWidth, scene.detail * 5 / 10);
        if (i % perRow == 0 && i > 0) { // the first point of a row shows the row before
            const int percent = static_cast<int>(std::floor((points[i - 1].y + 0.6 * scene.A) / (0.012 * scene.A + 5.1)));
            ASSERT_EQ(seen.progress, percent) << i;
            ASSERT_EQ(seen.caption, QStringLiteral("Дивограф  %1%").arg(percent));
        }
    }
    EXPECT_GT(drawn, 0);
    const Surface &f = s.model.surface;
    for (int y = 0; y < f.pixels(); ++y)
        for (int x = 0; x < f.pixels(); ++x)
            ASSERT_TRUE(colours.count(f.pixel(x, y))) << x << "," << y;
    EXPECT_EQ(f.DrawWidth(), 1);
    EXPECT_EQ(s.model.run.status.progress(), 0);
    EXPECT_FALSE(s.model.run.Running);
}

INSTANTIATE_TEST_SUITE_P(Scenes, SolidScene, testing::Values(
    Scene{100}, Scene{50},
    Scene{100, 500, 7, 7, 700},
    Scene{100, 50, 1, 20, 3000, 1000, 4000, 200, 0, 0},
    Scene{50, 320, 3, 1, 40, 3000, 2000, 10, 100, 190}));

TEST(Solid, RowsAndPointsOfTheStartUpAndOfTheLargestAmplitude)
{
    ScriptedModel s;
    s.model.startStop(Drawing::Interference3D);
    EXPECT_EQ(s.elements, 127 * 121);
    EXPECT_EQ(s.at(1).drawWidth, 25);
    EXPECT_EQ(s.at(122).caption, QStringLiteral("Дивограф  0%"));

    Coarse large;
    large.model.interference.setText(Pair::Ampl, QStringLiteral("450"));
    large.model.startStop(Drawing::Interference3D);
    EXPECT_EQ(large.elements, 112 * 61);
    EXPECT_EQ(large.at(1).drawWidth, 50);
}
