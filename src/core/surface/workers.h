// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/surface/surface.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace divograf {

// A fixed set of threads that share the computing of a headless drawing. `forEach` hands out
// ranges of indices to every thread, the caller's included, and returns when all are done, so
// that what the tasks wrote is there for the caller's next step. Built on the standard
// library's threads and locks, whose order ThreadSanitizer follows.
class Workers
{
public:
    // `threads` (at least 1) counts the caller: 1 computes everything on the calling thread.
    explicit Workers(int threads);
    ~Workers();
    Workers(const Workers &) = delete;
    Workers &operator=(const Workers &) = delete;

    int threads() const { return static_cast<int>(helpers_.size()) + 1; }

    // Runs task(begin, end, worker) over 0..count in ranges of `chunk` indices, each range once,
    // on all threads; `worker` (0..threads - 1) tells whose scratch the task may use.
    using Task = std::function<void(int begin, int end, int worker)>;
    void forEach(int count, int chunk, const Task &task);

private:
    void serve(int worker);
    void take(int worker);

    std::vector<std::thread> helpers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    // The job, written under the lock before `generation_` moves on.
    const Task *task_ = nullptr;
    int count_ = 0, chunk_ = 1;
    std::atomic<int> next_{0};
    int busy_ = 0;
    unsigned generation_ = 0;
    bool quit_ = false;
};

// Paints the raster in one band of pixel rows per thread: paint(rowFrom, rowTo) must replay
// every element of the step in order, clipped to those rows, so that where elements share
// pixels the later one wins as when they are painted one by one. Counts as one drawing
// operation.
template <class PaintRows> void inBands(Surface &surface, Workers &workers, PaintRows paint)
{
    const int bands = workers.threads();
    const int rows = (surface.pixels() + bands - 1) / bands;
    workers.forEach(bands, 1, [&](int band, int, int) {
        const int from = band * rows;
        paint(from, std::min(from + rows, surface.pixels()) - 1);
    });
    surface.markDrawn();
}

// Fills `count` boxes in bands, boxAt(n) giving the corner, side and colour of the n-th in the
// order of painting.
struct Box
{
    float x, y, side;
    Colour colour;
};
template <class BoxAt> void fillInBands(Surface &surface, Workers &workers, int count, BoxAt boxAt)
{
    inBands(surface, workers, [&](int from, int to) {
        for (int n = 0; n < count; ++n) {
            const Box b = boxAt(n);
            surface.fillBoxInRows(b.x, b.y, b.side, b.side, b.colour, from, to);
        }
    });
}

} // namespace divograf
