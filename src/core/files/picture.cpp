// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/files/picture.h"

#include <QFileInfo>
#include <QSaveFile>

namespace divograf {

namespace {

const QString Writing = QStringLiteral("записать рисунок в");

// Passes every write on to the file and tells the watch how far the writing has come; a write
// fails when the file's does or when the watch gives the writing up.
class WatchedDevice : public QIODevice
{
public:
    WatchedDevice(QIODevice &file, const WriteWatch &watch)
        : file_(file)
        , watch_(watch)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 done = file_.write(data, size);
        if (done < 0)
            return -1;
        written_ += done;
        return watch_(written_) ? done : -1;
    }

private:
    QIODevice &file_;
    const WriteWatch &watch_;
    qint64 written_ = 0;
};

} // namespace

qint64 pictureSize(const QImage &picture, const QByteArray &format)
{
    if (format != "BMP")
        return -1;
    // The file and information headers, then the rows of 3 bytes a pixel, each padded to 4.
    constexpr qint64 Headers = 14 + 40;
    return Headers + ((picture.width() * 3LL + 3) / 4 * 4) * picture.height();
}

std::optional<Failure> preparePicture(
    QSaveFile &file, const QImage &picture, const QByteArray &format, const WriteWatch &watch)
{
    // Only a file is replaced: never a folder, a device, a pipe or a socket of that name.
    if (const QString reason = notAFileReason(file.fileName()); !reason.isEmpty())
        return fileFailure(Writing, file.fileName(), reason);
    if (!file.open(QIODevice::WriteOnly))
        return fileFailure(Writing, file.fileName(), reasonOf(file));
    // The writers take the 32-bit raster as it is, a row at a time, and write 24-bit colour,
    // which holds every colour the drawings make; for the surface's own format the conversion
    // is no copy. The image writer does not look at its last flush, which is where a full disk
    // shows; a failed write tells the reason only there, too.
    const QImage raster = picture.convertToFormat(QImage::Format_RGB32);
    bool saved = false;
    if (watch) {
        WatchedDevice watched(file, watch);
        saved = raster.save(&watched, format.constData());
    } else {
        saved = raster.save(&file, format.constData());
    }
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
