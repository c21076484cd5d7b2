// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// Windows and controls are designed in twips, 1/1440 inch: 15 of them make a pixel at 96 dots
// per inch. Every window converts its rectangles here, once.

#include <QRect>

#include <cstddef>

namespace divograf {

inline constexpr int TwipsPerPixel = 15;

// Left, Top, Width, Height in twips, relative to the container.
struct Twips
{
    int left, top, width, height;
};

constexpr bool wholePixels(Twips t)
{
    return t.left % TwipsPerPixel == 0 && t.top % TwipsPerPixel == 0 && t.width % TwipsPerPixel == 0
        && t.height % TwipsPerPixel == 0;
}

// Whether the rectangle `at` of every row of a layout table falls on whole pixels, for a
// static_assert beside the table.
template <std::size_t N, typename Row> constexpr bool allWhole(const Row (&rows)[N], Twips Row::*at)
{
    for (const Row &r : rows)
        if (!wholePixels(r.*at))
            return false;
    return true;
}

constexpr int pixels(int twips) { return twips / TwipsPerPixel; }

constexpr QRect pixels(Twips t)
{
    return {pixels(t.left), pixels(t.top), pixels(t.width), pixels(t.height)};
}

} // namespace divograf
