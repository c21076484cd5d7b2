// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The About box as the user meets it, and the look-up of the system-information program
// through a small fake registry and through the stand-in that looks on the PATH.

#include "ui/dialogs/about.h"
#include "ui/dialogs/platform.h"

#include <QtTest>
#include <QtWidgets>

#include "printers.h"

#include <gtest/gtest.h>

using namespace divograf;

namespace {

struct Value
{
    std::uint32_t type;
    QByteArray bytes;
    std::uint32_t size; // as reported
};
// A string as the registry keeps it, terminating zero counted.
Value text(const QString &s)
{
    const QByteArray bytes = s.toLocal8Bit() + '\0';
    return {sysinfo::TypeString, bytes, std::uint32_t(bytes.size())};
}

// A registry for a standard user (no write rights), a file system holding `files`, a launcher.
struct Fake : SystemServices
{
    long openKey(
        std::uint32_t root, const QByteArray &subKey, std::uint32_t access, KeyHandle &key) override
    {
        opened.push_back(QString::fromLocal8Bit(subKey));
        const auto found = keys.find(opened.back());
        key = root == sysinfo::LocalMachine && !(access & 0xD0026) && found != keys.end() ? ++last
                                                                                          : 0;
        if (key)
            open[key] = &found->second;
        return key ? sysinfo::Success : sysinfo::FileNotFound;
    }
    long queryValue(KeyHandle key, const QByteArray &name, std::uint32_t &type, QByteArray &data,
        std::uint32_t &size) override
    {
        const auto v = open.at(key)->find(QString::fromLocal8Bit(name));
        if (v == open.at(key)->end())
            return sysinfo::FileNotFound;
        if (v->second.bytes.size() > std::min<qsizetype>(data.size(), size)) {
            size = std::uint32_t(v->second.bytes.size());
            return sysinfo::MoreData;
        }
        std::copy(v->second.bytes.begin(), v->second.bytes.end(), data.begin());
        type = v->second.type;
        size = v->second.size;
        return sysinfo::Success;
    }
    long closeKey(KeyHandle key) override
    {
        ++closed;
        return open.erase(key) ? sysinfo::Success : sysinfo::InvalidHandle;
    }
    bool fileExists(const QString &path) override
    {
        checked.push_back(path);
        return files.contains(path);
    }
    bool start(const QString &path) override
    {
        started.push_back(path);
        return startWorks;
    }

