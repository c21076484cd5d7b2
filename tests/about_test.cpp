// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The About box as the user meets it (texts, keys, the system-information button, the message,
// showing it from inside a running drawing), and the look-up of the system-information program
// through registry and launcher fakes and through the stand-in that looks on the PATH.

#include "ui/dialogs/about.h"
#include "ui/dialogs/platform.h"
#include "core/model.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <tuple>
#include <vector>

using namespace divograf;

namespace {

struct Value
{
    std::uint32_t type;
    QByteArray bytes;   // what lands in the buffer
    std::uint32_t size; // what the registry reports
};

Value text(const QString &s) // a string as the registry keeps it, terminating zero counted
{
    const QByteArray bytes = s.toLocal8Bit() + '\0';
    return {sysinfo::TypeString, bytes, static_cast<std::uint32_t>(bytes.size())};
}

Value raw(std::uint32_t type, QByteArray bytes, std::uint32_t size) { return {type, std::move(bytes), size}; }

using Keys = std::map<QString, std::map<QString, Value>>;

// A registry for a standard user (read rights only under HKEY_LOCAL_MACHINE), a file system
// holding `files`, and a launcher that records what it was asked to start.
class FakeServices : public SystemServices
{
public:
    long openKey(std::uint32_t root, const QByteArray &subKey, std::uint32_t access, KeyHandle &key) override
    {
        opened.push_back(QString::fromLocal8Bit(subKey));
        key = 0;
        constexpr std::uint32_t WriteRights = 0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000;
        if (access & WriteRights)
            return 5; // ERROR_ACCESS_DENIED
        const auto found = keys.find(opened.back());
        if (root != sysinfo::LocalMachine || found == keys.end())
            return sysinfo::FileNotFound;
        key = ++lastHandle;
        open[key] = &found->second;
        return sysinfo::Success;
    }
    long queryValue(KeyHandle key, const QByteArray &name, std::uint32_t &type, QByteArray &data,
                    std::uint32_t &size) override
    {
        const auto k = open.find(key);
        if (k == open.end())
            return sysinfo::InvalidHandle;
        const auto v = k->second->find(QString::fromLocal8Bit(name));
        if (v == k->second->end())
            return sysinfo::FileNotFound;
        if (v->second.bytes.size() > std::min<qsizetype>(data.size(), size)) {
            size = static_cast<std::uint32_t>(v->second.bytes.size());
            return sysinfo::MoreData;
        }
        std::copy(v->second.bytes.begin(), v->second.bytes.end(), data.begin());
        type = v->second.type;
        size = v->second.size;
        return sysinfo::Success;
    }
    long closeKey(KeyHandle key) override
    {
        closed.push_back(key);
        return open.erase(key) == 1 ? sysinfo::Success : sysinfo::InvalidHandle;
    }
    bool fileExists(const QString &path) override
    {
        checked.push_back(path);
        return files.count(path) == 1;
    }
    bool start(const QString &path) override
    {
        started.push_back(path);
        return startWorks;
    }

    Keys keys;
    std::set<QString> files;
    bool startWorks = true;
    std::vector<QString> opened, checked, started;
    std::vector<KeyHandle> closed;
    std::map<KeyHandle, std::map<QString, Value> *> open;

private:
    KeyHandle lastHandle = 0;
};

const QString Folder = QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo");
const QString FolderProgram = Folder + QStringLiteral("\\MSINFO32.EXE");
const QString &P = sysinfo::ProgramKey;
const QString &F = sysinfo::FolderKey;
const QString Path = QStringLiteral("PATH");
const QString Loc = QStringLiteral("MSINFO");
const QString M = QStringLiteral("C:\\m.exe");

// Calls `action` from the event loop once a window other than `current` is the active modal
// widget: the way to act inside a modal loop that the test itself entered.
void whenModal(std::function<void(QWidget *)> action, QWidget *current = nullptr)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, action, current] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == current || !modal->isActiveWindow())
            return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(static_cast<QWidget *>(nullptr), key, modifiers); // to the focus widget
}

template <typename T = QPushButton>
T *child(QWidget *about, const char *name)
{
    return about->findChild<T *>(QString::fromLatin1(name));
}

QIcon solid(QColor colour)
{
    QPixmap p(32, 32);
    p.fill(colour);
    return QIcon(p);
}

