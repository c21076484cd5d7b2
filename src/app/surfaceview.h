#pragma once

#include "surface/surface.h"

#include <QFrame>

namespace divograf {

// `Field` in the window: shows the surface's raster inside a 2-pixel sunken border and draws
// the centre marker over it. It only reads the surface when Qt asks it to paint; whoever
// changes the surface or the marker calls `update()`.
class SurfaceView : public QFrame
{
    Q_OBJECT
public:
    SurfaceView(const Surface &surface, const Marker &marker, QWidget *parent = nullptr);

    // The marker's rectangle in the view's pixels.
    QRect markerRect() const;

Q_SIGNALS:
    // A mouse click (press and release of the left button on the view).
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const Surface &surface_;
    const Marker &marker_;
    bool pressed_ = false;
};

} // namespace divograf
