// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The start/stop protocol with nested commands, one test per scenario, driven by a yield that
// "presses" a command at a chosen drawn element.

#include "scripted.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace divograf;

namespace {

constexpr int CellsPerColumn = 50;
constexpr int Cells = 50 * 50;
const QString Name = QStringLiteral("Дивограф");

// A started-up model at Detail 100: 50 columns of 50 cells.
class Scripted : public testing::Test, protected testing_support::ScriptedModel
{
protected:
    Scripted() { model.fractal.setValue(Control::Option1, 1); }

    Colour centreOfCell(int x, int y) const
    {
        return model.surface.pixel(model.surface.toPixel(x + 50.0f), model.surface.toPixel(y + 50.0f));
    }
    void expectIdle() const
    {
        EXPECT_FALSE(model.run.Running);
        EXPECT_EQ(model.run.status.caption(), Name);
        EXPECT_EQ(model.run.status.progress(), 0);
    }
};

} // namespace

TEST_F(Scripted, StartFromIdleClearsHidesTheMarkerAndDrawsToTheEnd)
{
    model.fractal.setValue(Control::Slider2, 10); // shows the marker
    ASSERT_TRUE(model.marker.Visible);
    plan[1] = [&] {
        EXPECT_FALSE(model.marker.Visible);
        EXPECT_EQ(centreOfCell(101, 1), White); // cleared before the first cell
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, Cells);
    EXPECT_TRUE(at(1).running);
    EXPECT_EQ(at(1).caption, Name);
    EXPECT_EQ(at(CellsPerColumn + 1).caption, QStringLiteral("Дивограф  0%")); // after X = 1
    EXPECT_EQ(at(Cells).caption, QStringLiteral("Дивограф  96%"));             // after X = 4801
    EXPECT_EQ(at(Cells).progress, 96);
    expectIdle();
}

TEST_F(Scripted, SecondPressStopsAfterTheColumnAndResetsAtOnce)
{
    plan[120] = [&] { // column 3 (X = 201), cell 20
        const QImage beforePress = model.surface.Image();
        model.startStop(Drawing::Fractal);
        EXPECT_EQ(model.surface.Image(), beforePress); // no clearing
        EXPECT_FALSE(model.marker.Visible);
        expectIdle(); // reset at once
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, 3 * CellsPerColumn); // the rest of the column is still drawn
    EXPECT_EQ(at(119).caption, QStringLiteral("Дивограф  2%"));
    EXPECT_EQ(at(121).caption, Name);
    EXPECT_NE(centreOfCell(201, 4901), White); // the column's last cell
    EXPECT_EQ(centreOfCell(301, 1), White);    // the next column never starts
    expectIdle();
}

TEST_F(Scripted, ClickOnTheSurfaceStopsWithoutResettingUntilTheColumnEnds)
{
    const QImage idle = model.surface.Image();
    model.clickField(); // when idle: nothing changes
    EXPECT_EQ(model.surface.Image(), idle);
    EXPECT_TRUE(model.marker.Visible);

    plan[120] = [&] { model.clickField(); };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, 3 * CellsPerColumn);
    EXPECT_EQ(at(121).caption, QStringLiteral("Дивограф  2%"));
    EXPECT_EQ(at(150).progress, 2);
    EXPECT_FALSE(at(121).running);
    expectIdle();
}

TEST_F(Scripted, AnotherCommandStopsTheDrawingAndItsSecondPressClearsAndStartsItsOwn)
{
    plan[120] = [&] {
        const QImage before = model.surface.Image();
        model.startStop(Drawing::Interference); // only stops: nothing cleared, nothing drawn
        EXPECT_EQ(model.surface.Image(), before);
        expectIdle();
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, 3 * CellsPerColumn);
    EXPECT_NE(centreOfCell(201, 4901), White);
    plan[3 * CellsPerColumn + 1] = [&] { EXPECT_EQ(centreOfCell(201, 4901), White); }; // cleared
    model.startStop(Drawing::Interference);
    EXPECT_EQ(elements, 3 * CellsPerColumn + Cells);
    expectIdle();
}

TEST_F(Scripted, StartDuringTheFinishingColumnRunsAWholeDrawingInsideIt)
{
    plan[120] = [&] { model.startStop(Drawing::Fractal); }; // stop
    plan[125] = [&] { // start again while the old run finishes column 3
        ASSERT_FALSE(model.run.Running);
        model.startStop(Drawing::Fractal);
        EXPECT_FALSE(model.run.Running);
    };
    plan[126] = [&] { // first cell of the nested run: the surface was cleared
        EXPECT_TRUE(model.run.Running);
        EXPECT_EQ(centreOfCell(201, 1), White);
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, 125 + Cells + 25); // the old column's last 25 cells come after it
    EXPECT_EQ(at(125 + CellsPerColumn + 1).caption, QStringLiteral("Дивограф  0%"));
    EXPECT_EQ(at(125 + Cells + 1).caption, Name);
    EXPECT_FALSE(at(125 + Cells + 1).running);
    EXPECT_NE(centreOfCell(4901, 4901), White); // the nested drawing went to its end
    expectIdle();
}

