// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The mouse on the surface of the real window: the wheel zooms and a drag moves the picture,
// which is drawn again with the new values; a click still stops; Ctrl+C copies the picture.

#include "ui/mainwindow.h"
#include "ui/surfaceview.h"

#include <QtTest>
#include <QtWidgets>

#include "printers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <utility>
#include <vector>

using namespace divograf;

// A failed comparison of pictures says what they were rather than their bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QImage &image, std::ostream *os)
{
    *os << "a picture of " << image.width() << " x " << image.height() << " pixels";
}
QT_END_NAMESPACE

namespace {

using Settings = std::vector<std::pair<Control, int>>;

// The picture the renderer draws with the settings, at Detail 100 unless they say otherwise.
QImage drawn(Drawing drawing, const Settings &settings)
{
    Model model;
    model.startUp();
    model.fractal.setValue(Control::Option1, 1);
    for (const auto &[control, value] : settings)
        model.fractal.setValue(control, value);
    model.startStop(drawing);
    return model.surface.Image();
}

class Gestures : public testing::Test
{
protected:
    Gestures()
    {
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        click("Option1");
    }
    template <typename T = QWidget> T *get(const char *name) const
    {
        return w.findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    int value(Control control) const { return w.model().fractal.value(control); }
    void wheel(QPointF at, int eighths)
    {
        QWheelEvent turn(at, view->mapToGlobal(at), {}, {0, eighths}, Qt::NoButton, {},
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &turn);
    }
    void post(QEvent::Type type, QPoint at)
    {
        QCoreApplication::postEvent(view,
            new QMouseEvent(type, at, view->mapToGlobal(at),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {}));
    }
    // Until every redraw asked for has been drawn.
    void settle()
    {
        QCoreApplication::processEvents(); // the events posted so far
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return !w.redraw().pending() && w.model().drawingsOnStack() == 0; }));
    }
    const QImage &raster() const { return w.model().surface.raster(); }

    Main w;
    SurfaceView *view = get<SurfaceView>("Field");
    const QPoint middle = view->contentsRect().center(); // 164 pixels in: 2489.9 units
};

} // namespace

// One notch forward over the middle: «Размер» 31, the centre kept, the fractal drawn again.
// Parts of a notch add up; a turn back drops the part turned forward.
TEST_F(Gestures, WheelZoomsAndTheFractalFollows)
{
    wheel(middle, 120); // before any drawing: the panel alone
    EXPECT_EQ(value(Control::Slider3), 31);
    EXPECT_EQ(w.redraw().started(), 0);
    click("Command1");
    wheel(middle, 120);
    EXPECT_EQ(get<QGroupBox>("Frame1")->title(), QStringLiteral("Размер  32"));
    settle();
    EXPECT_EQ(w.redraw().started(), 1);
    EXPECT_EQ(raster(), drawn(Drawing::Fractal, {{Control::Slider3, 32}}));
    const struct
    {
        int eighths, size;
    } turns[] = {{40, 32}, {40, 32}, {-120, 31}, {40, 31}, {40, 31}, {40, 32}};
    for (const auto &turn : turns) {
        wheel(middle, turn.eighths);
        EXPECT_EQ(value(Control::Slider3), turn.size) << turn.eighths;
    }
    EXPECT_EQ(value(Control::Slider2), 25);
    settle();
    EXPECT_EQ(raster(), drawn(Drawing::Fractal, {{Control::Slider3, 32}}));
}

