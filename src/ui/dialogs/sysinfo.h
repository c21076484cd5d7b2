// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace divograf {

// Where the About box looks for the operating system's system-information program. The values
// are the Windows registry's; elsewhere a stand-in answers for them (see platform.h). The names
// differ from <windows.h>'s macros on purpose.
namespace sysinfo {
inline constexpr std::uint32_t LocalMachine = 0x80000002u; // HKEY_LOCAL_MACHINE
// Read rights only (KEY_READ): the look-up never writes, and HKEY_LOCAL_MACHINE refuses write
// rights to a standard user, so asking for them would hide the program from most users.
inline constexpr std::uint32_t KeyAccess = 0x20019u;
inline constexpr int BufferSize = 1024;        // bytes of a value that a look-up reads at most
inline constexpr std::uint32_t TypeString = 1; // REG_SZ
inline constexpr std::uint32_t TypeNumber = 4; // REG_DWORD, little-endian
inline constexpr long Success = 0;             // ERROR_SUCCESS
inline constexpr long FileNotFound = 2;        // ERROR_FILE_NOT_FOUND
inline constexpr long InvalidHandle = 6;       // ERROR_INVALID_HANDLE
inline constexpr long MoreData = 234;          // ERROR_MORE_DATA

// The full path of the program.
inline const QString ProgramKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString ProgramValue = QStringLiteral("PATH");
// The folder holding the program, and the program's name in it.
inline const QString FolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString FolderValue = QStringLiteral("MSINFO");
inline const QString ProgramFile = QStringLiteral("\\MSINFO32.EXE");

// The one failure message of the program.
inline const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");
} // namespace sysinfo

// An open key; 0 is no key.
using KeyHandle = std::uintptr_t;

// The services that finding and starting the system-information program needs: the three
// registry calls, a file-exists test and a launcher. Status results follow the registry: 0 is
// success, anything else a failure code. Names go in as 8-bit text.
class SystemServices
{
public:
    virtual ~SystemServices() = default;

    // Opens `subKey` under `root`. On success `key` is the open key, otherwise 0.
    virtual long openKey(
        std::uint32_t root, const QByteArray &subKey, std::uint32_t access, KeyHandle &key)
        = 0;
    // Reads value `name` of `key` into `data`, whose size is the capacity. `size` comes in as
    // the capacity and goes out as the value's size in bytes (a string's terminating zero
    // counted); a value larger than the capacity fails with `MoreData`.
    virtual long queryValue(KeyHandle key, const QByteArray &name, std::uint32_t &type,
        QByteArray &data, std::uint32_t &size)
        = 0;
    // Closes `key`; 0 is not a key and fails harmlessly.
    virtual long closeKey(KeyHandle key) = 0;

    // Whether `path` names an existing file.
    virtual bool fileExists(const QString &path) = 0;
    // Starts the program at `path` with no arguments, never through a shell, and returns at
    // once. False when it could not be started.
    virtual bool start(const QString &path) = 0;
};

// What `GetKeyValue` found out.
enum class KeyLookup {
    Read,    // the value was read
    NotRead, // the key could not be opened or the value not read
    Broken,  // a value of size 0, which cannot be cut: the search ends with the message
};

// The cut of a value read into a buffer: `size` bytes, less a terminating zero at the last of
// them. A size beyond the buffer keeps the whole buffer. Size 0 has no last byte: nullopt.
std::optional<QByteArray> cutValue(const QByteArray &buffer, std::uint32_t size);

// The text of a 32-bit number value: "&h" and its hexadecimal digits, without leading zeros.
// `bytes` are the value's bytes after the cut, least significant first.
QString numberText(const QByteArray &bytes);

// Reads value `valueName` of key `keyPath` under `root` into `keyVal`: a string value as its
// text, a 32-bit number as `numberText`, any other type leaving `keyVal` as it came in. When the
// look-up fails `keyVal` becomes empty. The key is closed in every case, also when opening it
// failed.
KeyLookup GetKeyValue(SystemServices &services, std::uint32_t root, const QString &keyPath,
    const QString &valueName, QString &keyVal);

// The path of the system-information program: the first key's full path, unchanged and
// unchecked; else the second key's folder with the program's name appended, when that file
// exists. Nullopt when neither gives one or a look-up was broken.
std::optional<QString> findSysInfo(SystemServices &services);

// Starts the system-information program, or calls `unavailable` (which shows the message) when
// it cannot be found or started. Nothing is touched after `unavailable` returns.
void StartSysInfo(SystemServices &services, const std::function<void()> &unavailable);

} // namespace divograf