QRgb iconCentre(QWidget *about)
{
    return child<QLabel>(about, "picIcon")->pixmap().toImage().pixel(16, 16);
}

} // namespace

TEST(About, ShowsTheProgramAndItsVersionInAFixedBoxOfDesignedControls)
{
    FakeServices services;
    About about(nullptr, solid(Qt::red), services);
    about.show();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("О Дивограф"));
    EXPECT_EQ(child<QLabel>(&about, "lblTitle")->text(), QStringLiteral("Дивограф"));
    EXPECT_EQ(child<QLabel>(&about, "lblTitle")->font().pointSize(), 12);
    EXPECT_EQ(child<QLabel>(&about, "lblVersion")->text(), QStringLiteral("Версия 2.0.0"));
    EXPECT_EQ(child(&about, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
    EXPECT_EQ(child(&about, "cmdOK")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(child(&about, "cmdOK")->isDefault());
    EXPECT_EQ(iconCentre(&about), qRgb(255, 0, 0));

    EXPECT_EQ(about.size(), QSize(221, 110));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    // In the focus chain's order, which is the tab order.
    const std::vector<std::pair<const char *, QRect>> controls = {
        {"cmdOK", {128, 80, 84, 23}},   {"picIcon", {8, 8, 36, 36}},     {"cmdSysInfo", {8, 80, 83, 23}},
        {"lblTitle", {86, 16, 123, 32}}, {"lblVersion", {86, 52, 123, 15}},
    };
    QWidget *w = &about;
    for (const auto &[name, rect] : controls) {
        w = w->nextInFocusChain();
        EXPECT_EQ(w->objectName(), QString::fromLatin1(name));
        EXPECT_EQ(w->geometry(), rect) << name;
    }
    // Each caption fits its button with a few pixels to spare on either side.
    for (const char *name : {"cmdOK", "cmdSysInfo"}) {
        const auto *button = child(&about, name);
        const int text = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')));
        EXPECT_LE(text + 2 * 3, button->width()) << name;
    }
}

class AboutClosesOnKey : public testing::TestWithParam<Qt::Key> {};

// Tab moves between the two buttons, starting at OK; Enter and Esc close the box.
TEST_P(AboutClosesOnKey, AndShowAboutReturns)
{
    FakeServices services;
    services.keys[P][Path] = text(QStringLiteral("/usr/bin/sysinfo"));
    bool closedByKey = false;
    std::vector<QString> focus;
    whenModal([&](QWidget *about) {
        for (int i = 0; i < 3; ++i) {
            focus.push_back(QApplication::focusWidget()->objectName());
            pressKey(Qt::Key_Tab);
        }
        pressKey(Qt::Key_Tab);
        pressKey(GetParam()); // on OK again
        closedByKey = !about->isVisible();
        if (!closedByKey)
            about->close();
    });
    showAbout(nullptr, solid(Qt::red), services);
    EXPECT_TRUE(closedByKey);
    EXPECT_EQ(focus, (std::vector<QString>{"cmdOK", "cmdSysInfo", "cmdOK"}));
    EXPECT_TRUE(services.started.empty());
}

INSTANTIATE_TEST_SUITE_P(EnterAndEsc, AboutClosesOnKey, testing::Values(Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape));

// Nothing found: the message, and the box stays usable; found: Alt+S starts the program, no
// message, the box stays open.
TEST(About, SystemInfoShowsTheMessageOrStartsTheProgramAndTheBoxStaysOpen)
{
    FakeServices services;
    QString message, title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::Critical;
    bool openAfter = false, openWithoutMessage = false;
    whenModal([&](QWidget *about) {
        whenModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            ASSERT_NE(box, nullptr);
            message = box->text();
            title = box->windowTitle();
            buttons = box->standardButtons();
            icon = box->icon();
            pressKey(Qt::Key_Return);
        }, about);
        child(about, "cmdSysInfo")->click(); // returns when the message is closed
        openAfter = about->isVisible() && QApplication::activeModalWidget() == about;
        services.keys[P][Path] = text(QStringLiteral("/usr/bin/kinfocenter"));
        QApplication::setActiveWindow(about); // offscreen, closing the message leaves no window active
        QTest::keyClick(about, Qt::Key_S, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !services.started.empty(); }, 5000));
        openWithoutMessage = about->isVisible() && QApplication::activeModalWidget() == about;
        about->close();
    });
    showAbout(nullptr, solid(Qt::red), services);
    EXPECT_EQ(message, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_EQ(title, QStringLiteral("Дивограф"));
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_TRUE(openAfter);
    EXPECT_TRUE(openWithoutMessage);
    EXPECT_EQ(services.started, std::vector<QString>{QStringLiteral("/usr/bin/kinfocenter")});
}

