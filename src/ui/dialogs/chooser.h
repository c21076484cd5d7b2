// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace divograf {

// The two strings through which the file commands talk to the chooser `SaveLoad`. The caller
// sets the mode and empties the name, shows the chooser, and reads the name afterwards: empty
// means cancelled. The print window shows the name as its title.
struct ChooserState
{
    QString ChooserMode;    // "SAVE", "LOAD" or "SAVEBITMAP", compared exactly
    QString ChosenFileName; // the composed path, or empty
};

inline const QString SaveMode = QStringLiteral("SAVE");
inline const QString LoadMode = QStringLiteral("LOAD");
inline const QString SaveBitmapMode = QStringLiteral("SAVEBITMAP");

// The extension a pattern gives: its part from its first "." on ("*.dvg" gives ".dvg").
inline QString patternExtension(const QString &pattern)
{
    const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : pattern.mid(dot);
}

// The path the chooser composes: the list's directory (a root keeps its separator), "/",
// the name and the extension.
inline QString composePath(const QString &directory, const QString &name, const QString &extension)
{
    return directory + QLatin1Char('/') + name + extension;
}

} // namespace divograf
