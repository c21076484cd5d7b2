// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <Qt>

#include <string_view>

namespace divograf {

class Model;

// The four drawings that the start/stop commands run.
enum class Drawing { Fractal, Rainbow, Interference, Interference3D };

// A drawing and its one start/stop command, in every face it has: the window's picture
// button and menu item with its Ctrl shortcut, and the renderer's KIND. The window, the
// renderer and the tests read this table; the window adds only where the button stands.
struct DrawingCommand
{
    Drawing drawing;
    std::string_view kind;        // the renderer's KIND
    std::string_view button;      // the picture button's name
    std::string_view buttonText;  // under the button's picture; empty for a picture alone
    std::string_view menuItem;    // the menu item's name
    std::string_view menuCaption; // UTF-8
    Qt::Key key;                  // the shortcut, with Ctrl
    bool inInterferenceMenu;      // in the submenu "Строить интерференцию"
    void (*draw)(Model &model);   // runs the drawing from start to end (or to a stop)
};

// In the order of the menu.
extern const DrawingCommand DrawingCommands[4];

const DrawingCommand &command(Drawing drawing);

} // namespace divograf
