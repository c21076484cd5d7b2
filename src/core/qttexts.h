// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

class QCoreApplication;

namespace divograf {

// Qt's own texts in Russian, like the rest of the program and whatever the system's locale:
// the buttons of message boxes, the print and file windows that Qt draws, the context menu of
// a text box, and the command-line parser's headings and complaints. Installs Qt's translation
// "qtbase_ru" from Qt's translations folder on `app` for its lifetime; without it Qt's texts stay
// English.
void installQtRussian(QCoreApplication &app);

} // namespace divograf
