// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The colour model, the progress caption and the drawing surface's raster operations.

#include "core/surface/colour.h"
#include "core/surface/status.h"
#include "core/surface/surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

using namespace divograf;

TEST(Colour, RgbPacksRedLowCountsAbove255As255AndRealsRoundHalfToEven)
{
    EXPECT_EQ(RGB(255, 255, 255), 16777215u);
    EXPECT_EQ(RGB(0, 0, 192), 12582912u);
    EXPECT_EQ(RGB(192, 255, 192), 12648384u);
    EXPECT_EQ(RGB(300, 0, 0), 255u);
    EXPECT_EQ(RGB(1, 2, 3), 1u + 2 * 256 + 3 * 65536);
    EXPECT_EQ(std::vector<int>({toInt16(2.5), toInt16(3.5), toInt16(-2.5), toInt16(1.5), toInt16(217.9), toInt16(1e6)}),
              std::vector<int>({2, 4, -2, 2, 218, 32767}));
    EXPECT_EQ(std::vector<int>({roundHalfEven(12.5), roundHalfEven(13.5), roundHalfEven(1e12), roundHalfEven(-1e300),
                                roundHalfEven(std::nan(""))}),
              std::vector<int>({12, 14, 2147483647, -2147483647 - 1, 0}));
}

TEST(Status, CaptionCarriesTwoBlanksBeforeTheNumber)
{
    Status s;
    EXPECT_EQ(s.caption(), QStringLiteral("Дивограф"));
    s.show(99);
    EXPECT_EQ(s.progress(), 99);
    EXPECT_EQ(s.caption(), QStringLiteral("Дивограф  99%"));
    s.reset();
    EXPECT_EQ(s.progress(), 0);
    EXPECT_EQ(s.caption(), QStringLiteral("Дивограф"));
    EXPECT_EQ(blankLed(-3), QStringLiteral("-3"));
}

TEST(Surface, StartsLightGreenAt329PixelsWithPenOneAndClearsToWhite)
{
    Surface s;
    EXPECT_EQ(s.pixels(), 329);
    EXPECT_EQ(s.DrawWidth(), 1);
    EXPECT_EQ(s.Image().size(), QSize(329, 329));
    EXPECT_EQ(s.pixel(0, 0), RGB(192, 255, 192));
    EXPECT_EQ(s.pixel(328, 328), RGB(192, 255, 192));
    s.clear();
    for (int y = 0; y < s.pixels(); ++y)
        for (int x = 0; x < s.pixels(); ++x)
            ASSERT_EQ(s.pixel(x, y), White) << x << "," << y;
    s.setDrawWidth(0);
    EXPECT_EQ(s.DrawWidth(), 1);
}

TEST(Surface, UnitsMapToTheNearestPixel)
{
    Surface s;
    EXPECT_EQ(s.toPixel(0), 0);
    EXPECT_EQ(s.toPixel(7), 0); // 0.46 px
    EXPECT_EQ(s.toPixel(8), 1); // 0.53 px
    EXPECT_EQ(s.toPixel(2500), 165);
    EXPECT_EQ(s.toPixel(4995), 329);
    EXPECT_EQ(s.toPixel(-1e30f), s.toPixel(-1e7f)); // clamped, no overflow
    Surface big(4);
    EXPECT_EQ(big.pixels(), 4 * 329);
    EXPECT_EQ(big.toPixel(2500), 659);
}

TEST(Surface, FilledBoxIncludesBothCornerPixels)
{
    Surface s;
    s.clear();
    const Colour c = RGB(10, 20, 30);
    s.fillBox(1000, 2000, 100, 50, c);
    const int x0 = s.toPixel(1000), x1 = s.toPixel(1100), y0 = s.toPixel(2000), y1 = s.toPixel(2050);
    EXPECT_EQ(s.pixel(x0, y0), c);
    EXPECT_EQ(s.pixel(x1, y1), c);
    EXPECT_EQ(s.pixel(x0 - 1, y0), White);
    EXPECT_EQ(s.pixel(x1 + 1, y1), White);
    EXPECT_EQ(s.pixel(x0, y1 + 1), White);
}

