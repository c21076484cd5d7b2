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

// The processors this process may run on: the renderer's threads unless told otherwise.
int processorCount();

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

// A block of a headless drawing: `columns` whole columns (the 3-D surface: rows) of `points`
// cells each, from column `first`; cell n of the block is cell n % points of column
// first + n / points, so that n runs in the window's order.
struct CellBlock
{
    int first, columns, points;
    int cells() const { return columns * points; }
};

// Runs cell(column, row, n, worker) for every cell of the block, on all threads.
template <class Cell>
void forEachCell(Workers &workers, const CellBlock &block, int chunk, Cell cell)
{
    workers.forEach(block.cells(), chunk, [&](int begin, int end, int worker) {
        int column = block.first + begin / block.points;
        int row = begin % block.points;
        for (int n = begin; n < end; ++n) {
            cell(column, row, n, worker);
            if (++row == block.points) {
                row = 0;
                ++column;
            }
        }
    });
}

// Paints the block's cells as the window paints a map cell: a filled square of side `side` at
// (position(column), position(row)), in bands of rows, or its diagonal, in order on this
// thread. colourAt(n) gives the colour of cell n.
template <class Position, class ColourAt>
void paintCells(Surface &surface, Workers &workers, const CellBlock &block, Position position,
    float side, bool filled, ColourAt colourAt)
{
    const auto each = [&](auto paint) {
        int n = 0;
        for (int column = block.first; column < block.first + block.columns; ++column) {
            const float x = position(column);
            for (int row = 0; row < block.points; ++row, ++n)
                paint(x, position(row), colourAt(n));
        }
    };
    if (!filled) {
        each([&](float x, float y, Colour c) { surface.lineBy(x, y, side, side, c); });
        return;
    }
    inBands(surface, workers, [&](int from, int to) {
        each([&](float x, float y, Colour c) {
            surface.fillBoxInRows(x, y, side, side, c, from, to);
        });
    });
}

} // namespace divograf
