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

// Why `file` failed, in Russian. The system's reason for its last error where the program knows
// it (no space left, no permission, a folder in place of the file, a read-only file system,
// ...), else the kind of operation that failed. Qt gives these reasons in English only.
QString reasonOf(const QFileDevice &file);

// Why `path` can be neither read nor replaced as a file: a folder, a device, a pipe (FIFO) or
// a socket stands there, and reading it could wait forever or replacing it break the system.
// Empty when the path names a regular file, also through symbolic links, or nothing at all.
QString notAFileReason(const QString &path);

} // namespace divograf
