// The rainbow's colours, its finished picture and its start/stop scenarios.

#include "rainbow/rainbow.h"
#include "scripted.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace divograf;
using divograf::testing_support::ScriptedModel;

namespace {

constexpr int Rings = 350;
constexpr int Passes = 200;

// The colour of ring j in pass i, from the formula written out once more.
Colour ring(int i, int j)
{
    const double pi = 4 * std::atan(1.0);
    const double theta = std::atan(static_cast<double>(j) / i);
    auto channel = [&](int k) { return static_cast<int>(std::nearbyint(255 * std::pow(std::sin(k * theta - pi / 8), 2))); };
    return RGB(channel(15), channel(12), channel(14));
}

std::set<Colour> passColours(int i)
{
    std::set<Colour> colours;
    for (int j = 1; j <= Rings; ++j)
        colours.insert(ring(i, j));
    return colours;
}

// The distance of a pixel from the middle of the rings, in surface units (pixel i stands for
// unit i * 4995 / 329, as the surface maps).
double fromMiddle(const Surface &s, int x, int y)
{
    const double unitsPerPixel = static_cast<double>(Surface::Units) / s.pixels();
    return std::hypot(x * unitsPerPixel - 2500, y * unitsPerPixel - 2500);
}

} // namespace

TEST(Rainbow, RingColours)
{
    EXPECT_EQ(ringColour(1, 1), RGB(218, 37, 218)); // theta = Pi / 4
    EXPECT_EQ(ringColour(598, 1), RGB(33, 34, 33));  // near the middle of a late pass: dark grey
    EXPECT_EQ(ringColour(598, 350), RGB(232, 25, 115));
    EXPECT_EQ(ringColour(4, 100), RGB(76, 150, 169));
    for (int i = 1; i <= 598; i += 3 * 37)
        for (int j = 1; j <= Rings; j += 29)
            ASSERT_EQ(ringColour(i, j), ring(i, j)) << i << "," << j;
}

TEST(Rainbow, AWholeRainbow)
{
    ScriptedModel s;
    s.model.fractal.setValue(Control::Slider1, 30); // shows the marker
    s.model.startStop(Drawing::Rainbow);
    EXPECT_EQ(s.elements, Passes * Rings);
    for (int n = 1; n <= s.elements; ++n) {
        ASSERT_EQ(s.at(n).drawWidth, 2);
        ASSERT_TRUE(s.at(n).running);
        ASSERT_EQ(s.at(n).progress, 0); // no progress
        ASSERT_EQ(s.at(n).caption, QStringLiteral("Дивограф"));
    }
    EXPECT_FALSE(s.model.run.Running);
    EXPECT_EQ(s.model.surface.DrawWidth(), 1);
    EXPECT_FALSE(s.model.marker.Visible);

    const std::set<Colour> last = passColours(598);
    const Surface &f = s.model.surface;
    int inside = 0, outside = 0;
    for (int y = 0; y < f.pixels(); ++y)
        for (int x = 0; x < f.pixels(); ++x) {
            const double d = fromMiddle(f, x, y);
            if (d <= 3500) {
                ASSERT_TRUE(last.count(f.pixel(x, y))) << x << "," << y << " at " << d << " is " << std::hex << f.pixel(x, y);
                ++inside;
            } else if (d > 3515) {
                ASSERT_EQ(f.pixel(x, y), White) << x << "," << y;
                ++outside;
            }
        }
    EXPECT_GT(inside, 100000);
    EXPECT_GT(outside, 0);
}

TEST(Rainbow, APressDuringItStopsAtTheEndOfThePassWithAOnePixelPen)
{
    ScriptedModel s;
    s.plan[Rings + 100] = [&] {
        const QImage before = s.model.surface.Image();
        s.model.startStop(Drawing::Rainbow);
        EXPECT_EQ(s.model.surface.Image(), before); // nothing cleared, nothing drawn
        EXPECT_FALSE(s.model.run.Running);
    };
    s.model.startStop(Drawing::Rainbow);
    EXPECT_EQ(s.elements, 2 * Rings); // the second pass is finished
    EXPECT_EQ(s.at(Rings + 100).drawWidth, 2);
    for (int n = Rings + 101; n <= 2 * Rings; ++n)
        ASSERT_EQ(s.at(n).drawWidth, 1);
    EXPECT_EQ(s.model.surface.DrawWidth(), 1);
    // Rings 101..350 of the second pass lie over the first pass.
    std::set<Colour> near200;
    for (int j = 195; j <= 205; ++j)
        near200.insert(ring(4, j));
    const Surface &f = s.model.surface;
    EXPECT_TRUE(near200.count(f.pixel(f.toPixel(2500 + 2000), f.toPixel(2500))));
}

TEST(Rainbow, AClickOnTheSurfaceLetsThePassFinishWithTheWidePen)
{
    ScriptedModel s;
    s.plan[100] = [&] { s.model.clickField(); };
    s.model.startStop(Drawing::Rainbow);
    EXPECT_EQ(s.elements, Rings);
    EXPECT_FALSE(s.at(101).running);
    EXPECT_EQ(s.at(Rings).drawWidth, 2);
    EXPECT_EQ(s.model.surface.DrawWidth(), 1);
}

// A start while the rainbow finishes its pass clears the surface and runs a whole new drawing
// inside; the rainbow then finishes its pass on top of it.
TEST(Rainbow, StartDuringTheFinishingPassRunsAWholeDrawingInsideIt)
{
    ScriptedModel map;
    map.model.fractal.setValue(Control::Option1, 1);
    map.model.startStop(Drawing::Interference);

    ScriptedModel s;
    s.model.fractal.setValue(Control::Option1, 1);
    s.plan[100] = [&] { s.model.clickField(); };
    s.plan[120] = [&] {
        s.model.startStop(Drawing::Interference);
        EXPECT_FALSE(s.model.run.Running);
    };
    s.plan[121] = [&] { EXPECT_EQ(s.model.surface.pixel(s.model.surface.toPixel(2500), 150), White); };
    s.model.startStop(Drawing::Rainbow);
    EXPECT_EQ(s.elements, 120 + 2500 + (Rings - 120));
    EXPECT_EQ(s.at(121).drawWidth, 2); // the map draws with the pen it finds
    const Surface &f = s.model.surface;
    // Rings 121..350 of the first pass lie over the map; inside ring 120 the map shows.
    EXPECT_EQ(f.pixel(f.toPixel(2500 + 2000), f.toPixel(2500)), ring(1, 200));
    const int x = f.toPixel(2960), y = f.toPixel(2460); // the middle of the map's cell (291, 241)
    EXPECT_EQ(f.pixel(x, y), map.model.surface.pixel(x, y));
    EXPECT_EQ(f.DrawWidth(), 1);
    EXPECT_FALSE(s.model.run.Running);
}
