// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/fractal/render.h"

#include <cmath>

namespace divograf {

namespace {

constexpr int LastCoordinate = 5000;
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

void Render(Surface &surface, const FractalPanel &panel, Run &run)
{
    const FractalVars &v = panel.vars;
    const int axes = panel.value(Control::MM);
    const int columnStep = v.Detail.value;
    double angle = 0;

    for (int x = 1; x <= LastCoordinate; x += columnStep) {
        if (!run.Running)
            break;
        const int rowStep = v.Detail.value;
        for (int y = 1; y <= LastCoordinate; y += rowStep) {
            const int s = 100 * v.SizeFactor.value + 100;
            const double re = static_cast<double>(x - v.CenterX.value) / s;
            const double im = static_cast<double>(v.CenterY.value - y) / s;
            const Formula f{panel.value(Control::QWA), panel.value(Control::KUB) == 1,
                panel.value(Control::MUA) == 1, v.Coef.value, axes};
            const int k = escapeCount(re, im, f, angle);
            const Colour colour
                = cellColour(k, v.RedCorr.value, v.GreenCorr.value, v.BlueCorr.value);
            surface.cell(x, y, v.Detail.value, panel.value(Control::Box) == 1, colour);
            run.yield();
        }
        run.status.show(x / PercentDivisor);
    }
    run.status.reset();
    run.Running = false;
}

} // namespace divograf
