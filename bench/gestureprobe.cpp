// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "gestureprobe.h"

#include "ui/surfaceview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>

namespace divograf::bench {

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

SurfaceView &field(Main &window)
{
    return *window.findChild<SurfaceView *>(QStringLiteral("Field"));
}

bool settled(const Main &window)
{
    return !window.redraw().pending() && window.model().drawingsOnStack() == 0;
}

// Notes the paints of the view.
class Paints : public QObject
{
public:
    explicit Paints(Main &window)
        : window_(window)
    {
        field(window_).installEventFilter(this);
    }
    ~Paints() override { field(window_).removeEventFilter(this); }
    // Runs the event loop until nothing is drawn and nothing is to be drawn, then for a while
    // more; returns when the view last painted, which is when it showed the last picture.
    Clock::time_point lastAfterSettling()
    {
        while (!settled(window_))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const Clock::time_point until = Clock::now() + Redraw::Interval;
        while (Clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return last_;
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            last_ = Clock::now();
        return false;
    }

private:
    Main &window_;
    Clock::time_point last_;
};

void idleFor(std::chrono::milliseconds span)
{
    const Clock::time_point until = Clock::now() + span;
    while (Clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void send(QWidget &to, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, at, to.mapToGlobal(at),
        type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
    QApplication::sendEvent(&to, &event);
}

} // namespace

double wheelNotchMs(Main &window, bool forward)
{
    SurfaceView &view = field(window);
    idleFor(Redraw::Interval + std::chrono::milliseconds(20));
    const QPointF at = QRectF(view.contentsRect()).center();
    QWheelEvent turn(at, view.mapToGlobal(at), {}, {0, forward ? 120 : -120}, Qt::NoButton, {},
        Qt::NoScrollPhase, false);
    Paints paints(window);
    const Clock::time_point start = Clock::now();
    QApplication::sendEvent(&view, &turn);
    return ms(paints.lastAfterSettling() - start);
}

DragRun drag(Main &window, double seconds, int eventsPerSecond)
{
    SurfaceView &view = field(window);
    idleFor(Redraw::Interval + std::chrono::milliseconds(20));
    const QPoint from = view.contentsRect().center();
    const int events = static_cast<int>(seconds * eventsPerSecond);
    DragRun run;
    const int before = window.redraw().started();
    Paints paints(window);
    send(view, QEvent::MouseButtonPress, from);
    int sent = 0;
    bool released = false;
    QTimer motion;
    motion.setTimerType(Qt::PreciseTimer);
    QObject::connect(&motion, &QTimer::timeout, [&] {
        if (sent < events) {
            send(view, QEvent::MouseMove, from + QPoint(++sent, 0));
            return;
        }
        motion.stop();
        run.drawingsWhileDragging = window.redraw().started() - before;
        send(view, QEvent::MouseButtonRelease, from + QPoint(sent, 0));
        released = true;
    });
    motion.start(1000 / eventsPerSecond);
    while (!released)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const Clock::time_point release = Clock::now();
    const int atRelease = window.redraw().started();
    run.releaseToPictureMs = std::max(0.0, ms(paints.lastAfterSettling() - release));
    run.drawingsAfterRelease = window.redraw().started() - atRelease;

    Model model;
    model.startUp();
    for (const ControlSpec &s : Controls)
        if (s.kind != ControlKind::Option || window.model().fractal.value(s.id) == 1)
            model.fractal.setValue(s.id, window.model().fractal.value(s.id));
    model.startStop(Drawing::Fractal);
    run.finalPicture = model.surface.Image() == window.model().surface.Image();

    // Back to where it began, so that later drawings are those of the settings alone.
    idleFor(Redraw::Interval + std::chrono::milliseconds(20));
    send(view, QEvent::MouseButtonPress, from + QPoint(sent, 0));
    send(view, QEvent::MouseMove, from);
    send(view, QEvent::MouseButtonRelease, from);
    while (!settled(window))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return run;
}

} // namespace divograf::bench
