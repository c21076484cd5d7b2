// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/surface/surface.h"
#include "ui/panelwidgets.h"

#include <QFrame>

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

Q_SIGNALS:
    // A mouse click (press and release of the left button on the view).
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect markerInRaster() const;

    const Surface &surface_;
    const Marker &marker_;
    ClickWatch click_;
};

} // namespace divograf
