// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/redraw.h"

#include <QApplication>

namespace divograf {

Redraw::Redraw(Model &model, std::function<void(Drawing)> command)
    : model_(model)
    , command_(std::move(command))
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { due(); });
}

void Redraw::request()
{
    pending_ = true;
    schedule();
}

void Redraw::cancel()
{
    pending_ = false;
    timer_.stop();
}

void Redraw::drawingsReturned()
{
    if (pending_)
        schedule();
}

void Redraw::schedule()
{
    if (timer_.isActive())
        return;
    const Clock::duration wait = lastStart_ + Interval - Clock::now();
    timer_.start(std::max(
        std::chrono::ceil<std::chrono::milliseconds>(wait), std::chrono::milliseconds::zero()));
}

void Redraw::due()
{
    const std::optional<Drawing> last = model_.lastDrawing();
    if (!pending_ || !last)
        return;
    // A modal window's event loop is no place to run a drawing: it could not close before the
    // drawing ended.
    if (QApplication::activeModalWidget()) {
        timer_.start(Interval);
        return;
    }
    if (model_.drawingsOnStack() > 0) {
        if (model_.run.Running)
            command_(*last); // stops it; `drawingsReturned` comes when it has returned
        return;
    }
    pending_ = false;
    lastStart_ = Clock::now();
    ++started_;
    command_(*last); // the whole drawing runs here
}

} // namespace divograf