    std::map<QString, std::map<QString, Value>> keys;
    QStringList files;
    bool startWorks = true;
    std::vector<QString> opened, checked, started;
    int closed = 0;
    KeyHandle last = 0;
    std::map<KeyHandle, std::map<QString, Value> *> open;
};

const QString &P = sysinfo::ProgramKey;
const QString &F = sysinfo::FolderKey;
const QString Path = QStringLiteral("PATH");
const QString Loc = QStringLiteral("MSINFO");
const QString Folder = QStringLiteral("C:\\MSInfo");
const QString InFolder = Folder + QStringLiteral("\\MSINFO32.EXE");
const Value Empty{sysinfo::TypeString, {}, 0};

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

TEST(SysInfoLookUp, StartsTheProgramOrCallsForTheMessageAndClosesEveryKey)
{
    const struct
    {
        const char *name;
        std::map<QString, std::map<QString, Value>> keys;
        QStringList files;
        bool startWorks;
        std::vector<QString> opened, checked, started;
        bool message;
    } rows[] = {
        {"first key: unchanged, unchecked",
            {{P, {{Path, text("D:\\no such\\a b.exe ")}}}, {F, {{Loc, text(Folder)}}}}, {}, true,
            {P}, {}, {"D:\\no such\\a b.exe "}, false},
        {"second key's folder", {{F, {{Loc, text(Folder)}}}}, {InFolder}, true, {P, F}, {InFolder},
            {InFolder}, false},
        {"folder without it", {{F, {{Loc, text(Folder)}}}}, {"C:\\MSINFO32.EXE"}, true, {P, F},
            {InFolder}, {}, true},
        {"neither key", {}, {InFolder}, true, {P, F}, {}, {}, true},
        {"first key without its value",
            {{P, {{Loc, text("C:\\m.exe")}}}, {F, {{Loc, text(Folder)}}}}, {InFolder}, true, {P, F},
            {InFolder}, {InFolder}, false},
        {"first value of size 0 ends it", {{P, {{Path, Empty}}}, {F, {{Loc, text(Folder)}}}},
            {InFolder}, true, {P}, {}, {}, true},
        {"second value of size 0", {{F, {{Loc, Empty}}}}, {"\\MSINFO32.EXE"}, true, {P, F}, {}, {},
            true},
        {"value beyond the buffer",
            {{P, {{Path, {sysinfo::TypeString, QByteArray(1025, 'a'), 1025}}}}}, {}, true, {P, F},
            {}, {}, true},
        {"start fails", {{P, {{Path, text("C:\\m.exe")}}}}, {}, false, {P}, {}, {"C:\\m.exe"},
            true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Fake fake;
        fake.keys = row.keys;
        fake.files = row.files;
        fake.startWorks = row.startWorks;
        int messages = 0;
        StartSysInfo(fake, [&] { ++messages; });
        EXPECT_EQ(fake.opened, row.opened);
        EXPECT_EQ(fake.checked, row.checked);
        EXPECT_EQ(fake.started, row.started);
        EXPECT_EQ(messages, int(row.message));
        EXPECT_EQ(fake.closed, int(fake.opened.size())); // a failed opening closes handle 0
        EXPECT_TRUE(fake.open.empty());
    }
}

TEST(SysInfoLookUp, ReadsAValueByItsTypeAndCutsOneTerminatingZero)
{
    const std::tuple<Value, KeyLookup, QString> rows[] = {
        // the value; the result; what "kept" became
        {text("C:\\a.exe"), KeyLookup::Read, "C:\\a.exe"},
        {{sysinfo::TypeString, "C:\\msinfo.exe", 13}, KeyLookup::Read, "C:\\msinfo.exe"}, // no zero
        {{sysinfo::TypeString, QByteArray("C:\\msinfo.exe", 14), 6}, KeyLookup::Read, "C:\\msi"},
        {{sysinfo::TypeString, QByteArray("ab\0cd\0", 6), 6}, KeyLookup::Read,
            QString::fromLatin1("ab\0cd", 5)},
        {{sysinfo::TypeString, QByteArray(1, '\0'), 1}, KeyLookup::Read, ""},
        {{sysinfo::TypeString, "Сведения", 16}, KeyLookup::Read, "Сведения"},
        {Empty, KeyLookup::Broken, "kept"},
        {{sysinfo::TypeNumber, QByteArray("\x78\x56\x34\x12", 4), 4}, KeyLookup::Read,
            "&h12345678"},
        {{sysinfo::TypeNumber, QByteArray("\x01\x02\x00\x00", 4), 4}, KeyLookup::Read,
            "&h201"}, // a zero inside keeps its digit
        {{sysinfo::TypeNumber, QByteArray("\xff\xff\xff\xff", 4), 4}, KeyLookup::Read,
            "&hFFFFFFFF"},
        {{sysinfo::TypeNumber, QByteArray(4, '\0'), 4}, KeyLookup::Read, "&h0"},
        {{3, "C:\\a.exe", 8}, KeyLookup::Read, "kept"}, // other types leave the text
    };
    for (const auto &[value, result, expected] : rows) {
        Fake fake;
        fake.keys[P][Path] = value;
        QString keyVal = QStringLiteral("kept");
        EXPECT_EQ(GetKeyValue(fake, sysinfo::LocalMachine, P, Path, keyVal), result)
            << expected.toStdString();
        EXPECT_EQ(keyVal, expected);
        EXPECT_EQ(fake.closed, 1);
    }
    Fake none; // a key that cannot be opened: the text emptied
    QString keyVal = QStringLiteral("kept");
    EXPECT_EQ(GetKeyValue(none, sysinfo::LocalMachine, P, Path, keyVal), KeyLookup::NotRead);
    EXPECT_EQ(keyVal, QString());
    const QByteArray buffer(sysinfo::BufferSize, 'x'); // a size beyond the buffer keeps it whole
    EXPECT_EQ(cutValue(buffer, 2000), buffer);
}

// The first program found on the given folders, started by its path without a shell.
TEST(SysInfoLookUp, OnThePathTheFirstProgramFoundIsStartedWithoutAShell)
{
    QTemporaryDir dir;
    const QString folder
        = dir.filePath(QStringLiteral("sys info; false")); // a shell would split it
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char *name : {"kinfocenter", "lxtask", "hardinfo"}) {
        QFile f(QDir(folder).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n: > \"$(dirname \"$0\")/started\"\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner
            | (name[0] == 'k' ? QFile::Permissions() : QFile::ExeOwner));
    }
    PathServices services(PathServices::Programs, {folder});
    EXPECT_EQ(findSysInfo(services),
        QDir(folder).filePath(QStringLiteral("hardinfo"))); // kinfocenter is not executable
    int messages = 0;
    StartSysInfo(services, [&] { ++messages; });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(QDir(folder).filePath(QStringLiteral("started"))); }, 10000));
    PathServices none(PathServices::Programs, {dir.filePath(QStringLiteral("empty"))});
    StartSysInfo(none, [&] { ++messages; });
    EXPECT_EQ(messages, 1);
    EXPECT_FALSE(startProgram(QDir(folder).filePath(QStringLiteral("kinfocenter"))));
}