// Centred on its owner, and kept on the owner's screen when the owner lies partly off it.
TEST(About, IsCentredOnItsOwnerAndStaysOnItsScreen)
{
    FakeServices services;
    QWidget owner;
    owner.show();
    const QRect screen = owner.screen()->availableGeometry();
    for (const QPoint &at : {QPoint(200, 150), screen.bottomRight() - QPoint(200, 100)}) {
        owner.setGeometry(QRect(at, QSize(645, 421)));
        QRect about;
        QPoint frameOffset;
        whenModal([&](QWidget *box) {
            about = box->geometry();
            frameOffset = box->frameGeometry().center() - owner.frameGeometry().center();
            box->close();
        });
        showAbout(&owner, solid(Qt::red), services);
        EXPECT_TRUE(screen.contains(about)) << about.x() << "," << about.y();
        if (at.x() == 200) {
            EXPECT_EQ(about, QRect(412, 306, 221, 110));
            EXPECT_EQ(frameOffset, QPoint(0, 0));
        }
    }
}

// Without a picture of its own, the box shows the owner window's.
TEST(About, ShowsTheOwnersPicture)
{
    FakeServices services;
    QWidget owner;
    owner.show();
    owner.setWindowIcon(solid(Qt::red));
    QRgb centre = 0;
    whenModal([&](QWidget *about) {
        centre = iconCentre(about);
        about->close();
    });
    showAbout(&owner, QIcon(), services);
    EXPECT_EQ(centre, qRgb(255, 0, 0));
}

TEST(About, HelpDuringADrawingHoldsItInItsYieldUntilClosed)
{
    FakeServices services;
    QWidget owner;
    owner.show();
    Model model;
    model.startUp();
    model.fractal.setValue(Control::Option1, 1); // Detail 100: 50 x 50 cells
    int elements = 0, elementsWhileOpen = -1;
    model.run.yield = [&] {
        if (++elements != 100)
            return;
        whenModal([&](QWidget *) {
            QTest::qWait(20); // the drawing below must not move meanwhile
            elementsWhileOpen = elements;
            pressKey(Qt::Key_Escape);
        });
        showAbout(&owner, solid(Qt::red), services);
    };
    model.startStop(Drawing::Fractal);
    EXPECT_EQ(elementsWhileOpen, 100);
    EXPECT_EQ(elements, 50 * 50);
    EXPECT_FALSE(model.run.Running);
}

// The owner destroyed while the box, or the message over it, is open: showAbout returns and
// deletes nothing twice.
TEST(About, OwnerDestroyedWhileTheBoxOrItsMessageIsOpen)
{
    FakeServices services;
    for (bool withMessage : {false, true}) {
        auto *owner = new QWidget;
        owner->show();
        whenModal([&](QWidget *about) {
            if (!withMessage) {
                delete owner;
                return;
            }
            whenModal([&](QWidget *) { delete owner; }, about);
            child(about, "cmdSysInfo")->click();
        });
        showAbout(owner, solid(Qt::red), services);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << withMessage;
    }
}

// --- The look-up ----------------------------------------------------------------------------

