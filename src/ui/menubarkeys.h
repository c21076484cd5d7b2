// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

class QMenuBar;

namespace divograf {

// The menu bar by the keys alone, whatever the style (Fusion, among others, leaves the bar
// itself to the mouse). Once the arrows have gone from an open menu onto an item of the bar
// (F10, then Right onto "О программе..."), the keys act on the bar wherever the focus is:
// Enter or Space takes an item without a menu, Enter, Space, Up or Down opens the menu of one
// that has it, Left and Right move along the bar, and Escape leaves it, so that the keys go
// back to the control that has the focus. A mouse button pressed anywhere ends this too.
void driveMenuBarByKeys(QMenuBar &bar);

} // namespace divograf
