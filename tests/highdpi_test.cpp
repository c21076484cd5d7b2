// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The window on a dense screen and Qt's own texts. At the screen's scale factor (CTest runs it
// at 1, 1.5 and 2) the layout stays in window pixels and the raster shows in whole blocks of
// device pixels, never smoothed, in the middle of the inside of the border. Qt's texts (a message box's
// buttons, a text box's context menu, the print window) in English as Qt starts and in Russian
// once loaded, whatever the system's locale (CTest runs it under an English one).

#include "ui/mainwindow.h"
#include "ui/qttexts.h"
#include "ui/surfaceview.h"

#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <cmath>

using namespace divograf;

namespace {

constexpr int Side = Surface::Pixels;

// Every raster pixel unlike its neighbours.
void paintPattern(Surface &surface)
{
    const auto unit = [](int pixel) { return static_cast<float>(pixel * double(Surface::Units) / Side); };
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            surface.fillBox(unit(x), unit(y), 0, 0, RGB((x * 7) % 256, (y * 11) % 256, (x * y) % 256));
}

// Whether `shown` holds `raster` with its top-left at `corner`, each pixel a `block` square.
bool showsInBlocks(const QImage &shown, const QImage &raster, QPoint corner, int block)
{
    for (int y = 0; y < raster.height() * block; ++y)
        for (int x = 0; x < raster.width() * block; ++x)
            if (shown.pixel(corner + QPoint(x, y)) != raster.pixel(x / block, y / block))
                return false;
    return true;
}

} // namespace

TEST(WindowAtTheScreensScale, KeepsItsLayoutAndShowsTheRasterInBlocks)
{
    Main w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const qreal ratio = w.devicePixelRatioF();
    EXPECT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
    auto *field = w.findChild<SurfaceView *>(QStringLiteral("Field"));
    EXPECT_EQ(w.centralWidget()->size(), QSize(645, 421)); // in window pixels, whatever the scale
    paintPattern(w.model().surface);
    w.model().marker.Visible = false;
    const QImage shown = w.grab().toImage();
    // In the middle of the inside of the border, within a device pixel: Qt places a widget
    // whose window position is not a whole number of device pixels to the nearest one.
    const int block = static_cast<int>(std::floor(ratio));
    const QPointF inside = QPointF(field->mapTo(&w, field->contentsRect().topLeft())) * ratio;
    const double margin = (Side * ratio - Side * block) / 2;
    bool found = false;
    for (int d = 0; d < 9 && !found; ++d)
        found = showsInBlocks(shown, w.model().surface.raster(),
                              QPoint(int(std::floor(inside.x() + margin)) + d % 3 - 1, int(std::floor(inside.y() + margin)) + d / 3 - 1), block);
    EXPECT_TRUE(found) << "ratio " << ratio;
}

TEST(QtTexts, EnglishAsQtStartsRussianOnceLoaded)
{
    const auto texts = [] { // Cancel and Yes, the context menu's Paste, the print window's title
        QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Cancel | QMessageBox::Yes);
        QLineEdit edit;
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QString paste;
        for (const QAction *action : menu->actions())
            if (action->text().section('\t', 1) == QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText))
                paste = action->text().section('\t', 0, 0);
        QPrinter printer;
        return QStringList{box.button(QMessageBox::Cancel)->text(), box.button(QMessageBox::Yes)->text(), paste,
                           QPrintDialog(&printer).windowTitle()};
    };
    EXPECT_EQ(texts(), QStringList({"Cancel", "&Yes", "&Paste", "Print"}));
    ASSERT_TRUE(installQtRussian(*qApp));
    EXPECT_EQ(texts(), QStringList({"Отмена", "&Да", "В&ставить", "Печать"}));
}
