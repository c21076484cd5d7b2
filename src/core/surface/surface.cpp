// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/surface/surface.h"

#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace divograf {

namespace {

// Qt's AVX2 span routines can return with the upper halves of the YMM registers dirty; every
// SSE instruction after that runs many times slower until the next vzeroupper, and the
// drawings do their arithmetic in SSE between two raster operations. Clearing the upper
// halves once after each QPainter call costs a few cycles.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void zeroUpper() { _mm256_zeroupper(); }
const bool CpuHasAvx = __builtin_cpu_supports("avx");
void settleVectorUnit()
{
    if (CpuHasAvx)
        zeroUpper();
}
#else
void settleVectorUnit() { }
#endif

} // namespace

Surface::Surface(int scale)
    : scale_(std::clamp(scale, 1, 16))
    , pixels_(Pixels * scale_)
    , pixelsPerUnit_(static_cast<double>(pixels_) / Units)
    , penPixels_(scale_)
    , raster_(pixels_, pixels_, QImage::Format_RGB32)
{
    raster_.fill(toQRgb(InitialColour));
    bits_ = reinterpret_cast<QRgb *>(raster_.bits());
    stride_ = raster_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    openPainter();
    // The fill above runs Qt's AVX2 routine: without this, a headless drawing, which calls
    // nothing else that clears the upper halves, would do all its arithmetic at the slow pace.
    settleVectorUnit();
}

void Surface::openPainter()
{
    painter_.begin(&raster_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBrush(Qt::NoBrush);
    penColour_ = 0;
    penWidth_ = 0;
}

const QImage &Surface::settled()
{
    if (painter_.isActive())
        painter_.end();
    return raster_;
}

int Surface::toPixel(float unit) const
{
    // Far-off coordinates are clamped first, so that nothing overflows on the way to int.
    const double p
        = std::floor(std::clamp(static_cast<double>(unit), -1e6, 1e6) * pixelsPerUnit_ + 0.5);
    return static_cast<int>(p);
}

int Surface::unitsNearestPixel(int scale)
{
    return std::max(
        1, static_cast<int>(std::lround(static_cast<double>(Units) / (Pixels * scale))));
}

void Surface::setDrawWidth(std::int16_t pixels)
{
    drawWidth_ = std::max<std::int16_t>(pixels, 1);
    penPixels_ = drawWidth_ * scale_;
}

void Surface::setRasterPen(int pixels)
{
    penPixels_ = std::clamp(pixels, 1, std::numeric_limits<std::int16_t>::max() * scale_);
    drawWidth_ = static_cast<std::int16_t>(std::max(penPixels_ / scale_, 1));
}

void Surface::fillBox(float x, float y, float w, float h, Colour colour)
{
    ++revision_;
    fillBoxInRows(x, y, w, h, colour, 0, pixels_ - 1);
}

void Surface::fillBoxInRows(
    float x, float y, float w, float h, Colour colour, int rowFrom, int rowTo)
{
    const int width = penPixels_;
    const int grow = (width - 1) / 2;
    int y0 = toPixel(std::min(y, y + h)) - grow;
    int y1 = toPixel(std::max(y, y + h)) + width / 2;
    y0 = std::max(y0, std::max(rowFrom, 0));
    y1 = std::min(y1, std::min(rowTo, pixels_ - 1));
    if (y0 > y1)
        return;
    int x0 = toPixel(std::min(x, x + w)) - grow;
    int x1 = toPixel(std::max(x, x + w)) + width / 2;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, pixels_ - 1);
    if (x0 > x1)
        return;
    const QRgb value = toQRgb(colour);
    for (int y = y0; y <= y1; ++y)
        std::fill(bits_ + y * stride_ + x0, bits_ + y * stride_ + x1 + 1, value);
}

void Surface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    if (!painter_.isActive())
        openPainter();
    applyPen(colour);
    painter_.drawLine(QPoint(toPixel(x1), toPixel(y1)), QPoint(toPixel(x2), toPixel(y2)));
    painted();
}

void Surface::circle(float x, float y, float r, Colour colour)
{
    ++revision_;
    circleInRows(x, y, r, colour, 0, pixels_ - 1);
}

void Surface::circleInRows(float x, float y, float r, Colour colour, int rowFrom, int rowTo)
{
    // The outline drawn with the pen is the ring of pixels whose middles lie between r - w/2 and
    // r + w/2 from the centre; a pen wider than the circle makes it a disc. Pixel i's middle sits
    // at unit i / pixelsPerUnit, as `toPixel` maps. Painted row by row: Qt's stroker costs
    // several times as much for the same pixels and leaves the middle of a small thick circle
    // open.
    const double cx = std::clamp(static_cast<double>(x), -1e6, 1e6) * pixelsPerUnit_;
    const double cy = std::clamp(static_cast<double>(y), -1e6, 1e6) * pixelsPerUnit_;
    const double radius = std::min(std::abs(static_cast<double>(r)), 1e6) * pixelsPerUnit_;
    const double half = penPixels_ / 2.0;
    const double outer = radius + half, inner = radius - half;
    const double top = std::max<double>(std::max(rowFrom, 0), std::ceil(cy - outer));
    const double bottom = std::min<double>(std::min(rowTo, pixels_ - 1), std::floor(cy + outer));
    const QRgb value = toQRgb(colour);
    for (int py = static_cast<int>(top); py <= bottom; ++py) {
        const double dy = py - cy;
        const double outerSquare = outer * outer - dy * dy;
        if (outerSquare < 0)
            continue;
        const double ox = std::sqrt(outerSquare);
        const double left = std::max(0.0, std::ceil(cx - ox));
        const double right = std::min(pixels_ - 1.0, std::floor(cx + ox));
        if (left > right)
            continue;
        QRgb *row = bits_ + py * stride_;
        const int xa = static_cast<int>(left), xb = static_cast<int>(right);
        const double innerSquare = inner * inner - dy * dy;
        if (inner <= 0 || innerSquare <= 0) {
            std::fill(row + xa, row + xb + 1, value);
            continue;
        }
        // Leave open the pixels strictly inside the inner edge.
        const double ix = std::sqrt(innerSquare);
        const int leftEnd = static_cast<int>(std::min(right, std::floor(cx - ix)));
        const int rightStart = static_cast<int>(std::max(left, std::ceil(cx + ix)));
        if (leftEnd >= xa)
            std::fill(row + xa, row + leftEnd + 1, value);
        if (rightStart <= xb)
            std::fill(row + rightStart, row + xb + 1, value);
    }
}

Colour Surface::pixel(int x, int y) const
{
    const QRgb p = raster_.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

void Surface::applyPen(Colour colour)
{
    const QRgb value = toQRgb(colour);
    const int width = penPixels_;
    if (value == penColour_ && width == penWidth_)
        return;
    penColour_ = value;
    penWidth_ = width;
    // Round ends, as the platform's geometric pens have: thick segments that meet end to end
    // join without notches.
    painter_.setPen(
        QPen(QColor::fromRgb(value), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void Surface::painted()
{
    ++revision_;
    settleVectorUnit();
}

} // namespace divograf
