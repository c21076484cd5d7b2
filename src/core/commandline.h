// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

namespace divograf {

// What both programs' command lines take besides their own: -h/--help and -v/--version, each
// answered on the standard output with exit status 0, also without a display.
struct StandardOptions
{
    QCommandLineOption help;
    QCommandLineOption version;
};
StandardOptions addStandardOptions(QCommandLineParser &parser);

// The answer to --version: the program's name and version ("divograf-render 2.0.0").
QString versionLine(const QString &program);

} // namespace divograf
