#pragma once

#include "core/files/failure.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace divograf {

// Writes `picture` to `path` as a 24-bit BMP ("BMP") or a PNG ("PNG"), through a temporary
// file renamed into place: a failed write leaves no file behind and any earlier file as it
// was. The failure names the file and the problem.
std::optional<Failure> savePicture(const QImage &picture, const QString &path, const QByteArray &format = "BMP");

} // namespace divograf
