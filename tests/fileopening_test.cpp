// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Parameter files that come from outside the window: named on the command line or dropped
// onto it, also while a drawing runs. Each is checked and loaded as the Load command does.

#include "ui/fileopening.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace divograf;

namespace {

// Start-up values, except red correction 20 (Rc at 180) and 3 holes; every record tag 3.
QByteArray goodFile()
{
    const std::int32_t values[13] = {30, 1, 0, 0, 7, 2, 20, 24, 23, 3, 7, 700, 100};
    QByteArray bytes(1664, '\0');
    for (int r = 0; r < 13; ++r) {
        bytes[r * 128] = 3;
        qToLittleEndian<std::int32_t>(values[r], bytes.data() + r * 128 + 2);
    }
    return bytes;
}

enum class Way { CommandLine, Drop, DropWhileDrawing };

struct Case
{
    Way way;
    QStringList files;   // in the test's folder: good.dvg, GOOD.DVG, notes.txt (good bytes), bad.dvg
    bool refused;        // a line for stderr, or the drag is not accepted
    QString messageName; // the file the message box names; empty when none is shown
    bool loaded;         // the controls show good.dvg's values; else the start-up ones
};

TEST(OpenFromOutside, OneParameterFileIsLoadedAsLoadDoesAndAnythingElseIsRefused)
{
    QTemporaryDir dir;
    for (const char *name : {"good.dvg", "GOOD.DVG", "notes.txt"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(goodFile());
    }
    QFile bad(dir.filePath(QStringLiteral("bad.dvg")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(1664, '\x07')); // tags of 0x0707
    bad.close();

    const QString good = QStringLiteral("good.dvg");
    const Case cases[] = {
        {Way::CommandLine, {good}, false, {}, true},
        {Way::CommandLine, {QStringLiteral("GOOD.DVG")}, false, {}, true},
        {Way::CommandLine, {QStringLiteral("bad.dvg")}, false, QStringLiteral("bad.dvg"), false},
        {Way::CommandLine, {QStringLiteral("absent.dvg")}, false, QStringLiteral("absent.dvg"), false},
        {Way::CommandLine, {QStringLiteral("notes.txt")}, true, {}, false},
        {Way::CommandLine, {good, good}, true, {}, false},
        {Way::Drop, {good}, false, {}, true},
        {Way::Drop, {QStringLiteral("bad.dvg")}, false, QStringLiteral("bad.dvg"), false},
        {Way::Drop, {QStringLiteral("notes.txt")}, true, {}, false},
        {Way::Drop, {good, good}, true, {}, false},
        {Way::DropWhileDrawing, {good}, false, {}, true},
        {Way::DropWhileDrawing, {QStringLiteral("bad.dvg")}, false, QStringLiteral("bad.dvg"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("way %1, %2").arg(static_cast<int>(c.way)).arg(c.files.join(u' ')).toStdString());
        Main w;
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QString message;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                message = box->text();
                box->accept();
            }
        });
        answer.start(10);
        QStringList paths;
        for (const QString &name : c.files)
            paths << dir.filePath(name);

        bool refused = false;
        if (c.way == Way::CommandLine) {
            const QString refusal = openFromArguments(QStringList{QStringLiteral("divograf")} + paths,
                                                      [&w](const QString &path) { w.openParameterFile(path); });
            refused = !refusal.isEmpty();
            if (refused) {
                EXPECT_TRUE(refusal.contains(c.files.size() > 1 ? QStringLiteral("2") : c.files.front()))
                    << refusal.toStdString();
            }
        } else {
            QMimeData data;
            QList<QUrl> urls;
            for (const QString &path : paths)
                urls << QUrl::fromLocalFile(path);
            data.setUrls(urls);
            const auto drop = [&] {
                QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(&w, &enter);
                refused = !enter.isAccepted();
                if (refused)
                    return;
                QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(&w, &dropped);
                EXPECT_TRUE(dropped.isAccepted());
            };
            if (c.way == Way::Drop) {
                drop();
            } else {
                // Dropped at the 300th of 2500 cells; the drawing goes on to its end.
                int cells = 0;
                const std::function<void()> windowYield = w.model().run.yield;
                w.model().run.yield = [&] {
                    if (++cells == 300)
                        drop();
                    windowYield();
                };
                w.model().fractal.setValue(Control::Option1, 1);
                w.startStop(Drawing::Fractal);
                EXPECT_EQ(cells, 2500);
            }
            QTest::qWait(50); // the drop opens the file from the event loop
        }
        EXPECT_EQ(refused, c.refused);
        if (c.messageName.isEmpty())
            EXPECT_EQ(message, QString());
        else
            EXPECT_TRUE(message.contains(c.messageName)) << message.toStdString();
        EXPECT_EQ(w.findChild<QSlider *>(QStringLiteral("Rc"))->value(), c.loaded ? 180 : 175);
        EXPECT_EQ(w.findChild<QLineEdit *>(QStringLiteral("numt"))->text(), c.loaded ? QStringLiteral(" 3 ") : QStringLiteral("7"));
        EXPECT_EQ(w.model().interference.value(Pair::Num), c.loaded ? 3 : 7);
    }
}

} // namespace
