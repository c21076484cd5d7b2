// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/surfaceview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

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
    setCursor(Qt::OpenHandCursor);
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

QPointF SurfaceView::toUnits(QPointF at) const
{
    const QRectF raster = rasterRect(devicePixelRatioF());
    return (at - raster.topLeft()) * (Surface::Units / raster.width());
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
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->position();
        dragging_ = false;
        setCursor(Qt::ClosedHandCursor);
    }
    QFrame::mousePressEvent(event);
}

bool SurfaceView::follow(QPointF at)
{
    if (!pressedAt_)
        return false;
    if (!dragging_ && (at - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;
        Q_EMIT dragStarted();
    }
    // From where the button went down, so that no move is lost to rounding.
    if (dragging_)
        Q_EMIT dragged(toUnits(at) - toUnits(*pressedAt_));
    return dragging_;
}

void SurfaceView::mouseMoveEvent(QMouseEvent *event)
{
    follow(event->position());
    QFrame::mouseMoveEvent(event);
}

void SurfaceView::mouseReleaseEvent(QMouseEvent *event)
{
    bool click = click_.release(*event, *this);
    if (event->button() == Qt::LeftButton) {
        click = !follow(event->position()) && click;
        pressedAt_.reset();
        setCursor(Qt::OpenHandCursor);
    }
    QFrame::mouseReleaseEvent(event);
    if (click)
        Q_EMIT clicked();
}

void SurfaceView::wheelEvent(QWheelEvent *event)
{
    const int eighths = event->angleDelta().y();
    if (wheelRest_ * eighths < 0)
        wheelRest_ = 0; // turned back: the part of a notch the other way is dropped
    wheelRest_ += eighths;
    const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        Q_EMIT wheelTurned(toUnits(event->position()), notches);
}

} // namespace divograf
