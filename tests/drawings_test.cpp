// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The raster and the drawings: the colour arithmetic, what each surface operation paints, and
// golden cells of every drawing, worked out by hand from their formulas.

#include "core/fractal/render.h"
#include "core/interference/drawings.h"
#include "core/rainbow/rainbow.h"
#include "core/surface/workers.h"
#include "scripted.h"

#include "printers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace divograf;

TEST(Colour, RgbPacksRedLowCountsAbove255As255AndRealsRoundHalfToEven)
{
    EXPECT_EQ(std::vector<Colour>({RGB(255, 255, 255), RGB(0, 0, 192), RGB(192, 255, 192),
                  RGB(300, 0, 0), RGB(1, 2, 3)}),
        std::vector<Colour>({16777215u, 12582912u, 12648384u, 255u, 1u + 2 * 256 + 3 * 65536}));
    EXPECT_EQ(
        std::vector<int>({toInt16(2.5), toInt16(3.5), toInt16(-2.5), toInt16(217.9), toInt16(1e6),
            roundHalfEven(1e12), roundHalfEven(-1e300), roundHalfEven(std::nan(""))}),
        std::vector<int>({2, 4, -2, 218, 32767, 2147483647, -2147483647 - 1, 0}));
}

// What one operation paints (at scale 1 a pixel is 4995 / 329 units): pixels that take the
// colour, pixels that stay white, and nothing anywhere in any other colour (no antialiasing).
struct Paint
{
    const char *what;
    int scale, pen;
    std::function<void(Surface &, Colour)> draw;
    std::vector<QPoint> in, out;
};

TEST(Surface, EachOperationPaintsItsPixelsInItsColourOnly)
{
    const std::vector<Paint> cases = {
        // Units 1000, 1100, 2000, 2050 fall on the pixels 66, 72, 132, 135: both corners included.
        {"box", 1, 1, [](Surface &s, Colour c) { s.fillBox(1000, 2000, 100, 50, c); },
            {{66, 132}, {72, 135}}, {{65, 132}, {73, 135}, {66, 136}}},
        {"box, pen 6", 1, 6, [](Surface &s, Colour c) { s.fillBox(1000, 2000, 100, 50, c); },
            {{64, 130}, {75, 138}}, {{63, 132}, {76, 135}, {66, 139}}},
        {"line, pen 5", 1, 5, [](Surface &s, Colour c) { s.line(1000, 2500, 4000, 2500, c); },
            {{165, 163}, {165, 167}, {66, 165}}, {{165, 162}, {165, 168}}},
        {"beyond", 1, 1,
            [](Surface &s, Colour c) {
                s.line(5000, 5000, 6000, 7000, c);
                s.circle(20000, 20000, 100, c);
            },
            {}, {{0, 0}, {328, 328}}},
        // Centre (2500, 2000) is pixel (164.66, 131.73), radius 700 is 46.11 pixels.
        {"circle, pen 5", 1, 5, [](Surface &s, Colour c) { s.circle(2500, 2000, 700, c); },
            {{209, 131}, {213, 131}, {181, 86}, {149, 91}}, {{208, 131}, {214, 131}, {165, 131}}},
        {"small circle, pen 5: a disc", 1, 5,
            [](Surface &s, Colour c) { s.circle(2500, 2000, 10, c); },
            {{165, 131}, {162, 131}, {165, 134}}, {{161, 131}, {168, 131}, {165, 135}}},
        // At scale 3 the pixels and the pen triple: unit 2500 is pixel 494, the pen 15 pixels.
        {"line, pen 5, scale 3", 3, 5,
            [](Surface &s, Colour c) { s.line(1000, 2500, 4000, 2500, c); },
            {{494, 487}, {494, 501}}, {{494, 486}, {494, 502}}},
    };
    for (const Paint &p : cases) {
        Surface s(p.scale);
        s.clear();
        s.setDrawWidth(static_cast<std::int16_t>(p.pen));
        const Colour c = RGB(200, 10, 30);
        p.draw(s, c);
        for (QPoint q : p.in)
            EXPECT_EQ(s.pixel(q.x(), q.y()), c) << p.what << " at " << q.x() << "," << q.y();
        for (QPoint q : p.out)
            EXPECT_EQ(s.pixel(q.x(), q.y()), White) << p.what << " at " << q.x() << "," << q.y();
        for (int y = 0; y < s.pixels(); ++y)
            for (int x = 0; x < s.pixels(); ++x)
                ASSERT_TRUE(s.pixel(x, y) == White || s.pixel(x, y) == c)
                    << p.what << " at " << x << "," << y;
    }
    // A new surface is light green; beyond the raster a line counts as drawn; a pen is at least 1.
    Surface s;
    EXPECT_EQ(s.pixel(0, 0), RGB(192, 255, 192));
    const std::uint64_t revision = s.revision();
    s.line(5000, 5000, 6000, 7000, White);
    EXPECT_GT(s.revision(), revision);
    s.setDrawWidth(0);
    EXPECT_EQ(s.DrawWidth(), 1);
}

