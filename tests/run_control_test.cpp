// The start/stop protocol with nested commands, driven by a yield that "presses" a command at
// a chosen drawn element.

#include "app/model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

using namespace divograf;

namespace {

struct Seen
{
    int progress;
    QString caption;
    bool running;
};

// A model at Detail 100 (50 columns of 50 cells) whose yield counts drawn elements, records
// what the view would show, and runs the action planned for an element.
class Scripted : public testing::Test
{
protected:
    Scripted()
    {
        model.startUp();
        model.fractal.setValue(Control::Option1, 1);
        model.run.yield = [this] {
            ++elements;
            trace.push_back({model.run.status.progress(), model.run.status.caption(), model.run.Running});
            if (auto it = plan.find(elements); it != plan.end())
                it->second();
        };
    }

    // The view state seen at the yield after element n (1-based).
    const Seen &at(int n) const { return trace.at(n - 1); }
    Colour centreOfCell(int x, int y) const
    {
        return model.surface.pixel(model.surface.toPixel(x + 50.0f), model.surface.toPixel(y + 50.0f));
    }

    Model model;
    int elements = 0;
    std::vector<Seen> trace;
    std::map<int, std::function<void()>> plan;
};

constexpr int CellsPerColumn = 50;
constexpr int Cells = 50 * 50;

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
    EXPECT_EQ(at(1).caption, QStringLiteral("Дивограф"));
    EXPECT_EQ(at(CellsPerColumn + 1).caption, QStringLiteral("Дивограф  0%")); // after X = 1
    EXPECT_EQ(at(Cells).caption, QStringLiteral("Дивограф  96%"));             // after X = 4801
    EXPECT_EQ(at(Cells).progress, 96);
    EXPECT_FALSE(model.run.Running);
    EXPECT_EQ(model.run.status.caption(), QStringLiteral("Дивограф"));
    EXPECT_EQ(model.run.status.progress(), 0);
}

TEST_F(Scripted, SecondPressStopsAfterTheColumnAndResetsAtOnce)
{
    plan[120] = [&] { // column 3 (X = 201), cell 20
        const QImage beforePress = model.surface.Image();
        model.startStop(Drawing::Fractal);
        EXPECT_EQ(model.surface.Image(), beforePress); // no clearing
        EXPECT_FALSE(model.marker.Visible);
        EXPECT_FALSE(model.run.Running);
        EXPECT_EQ(model.run.status.caption(), QStringLiteral("Дивограф"));
        EXPECT_EQ(model.run.status.progress(), 0);
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, 3 * CellsPerColumn); // the rest of the column is still drawn
    EXPECT_EQ(at(119).caption, QStringLiteral("Дивограф  2%"));
    EXPECT_EQ(at(121).caption, QStringLiteral("Дивограф"));
    EXPECT_EQ(at(150).progress, 0);
    EXPECT_NE(centreOfCell(201, 4901), White); // the column's last cell
    EXPECT_EQ(centreOfCell(301, 1), White);    // the next column never starts
    EXPECT_FALSE(model.run.Running);
    EXPECT_EQ(model.run.status.caption(), QStringLiteral("Дивограф"));
    EXPECT_EQ(model.run.status.progress(), 0);
}

TEST_F(Scripted, ClickOnTheSurfaceStopsWithoutResettingUntilTheColumnEnds)
{
    plan[120] = [&] { model.clickField(); };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, 3 * CellsPerColumn);
    EXPECT_EQ(at(121).caption, QStringLiteral("Дивограф  2%"));
    EXPECT_EQ(at(150).progress, 2);
    EXPECT_FALSE(at(121).running);
    EXPECT_EQ(model.run.status.caption(), QStringLiteral("Дивограф"));
    EXPECT_EQ(model.run.status.progress(), 0);
}

TEST_F(Scripted, ClickOnTheSurfaceWhenIdleChangesNothing)
{
    const QImage before = model.surface.Image();
    model.clickField();
    EXPECT_FALSE(model.run.Running);
    EXPECT_EQ(model.surface.Image(), before);
    EXPECT_TRUE(model.marker.Visible);
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
        EXPECT_EQ(centreOfCell(101, 1), White);
        EXPECT_EQ(centreOfCell(201, 1), White);
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elements, 125 + Cells + 25); // the old column's last 25 cells come after it
    EXPECT_EQ(at(125 + Cells + 1).caption, QStringLiteral("Дивограф"));
    EXPECT_FALSE(at(125 + Cells + 1).running);
    EXPECT_NE(centreOfCell(4901, 4901), White); // the nested drawing went to its end
    EXPECT_FALSE(model.run.Running);
    EXPECT_EQ(model.run.status.caption(), QStringLiteral("Дивограф"));
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
    EXPECT_FALSE(model.run.Running);
    EXPECT_EQ(model.run.status.caption(), QStringLiteral("Дивограф"));

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
    // Column 2 (X = 101), cell 10 (Y = 901) was drawn before the change: filled.
    const Surface &s = model.surface;
    EXPECT_NE(s.pixel(s.toPixel(101 + 90), s.toPixel(901 + 10)), White);
    // Cell 11 onward are diagonals in a colour without red.
    EXPECT_EQ(s.pixel(s.toPixel(101 + 90), s.toPixel(1001 + 10)), White);
    // (inside column 2, off the edges that the filled cells of column 1 and row 10 share)
    for (int x = s.toPixel(101) + 1; x < s.toPixel(201); ++x)
        for (int y = s.toPixel(1001) + 1; y < s.pixels(); ++y) {
            if (s.pixel(x, y) != White) {
                ASSERT_EQ(redOf(s.pixel(x, y)), 0) << x << "," << y;
            }
        }
}
