// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/commands.h"
#include "core/fractal/panel.h"
#include "core/interference/panel.h"

#include <array>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace divograf {

class UpDown;

// The widgets of the main window's client area, as the layout tables place them.
struct PanelWidgets
{
    std::array<QWidget *, static_cast<int>(Control::Count)> controls{};
    std::array<QLineEdit *, static_cast<int>(Pair::Count)> texts{};
    std::array<UpDown *, static_cast<int>(Pair::Count)> spinners{};
    std::array<QAbstractButton *, std::size(DrawingCommands)>
        buttons{};               // in the order of `DrawingCommands`
    QGroupBox *frame1 = nullptr; // its caption follows `Slider3`
    QLabel *label2 = nullptr;    // its caption follows `MM`
};

// Builds the control panel into `client` from the layout tables: the decorations, the frames
// and labels, the fractal controls and the interference pairs at their design values, and the
// picture buttons of the start/stop commands. Every widget is named after its control. Nothing
// is connected: the window wires the widgets to the model.
PanelWidgets buildPanel(QWidget &client);

// Chains the focus through the named widgets of `client` in the table's tab order, skipping
// those that take no focus.
void setPanelTabOrder(QWidget &client);

} // namespace divograf