TEST_F(Scripted, RestartsFasterThanThePassesEndNestNoDeeperThanTheLimit)
{
    // At the first cell of every drawing a stop and a start: each start finds the drawing
    // finishing its column and runs a new one inside it, until the limit ignores the start.
    int deepest = 0, ignored = 0;
    model.run.yield = [&] {
        ++elements;
        deepest = std::max(deepest, model.drawingsOnStack());
        if (!model.run.Running)
            return;
        model.startStop(Drawing::Fractal);
        const QImage before = model.surface.Image();
        model.startStop(Drawing::Fractal);
        if (model.drawingsOnStack() == MaxNestedDrawings) {
            ++ignored;
            EXPECT_FALSE(model.run.Running);
            EXPECT_EQ(model.surface.Image(), before); // not cleared
        }
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(deepest, MaxNestedDrawings);
    EXPECT_EQ(ignored, 1);
    EXPECT_EQ(model.drawingsOnStack(), 0);
    EXPECT_EQ(elements, MaxNestedDrawings * CellsPerColumn); // each finished its first column
    expectIdle();

    // The limit counts drawings on the stack, not drawings ever run.
    elements = 0;
    model.run.yield = [&] { ++elements; };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, Cells);
}

TEST_F(Scripted, ParameterChangesInAYieldApplyFromTheNextCell)
{
    plan[60] = [&] {
        model.fractal.setValue(Control::Box, 0);
        model.fractal.setValue(Control::Rc, 200); // red 0 from now on
    };
    model.startStop(Drawing::Fractal);
    const Surface &s = model.surface;
    // Column 2 (X = 101), cell 10 (Y = 901) was drawn before the change: filled.
    EXPECT_NE(s.pixel(s.toPixel(101 + 90), s.toPixel(901 + 10)), White);
    // Cell 11 onward are diagonals in a colour without red (looked at inside column 2, off the
    // edges that the filled cells of column 1 and row 10 share).
    EXPECT_EQ(s.pixel(s.toPixel(101 + 90), s.toPixel(1001 + 10)), White);
    for (int x = s.toPixel(101) + 1; x < s.toPixel(201); ++x)
        for (int y = s.toPixel(1001) + 1; y < s.pixels(); ++y)
            if (s.pixel(x, y) != White) {
                ASSERT_EQ(redOf(s.pixel(x, y)), 0) << x << "," << y;
            }
}

// The drawings with a wide pen: the 3-D surface (rows of 61 points at Detail 100, a pen of 50
// pixels) and the rainbow (passes of 350 rings, a pen of 2). The pen goes back to 1 pixel at the
// end of every run of them, nested ones included.
namespace {

struct WidePen
{
    Drawing drawing;
    int pass, pen;
    const char *captionAtPassEnd;
};

void PrintTo(const WidePen &w, std::ostream *os) { *os << (w.drawing == Drawing::Rainbow ? "rainbow" : "3-D surface"); }

class WidePenDrawing : public Scripted, public testing::WithParamInterface<WidePen> {};

} // namespace

// A press during the second pass: the nested run neither clears nor draws, and sets the pen back
// to 1 pixel, with which the rest of the pass is drawn.
TEST_P(WidePenDrawing, APressFinishesThePassWithAOnePixelPen)
{
    const WidePen &d = GetParam();
    plan[d.pass + 30] = [&] {
        const QImage before = model.surface.Image();
        model.startStop(d.drawing);
        EXPECT_EQ(model.surface.Image(), before);
    };
    model.startStop(d.drawing);
    EXPECT_EQ(elements, 2 * d.pass);
    EXPECT_EQ(at(d.pass + 30).drawWidth, d.pen);
    for (int n = d.pass + 31; n <= 2 * d.pass; ++n)
        ASSERT_EQ(at(n).drawWidth, 1);
    EXPECT_EQ(model.surface.DrawWidth(), 1);
    expectIdle();
}

// A click on the surface: the pass is finished with the wide pen, the caption reset only after it.
TEST_P(WidePenDrawing, AClickFinishesThePassWithTheWidePen)
{
    const WidePen &d = GetParam();
    plan[d.pass + 30] = [&] { model.clickField(); };
    model.startStop(d.drawing);
    EXPECT_EQ(elements, 2 * d.pass);
    EXPECT_FALSE(at(d.pass + 31).running);
    EXPECT_EQ(at(2 * d.pass).drawWidth, d.pen);
    EXPECT_EQ(at(2 * d.pass).caption, QString::fromUtf8(d.captionAtPassEnd));
    EXPECT_EQ(model.surface.DrawWidth(), 1);
    expectIdle();
}

// A start while the drawing finishes its pass clears the surface and runs a whole map inside it,
// with the wide pen, which the map leaves alone; the old pass then ends on top of the map.
TEST_P(WidePenDrawing, AStartDuringTheFinishingPassRunsAWholeMapInsideIt)
{
    const WidePen &d = GetParam();
    plan[d.pass + 10] = [&] { model.clickField(); };
    plan[d.pass + 20] = [&] {
        model.startStop(Drawing::Interference);
        EXPECT_FALSE(model.run.Running);
    };
    plan[d.pass + 21] = [&] { EXPECT_EQ(model.surface.pixel(300, 300), White); }; // cleared
    model.startStop(d.drawing);
    EXPECT_EQ(elements, d.pass + 20 + Cells + (d.pass - 20));
    EXPECT_EQ(at(d.pass + 21).drawWidth, d.pen);
    EXPECT_EQ(at(d.pass + 20 + Cells + 1).drawWidth, d.pen);
    EXPECT_EQ(model.surface.DrawWidth(), 1);
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(SurfaceAndRainbow, WidePenDrawing,
                         testing::Values(WidePen{Drawing::Interference3D, 61, 50, "Дивограф  0%"},
                                         WidePen{Drawing::Rainbow, 350, 2, "Дивограф"}));
