// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

#include <optional>

class QFileDevice;

namespace divograf {

// Why a file, picture or print operation did not do what it was asked: a Russian message for
// the user that names what failed and why. An operation that can fail returns
// `std::optional<Failure>` (empty: done) or a variant of its result and a `Failure`; the window
// shows the message in a message box, the renderer writes it to stderr.
struct Failure
{
    QString message;
};

// "Не удалось <doing> «<path>»: <reason>.", with the path as the system writes it.
Failure fileFailure(const QString &doing, const QString &path, const QString &reason);

// Why `file` failed, in Russian, asked right after the failure: the cause where the program
// finds it on the file system (a folder or another kind of file in place of the file, a name
// too long, a missing folder, a read-only file system, no permission, no space left), else the
// kind of operation that failed. A QSaveFile, or a file open for writing, was writing.
QString reasonOf(const QFileDevice &file);

// Why `path` can be neither read nor replaced as a file: a folder, a device, a pipe (FIFO) or
// a socket stands there, and reading it could wait forever or replacing it break the system.
// Empty when the path names a regular file, also through symbolic links, or nothing at all.
QString notAFileReason(const QString &path);

} // namespace divograf