// re, im and the angle after one iteration, and the escape count from re + i im.
struct Escape
{
    double re, im, angle;
    Formula f;
    bool escapes;
    double re1, im1, angle1;
    int count;
};

TEST(Fractal, IterationsAndEscapeCounts)
{
    const Formula start;
    const Formula still{0, false, false, 2, 7};
    const Formula moivre{0, false, true, 2, 7};
    const std::vector<Escape> cases = {
        // The points (1, 2501) and (1, 1) at start-up.
        {-2499 / 3100.0, -1 / 3100.0, 0, start, false, 0.596843912591051, 0.8505200832466181, 0, 7},
        {-2499 / 3100.0, 2499 / 3100.0, 0, start, false, -0.053, -0.44968803329864737, 0, 13},
        // z = 0 takes the shift only; re = 0 keeps the angle; re < 0 adds 3.14159.
        {0, 0, 0, moivre, false, 0.254164, -0.81, 0, 46},
        {0, 0.5, 0.5, moivre, false, 0.2468479321305407, -0.8127404939663252, 0.5, 46},
        {-1, 0, 0, moivre, false, -0.7458359998274824, -0.8099814248714468, 3.14159, 5},
        // 3^7 > 1000: escapes at once.
        {3, 0, 0, Formula{5, true, true, 2, 7}, true, 2187.254164, -0.81, 0, 2},
        // Coef 3 in the square; the cube, with no shift.
        {0.5, 0.25, 0, Formula{1, false, false, 3, 7}, false, 0.1345, 1.225, 0, 7},
        {0.5, 0.25, 0, Formula{0, true, false, 2, 7}, false, 0.03125, 0.171875, 0, 46},
        // The thresholds are strict.
        {1400, 0, 0, still, false, 1400, 0, 0, 46},
        {0, 3010.5, 0, still, true, 0, 3010.5, 0, 2},
    };
    for (const Escape &c : cases) {
        SCOPED_TRACE(testing::Message() << c.re << "," << c.im);
        double re = c.re;
        double im = c.im;
        double angle = c.angle;
        EXPECT_EQ(iterate(re, im, c.f, angle), c.escapes);
        EXPECT_EQ(angle, c.angle1);
        EXPECT_NEAR(re, c.re1, 1e-9);
        EXPECT_NEAR(im, c.im1, 1e-9);
        angle = c.angle;
        EXPECT_EQ(escapeCount(c.re, c.im, c.f, angle), c.count);
    }
    double angle = 0; // QWA 5 with the cube and Coef 10 overflows within one iteration: escaped
    EXPECT_EQ(escapeCount(1300, 3000, Formula{5, true, false, 10, 7}, angle), 2);
    EXPECT_EQ(std::vector<Colour>({cellColour(7, 25, 24, 23), cellColour(13, 25, 24, 23),
                  cellColour(46, 25, 24, 23), cellColour(3, 200, 0, 100)}),
        std::vector<Colour>(
            {RGB(175, 168, 161), RGB(70, 57, 44), RGB(130, 84, 38), RGB(90, 0, 45)}));
}

// The centre pixel of the cell whose corner is (x, y) in surface units.
static Colour middle(const Surface &s, float x, float y, float side)
{
    return s.pixel(s.toPixel(x + side / 2), s.toPixel(y + side / 2));
}

