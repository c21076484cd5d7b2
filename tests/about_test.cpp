// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The About box as the user meets it, and the system-information program it starts.

#include "ui/dialogs/about.h"
#include "ui/dialogs/sysinfo.h"

#include <QtTest>
#include <QtWidgets>

#include "printers.h"

#include <gtest/gtest.h>

using namespace divograf;

namespace {

// The PATH of a test: one temporary folder whose name a shell would split, holding the
// programs the row names, each a script that notes its name when it runs, or a file that cannot
// run. The PATH is put back when it ends.
class OnPath
{
public:
    explicit OnPath(const std::vector<std::pair<QString, const char *>> &programs = {})
    {
        QDir().mkpath(folder);
        for (const auto &[name, contents] : programs) {
            QFile f(QDir(folder).filePath(name));
            f.open(QIODevice::WriteOnly);
            f.write(contents);
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(folder));
    }
    ~OnPath() { qputenv("PATH", saved); }
    // The name the started program noted, once it has run.
    QString started() const
    {
        QFile noted(QDir(folder).filePath(QStringLiteral("started")));
        if (!QTest::qWaitFor([&] { return noted.size() > 0; }, 10000))
            return QString();
        noted.open(QIODevice::ReadOnly);
        return QString::fromUtf8(noted.readAll()).trimmed();
    }

private:
    const QByteArray saved = qgetenv("PATH");
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sys info; false"));
};

constexpr const char *Notes = "#!/bin/sh\necho \"${0##*/}\" > \"${0%/*}/started\"\n";
constexpr const char *Garbage = "\x7f\x45\x4c\x46 not a program";

// Calls `action` from the event loop once a window other than `current` is the active modal one.
void whenModal(std::function<void(QWidget *)> action, QWidget *current = nullptr)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, action, current] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != current && modal->isActiveWindow()) {
            poll->deleteLater();
            poll->stop();
            action(modal);
        }
    });
    poll->start(5);
}
// To the focus widget.
void press(Qt::Key key) { QTest::keyClick(static_cast<QWidget *>(nullptr), key); }
QPushButton *button(QWidget *about, const char *name)
{
    return about->findChild<QPushButton *>(QString::fromLatin1(name));
}
QIcon solid(QColor colour)
{
    QPixmap p(32, 32);
    p.fill(colour);
    return QIcon(p);
}

} // namespace

// The first of the programs found on the PATH is started, by its path and without a shell; one
// that cannot run counts as none.
TEST(SysInfo, StartsTheFirstProgramFoundOnThePath)
{
    const struct
    {
        const char *what;
        std::vector<std::pair<QString, const char *>> programs;
        bool starts;
        QString started;
    } rows[] = {
        {"found", {{"lxtask", Notes}, {"hardinfo", Notes}}, true, "hardinfo"},
        {"none", {{"sysinfo", Notes}}, false, ""},
        {"start fails", {{"kinfocenter", Garbage}, {"hardinfo", Notes}}, false, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const OnPath path(row.programs);
        EXPECT_EQ(sysinfo::start(), row.starts);
        if (row.starts) {
            EXPECT_EQ(path.started(), row.started);
        }
    }
}

// Names the program and its version in a fixed box, centred on its owner and kept on the
// owner's screen, with the owner's picture when given none; Tab goes OK, System Info, OK; Enter
// and Esc close it.
TEST(About, NamesTheProgramAndClosesOnEnterOrEsc)
{
    QWidget owner;
    owner.setWindowIcon(solid(Qt::blue));
    owner.show();
    const QRect screen = owner.screen()->availableGeometry();
    for (const auto &[key, at] : {std::pair{Qt::Key_Return, QPoint(200, 150)},
             {Qt::Key_Enter, screen.bottomRight() - QPoint(200, 100)},
             {Qt::Key_Escape, QPoint(200, 150)}}) {
        owner.setGeometry(QRect(at, QSize(645, 421)));
        QRect box;
        QStringList seen;
        whenModal([&](QWidget *about) {
            const auto label = [&](const char *name) {
                return about->findChild<QLabel *>(QString::fromLatin1(name));
            };
            box = about->geometry();
            seen << about->windowTitle() << label("lblTitle")->text() << label("lblVersion")->text()
                 << button(about, "cmdSysInfo")->text()
                 << QString::number(label("picIcon")->pixmap().toImage().pixel(16, 16), 16)
                 << QString::number(button(about, "cmdOK")->isDefault()
                        && about->minimumSize() == about->maximumSize()
                        && !(about->windowFlags()
                            & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            for (int i = 0; i < 3; ++i, press(Qt::Key_Tab))
                seen << QApplication::focusWidget()->objectName();
            press(Qt::Key_Tab);
            press(key);
            if (about->isVisible()) {
                about->close();
                seen.clear();
            }
        });
        showAbout(&owner, QIcon());
        EXPECT_EQ(seen.join('|'),
            QStringLiteral("О Дивограф|Дивограф|Версия 2.0.0|&System "
                           "Info...|ff0000ff|1|cmdOK|cmdSysInfo|cmdOK"))
            << key;
        EXPECT_TRUE(screen.contains(box));
        EXPECT_TRUE(at.x() != 200 || box == QRect(412, 306, 221, 110));
    }
}

// Nothing found: the message, and the box stays; found: Alt+S starts it, no message.
TEST(About, SystemInfoShowsTheMessageOrStartsTheProgramAndTheBoxStaysOpen)
{
    std::optional<OnPath> path;
    path.emplace();
    QString message;
    bool plain = false;
    bool openAfter = false;
    bool openWithoutMessage = false;
    whenModal([&](QWidget *about) {
        whenModal(
            [&](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                message = box->windowTitle() + '|' + box->text();
                plain = box->standardButtons() == QMessageBox::Ok
                    && box->icon() == QMessageBox::NoIcon;
                press(Qt::Key_Return);
            },
            about);
        button(about, "cmdSysInfo")->click(); // returns when the message is closed
        openAfter = QApplication::activeModalWidget() == about;
        path.reset();
        path.emplace(std::vector<std::pair<QString, const char *>>{{"kinfocenter", Notes}});
        QApplication::setActiveWindow(about);
        QTest::keyClick(about, Qt::Key_S, Qt::AltModifier);
        EXPECT_EQ(path->started(), QStringLiteral("kinfocenter"));
        openWithoutMessage = QApplication::activeModalWidget() == about;
        about->close();
    });
    showAbout(nullptr, solid(Qt::red));
    EXPECT_EQ(message, QStringLiteral("Дивограф|System Information Is Unavailable At This Time"));
    EXPECT_TRUE(plain) << "the message has an OK button and no icon";
    EXPECT_TRUE(openAfter) << "the box stays open after the message";
    EXPECT_TRUE(openWithoutMessage) << "the box stays open after starting the program";
}

// The owner destroyed while the box, or the message over it, is open: nothing is deleted twice.
TEST(About, OwnerDestroyedWhileTheBoxOrItsMessageIsOpen)
{
    const OnPath nothing;
    for (bool withMessage : {false, true}) {
        auto *owner = new QWidget;
        owner->show();
        whenModal([&](QWidget *about) {
            if (!withMessage)
                return delete owner;
            whenModal([&](QWidget *) { delete owner; }, about);
            button(about, "cmdSysInfo")->click();
        });
        showAbout(owner, solid(Qt::red));
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << withMessage;
    }
}
