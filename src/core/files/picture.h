// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/files/failure.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class QSaveFile;

namespace divograf {

// Writes `picture` to `path` as a 24-bit BMP ("BMP") or a PNG ("PNG"), through a temporary
// file renamed into place: a failed write leaves no file behind and any earlier file as it
// was. The failure names the file and the problem.
std::optional<Failure> savePicture(
    const QImage &picture, const QString &path, const QByteArray &format = "BMP");

// The same in two steps, for a caller that puts several files in place together: `prepare`
// opens `file` (named with the path) and writes the whole picture into its temporary file,
// `commit` renames it into place. A `file` destroyed uncommitted leaves nothing behind.
std::optional<Failure> preparePicture(
    QSaveFile &file, const QImage &picture, const QByteArray &format = "BMP");
std::optional<Failure> commitPicture(QSaveFile &file);

} // namespace divograf
