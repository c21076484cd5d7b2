#include "surface/surface.h"

#include <QPen>

#include <algorithm>
#include <cmath>

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
void settleVectorUnit() {}
#endif

} // namespace

Surface::Surface(int scale)
    : scale_(std::clamp(scale, 1, 16))
    , pixels_(Pixels * scale_)
    , pixelsPerUnit_(static_cast<double>(pixels_) / Units)
    , raster_(pixels_, pixels_, QImage::Format_RGB32)
{
    raster_.fill(toQRgb(InitialColour));
    bits_ = reinterpret_cast<QRgb *>(raster_.bits());
    stride_ = raster_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    painter_.begin(&raster_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBrush(Qt::NoBrush);
}

int Surface::toPixel(float unit) const
{
    // Far-off coordinates are clamped first, so that nothing overflows on the way to int.
    const double p = std::floor(std::clamp(static_cast<double>(unit), -1e6, 1e6) * pixelsPerUnit_ + 0.5);
    return static_cast<int>(p);
}

void Surface::setDrawWidth(std::int16_t pixels)
{
    drawWidth_ = std::max<std::int16_t>(pixels, 1);
}

void Surface::fillBox(float x, float y, float w, float h, Colour colour)
{
    const int width = drawWidth_ * scale_;
    const int grow = (width - 1) / 2;
    int x0 = toPixel(std::min(x, x + w)) - grow;
    int y0 = toPixel(std::min(y, y + h)) - grow;
    int x1 = toPixel(std::max(x, x + w)) + width / 2;
    int y1 = toPixel(std::max(y, y + h)) + width / 2;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, pixels_ - 1);
    y1 = std::min(y1, pixels_ - 1);
    ++revision_;
    if (x0 > x1 || y0 > y1)
        return;
    const QRgb value = toQRgb(colour);
    for (int y = y0; y <= y1; ++y)
        std::fill(bits_ + y * stride_ + x0, bits_ + y * stride_ + x1 + 1, value);
}

void Surface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    applyPen(colour);
    painter_.drawLine(QPoint(toPixel(x1), toPixel(y1)), QPoint(toPixel(x2), toPixel(y2)));
    painted();
}

void Surface::circle(float x, float y, float r, Colour colour)
{
    applyPen(colour);
    const QPointF centre(x * pixelsPerUnit_, y * pixelsPerUnit_);
    const double radius = std::abs(r) * pixelsPerUnit_;
    if (2 * radius < penWidth_) {
        // A pen wider than the circle covers its middle too. Qt's stroker would leave the middle
        // open (the inner edge of the stroke turns inside out), so fill the outer edge instead.
        const double outer = radius + penWidth_ / 2.0;
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(QColor::fromRgb(penColour_));
        painter_.drawEllipse(centre, outer, outer);
        painter_.setBrush(Qt::NoBrush);
        penWidth_ = 0; // the next line or circle sets its pen again
    } else {
        painter_.drawEllipse(centre, radius, radius);
    }
    painted();
}

Colour Surface::pixel(int x, int y) const
{
    const QRgb p = raster_.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

void Surface::applyPen(Colour colour)
{
    const QRgb value = toQRgb(colour);
    const int width = drawWidth_ * scale_;
    if (value == penColour_ && width == penWidth_)
        return;
    penColour_ = value;
    penWidth_ = width;
    // Round ends, as the platform's geometric pens have: thick segments that meet end to end
    // join without notches.
    painter_.setPen(QPen(QColor::fromRgb(value), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void Surface::painted()
{
    ++revision_;
    settleVectorUnit();
}

} // namespace divograf
