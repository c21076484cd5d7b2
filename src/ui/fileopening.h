// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace divograf {

// Parameter files that come from outside the window: named on the command line (a file
// manager's "Open with") or dropped onto it. Only one file, named *.dvg, is taken; what it
// holds is checked by the `open` function, as for the Load command.
using OpenFile = std::function<void(const QString &path)>;

// Whether `path` names a parameter file by its extension, in any letter case.
bool isParameterFileName(const QString &path);

// The one local parameter file a drag carries, or an empty string when it carries anything
// else: no file, several, a remote one or one of another kind.
QString draggedParameterFile(const QMimeData *data);

// Opens the file that the program's `arguments` (its name first) name. Returns an empty
// string when there was nothing to refuse, or a Russian line for the standard error when the
// arguments are not one parameter file; the window then starts as it always does.
QString openFromArguments(const QStringList &arguments, const OpenFile &open);

// `divograf --help` and `divograf --version` need no window, and so no display: whether the
// program's `arguments` (its name first) ask for one of them, and the text to print for it.
// Qt's own options (-platform, -style, ...) and the file are the window's and pass here unread.
// The help's headings are Russian once Qt's Russian texts are installed.
bool asksWithoutWindow(const QStringList &arguments);
QString answerWithoutWindow(const QStringList &arguments);

// Lets `window` take a parameter file dropped anywhere onto it, a text box or a slider too: a
// drag that carries files is accepted only for one parameter file, so that the cursor refuses
// anything else, and the file is opened once the drop is over, by the event loop (a running
// drawing's yield too). Plain text dropped onto a text box is typed into it as ever.
void acceptParameterFileDrops(QWidget &window, OpenFile open);

} // namespace divograf
