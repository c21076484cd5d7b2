// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

class QDialog;
class QWidget;

namespace divograf {

// Places `dialog`, of its fixed size, with its client area centred on that of `owner`'s
// window, moved as little as needed to lie whole on that window's screen. No owner: left where
// the window system puts it.
void placeOver(QDialog &dialog, const QWidget *owner);

// Shows `dialog` modally, returns its result once it has closed, and deletes it. The owner, and
// the dialog with it, may be destroyed while it is open (the program ending from inside a
// drawing): nothing is deleted twice.
int execAndDelete(QDialog *dialog);

} // namespace divograf
