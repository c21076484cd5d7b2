// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/surface/colour.h"

#include <QImage>
#include <QPainter>

#include <cstdint>

namespace divograf {

// The centre marker: a 120-unit disc that a view draws over the surface, never into it.
struct Marker
{
    static constexpr int Size = 120;
    static constexpr Colour Fill = RGB(0, 0, 192);

    int Left = 2411;
    int Top = 2411;
    bool Visible = true;
};

// The drawing surface: one persistent raster addressed in surface units, origin top-left,
// y downwards, 4995 units visible on each axis. Everything outside is clipped silently.
// Painting is aliased, so every pixel carries exactly one colour that a drawing computed.
// Nothing here repaints anything: a view reads `raster()` when it repaints and can tell from
// `revision()` whether anything was drawn since.
class Surface
{
public:
    static constexpr int Pixels = 329;   // raster side at scale 1
    static constexpr int Units = 4995;   // surface units on each axis
    static constexpr int Nominal = 5000; // the extent the drawings address
    static constexpr Colour InitialColour = RGB(192, 255, 192);

    // `scale` (1..16) multiplies the pixels per side and every pen width.
    explicit Surface(int scale = 1);
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    int scale() const { return scale_; }
    int pixels() const { return pixels_; }

    // The one unit-to-pixel mapping: pixel = unit * pixels / 4995, to the nearest pixel.
    int toPixel(float unit) const;
    // The whole number of surface units nearest to one pixel at `scale`, at least 1: 15 at
    // scale 1, 4 at scale 4, 1 from scale 11 on.
    static int unitsNearestPixel(int scale);

    // `Line` as a filled box: the rectangle with corners (x, y) and (x + w, y + h), edges
    // included. A pen wider than one pixel widens the edges, as it does for lines.
    void fillBox(float x, float y, float w, float h, Colour colour);
    // The pixel rows `rowFrom`..`rowTo` of that box and nothing else, for painters that share the
    // raster in bands of rows: threads may fill disjoint bands at once. Counts as no drawing;
    // the caller counts the whole with `markDrawn`.
    void fillBoxInRows(float x, float y, float w, float h, Colour colour, int rowFrom, int rowTo);
    void markDrawn() { ++revision_; }
    // `Line` with absolute ends, drawn with the pen width.
    void line(float x1, float y1, float x2, float y2, Colour colour);
    // `Line` with a relative end.
    void lineBy(float x, float y, float dx, float dy, Colour colour)
    {
        line(x, y, x + dx, y + dy, colour);
    }
    // One cell of a map drawing: the filled square from (x, y) with the side given, or, when
    // the gaps are not to be filled, its diagonal only.
    void cell(float x, float y, float side, bool filled, Colour colour)
    {
        if (filled)
            fillBox(x, y, side, side, colour);
        else
            lineBy(x, y, side, side, colour);
    }
    // `Circle`: the outline round (x, y) with radius r, drawn with the pen width: every pixel
    // whose middle lies within half the pen width of the circle.
    void circle(float x, float y, float r, Colour colour);
    // Its pixel rows `rowFrom`..`rowTo` only, as `fillBoxInRows`.
    void circleInRows(float x, float y, float r, Colour colour, int rowFrom, int rowTo);
    // The clearing of every start command: white from (0, 0) to (5000, 5000).
    void clear() { fillBox(0, 0, Nominal, Nominal, White); }

    // `DrawWidth`: the pen width in pixels at scale 1, at least 1.
    std::int16_t DrawWidth() const { return drawWidth_; }
    void setDrawWidth(std::int16_t pixels);
    // A pen of this many raster pixels (at least 1) whatever the scale, for pens that do not
    // scale with the surface; `DrawWidth` then tells its width at scale 1, rounded down.
    void setRasterPen(int pixels);
    int rasterPen() const { return penPixels_; }

    // `Image`: a copy of the raster as it stands.
    QImage Image() const { return raster_.copy(); }
    // The raster itself, for a view that paints it without copying.
    const QImage &raster() const { return raster_; }
    // The raster with no painter open on it, so that a copy of it shares its pixels instead
    // of copying them all (Qt copies an image being painted on): for a writer that takes the
    // picture as it stands. The next line opens the painter again.
    const QImage &settled();
    Colour pixel(int x, int y) const;

    // Changes with every drawing operation.
    std::uint64_t revision() const { return revision_; }

private:
    void openPainter();
    void applyPen(Colour colour);
    void painted();

    int scale_;
    int pixels_;
    double pixelsPerUnit_;
    std::int16_t drawWidth_ = 1;
    int penPixels_; // the pen in raster pixels: drawWidth_ * scale_, or as set by setRasterPen
    std::uint64_t revision_ = 0;
    QImage raster_;
    QRgb *bits_;       // raster_'s pixels; the raster is never shared, so they stay put
    qsizetype stride_; // in pixels
    QPainter painter_; // kept open on raster_ for lines, except while settled
    QRgb penColour_ = 0;
    int penWidth_ = 0; // in raster pixels, 0 until the first pen is set
};

} // namespace divograf
