#pragma once

#include "core/model.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <functional>

class QProgressBar;
class QWidget;

namespace divograf {

// The window's yield, called by the drawings after every drawn element, and the one place
// that brings the window in line with the model: the caption and the progress bar when they
// changed, and a repaint of the surface view when the raster or the marker changed. Repaints
// are asked for with `update()` (Qt paints when it next runs its event loop), at most once a
// frame while a drawing runs; nothing here paints synchronously and nothing runs when idle.
class WindowYield
{
public:
    // About 60 frames a second.
    static constexpr std::int64_t FrameNs = 16'667'000;

    enum class Repaint { AtFrameRate, Now };

    WindowYield(Model &model, QWidget &window, QWidget &view, QProgressBar &progress);

    // Processes the pending events (any handler may run inside, a start/stop command too),
    // then shows what changed. Once the program is ending it returns at once, so that every
    // drawing on the stack finishes its pass quickly and unwinds.
    void operator()();

    // Shows what changed since the last call: the caption and the progress at once, the view
    // at frame rate or `Now` (the end of a command, a moved marker).
    void show(Repaint when);

    // The program is ending: `Running` false, no more events processed, nothing shown.
    void quit();
    bool quitting() const { return quitting_; }

    // The event step of the yield, `QCoreApplication::processEvents()` unless replaced (the
    // window benchmark times it).
    void setEventStep(std::function<void()> step) { eventStep_ = std::move(step); }

private:
    Model &model_;
    QWidget &window_;
    QWidget &view_;
    QProgressBar &progress_;
    std::function<void()> eventStep_;
    bool quitting_ = false;

    // What the window shows now.
    QString caption_;
    int progressValue_ = 0;
    std::uint64_t revision_ = 0;
    Marker marker_;
    QElapsedTimer sinceRepaint_;
};

} // namespace divograf