// Filled cells at start-up; with Box unticked the fractal's cell at (2401, 2401) and the map's
// at (2410, 2410) (Detail 100) are their diagonals only, white off them.
TEST(Fractal, RenderPaintsEachCellWholeOrItsDiagonal)
{
    ScriptedModel m;
    m.model.startStop(Drawing::Fractal);
    EXPECT_EQ(middle(m.model.surface, 1, 2501, 50), RGB(175, 168, 161));
    EXPECT_EQ(middle(m.model.surface, 1, 1, 50), RGB(70, 57, 44));
    for (auto [drawing, corner] :
        {std::pair{Drawing::Fractal, 2401}, {Drawing::Interference, 2410}}) {
        ScriptedModel d(true);
        d.model.fractal.setValue(Control::Box, 0);
        d.model.startStop(drawing);
        const Surface &s = d.model.surface;
        EXPECT_NE(s.pixel(s.toPixel(corner + 50), s.toPixel(corner + 50)), White);
        EXPECT_EQ(s.pixel(s.toPixel(corner + 80), s.toPixel(corner + 20)), White);
    }
}

// Parameters as the user sets them (the four texts, the centre sliders), and golden cells.
struct Scene
{
    const char *ampl, *scal, *num, *l;
    int sliderX, sliderY;
    std::vector<std::pair<QPoint, Colour>> cells;
};

TEST(Interference, WavelengthsAndGoldenCellsOfTheMap)
{
    Model m;
    m.startUp(); // the map divides the corrections by 25, 24 and 23, the surface by 25 throughout
    const Wavelengths flat = wavelengths2D(m.fractal.vars);
    const Wavelengths solid = wavelengths3D(m.fractal.vars);
    EXPECT_DOUBLE_EQ(flat.green, 1.006);
    EXPECT_DOUBLE_EQ(flat.blue, 1.001);
    EXPECT_DOUBLE_EQ(solid.green, 0.9658);
    EXPECT_DOUBLE_EQ(solid.blue, 0.921);
    m.fractal.setValue(Control::Rc, 200); // correction 0: the smallest wavelength, never 0
    EXPECT_EQ(wavelengths2D(m.fractal.vars).red, 0.001);

    const std::vector<Scene> scenes = {
        // Start-up: sums (-209, -217, 13), (-156, -140, 9), (-663, -167, 482), (94, 234, 102).
        {"50", "7", "7", "700", 25, 25,
            {{{1, 1}, RGB(0, 0, 13)}, {{101, 201}, RGB(0, 0, 9)}, {{251, 251}, RGB(0, 0, 255)},
                {{491, 491}, RGB(94, 234, 102)}}},
        // One hole at (350, 250): sums (246, 474, -70), (-141, -149, -157), (-416, -102, 489).
        {"450", "1", "1", "1", 25, 25,
            {{{251, 151}, RGB(246, 255, 0)}, {{351, 251}, RGB(0, 0, 0)},
                {{151, 251}, RGB(0, 0, 255)}}},
        // The circle round (100, 400): sums (-663, -167, 482), (187, -131, -318), (-227, -203, 7).
        {"50", "7", "7", "700", 10, 40,
            {{{101, 401}, RGB(0, 0, 255)}, {{251, 251}, RGB(187, 0, 0)},
                {{51, 301}, RGB(0, 0, 7)}}},
    };
    for (const Scene &scene : scenes) {
        ScriptedModel s;
        for (const auto &[pair, text] : {std::pair{Pair::Ampl, scene.ampl},
                 {Pair::Scal, scene.scal}, {Pair::Num, scene.num}, {Pair::L, scene.l}})
            s.model.interference.setText(pair, text);
        s.model.fractal.setValue(Control::Slider2, scene.sliderX);
        s.model.fractal.setValue(Control::Slider1, scene.sliderY);
        s.model.startStop(Drawing::Interference);
        EXPECT_EQ(s.elements, 100 * 100);
        for (const auto &[grid, colour] : scene.cells)
            EXPECT_EQ(middle(s.model.surface, 10 * grid.x(), 10 * grid.y(), 50), colour)
                << scene.ampl << " " << grid.x() << "," << grid.y();
        // The band 0..10 along two edges stays white.
        for (int i = 0; i < s.model.surface.pixels(); ++i) {
            ASSERT_EQ(s.model.surface.pixel(0, i), White) << "left edge at " << i;
            ASSERT_EQ(s.model.surface.pixel(i, 0), White) << "top edge at " << i;
        }
    }
}

