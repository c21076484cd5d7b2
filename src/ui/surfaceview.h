// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/surface/surface.h"
#include "ui/panelwidgets.h"

#include <QFrame>

#include <optional>

namespace divograf {

// `Field` in the window: shows the surface's raster inside a 2-pixel sunken border and draws
// the centre marker over it. It only reads the surface when Qt asks it to paint; whoever
// changes the surface or the marker calls `update()`.
//
// The raster stays sharp on any screen: one raster pixel covers a whole number of device
// pixels, never smoothed. At a whole device pixel ratio (the program asks Qt to round the
// screen's scale factor) that is the ratio itself and the raster fills the inside; at a
// fractional ratio that nothing rounded (QT_SCALE_FACTOR=1.5) it is the whole part of the
// ratio, and the raster sits in the middle of the inside with a margin round it.
//
// Over the surface the wheel and a drag with the left button explore the picture: the view
// tells them in surface units, measured through the raster's place on the screen, and leaves
// what they do to the window. A press and release that moves less than the drag distance stays
// a click.
class SurfaceView : public QFrame
{
    Q_OBJECT
public:
    SurfaceView(const Surface &surface, const Marker &marker, QWidget *parent = nullptr);

    // The marker's rectangle in the view's pixels, where the raster fills the inside.
    QRect markerRect() const;

    // Where the raster goes inside the view, in the view's pixels, when one of them covers
    // `devicePixelRatio` device pixels: a whole number of device pixels per raster pixel, and
    // the top-left corner on a device pixel.
    QRectF rasterRect(qreal devicePixelRatio) const;

    // The point of the surface under `at` (the view's pixels), in surface units.
    QPointF toUnits(QPointF at) const;

Q_SIGNALS:
    // A mouse click (press and release of the left button on the view, not a drag).
    void clicked();
    // The wheel turned `notches` whole notches (forward positive) over the point `at` of the
    // surface. A high-resolution wheel or a touchpad adds up its parts of a notch.
    void wheelTurned(QPointF at, int notches);
    // The left button went down and the cursor has moved the drag distance since: a drag.
    void dragStarted();
    // The cursor of a drag is `offset` surface units away from where the button went down.
    void dragged(QPointF offset);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QRect markerInRaster() const;
    // Follows the cursor of a pressed left button; whether it is a drag.
    bool follow(QPointF at);

    const Surface &surface_;
    const Marker &marker_;
    ClickWatch click_;
    std::optional<QPointF> pressedAt_; // while the left button is down
    bool dragging_ = false;
    int wheelRest_ = 0; // a part of a notch turned, in eighths of a degree
};

} // namespace divograf
