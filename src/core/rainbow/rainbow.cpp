// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/rainbow/rainbow.h"

#include "core/surface/workers.h"

#include <array>
#include <cmath>
#include <numbers>

namespace divograf {

namespace {

constexpr int RedFrequency = 15;
constexpr int GreenFrequency = 12;
constexpr int BlueFrequency = 14;
constexpr double Full = 255;
constexpr double PenWidth = 1.5; // becomes 2 as a 16-bit integer, half to even
constexpr float Middle = 2500;

double channel(int frequency, double theta)
{
    const double s = std::sin(frequency * theta - std::numbers::pi / 8);
    return Full * (s * s);
}

} // namespace

Colour ringColour(int i, int j)
{
    const double theta = std::atan(static_cast<double>(j) / i);
    const double red = channel(RedFrequency, theta);
    const double green = channel(GreenFrequency, theta);
    const double blue = channel(BlueFrequency, theta);
    return RGB(toInt16(red), toInt16(green), toInt16(blue));
}

void Rainbow(Surface &surface, Run &run)
{
    surface.setDrawWidth(toInt16(PenWidth));
    for (int i = 1; i <= RainbowPassLast; i += RainbowPassStep) {
        if (!run.Running)
            break;
        if (run.workers) {
            std::array<Colour, RainbowRings + 1> colours{};
            for (int j = 1; j <= RainbowRings; ++j)
                colours[j] = ringColour(i, j);
            inBands(surface, *run.workers, [&](int from, int to) {
                for (int j = 1; j <= RainbowRings; ++j)
                    surface.circleInRows(Middle, Middle, static_cast<float>(RainbowRingSpacing * j),
                        colours[j], from, to);
            });
            run.done = static_cast<double>(i + RainbowPassStep - 1) / RainbowPassLast;
            run.yield();
        } else {
            for (int j = 1; j <= RainbowRings; ++j) {
                surface.circle(
                    Middle, Middle, static_cast<float>(RainbowRingSpacing * j), ringColour(i, j));
                run.yield();
            }
        }
        run.frameDrawn();
    }
    run.Running = false;
    surface.setDrawWidth(1);
}

} // namespace divograf
