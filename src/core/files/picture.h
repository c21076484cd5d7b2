// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/files/failure.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class QSaveFile;

namespace divograf {

// Writes `picture` to `path` as a 24-bit BMP ("BMP") or a PNG ("PNG"), through a temporary
// file renamed into place: a failed write leaves no file behind and any earlier file as it
// was. The failure names the file and the problem.
std::optional<Failure> savePicture(
    const QImage &picture, const QString &path, const QByteArray &format = "BMP");

// Follows the writing of a picture: told the bytes written so far after each write, it
// returns false to give the writing up, which then fails.
using WriteWatch = std::function<bool(qint64 written)>;

// The same in two steps, for a caller that puts several files in place together: `prepare`
// opens `file` (named with the path) and writes the whole picture into its temporary file,
// `commit` renames it into place. A `file` destroyed uncommitted leaves nothing behind.
std::optional<Failure> preparePicture(QSaveFile &file, const QImage &picture,
    const QByteArray &format = "BMP", const WriteWatch &watch = {});
std::optional<Failure> commitPicture(QSaveFile &file);

// The size of the file that `picture` makes in `format`, when it is known before the writing
// (a BMP), else -1.
qint64 pictureSize(const QImage &picture, const QByteArray &format);

} // namespace divograf