// A = 300, the circle round (100, 400), Detail 50: 175 rows of 121 points, a pen of 25 pixels,
// some first points of rows in view. A point in view is joined to the one before in its colour,
// so the pixel under it has that colour right after: (100, 100), sums (39, -106, 231) and height
// -28.41, is seen at pixel (59, 48); (350, 250), sums (171, -175, 15), height -80.48, at (209,
// 113).
TEST(Interference, SurfaceRowsPointsPenProgressAndGoldenPoints)
{
    ScriptedModel s;
    s.model.interference.setText(Pair::Ampl, "250");
    s.model.fractal.setValue(Control::Slider2, 10);
    s.model.fractal.setValue(Control::Slider1, 40);
    const Surface &f = s.model.surface;
    s.plan[6807] = [&] { EXPECT_EQ(f.pixel(59, 48), RGB(39, 106, 231)); };
    s.plan[10487] = [&] { EXPECT_EQ(f.pixel(209, 113), RGB(171, 175, 15)); };
    s.model.startStop(Drawing::Interference3D);
    ASSERT_EQ(s.elements, 175 * 121);
    EXPECT_EQ(s.at(1).drawWidth, 25);
    EXPECT_EQ(f.DrawWidth(), 1);
    // The first point of a row is never joined to the row before.
    for (int row = 1; row < 175; ++row)
        ASSERT_EQ(s.at(121 * row + 1).revision, s.at(121 * row).revision) << row;
    // The first point of a row shows the progress of the row before: Y = -180, 110, 685.
    EXPECT_EQ(s.at(122).caption, "Дивограф  0%");
    EXPECT_EQ(s.at(7140).caption, "Дивограф  33%");
    EXPECT_EQ(s.at(21055).caption, "Дивограф  99%");
    EXPECT_EQ(
        std::vector<bool>({projectedVisible(-9.999, 509.999), projectedVisible(-10, 100),
            projectedVisible(510, 100), projectedVisible(100, -10), projectedVisible(100, 510)}),
        std::vector<bool>({true, false, false, false, false})); // strict on all four bounds
    // The last row of the largest amplitude shows 100; a lowered amplitude keeps the bar in 0..100.
    EXPECT_EQ(std::vector<int>({surfaceProgress(810, 500), surfaceProgress(3.0, 100),
                  surfaceProgress(-60, 50), surfaceProgress(810, 50)}),
        std::vector<int>({100, 10, 0, 100}));
}

TEST(Rainbow, RingColoursAndAWholeRainbow)
{
    EXPECT_EQ(std::vector<Colour>(
                  {ringColour(1, 1), ringColour(598, 1), ringColour(598, 350), ringColour(4, 100)}),
        std::vector<Colour>(
            {RGB(218, 37, 218), RGB(33, 34, 33), RGB(232, 25, 115), RGB(76, 150, 169)}));
    ScriptedModel s;
    std::vector<int> frames; // the rings drawn at each frame of the animation: after every pass
    s.model.run.frameDrawn = [&] { frames.push_back(s.elements); };
    s.model.startStop(Drawing::Rainbow);
    ASSERT_EQ(s.elements, 200 * 350);
    ASSERT_EQ(frames.size(), 200u);
    EXPECT_EQ(frames.front(), 350);
    EXPECT_EQ(frames.back(), 70000);
    EXPECT_FALSE(s.model.run.Running);
    EXPECT_EQ(s.model.surface.DrawWidth(), 1);
    // The last pass (I = 598) on top: each pixel shows the outermost ring within a pixel of it,
    // rings 2, 249, 221, 184; the corners beyond ring 350 keep the white of the clearing.
    const Surface &f = s.model.surface;
    EXPECT_EQ(std::vector<Colour>({f.pixel(165, 165), f.pixel(328, 165), f.pixel(165, 20),
                  f.pixel(250, 250), f.pixel(0, 0)}),
        std::vector<Colour>(
            {RGB(29, 30, 29), RGB(120, 222, 213), RGB(244, 109, 249), RGB(167, 1, 92), White}));
}