// 20 pixels right are three steps of `Slider2`; the hand closes while the button is down.
TEST_F(Gestures, DragMovesThePicture)
{
    click("Command1");
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    QTest::mousePress(view, Qt::LeftButton, {}, middle);
    EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
    for (const int dx : {5, 10, 15, 20})
        QTest::mouseMove(view, middle + QPoint(dx, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, middle + QPoint(20, 0));
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(value(Control::Slider2), 28);
    EXPECT_EQ(value(Control::Slider1), 25);
    settle();
    EXPECT_EQ(raster(), drawn(Drawing::Fractal, {{Control::Slider2, 28}}));
}

// Less than the drag distance is a click: it stops a running drawing at the end of its column
// (50 cells at Detail 100) and moves nothing; while idle it does nothing at all.
TEST_F(Gestures, ClickShorterThanTheDragDistanceStops)
{
    const QPoint near = middle + QPoint(QApplication::startDragDistance() - 1, 0);
    const auto clickNear = [&] {
        QTest::mousePress(view, Qt::LeftButton, {}, middle);
        QTest::mouseMove(view, near);
        QTest::mouseRelease(view, Qt::LeftButton, {}, near);
    };
    int cells = 0;
    w.model().run.yield = [&, windowYield = w.model().run.yield] {
        if (++cells == 1)
            clickNear();
        windowYield();
    };
    click("Command1");
    EXPECT_EQ(cells, 50);
    EXPECT_EQ(value(Control::Slider2), 25);
    const QImage before = raster();
    clickNear();
    settle();
    EXPECT_EQ(cells, 50);
    EXPECT_EQ(raster(), before);
}

// Moves that come together make one redraw. Moves that come while a redraw runs stop it; the
// next starts after it has returned, never nested, and no sooner than 100 ms after the last.
// After the release at most one more is drawn, with the final values: the drag from 2700 by
// 20 pixels (303.6 units) ends at 3003.6, step 30.
TEST_F(Gestures, RestartsAreMergedAndNeverNested)
{
    click("Command1");
    post(QEvent::MouseButtonPress, middle);
    for (int dx = 1; dx <= 10; ++dx)
        post(QEvent::MouseMove, middle + QPoint(dx, dx));
    post(QEvent::MouseButtonRelease, middle + QPoint(10, 10));
    settle();
    EXPECT_EQ(w.redraw().started(), 1);
    EXPECT_EQ(raster(), drawn(Drawing::Fractal, {{Control::Slider2, 27}, {Control::Slider1, 27}}));

    click("Option4"); // 250000 cells, 500 a column: a drawing long enough to be stopped
    constexpr int Cells = 250000, Moving = 150000;
    int cells = 0, deepest = 0, seen = w.redraw().started();
    std::vector<std::chrono::steady_clock::time_point> starts;
    w.model().run.yield = [&, windowYield = w.model().run.yield] {
        deepest = std::max(deepest, w.model().drawingsOnStack());
        if (w.redraw().started() != seen) {
            seen = w.redraw().started();
            starts.push_back(std::chrono::steady_clock::now());
        }
        if (++cells % 2000 == 0 && cells <= Moving)
            post(QEvent::MouseMove, middle + QPoint(cells % 4000 == 0 ? 20 : 10, 0));
        windowYield();
    };
    QTest::mousePress(view, Qt::LeftButton, {}, middle);
    QTest::mouseMove(view, middle + QPoint(10, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return cells >= Moving; }, 60000));
    const int beforeRelease = w.redraw().started();
    QTest::mouseRelease(view, Qt::LeftButton, {}, middle + QPoint(20, 0));
    settle();
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(starts.size(), 2u);
    EXPECT_LT(cells, static_cast<int>(starts.size()) * Cells); // some were stopped
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_GE(starts[i] - starts[i - 1], std::chrono::milliseconds(99)) << i;
    EXPECT_LE(w.redraw().started() - beforeRelease, 1);
    EXPECT_EQ(raster(),
        drawn(Drawing::Fractal,
            {{Control::Option4, 1}, {Control::Slider2, 30}, {Control::Slider1, 27}}));
}

// A modal window's event loop runs no drawing, which it would have to wait for to close: the
// redraw waits until the window has closed.
TEST_F(Gestures, RedrawWaitsForAModalWindow)
{
    click("Command1");
    QDialog modal(&w);
    modal.setModal(true);
    modal.show();
    wheel(middle, 120);
    QTest::qWait(2 * Redraw::Interval.count());
    EXPECT_EQ(w.redraw().started(), 0);
    modal.close();
    settle();
    EXPECT_EQ(w.redraw().started(), 1);
}

// After the interference the wheel changes the size alone and draws nothing, since the picture
// does not show it; a drag draws the interference again about the new centre.
TEST_F(Gestures, InterferenceFollowsTheCentreOnly)
{
    click("Command3");
    const QImage before = raster();
    wheel(middle + QPoint(60, -60), 360);
    EXPECT_EQ(value(Control::Slider3), 33);
    EXPECT_EQ(value(Control::Slider2), 25);
    settle();
    EXPECT_EQ(w.redraw().started(), 0);
    EXPECT_EQ(raster(), before);
    QTest::mousePress(view, Qt::LeftButton, {}, middle);
    QTest::mouseMove(view, middle + QPoint(0, -20));
    QTest::mouseRelease(view, Qt::LeftButton, {}, middle + QPoint(0, -20));
    settle();
    EXPECT_EQ(w.redraw().started(), 1);
    EXPECT_EQ(
        raster(), drawn(Drawing::Interference, {{Control::Slider3, 33}, {Control::Slider1, 22}}));
}

// Ctrl+C puts the picture on the clipboard, without the marker; in a text box it copies the
// text as always.
TEST_F(Gestures, CtrlCCopiesThePicture)
{
    click("Command1");
    get<QSlider>("Slider2")->setValue(30); // shows the marker
    ASSERT_TRUE(w.model().marker.Visible);
    get("Slider2")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(raster().format()), raster());
    auto *distance = get<QLineEdit>("lt");
    distance->setFocus();
    distance->selectAll();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("700"));
}

// At 1.5 the raster shows one device pixel a raster pixel, 219.3 window pixels wide: 20 of them
// are 455.5 units, and 2955.5 is step 30. At 2 the raster shows 329 window pixels wide again.
TEST(WindowAtTheScreensScale, DragFollowsTheCursorAtTheRastersScale)
{
    Main w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const std::map<qreal, int> expected = {{1.0, 28}, {1.5, 30}, {2.0, 28}};
    auto *view = w.findChild<SurfaceView *>(QStringLiteral("Field"));
    const QPoint middle = view->contentsRect().center();
    QTest::mousePress(view, Qt::LeftButton, {}, middle);
    QTest::mouseMove(view, middle + QPoint(20, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, middle + QPoint(20, 0));
    EXPECT_EQ(w.model().fractal.value(Control::Slider2), expected.at(w.devicePixelRatioF()));
}
