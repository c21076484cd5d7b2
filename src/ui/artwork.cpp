// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/artwork.h"

#include "core/model.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>

namespace divograf::artwork {

namespace {

constexpr int ButtonSide = 32;
constexpr int LargeSide = 120;

// The fractal as the panel would draw it after the given settings, scaled down to `side`.
QImage fractal(int side, std::initializer_list<std::pair<Control, int>> settings)
{
    Model model;
    model.startUp();
    for (const auto &[control, value] : settings)
        model.fractal.setValue(control, value);
    model.startStop(Drawing::Fractal);
    return model.surface.raster().scaled(
        side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QColor wave(double amplitude)
{
    // amplitude in -1..1: dark blue through white to dark red
    const double a = std::clamp(amplitude, -1.0, 1.0);
    const int hot = static_cast<int>(std::lrint(255 * (a > 0 ? 1 : 1 + a)));
    const int cold = static_cast<int>(std::lrint(255 * (a < 0 ? 1 : 1 - a)));
    return QColor(hot, std::min(hot, cold), cold);
}

} // namespace

QImage windowIcon(int side)
{
    return fractal(side,
        {{Control::MUA, 1}, {Control::MM, 8}, {Control::Slider3, 22}, {Control::Rc, 184},
            {Control::Gc, 194}, {Control::Bc, 190}});
}

QImage fractalButton() { return fractal(ButtonSide, {{Control::Option1, 1}}); }

QImage interferenceButton()
{
    // Three holes on a circle; the colour is the summed wave at each pixel.
    QImage image(ButtonSide, ButtonSide, QImage::Format_RGB32);
    constexpr int Holes = 3;
    constexpr double Wavelength = 5.5;
    for (int y = 0; y < ButtonSide; ++y)
        for (int x = 0; x < ButtonSide; ++x) {
            double sum = 0;
            for (int h = 0; h < Holes; ++h) {
                const double angle = 2 * std::numbers::pi * h / Holes;
                const double hx = ButtonSide / 2.0 + 6 * std::cos(angle),
                             hy = ButtonSide / 2.0 + 6 * std::sin(angle);
                sum += std::cos(2 * std::numbers::pi * std::hypot(x - hx, y - hy) / Wavelength);
            }
            image.setPixel(x, y, wave(sum / Holes).rgb());
        }
    return image;
}

QImage interference3DButton()
{
    // A grid of ripples round the middle, lines drawn back to front in an oblique view.
    QImage image(ButtonSide, ButtonSide, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr int Rows = 9;
    for (int row = 0; row < Rows; ++row) {
        const double depth = static_cast<double>(row) / (Rows - 1); // 0 back, 1 front
        QPainterPath path;
        for (int i = 0; i <= 24; ++i) {
            const double u = i / 24.0 * 2 - 1, v = depth * 2 - 1;
            const double height = std::cos(std::hypot(u, v) * 9) * (1 - std::hypot(u, v) / 1.5);
            const QPointF p(4 + i + 4 * depth, 8 + depth * 18 - 5 * height);
            i == 0 ? path.moveTo(p) : path.lineTo(p);
        }
        painter.setPen(QPen(wave(1 - 2 * depth), 1));
        painter.drawPath(path);
    }
    return image;
}

QImage rainbowButton()
{
    QImage image(LargeSide, LargeSide, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr int Rings = 28;
    const QPointF centre(LargeSide / 2.0, LargeSide / 2.0);
    for (int ring = Rings; ring >= 1; --ring) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromHsv((ring * 360 / Rings) % 360, 255, 255));
        const double r = ring * (LargeSide / 2.0) / Rings;
        painter.drawEllipse(centre, r, r);
    }
    return image;
}

QImage commandPicture(Drawing drawing)
{
    switch (drawing) {
    case Drawing::Fractal: return fractalButton();
    case Drawing::Rainbow: return rainbowButton();
    case Drawing::Interference: return interferenceButton();
    case Drawing::Interference3D: return interference3DButton();
    }
    return {};
}

} // namespace divograf::artwork
