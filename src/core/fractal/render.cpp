// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/fractal/render.h"

#include "core/surface/workers.h"

#include <atomic>
#include <cmath>
#include <vector>

namespace divograf {

namespace {

constexpr double RealEscape = 1400;
constexpr double ImagEscape = 3010;
constexpr double ModulusEscape = 1000;
constexpr double MoivreShiftRe = 0.254164;
constexpr double MoivreShiftIm = 0.81;
constexpr double SquareShiftRe = 0.053;
constexpr double SquareShiftIm = 0.85;
constexpr double HalfTurn = 3.14159;
constexpr int ChannelModulus = 255;
constexpr int PercentDivisor = 50;

// The most cells a block of the parallel loop holds: the block's results are all the memory the
// loop takes beside the raster, and the time of one block is how long a stop may wait.
constexpr int BlockCells = 1 << 15;
constexpr int CellsPerTask = 64;

// A cell computed in parallel, before the carried angle is known.
struct Computed
{
    Colour colour;
    bool readsAngle; // left for the ordered pass, which knows the angle carried in
    double angle;    // the angle the cell carries on
};

void renderInBlocks(Surface &surface, const FractalPanel &panel, Run &run, Workers &workers)
{
    const int axes = panel.value(Control::MM);
    const int side = run.cellOr(panel.vars.Detail.value);
    const bool filled = panel.value(Control::Box) == 1;
    const int points = samplePoints(side);
    const int blockColumns = std::max(1, BlockCells / points);
    std::vector<Computed> computed(static_cast<std::size_t>(blockColumns) * points);
    const auto at = [side](int index) { return 1 + index * side; };
    double angle = 0;

    for (int first = 0; first < points && run.Running; first += blockColumns) {
        const CellBlock block{first, std::min(blockColumns, points - first), points};
        std::atomic<bool> anyReads{false};
        forEachCell(workers, block, CellsPerTask, [&](int column, int row, int n, int) {
            const FractalCell c = fractalCell(panel, axes, at(column), at(row));
            Computed &r = computed[n];
            r.readsAngle = readsCarriedAngle(c);
            r.angle = 0;
            if (r.readsAngle)
                anyReads.store(true, std::memory_order_relaxed);
            else
                r.colour = colourOf(c, r.angle);
        });
        // The angle carried from cell to cell, in the window's order. A cell that sets it
        // before it reads it hands on its own.
        if (anyReads.load(std::memory_order_relaxed)) {
            for (int n = 0; n < block.cells(); ++n) {
                Computed &r = computed[n];
                if (r.readsAngle)
                    r.colour = colourOf(
                        fractalCell(panel, axes, at(first + n / points), at(n % points)), angle);
                else
                    angle = r.angle;
            }
        } else if (panel.value(Control::MUA) == 1) {
            angle = computed[block.cells() - 1].angle;
        }
        paintCells(
            surface, workers, block, [&](int index) { return static_cast<float>(at(index)); },
            static_cast<float>(side), filled, [&](int n) { return computed[n].colour; });
        run.status.show(at(first + block.columns - 1) / PercentDivisor);
        run.done = static_cast<double>(first + block.columns) / points;
        run.yield();
    }
    run.status.reset();
    run.Running = false;
}

} // namespace

bool iterate(double &re, double &im, const Formula &f, double &angle)
{
    if (f.moivre) {
        double r = std::sqrt(im * im + re * re);
        if (re != 0)
            angle = std::atan(im / re);
        if (re < 0)
            angle = angle + HalfTurn;
        const double t = f.axes * angle;
        if (r != 0)
            r = std::exp(f.axes * std::log(r));
        re = r * std::cos(t) + MoivreShiftRe;
        im = r * std::sin(t) - MoivreShiftIm;
        if (!(std::abs(r) <= ModulusEscape))
            return true;
    }
    for (int s = 0; s < f.squarings; ++s) {
        const double nextRe = re * re - im * im - SquareShiftRe;
        im = f.coef * re * im + SquareShiftIm;
        re = nextRe;
    }
    if (f.cube) {
        const double nextRe = re * (re * re - (f.coef + 1) * (im * im));
        im = im * ((f.coef + 1) * (re * re) - im * im);
        re = nextRe;
    }
    // Written so that NaN escapes too.
    return !(std::abs(re) <= RealEscape) || !(std::abs(im) <= ImagEscape);
}

int escapeCount(double re, double im, const Formula &f, double &angle)
{
    int k = 1;
    for (int i = 0; i < MaxIterations; ++i) {
        ++k;
        if (iterate(re, im, f, angle))
            break;
    }
    return k;
}

Colour cellColour(int k, int redCorr, int greenCorr, int blueCorr)
{
    return RGB(k * redCorr % ChannelModulus, k * greenCorr % ChannelModulus,
        k * blueCorr % ChannelModulus);
}

FractalCell fractalCell(const FractalPanel &panel, int axes, int x, int y)
{
    const FractalVars &v = panel.vars;
    const int s = 100 * v.SizeFactor.value + 100;
    return {static_cast<double>(x - v.CenterX.value) / s,
        static_cast<double>(v.CenterY.value - y) / s,
        {panel.value(Control::QWA), panel.value(Control::KUB) == 1, panel.value(Control::MUA) == 1,
            v.Coef.value, axes},
        v.RedCorr.value, v.GreenCorr.value, v.BlueCorr.value};
}

void Render(Surface &surface, const FractalPanel &panel, Run &run)
{
    if (run.workers) {
        renderInBlocks(surface, panel, run, *run.workers);
        return;
    }
    const FractalVars &v = panel.vars;
    const int axes = panel.value(Control::MM);
    const int columnStep = run.cellOr(v.Detail.value);
    double angle = 0;

    for (int x = 1; x <= FractalLast; x += columnStep) {
        if (!run.Running)
            break;
        const int rowStep = run.cellOr(v.Detail.value);
        for (int y = 1; y <= FractalLast; y += rowStep) {
            const Colour colour = colourOf(fractalCell(panel, axes, x, y), angle);
            surface.cell(x, y, run.cellOr(v.Detail.value), panel.value(Control::Box) == 1, colour);
            run.yield();
        }
        run.status.show(x / PercentDivisor);
    }
    run.status.reset();
    run.Running = false;
}

} // namespace divograf