TEST(Surface, DrawingWhollyOutsideChangesNothingAndImageIsACopy)
{
    Surface s;
    const QImage before = s.Image();
    const std::uint64_t revision = s.revision();
    s.fillBox(5010, 5010, 100, 100, RGB(1, 2, 3));
    s.line(5000, 5000, 6000, 7000, RGB(1, 2, 3));
    s.line(-500, -500, -10, -300, RGB(1, 2, 3));
    s.circle(20000, 20000, 100, RGB(1, 2, 3));
    EXPECT_EQ(s.Image(), before);
    EXPECT_GT(s.revision(), revision);
    s.fillBox(0, 0, 500, 500, RGB(0, 0, 0)); // later drawing leaves a taken Image alone
    EXPECT_EQ(before.pixel(20, 20), qRgb(192, 255, 192));
    EXPECT_EQ(s.pixel(20, 20), RGB(0, 0, 0));
}

// Every painted pixel carries exactly a colour that was drawn: no antialiasing, no blending.
TEST(Surface, LinesAndCirclesPaintOnlyTheirColour)
{
    for (std::int16_t width : {1, 2, 5, 25}) {
        Surface s;
        s.clear();
        s.setDrawWidth(width);
        const Colour a = RGB(200, 10, 10), b = RGB(10, 10, 200);
        s.line(100, 300, 4000, 1234.5f, a);
        s.circle(2500, 2500, 1500, b);
        std::set<Colour> seen;
        for (int y = 0; y < s.pixels(); ++y)
            for (int x = 0; x < s.pixels(); ++x)
                seen.insert(s.pixel(x, y));
        EXPECT_EQ(seen, (std::set<Colour>{White, a, b})) << "width " << width;
    }
}

TEST(Surface, PenWidthThickensLinesAndScalesWithTheRaster)
{
    auto painted = [](int scale, std::int16_t width) {
        Surface s(scale);
        s.setDrawWidth(width);
        s.line(1000, 2500, 4000, 2500, RGB(0, 0, 0));
        int n = 0;
        for (int y = 0; y < s.pixels(); ++y)
            n += s.pixel(s.toPixel(2500), y) == RGB(0, 0, 0);
        return n;
    };
    EXPECT_EQ(painted(1, 1), 1);
    EXPECT_EQ(painted(1, 5), 5);
    EXPECT_EQ(painted(3, 5), 15);
}

// A circle is the ring of pixels whose middles lie within half the pen width of it; a circle
// narrower than its pen is a disc, its middle covered.
TEST(Surface, ACircleIsTheRingWithinHalfThePenOfIt)
{
    for (std::int16_t width : {1, 2, 5})
        for (float radius : {10.0f, 700.0f, 3500.0f}) {
            Surface s;
            s.clear();
            s.setDrawWidth(width);
            s.circle(2500, 2000, radius, RGB(1, 2, 3));
            const double ppu = 329.0 / 4995;
            for (int y = 0; y < s.pixels(); ++y)
                for (int x = 0; x < s.pixels(); ++x) {
                    const double off = std::abs(std::hypot(x - 2500 * ppu, y - 2000 * ppu) - radius * ppu);
                    if (std::abs(off - width / 2.0) < 1e-9)
                        continue; // on the edge: either way
                    ASSERT_EQ(s.pixel(x, y), off < width / 2.0 ? RGB(1, 2, 3) : White)
                        << "width " << width << " radius " << radius << " at " << x << "," << y;
                }
        }
}

#if defined(__x86_64__)
#include <cpuid.h>

// Qt's AVX routines (the raster's fill among them) may leave the upper halves of the vector
// registers in use; every SSE instruction of a drawing's arithmetic then runs several times
// slower until they are cleared. The processor tells whether they are in use (XINUSE, bit 2).
TEST(Surface, LeavesTheUpperHalvesOfTheVectorRegistersClear)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__builtin_cpu_supports("avx") || !__get_cpuid_count(0xD, 1, &a, &b, &c, &d) || !(a & 4))
        GTEST_SKIP() << "the processor does not tell which vector state is in use";
    const auto upperInUse = [] {
        unsigned lo = 0, hi = 0;
        asm volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(1));
        return (lo & 4) != 0;
    };
    for (int scale : {1, 3}) {
        Surface s(scale);
        EXPECT_FALSE(upperInUse()) << "after making a surface at scale " << scale;
        s.line(0, 0, 4000, 3000, RGB(1, 2, 3));
        EXPECT_FALSE(upperInUse()) << "after a line";
    }
}
#endif
