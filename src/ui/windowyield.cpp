#include "ui/windowyield.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QWidget>

namespace divograf {

namespace {
bool sameMarker(const Marker &a, const Marker &b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Visible == b.Visible;
}
} // namespace

WindowYield::WindowYield(Model &model, QWidget &window, QWidget &view, QProgressBar &progress)
    : model_(model)
    , window_(window)
    , view_(view)
    , progress_(progress)
    , eventStep_([] { QCoreApplication::processEvents(); })
    , caption_(model.run.status.caption())
    , progressValue_(model.run.status.progress())
    , revision_(model.surface.revision())
    , marker_(model.marker)
{
    window_.setWindowTitle(caption_);
    progress_.setValue(progressValue_);
    sinceRepaint_.start();
}

void WindowYield::operator()()
{
    if (quitting_)
        return;
    eventStep_();
    if (quitting_)
        return;
    show(Repaint::AtFrameRate);
}

void WindowYield::show(Repaint when)
{
    if (quitting_)
        return;
    const Status &status = model_.run.status;
    if (status.caption() != caption_) {
        caption_ = status.caption();
        window_.setWindowTitle(caption_);
    }
    if (status.progress() != progressValue_) {
        progressValue_ = status.progress();
        // QProgressBar repaints itself at once when its value changes; with updates off for
        // the change it is repainted when the event loop next runs, like the view.
        progress_.setUpdatesEnabled(false);
        progress_.setValue(progressValue_);
        progress_.setUpdatesEnabled(true);
    }
    const bool changed = model_.surface.revision() != revision_ || !sameMarker(model_.marker, marker_);
    if (changed && (when == Repaint::Now || sinceRepaint_.nsecsElapsed() >= FrameNs)) {
        revision_ = model_.surface.revision();
        marker_ = model_.marker;
        view_.update();
        sinceRepaint_.restart();
    }
}

void WindowYield::quit()
{
    quitting_ = true;
    model_.run.Running = false;
}

} // namespace divograf
