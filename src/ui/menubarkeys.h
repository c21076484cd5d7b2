// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

class QMenuBar;

namespace divograf {

// The menu bar by the keys alone. Once the arrows have gone from an open menu onto an item of
// the bar itself (F10, then Right onto "О программе..."), the bar is shown as taking the keys,
// but they still reach the control that has the focus. From then on they are given to the bar,
// wherever the focus is: Enter or Space takes the item or opens its menu, Left and Right move
// along the bar, and Escape leaves it, so that the keys go back to the focused control. A mouse
// button pressed anywhere ends this too.
void driveMenuBarByKeys(QMenuBar &bar);

} // namespace divograf