// Drawn headless in blocks on threads, and cell by cell as the window draws it: the same pixels.
// The De Moivre angle carried into the column at the centre (CenterX 1100: with a cell of 1 its
// re is 0), cells sharing edge pixels, diagonals and 3-D segments in order, hole tables per thread.
struct Split
{
    const char *what;
    Drawing drawing;
    int cell, scale;
    std::vector<std::pair<Control, int>> controls;
    std::vector<std::pair<Pair, const char *>> texts;
    int columns; // drawn before the stop; 0: all
};

TEST(HeadlessBlocks, DrawWhatTheWindowsLoopDrawsOnAnyNumberOfThreads)
{
    const std::vector<Split> rows = {
        {"cell 1, De Moivre", Drawing::Fractal, 1, 1,
            {{Control::Slider2, 11}, {Control::Slider3, 0}, {Control::MUA, 1}}, {}, 1100},
        {"fractal, diagonals", Drawing::Fractal, 13, 1, {{Control::Box, 0}, {Control::QWA, 2}}, {},
            0},
        {"map, 20 holes", Drawing::Interference, 15, 1, {}, {{Pair::Num, "20"}}, 0},
        {"map, diagonals", Drawing::Interference, 25, 2, {{Control::Box, 0}}, {{Pair::Num, "3"}},
            0},
        {"surface, cell 35", Drawing::Interference3D, 35, 1,
            {{Control::Slider2, 10}, {Control::Slider1, 40}}, {{Pair::Ampl, "250"}}, 0},
        {"rainbow", Drawing::Rainbow, 0, 1, {}, {}, 0},
    };
    for (const Split &row : rows) {
        int columns = row.columns; // the blocks end where they end: the window stops there too
        const auto draw = [&](int threads) {
            auto m = std::make_unique<Model>(row.scale);
            m->startUp();
            for (const auto &[control, value] : row.controls)
                m->fractal.setValue(control, value);
            for (const auto &[pair, text] : row.texts)
                m->interference.setText(pair, QString::fromLatin1(text));
            m->run.cell = row.cell;
            Workers workers(std::max(threads, 1));
            if (threads > 0)
                m->run.workers = &workers;
            const int points = row.columns > 0 ? samplePoints(row.cell) : 0;
            int cells = 0;
            m->run.yield = [&] {
                if (row.columns == 0)
                    return;
                if (threads > 0 && m->run.done * points >= row.columns) {
                    columns = static_cast<int>(std::lround(m->run.done * points));
                    m->run.Running = false;
                }
                if (threads == 0 && ++cells == columns * points)
                    m->run.Running = false;
            };
            m->startStop(row.drawing);
            return m->surface.Image();
        };
        const QImage threaded = draw(3);
        const QImage single = draw(1);
        const QImage window = draw(0);
        EXPECT_TRUE(threaded == window) << row.what;
        EXPECT_TRUE(single == window) << row.what;
    }
}

// Cells finer than Detail: sample points, grid positions, the 3-D pen in raster pixels (half the
// cell times the scale, at least 1), the cell nearest to a pixel (4995 / 329 units at scale 1).
TEST(HeadlessBlocks, CellsPointsAndPen)
{
    EXPECT_EQ(samplePoints(1), 5000);
    EXPECT_EQ(samplePoints(15), 334);
    EXPECT_EQ(mapPoints(1), 4991);
    EXPECT_EQ(mapPoints(15), 333);
    EXPECT_EQ(gridPosition(1, 3, 15), 5.5);
    EXPECT_EQ(surfacePen(50, 1), 25);
    EXPECT_EQ(surfacePen(10, 3), 15);
    EXPECT_EQ(Surface::unitsNearestPixel(2), 8);
    EXPECT_EQ(Surface::unitsNearestPixel(10), 2);
    // A headless surface yields every 64 lines (241 times), not once a block: a stop comes soon.
    Model m;
    m.startUp();
    Workers workers(2);
    m.run.workers = &workers;
    int yields = 0;
    m.run.yield = [&] { ++yields; };
    m.startStop(Drawing::Interference3D);
    EXPECT_GT(yields, 200);
}
