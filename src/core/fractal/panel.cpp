// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/fractal/panel.h"

#include "core/surface/status.h"

#include <algorithm>

namespace divograf {

std::optional<Control> controlNamed(std::string_view name)
{
    for (const ControlSpec &s : Controls)
        if (s.name == name)
            return s.id;
    return std::nullopt;
}

FractalPanel::FractalPanel(Marker &marker)
    : marker_(marker)
{
    for (const ControlSpec &s : Controls)
        values_[static_cast<int>(s.id)] = s.design;
}

void FractalPanel::startupDefaults()
{
    vars.CenterX.set16(2500);
    vars.CenterY.set16(2500);
    vars.SizeFactor.set16(30);
    vars.Detail.set16(50);
    vars.Coef.set16(2);
    vars.RedCorr.set16(25);
    vars.GreenCorr.set16(24);
    vars.BlueCorr.set16(23);
    vars.Squarings.set32(value(Control::QWA));
    vars.Cube.set16(value(Control::KUB));
    vars.UseMoivre.set16(value(Control::MUA));
    vars.Axes.set32(value(Control::MM));
    mmEnabled_ = false;
    setValue(Control::Box, 1);
}

void FractalPanel::setValue(Control c, int v)
{
    const ControlSpec &s = spec(c);
    int &current = values_[static_cast<int>(c)];
    v = std::clamp(v, s.min, s.max);
    if (s.kind == ControlKind::Option) {
        for (const ControlSpec &o : Controls)
            if (o.kind == ControlKind::Option)
                values_[static_cast<int>(o.id)] = 0;
        current = 1;
        changed(c);
        return;
    }
    if (v == current)
        return;
    current = v;
    if (c != Control::QWA)
        changed(c);
}

void FractalPanel::clickQwa() { vars.Squarings.set32(value(Control::QWA)); }

void FractalPanel::changed(Control c)
{
    const int v = value(c);
    switch (c) {
    case Control::Option1: vars.Detail.set16(100); break;
    case Control::Option2: vars.Detail.set16(50); break;
    case Control::Option3: vars.Detail.set16(20); break;
    case Control::Option4: vars.Detail.set16(10); break;
    case Control::Rc: vars.RedCorr.set32(200 - v); break;
    case Control::Gc: vars.GreenCorr.set32(200 - v); break;
    case Control::Bc: vars.BlueCorr.set32(200 - v); break;
    case Control::KFS: vars.Coef.set32(10 - v); break;
    case Control::KUB: vars.Cube.set16(v); break;
    case Control::MUA:
        mmEnabled_ = v == 1;
        vars.UseMoivre.set16(v);
        break;
    case Control::MM:
        label2_ = QStringLiteral("Оси ") + blankLed(v);
        vars.Axes.set32(v);
        break;
    case Control::Slider1:
        vars.CenterY.set32(v * 100);
        marker_.Visible = true;
        marker_.Top = vars.CenterY.value - Marker::Size / 2;
        break;
    case Control::Slider2:
        vars.CenterX.set32(v * 100);
        marker_.Visible = true;
        marker_.Left = vars.CenterX.value - Marker::Size / 2;
        break;
    case Control::Slider3:
        vars.SizeFactor.set32(v);
        frame1_ = QStringLiteral("Размер ") + blankLed(vars.SizeFactor.value);
        break;
    case Control::QWA:
    case Control::Box:
    case Control::Count: break;
    }
}

} // namespace divograf
