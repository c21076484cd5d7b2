// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QRgb>

#include <cmath>
#include <cstdint>
#include <limits>

namespace divograf {

// A colour as the drawings compute it: red + 256 * green + 65536 * blue, top byte 0.
using Colour = std::uint32_t;

inline constexpr Colour White = 0xFFFFFF;

// A real converted to an integer rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values beyond the 32-bit range, and NaN, give the nearest bound (NaN gives 0).
inline std::int32_t roundHalfEven(double v)
{
    if (!(v == v))
        return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::nearbyint(v < lo ? lo : (v > hi ? hi : v)));
}

// The 16-bit conversion the drawings apply to real colour components before RGB.
inline std::int16_t toInt16(double v)
{
    const std::int32_t i = roundHalfEven(v);
    return static_cast<std::int16_t>(i < -32768 ? -32768 : (i > 32767 ? 32767 : i));
}

// RGB of three integer components; a component above 255 counts as 255.
// Callers pass components that are not negative.
constexpr Colour RGB(int red, int green, int blue)
{
    auto channel = [](int c) { return static_cast<Colour>(c > 255 ? 255 : (c < 0 ? 0 : c)); };
    return channel(red) + 256 * channel(green) + 65536 * channel(blue);
}

constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr QRgb toQRgb(Colour c) { return qRgb(redOf(c), greenOf(c), blueOf(c)); }

} // namespace divograf
