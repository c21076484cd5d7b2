// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The window on a dense screen: its layout in window pixels stays as at 100 %, and the
// surface's raster shows in whole blocks of device pixels, never smoothed. CTest runs the
// window's test at the scale factors 1, 1.5 and 2 (QT_SCALE_FACTOR); the view's test renders
// it at several device pixel ratios whatever the screen's.

#include "ui/mainwindow.h"
#include "ui/surfaceview.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace divograf;

namespace {

constexpr int Side = Surface::Pixels;
constexpr int Border = 2;

// Every raster pixel unlike its neighbours: one-pixel boxes in colours that run through x and y.
void paintPattern(Surface &surface)
{
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const auto unit = [](int pixel) { return static_cast<float>(pixel * double(Surface::Units) / Side); };
            surface.fillBox(unit(x), unit(y), 0, 0, RGB((x * 7) % 256, (y * 11) % 256, (x * y) % 256));
        }
}

// Where `shown` (device pixels) differs from `raster` drawn with its top-left pixel at `corner`
// and each raster pixel a `block` x `block` square; empty when nowhere.
std::string mismatch(const QImage &shown, const QImage &raster, QPoint corner, int block)
{
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x)
            for (int dy = 0; dy < block; ++dy)
                for (int dx = 0; dx < block; ++dx) {
                    const QPoint device = corner + QPoint(x * block + dx, y * block + dy);
                    if (shown.pixel(device) != raster.pixel(x, y))
                        return "raster pixel " + std::to_string(x) + "," + std::to_string(y) + " at device pixel "
                            + std::to_string(device.x()) + "," + std::to_string(device.y());
                }
    return {};
}

// The view rendered into an image of `ratio`, as a window of that ratio paints it.
QImage rendered(SurfaceView &view, qreal ratio)
{
    const QSize device(static_cast<int>(std::ceil(view.width() * ratio)), static_cast<int>(std::ceil(view.height() * ratio)));
    QImage image(device, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    view.render(&image);
    return image;
}

} // namespace

TEST(SurfaceViewAtRatio, ShowsEveryRasterPixelAsAWholeBlockOfDevicePixels)
{
    Surface surface;
    paintPattern(surface);
    Marker marker;
    SurfaceView view(surface, marker);
    view.resize(Side + 2 * Border, Side + 2 * Border);
    const QColor margin = view.palette().window().color();
    const struct
    {
        qreal ratio;
        int block;     // device pixels per raster pixel
        QPoint corner; // the raster's top-left, in device pixels
    } rows[] = {
        {1, 1, {2, 2}}, {2, 2, {4, 4}}, {3, 3, {6, 6}},
        // One device pixel per raster pixel in the middle of the 493.5 inside:
        // (2 + (329 - 329 / 1.5) / 2) * 1.5 = 85.25; (2 + (329 - 329 * 2 / 2.5) / 2) * 2.5 = 87.25.
        {1.5, 1, {85, 85}}, {2.5, 2, {87, 87}},
    };
    for (const auto &row : rows) {
        marker.Visible = false;
        const QImage shown = rendered(view, row.ratio);
        EXPECT_EQ(mismatch(shown, surface.raster(), row.corner, row.block), "") << "ratio " << row.ratio;
        // Between the border and the raster, when there is room, the window's colour.
        const int inside = static_cast<int>(std::ceil(Border * row.ratio));
        EXPECT_EQ(shown.pixelColor(inside, inside), row.corner.x() > inside ? margin : QColor(surface.raster().pixel(0, 0)))
            << "ratio " << row.ratio;

        // The marker in the same blocks: its middle pixel blue, in whole.
        marker.Visible = true;
        const QImage withMarker = rendered(view, row.ratio);
        const QPoint middle = view.markerRect().center() - QPoint(Border, Border);
        for (int dy = 0; dy < row.block; ++dy)
            for (int dx = 0; dx < row.block; ++dx)
                EXPECT_EQ(withMarker.pixel(row.corner + middle * row.block + QPoint(dx, dy)), qRgb(0, 0, 192))
                    << "ratio " << row.ratio;
    }
}

// At the environment's scale factor (1, 1.5 or 2 under CTest).
TEST(WindowAtTheScreensScale, KeepsItsLayoutAndShowsTheRasterInBlocks)
{
    Main w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const qreal ratio = w.devicePixelRatioF();
    EXPECT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());

    // The form's layout in window pixels, whatever the scale.
    EXPECT_EQ(w.centralWidget()->size(), QSize(645, 421));
    auto *field = w.findChild<SurfaceView *>(QStringLiteral("Field"));
    EXPECT_EQ(field->geometry(), QRect(8, 8, 333, 333));

    // The window as it paints itself at its ratio: the raster in whole blocks, in the middle
    // of the inside of the border to a device pixel.
    paintPattern(w.model().surface);
    w.model().marker.Visible = false;
    const QImage shown = w.grab().toImage();
    ASSERT_EQ(shown.devicePixelRatio(), ratio);
    const int block = static_cast<int>(std::floor(ratio));
    const QPointF inside = QPointF(field->mapTo(&w, field->contentsRect().topLeft())) * ratio;
    const double margin = (Side * ratio - Side * block) / 2;
    // Within a device pixel of the middle: Qt places a widget whose window position is not a
    // whole number of device pixels to the nearest one.
    std::string found = "not found";
    for (int dy = -1; dy <= 1 && !found.empty(); ++dy)
        for (int dx = -1; dx <= 1 && !found.empty(); ++dx) {
            const QPoint corner(static_cast<int>(std::floor(inside.x() + margin)) + dx,
                                static_cast<int>(std::floor(inside.y() + margin)) + dy);
            found = mismatch(shown, w.model().surface.raster(), corner, block);
        }
    EXPECT_EQ(found, "") << "ratio " << ratio;
}
