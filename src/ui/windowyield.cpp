// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/windowyield.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace divograf {

namespace {
bool sameMarker(const Marker &a, const Marker &b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Visible == b.Visible;
}

// Refresh rates a screen may plausibly report; anything else is taken for "unknown".
constexpr double SlowestDisplay = 20;
constexpr double FastestDisplay = 500;
} // namespace

WindowYield::WindowYield(Model &model, QWidget &window, QWidget &view, QProgressBar &progress)
    : model_(model)
    , window_(window)
    , view_(view)
    , progress_(progress)
    , frame_(framePeriod())
    , caption_(model.run.status.caption())
    , revision_(model.surface.revision())
    , marker_(model.marker)
    , lastRepaint_(Clock::now())
{
    window_.setWindowTitle(caption_);
    progress_.setValue(model.run.status.progress());
}

WindowYield::Clock::duration WindowYield::framePeriod() const
{
    const QScreen *screen = view_.screen();
    double rate = screen ? screen->refreshRate() : 0;
    if (!(rate >= SlowestDisplay && rate <= FastestDisplay))
        rate = DefaultFrameRate;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1 / rate));
}

void WindowYield::operator()()
{
    if (quitting_)
        return;
    Clock::time_point now = Clock::now();
    if (now - lastEvents_ >= EventInterval) {
        QCoreApplication::processEvents();
        if (quitting_)
            return;
        now = Clock::now();
        lastEvents_ = now;
    }
    show(Repaint::AtFrameRate, now);
}

void WindowYield::frameDrawn()
{
    if (quitting_)
        return;
    show(Repaint::Now); // painted at the first pass of the event loop below
    const Clock::time_point due = lastFrame_ + frame_;
    const Clock::time_point now = Clock::now();
    if (now < due) {
        QEventLoop wait;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &wait, &QEventLoop::quit);
        timer.start(
            std::chrono::ceil<std::chrono::milliseconds>(due - now)); // never before it is due
        wait.exec(); // an ending program makes it return at once
    } else {
        QCoreApplication::processEvents();
    }
    // A steady beat while the frames keep up with the display; after a late one (a modal
    // window, a nested drawing, a busy machine) the beat starts afresh.
    // The next frame is drawn from here; it is shown before it is whole only if it takes
    // longer than a frame of the display.
    const Clock::time_point shown = Clock::now();
    lastFrame_ = shown - due < frame_ ? due : shown;
    lastEvents_ = shown;
    lastRepaint_ = shown;
}

void WindowYield::show(Repaint when) { show(when, Clock::now()); }

void WindowYield::show(Repaint when, Clock::time_point now)
{
    if (quitting_)
        return;
    const Status &status = model_.run.status;
    if (status.caption() != caption_) {
        caption_ = status.caption();
        window_.setWindowTitle(caption_);
    }
    if (when == Repaint::Now)
        frame_ = framePeriod(); // the window may have moved to another screen
    if (when == Repaint::AtFrameRate && now - lastRepaint_ < frame_)
        return;
    bool repainted = false;
    // QProgressBar repaints itself at once when its value changes, so it takes a new value
    // only when a frame is due, as the view does.
    if (progress_.value() != status.progress()) {
        progress_.setValue(status.progress());
        repainted = true;
    }
    if (model_.surface.revision() != revision_ || !sameMarker(model_.marker, marker_)) {
        revision_ = model_.surface.revision();
        marker_ = model_.marker;
        view_.update();
        repainted = true;
    }
    if (repainted)
        lastRepaint_ = now;
}

void WindowYield::quit()
{
    quitting_ = true;
    model_.run.Running = false;
}

} // namespace divograf
