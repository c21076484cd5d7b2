// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The rainbow's colours and its finished picture (its start/stop scenarios are run_control_test's).

#include "core/rainbow/rainbow.h"
#include "scripted.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

using namespace divograf;
using divograf::testing_support::ScriptedModel;

namespace {

constexpr int Rings = 350;

// The colour of ring j in pass i, from the formula written out once more.
Colour ring(int i, int j)
{
    const double pi = 4 * std::atan(1.0);
    const double theta = std::atan(static_cast<double>(j) / i);
    auto channel = [&](int k) { return static_cast<int>(std::nearbyint(255 * std::pow(std::sin(k * theta - pi / 8), 2))); };
    return RGB(channel(15), channel(12), channel(14));
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
    std::vector<int> frames; // the rings drawn at each frame of the animation: after every pass
    s.model.run.frameDrawn = [&] { frames.push_back(s.elements); };
    s.model.startStop(Drawing::Rainbow);
    EXPECT_EQ(s.elements, 200 * Rings);
    ASSERT_EQ(frames.size(), 200u);
    EXPECT_EQ(frames[0], Rings);
    EXPECT_EQ(frames[199], 200 * Rings);
    for (int n = 1; n <= s.elements; ++n) {
        ASSERT_EQ(s.at(n).drawWidth, 2);
        ASSERT_TRUE(s.at(n).running);
        ASSERT_EQ(s.at(n).caption, QStringLiteral("Дивограф")); // no progress
    }
    EXPECT_FALSE(s.model.run.Running);
    EXPECT_EQ(s.model.surface.DrawWidth(), 1);
    EXPECT_FALSE(s.model.marker.Visible);

    // Inside the largest ring only colours of the last pass; beyond it the white of the clearing.
    std::set<Colour> last;
    for (int j = 1; j <= Rings; ++j)
        last.insert(ring(598, j));
    const Surface &f = s.model.surface;
    const double unitsPerPixel = static_cast<double>(Surface::Units) / f.pixels();
    int inside = 0, outside = 0;
    for (int y = 0; y < f.pixels(); ++y)
        for (int x = 0; x < f.pixels(); ++x) {
            const double d = std::hypot(x * unitsPerPixel - 2500, y * unitsPerPixel - 2500);
            if (d <= 3500) {
                ASSERT_TRUE(last.count(f.pixel(x, y))) << x << "," << y << " at " << d;
                ++inside;
            } else if (d > 3515) {
                ASSERT_EQ(f.pixel(x, y), White) << x << "," << y;
                ++outside;
            }
        }
    EXPECT_GT(inside, 100000);
    EXPECT_GT(outside, 0);
}
