// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/surfaceview.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace divograf {

namespace {
constexpr int BorderPixels = 2;
// A device pixel ratio this close above a whole number counts as that number.
constexpr qreal RatioTolerance = 1e-6;
} // namespace

SurfaceView::SurfaceView(const Surface &surface, const Marker &marker, QWidget *parent)
    : QFrame(parent)
    , surface_(surface)
    , marker_(marker)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(BorderPixels);
    // The raster (and, at a fractional ratio, the margin) covers the whole inside: nothing
    // needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect SurfaceView::markerInRaster() const
{
    const int left = surface_.toPixel(static_cast<float>(marker_.Left));
    const int top = surface_.toPixel(static_cast<float>(marker_.Top));
    const int right = surface_.toPixel(static_cast<float>(marker_.Left + Marker::Size));
    const int bottom = surface_.toPixel(static_cast<float>(marker_.Top + Marker::Size));
    return {left, top, right - left, bottom - top};
}

QRect SurfaceView::markerRect() const
{
    return markerInRaster().translated(contentsRect().topLeft());
}

QRectF SurfaceView::rasterRect(qreal devicePixelRatio) const
{
    const qreal ratio = std::max<qreal>(devicePixelRatio, 1);
    const int block = static_cast<int>(std::floor(ratio + RatioTolerance));
    const QSizeF size = QSizeF(surface_.raster().size()) * block / ratio;
    const QRectF inside = contentsRect();
    const auto onDevicePixel
        = [ratio](qreal at) { return std::floor(at * ratio + RatioTolerance) / ratio; };
    return {QPointF(onDevicePixel(inside.left() + (inside.width() - size.width()) / 2),
                onDevicePixel(inside.top() + (inside.height() - size.height()) / 2)),
        size};
}

void SurfaceView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.setClipRect(inside & event->rect());
    // The painter's scale rather than the widget's ratio: also right when the view is
    // rendered into an image of another ratio.
    const QRectF target = rasterRect(painter.deviceTransform().m11());
    if (!target.contains(QRectF(inside)))
        painter.fillRect(inside, palette().window());
    // The raster and the marker in raster pixels, each of them a block of device pixels.
    const QImage &raster = surface_.raster();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.translate(target.topLeft());
    painter.scale(target.width() / raster.width(), target.height() / raster.height());
    painter.drawImage(0, 0, raster);
    if (marker_.Visible) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(toQRgb(Marker::Fill)));
        painter.drawEllipse(markerInRaster());
    }
}

void SurfaceView::mousePressEvent(QMouseEvent *event)
{
    click_.press(*event);
    QFrame::mousePressEvent(event);
}

void SurfaceView::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = click_.release(*event, *this);
    QFrame::mouseReleaseEvent(event);
    if (click)
        Q_EMIT clicked();
}

} // namespace divograf
