// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/commandline.h"

#include <QCommandLineParser>

namespace divograf {

StandardOptions addStandardOptions(QCommandLineParser &parser)
{
    StandardOptions options{
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Показать эту справку.")},
        {{QStringLiteral("v"), QStringLiteral("version")},
            QStringLiteral("Показать название и версию программы.")},
    };
    parser.addOptions({options.help, options.version});
    return options;
}

QString versionLine(const QString &program)
{
    return program + QLatin1Char(' ') + QStringLiteral(DIVOGRAF_VERSION) + QLatin1Char('\n');
}

} // namespace divograf
