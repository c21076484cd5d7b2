// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Build tool: writes the program's icon, drawn by its own fractal engine, as PNG files laid
// out like the freedesktop "hicolor" icon theme.
//
//   divograf-icons NAME FOLDER SIDE...   writes FOLDER/<SIDE>x<SIDE>/apps/NAME.png

#include "core/files/picture.h"
#include "ui/artwork.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() < 4) {
        err << "usage: divograf-icons NAME FOLDER SIDE...\n";
        return 2;
    }
    const QString name = args[1];
    const QDir folder(args[2]);
    for (const QString &text : args.mid(3)) {
        bool number = false;
        const int side = text.toInt(&number);
        if (!number || side < 1 || side > 256) {
            err << "divograf-icons: not a side of 1..256: " << text << '\n';
            return 2;
        }
        const QString apps = QStringLiteral("%1x%1/apps").arg(side);
        const QString path
            = folder.filePath(apps + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!folder.mkpath(apps)) {
            err << "divograf-icons: cannot make the folder " << folder.filePath(apps) << '\n';
            return 1;
        }
        // Through the program's picture writer, which also notices a disk that fills up.
        if (const auto failure
            = divograf::savePicture(divograf::artwork::windowIcon(side), path, "PNG")) {
            err << "divograf-icons: " << failure->message << '\n';
            return 1;
        }
    }
    return 0;
}
