// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/files/picture.h"

#include <QFileInfo>
#include <QSaveFile>

namespace divograf {

namespace {
const QString Writing = QStringLiteral("записать рисунок в");
} // namespace

std::optional<Failure> preparePicture(
    QSaveFile &file, const QImage &picture, const QByteArray &format)
{
    // Only a file is replaced: never a folder, a device, a pipe or a socket of that name.
    if (const QString reason = notAFileReason(file.fileName()); !reason.isEmpty())
        return fileFailure(Writing, file.fileName(), reason);
    if (!file.open(QIODevice::WriteOnly))
        return fileFailure(Writing, file.fileName(), reasonOf(file));
    // 24-bit colour holds every colour the drawings make. The image writer does not look at
    // its last flush, which is where a full disk shows; a failed write tells the reason only
    // there, too.
    const bool saved
        = picture.convertToFormat(QImage::Format_RGB888).save(&file, format.constData());
    if (!file.flush() || !saved)
        return fileFailure(Writing, file.fileName(), reasonOf(file));
    return std::nullopt;
}

std::optional<Failure> commitPicture(QSaveFile &file)
{
    if (!file.commit())
        return fileFailure(Writing, file.fileName(), reasonOf(file));
    return std::nullopt;
}

std::optional<Failure> savePicture(
    const QImage &picture, const QString &path, const QByteArray &format)
{
    QSaveFile file(path);
    if (std::optional<Failure> failure = preparePicture(file, picture, format))
        return failure;
    return commitPicture(file);
}

} // namespace divograf
