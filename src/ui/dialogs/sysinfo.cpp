// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/dialogs/sysinfo.h"

namespace divograf {

std::optional<QByteArray> cutValue(const QByteArray &buffer, std::uint32_t size)
{
    if (size == 0)
        return std::nullopt;
    if (size > static_cast<std::uint32_t>(buffer.size()))
        return buffer; // no byte at that position, so nothing to drop
    const auto last = static_cast<qsizetype>(size) - 1;
    return buffer.left(buffer.at(last) == '\0' ? last : last + 1);
}

QString numberText(const QByteArray &bytes)
{
    // Two digits a byte, most significant first, then the leading zeros dropped: a byte below
    // 0x10 inside the number keeps its zero (0x0201 reads "&h201", not "&h21").
    if (bytes.isEmpty())
        return QStringLiteral("&h0");
    QString digits;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        digits += QStringLiteral("%1").arg(
            static_cast<unsigned char>(bytes.at(i)), 2, 16, QLatin1Char('0'));
    qsizetype first = 0;
    while (first < digits.size() - 1 && digits.at(first) == QLatin1Char('0'))
        ++first;
    return QStringLiteral("&h") + digits.mid(first).toUpper();
}

KeyLookup GetKeyValue(SystemServices &services, std::uint32_t root, const QString &keyPath,
    const QString &valueName, QString &keyVal)
{
    KeyHandle key = 0;
    KeyLookup result = KeyLookup::Read;
    if (services.openKey(root, keyPath.toLocal8Bit(), sysinfo::KeyAccess, key)
        != sysinfo::Success) {
        key = 0;
        keyVal.clear();
        result = KeyLookup::NotRead;
    } else {
        QByteArray buffer(sysinfo::BufferSize, '\0');
        std::uint32_t size = sysinfo::BufferSize;
        std::uint32_t type = 0;
        if (services.queryValue(key, valueName.toLocal8Bit(), type, buffer, size)
            != sysinfo::Success) {
            keyVal.clear();
            result = KeyLookup::NotRead;
        } else if (const std::optional<QByteArray> value = cutValue(buffer, size); !value) {
            result = KeyLookup::Broken;
        } else if (type == sysinfo::TypeString) {
            keyVal = QString::fromLocal8Bit(*value);
        } else if (type == sysinfo::TypeNumber) {
            keyVal = numberText(*value);
        }
    }
    services.closeKey(key);
    return result;
}

std::optional<QString> findSysInfo(SystemServices &services)
{
    QString path;
    switch (GetKeyValue(
        services, sysinfo::LocalMachine, sysinfo::ProgramKey, sysinfo::ProgramValue, path)) {
    case KeyLookup::Read: return path;
    case KeyLookup::Broken: return std::nullopt;
    case KeyLookup::NotRead: break;
    }
    if (GetKeyValue(services, sysinfo::LocalMachine, sysinfo::FolderKey, sysinfo::FolderValue, path)
        != KeyLookup::Read)
        return std::nullopt;
    path += sysinfo::ProgramFile;
    if (!services.fileExists(path))
        return std::nullopt;
    return path;
}

void StartSysInfo(SystemServices &services, const std::function<void()> &unavailable)
{
    const std::optional<QString> path = findSysInfo(services);
    if (!path || !services.start(*path))
        unavailable();
}

} // namespace divograf