namespace {

struct Scenario
{
    const char *name;
    Keys keys;
    std::set<QString> files;
    bool startWorks;
    std::vector<QString> opened;  // keys opened, in order
    std::vector<QString> checked; // files tested for existence
    std::vector<QString> started; // programs asked to start
    bool message;
};

void PrintTo(const Scenario &s, std::ostream *os) { *os << s.name; }

const Scenario Scenarios[] = {
    {"FirstKeyStartedUnchangedWithoutCheck", {{P, {{Path, text("D:\\no such\\sys info.exe ")}}}, {F, {{Loc, text("C:\\x")}}}},
     {}, true, {P}, {}, {QStringLiteral("D:\\no such\\sys info.exe ")}, false},
    {"SecondKeyFolderHoldingTheProgram", {{F, {{Loc, text(Folder)}}}},
     {FolderProgram}, true, {P, F}, {FolderProgram}, {FolderProgram}, false},
    {"SecondKeyFolderWithoutTheProgram", {{F, {{Loc, text(Folder)}}}},
     {QStringLiteral("C:\\elsewhere\\MSINFO32.EXE")}, true, {P, F}, {FolderProgram}, {}, true},
    {"NeitherKey", {}, {FolderProgram}, true, {P, F}, {}, {}, true},
    {"FirstKeyWithoutItsValueFallsToTheSecond", {{P, {{QStringLiteral("Other"), text(M)}}}, {F, {{Loc, text(Folder)}}}},
     {FolderProgram}, true, {P, F}, {FolderProgram}, {FolderProgram}, false},
    {"FirstValueOfLengthZeroEndsTheSearch", {{P, {{Path, raw(sysinfo::TypeString, {}, 0)}}}, {F, {{Loc, text(Folder)}}}},
     {FolderProgram}, true, {P}, {}, {}, true},
    {"SecondValueOfLengthZero", {{F, {{Loc, raw(sysinfo::TypeString, {}, 0)}}}},
     {QStringLiteral("\\MSINFO32.EXE")}, true, {P, F}, {}, {}, true},
    {"ValueTooLargeForTheBufferFallsToTheSecond",
     {{P, {{Path, raw(sysinfo::TypeString, QByteArray(1025, 'a'), 1025)}}}}, {}, true, {P, F}, {}, {}, true},
    {"StartThatFails", {{P, {{Path, text(M)}}}}, {}, false, {P}, {}, {M}, true},
};

class StartSysInfoScenario : public testing::TestWithParam<Scenario> {};

} // namespace

TEST_P(StartSysInfoScenario, StartsTheProgramOrShowsTheMessageAndClosesEveryKey)
{
    const Scenario &s = GetParam();
    FakeServices fake;
    fake.keys = s.keys;
    fake.files = s.files;
    fake.startWorks = s.startWorks;
    int messages = 0;
    StartSysInfo(fake, [&] { ++messages; });
    EXPECT_EQ(fake.opened, s.opened);
    EXPECT_EQ(fake.checked, s.checked);
    EXPECT_EQ(fake.started, s.started);
    EXPECT_EQ(messages, s.message ? 1 : 0);
    // One close per opening, a failed opening closing handle 0, and nothing left open.
    EXPECT_EQ(fake.closed.size(), fake.opened.size());
    EXPECT_TRUE(fake.open.empty());
}

