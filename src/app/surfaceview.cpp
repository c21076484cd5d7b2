#include "app/surfaceview.h"

#include <QMouseEvent>
#include <QPainter>

namespace divograf {

namespace {
constexpr int BorderPixels = 2;
}

SurfaceView::SurfaceView(const Surface &surface, const Marker &marker, QWidget *parent)
    : QFrame(parent)
    , surface_(surface)
    , marker_(marker)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(BorderPixels);
    // The raster covers the whole inside: nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect SurfaceView::markerRect() const
{
    const int left = surface_.toPixel(static_cast<float>(marker_.Left));
    const int top = surface_.toPixel(static_cast<float>(marker_.Top));
    const int right = surface_.toPixel(static_cast<float>(marker_.Left + Marker::Size));
    const int bottom = surface_.toPixel(static_cast<float>(marker_.Top + Marker::Size));
    return QRect(left, top, right - left, bottom - top).translated(contentsRect().topLeft());
}

void SurfaceView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.setClipRect(inside & event->rect());
    painter.drawImage(inside.topLeft(), surface_.raster());
    if (marker_.Visible) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(toQRgb(Marker::Fill)));
        painter.drawEllipse(markerRect());
    }
}

void SurfaceView::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QFrame::mousePressEvent(event);
}

void SurfaceView::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QFrame::mouseReleaseEvent(event);
    if (click)
        Q_EMIT clicked();
}

} // namespace divograf