// Names the program and its version in a fixed box, centred on its owner and kept on the
// owner's screen, with the owner's picture when given none; Tab goes OK, System Info, OK; Enter
// and Esc close it.
TEST(About, NamesTheProgramAndClosesOnEnterOrEsc)
{
    Fake services;
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
        showAbout(&owner, QIcon(), services);
        EXPECT_EQ(seen.join('|'),
            QStringLiteral("О Дивограф|Дивограф|Версия 2.0.0|&System "
                           "Info...|ff0000ff|1|cmdOK|cmdSysInfo|cmdOK"))
            << key;
        EXPECT_TRUE(screen.contains(box));
        EXPECT_TRUE(at.x() != 200 || box == QRect(412, 306, 221, 110));
        EXPECT_TRUE(services.started.empty());
    }
}

// Nothing found: the message, and the box stays; found: Alt+S starts it, no message.
TEST(About, SystemInfoShowsTheMessageOrStartsTheProgramAndTheBoxStaysOpen)
{
    Fake services;
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
        services.keys[P][Path] = text(QStringLiteral("/usr/bin/kinfocenter"));
        QApplication::setActiveWindow(about);
        QTest::keyClick(about, Qt::Key_S, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !services.started.empty(); }, 5000));
        openWithoutMessage = QApplication::activeModalWidget() == about;
        about->close();
    });
    showAbout(nullptr, solid(Qt::red), services);
    EXPECT_EQ(message, QStringLiteral("Дивограф|System Information Is Unavailable At This Time"));
    EXPECT_TRUE(plain) << "the message has an OK button and no icon";
    EXPECT_TRUE(openAfter) << "the box stays open after the message";
    EXPECT_TRUE(openWithoutMessage) << "the box stays open after starting the program";
    EXPECT_EQ(services.started, std::vector<QString>{QStringLiteral("/usr/bin/kinfocenter")});
}

// The owner destroyed while the box, or the message over it, is open: nothing is deleted twice.
TEST(About, OwnerDestroyedWhileTheBoxOrItsMessageIsOpen)
{
    Fake services;
    for (bool withMessage : {false, true}) {
        auto *owner = new QWidget;
        owner->show();
        whenModal([&](QWidget *about) {
            if (!withMessage)
                return delete owner;
            whenModal([&](QWidget *) { delete owner; }, about);
            button(about, "cmdSysInfo")->click();
        });
        showAbout(owner, solid(Qt::red), services);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << withMessage;
    }
}