INSTANTIATE_TEST_SUITE_P(Steps, StartSysInfoScenario, testing::ValuesIn(Scenarios),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(GetKeyValue, ReadsTheValueByTypeAndClosesTheKey)
{
    const std::tuple<Value, KeyLookup, QString> rows[] = { // the value; the result; what "kept" became
        {text(QStringLiteral("C:\\a.exe")), KeyLookup::Read, QStringLiteral("C:\\a.exe")},
        {raw(sysinfo::TypeString, "C:\\msinfo.exe", 13), KeyLookup::Read, QStringLiteral("C:\\msinfo.exe")}, // no zero
        {raw(sysinfo::TypeString, QByteArray("C:\\msinfo.exe", 14), 6), KeyLookup::Read, QStringLiteral("C:\\msi")},
        {raw(sysinfo::TypeString, QByteArray("ab\0cd\0", 6), 6), KeyLookup::Read, QString::fromLatin1("ab\0cd", 5)},
        {raw(sysinfo::TypeString, QByteArray(1, '\0'), 1), KeyLookup::Read, QString()},
        {raw(sysinfo::TypeString, "Сведения", 16), KeyLookup::Read, QStringLiteral("Сведения")},
        {raw(sysinfo::TypeString, {}, 0), KeyLookup::Broken, QStringLiteral("kept")},
        {raw(sysinfo::TypeNumber, QByteArray("\x78\x56\x34\x12", 4), 4), KeyLookup::Read, QStringLiteral("&h12345678")},
        // The cut drops a zero top byte; a zero inside the number keeps its digit.
        {raw(sysinfo::TypeNumber, QByteArray("\x01\x02\x00\x00", 4), 4), KeyLookup::Read, QStringLiteral("&h201")},
        {raw(sysinfo::TypeNumber, QByteArray("\x0a\x00\x00\x01", 4), 4), KeyLookup::Read, QStringLiteral("&h100000A")},
        {raw(sysinfo::TypeNumber, QByteArray("\xff\xff\xff\xff", 4), 4), KeyLookup::Read, QStringLiteral("&hFFFFFFFF")},
        {raw(sysinfo::TypeNumber, QByteArray(4, '\0'), 4), KeyLookup::Read, QStringLiteral("&h0")},
        {raw(3, "C:\\a.exe", 8), KeyLookup::Read, QStringLiteral("kept")}, // other types leave the text
    };
    for (const auto &[value, result, expected] : rows) {
        SCOPED_TRACE(expected.toStdString());
        FakeServices fake;
        fake.keys[P][Path] = value;
        QString keyVal = QStringLiteral("kept");
        EXPECT_EQ(GetKeyValue(fake, sysinfo::LocalMachine, P, Path, keyVal), result);
        EXPECT_EQ(keyVal, expected);
        EXPECT_EQ(fake.closed.size(), 1u);
        EXPECT_TRUE(fake.open.empty());
    }
    // A key that cannot be opened: the text emptied, handle 0 closed.
    FakeServices none;
    QString keyVal = QStringLiteral("kept");
    EXPECT_EQ(GetKeyValue(none, sysinfo::LocalMachine, P, Path, keyVal), KeyLookup::NotRead);
    EXPECT_EQ(keyVal, QString());
    EXPECT_EQ(none.closed, std::vector<KeyHandle>{0});

    // A size beyond the buffer keeps the whole buffer.
    const QByteArray buffer(sysinfo::BufferSize, 'x');
    EXPECT_EQ(cutValue(buffer, 2000), buffer);
    EXPECT_EQ(cutValue(buffer, 3), QByteArray("xxx"));
}

#ifndef Q_OS_WIN

namespace {

// A program that leaves a mark beside itself, so a test can see that it ran.
void writeProgram(const QString &path, bool executable)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n: > \"$(dirname \"$0\")/started\"\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | (executable ? QFile::ExeOwner : QFile::Permissions()));
}

} // namespace

// The first key's value is the first program found, started by its path without a shell; the
// second key never answers.
TEST(PathServices, AnswerTheFirstKeyWithTheFirstProgramFoundAndStartItWithoutAShell)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("sys info; false")); // a shell would split it
    ASSERT_TRUE(QDir().mkpath(folder));
    writeProgram(QDir(folder).filePath(QStringLiteral("kinfocenter")), false); // not executable: skipped
    for (const char *name : {"lxtask", "hardinfo", "MSINFO32.EXE"})
        writeProgram(QDir(folder).filePath(QString::fromLatin1(name)), true);
    PathServices services(PathServices::Programs, {folder});
    EXPECT_EQ(findSysInfo(services), QDir(folder).filePath(QStringLiteral("hardinfo")));
    QString keyVal;
    EXPECT_EQ(GetKeyValue(services, sysinfo::LocalMachine, F, sysinfo::FolderValue, keyVal), KeyLookup::NotRead);
    EXPECT_EQ(GetKeyValue(services, sysinfo::LocalMachine, P, QStringLiteral("Other"), keyVal), KeyLookup::NotRead);
    int messages = 0;
    StartSysInfo(services, [&] { ++messages; });
    EXPECT_EQ(messages, 0);
    const QString mark = QDir(folder).filePath(QStringLiteral("started"));
    for (int i = 0; i < 1000 && !QFile::exists(mark); ++i)
        QThread::msleep(10); // the program runs detached
    EXPECT_TRUE(QFile::exists(mark));

    PathServices none(PathServices::Programs, {dir.filePath(QStringLiteral("empty"))});
    StartSysInfo(none, [&] { ++messages; });
    EXPECT_EQ(messages, 1);
    EXPECT_FALSE(startProgram(QString()));
    EXPECT_FALSE(startProgram(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(startProgram(QDir(folder).filePath(QStringLiteral("kinfocenter"))));
}

#endif
