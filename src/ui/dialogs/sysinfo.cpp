// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/dialogs/sysinfo.h"

#include <QProcess>
#include <QStandardPaths>

namespace divograf::sysinfo {

bool start()
{
    for (const QString &program : Programs)
        if (const QString path = QStandardPaths::findExecutable(program); !path.isEmpty())
            return QProcess::startDetached(path, {});
    return false;
}

} // namespace divograf::sysinfo
