// Finding and starting the system-information program, through registry and launcher fakes and
// through the stand-in that looks on the PATH.

#include "about/platform.h"
#include "about/sysinfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

using namespace divograf;

namespace {

struct Value
{
    std::uint32_t type;
    QByteArray bytes; // what lands in the buffer
    std::uint32_t size; // what the registry reports
};

Value text(const char *s) // a string as the registry keeps it, terminating zero counted
{
    const QByteArray bytes(s, qstrlen(s) + 1);
    return {sysinfo::TypeString, bytes, static_cast<std::uint32_t>(bytes.size())};
}

Value raw(std::uint32_t type, QByteArray bytes, std::uint32_t size) { return {type, std::move(bytes), size}; }

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
        if (root != sysinfo::LocalMachine)
            return sysinfo::FileNotFound;
        if (access & WriteRights)
            return 5; // ERROR_ACCESS_DENIED
        for (auto &[path, values] : keys)
            if (path.compare(opened.back(), Qt::CaseInsensitive) == 0) {
                key = ++lastHandle;
                open[key] = &values;
                return sysinfo::Success;
            }
        return sysinfo::FileNotFound;
    }

    long queryValue(KeyHandle key, const QByteArray &name, std::uint32_t &type, QByteArray &data,
                    std::uint32_t &size) override
    {
        const auto k = open.find(key);
        if (k == open.end())
            return sysinfo::InvalidHandle;
        for (const auto &[valueName, value] : *k->second)
            if (valueName.compare(QString::fromLocal8Bit(name), Qt::CaseInsensitive) == 0) {
                if (value.bytes.size() > data.size() || value.bytes.size() > static_cast<qsizetype>(size)) {
                    size = static_cast<std::uint32_t>(value.bytes.size());
                    return sysinfo::MoreData;
                }
                std::copy(value.bytes.begin(), value.bytes.end(), data.begin());
                type = value.type;
                size = value.size;
                return sysinfo::Success;
            }
        return sysinfo::FileNotFound;
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

    std::map<QString, std::map<QString, Value>> keys;
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

struct Scenario
{
    const char *name;
    std::map<QString, std::map<QString, Value>> keys;
    std::set<QString> files;
    bool startWorks;
    std::vector<QString> opened;  // keys opened, in order
    std::vector<QString> checked; // files tested for existence
    std::vector<QString> started; // programs asked to start
    bool message;
};

const QString &P = sysinfo::ProgramKey;
const QString &F = sysinfo::FolderKey;
const QString Path = QStringLiteral("PATH");
const QString Loc = QStringLiteral("MSINFO");

const std::vector<Scenario> Scenarios = {
    {"FirstKeyStartedUnchangedWithoutCheck", {{P, {{Path, text("D:\\no such\\sys info.exe ")}}}, {F, {{Loc, text("C:\\x")}}}},
     {}, true, {P}, {}, {QStringLiteral("D:\\no such\\sys info.exe ")}, false},
    {"KeyPathAndValueNameIgnoreCase", {{P.toLower(), {{QStringLiteral("path"), text("C:\\m.exe")}}}},
     {}, true, {P}, {}, {QStringLiteral("C:\\m.exe")}, false},
    {"SecondKeyFolderHoldingTheProgram", {{F, {{Loc, text(Folder.toLocal8Bit().constData())}}}},
     {FolderProgram}, true, {P, F}, {FolderProgram}, {FolderProgram}, false},
    {"SecondKeyFolderWithoutTheProgram", {{F, {{Loc, text(Folder.toLocal8Bit().constData())}}}},
     {QStringLiteral("C:\\elsewhere\\MSINFO32.EXE")}, true, {P, F}, {FolderProgram}, {}, true},
    {"NeitherKey", {}, {FolderProgram}, true, {P, F}, {}, {}, true},
    {"FirstKeyWithoutItsValueFallsToTheSecond",
     {{P, {{QStringLiteral("Other"), text("C:\\m.exe")}}}, {F, {{Loc, text(Folder.toLocal8Bit().constData())}}}},
     {FolderProgram}, true, {P, F}, {FolderProgram}, {FolderProgram}, false},
    {"FirstValueOfLengthZeroEndsTheSearch",
     {{P, {{Path, raw(sysinfo::TypeString, {}, 0)}}}, {F, {{Loc, text(Folder.toLocal8Bit().constData())}}}},
     {FolderProgram}, true, {P}, {}, {}, true},
    {"SecondValueOfLengthZero", {{F, {{Loc, raw(sysinfo::TypeString, {}, 0)}}}},
     {QStringLiteral("\\MSINFO32.EXE")}, true, {P, F}, {}, {}, true},
    {"StringWithoutTerminatingZero", {{P, {{Path, raw(sysinfo::TypeString, "C:\\msinfo.exe", 13)}}}},
     {}, true, {P}, {}, {QStringLiteral("C:\\msinfo.exe")}, false},
    {"StringCutAtTheReturnedSize", {{P, {{Path, raw(sysinfo::TypeString, QByteArray("C:\\msinfo.exe", 14), 6)}}}},
     {}, true, {P}, {}, {QStringLiteral("C:\\msi")}, false},
    {"ValueTooLargeForTheBufferFallsToTheSecond",
     {{P, {{Path, raw(sysinfo::TypeString, QByteArray(1025, 'a'), 1025)}}}}, {}, true, {P, F}, {}, {}, true},
    {"StartThatFails", {{P, {{Path, text("C:\\m.exe")}}}}, {}, false, {P}, {}, {QStringLiteral("C:\\m.exe")}, true},
};

void PrintTo(const Scenario &s, std::ostream *os) { *os << s.name; }

class StartSysInfoScenario : public testing::TestWithParam<Scenario>
{
};

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

TEST(GetKeyValue, ClosesHandleZeroWhenOpeningFailsAndEmptiesTheText)
{
    FakeServices fake;
    QString keyVal = QStringLiteral("kept");
    EXPECT_EQ(GetKeyValue(fake, sysinfo::LocalMachine, P, Path, keyVal), KeyLookup::NotRead);
    EXPECT_EQ(keyVal, QString());
    EXPECT_EQ(fake.closed, std::vector<KeyHandle>{0});
}

TEST(GetKeyValue, ReadsTheValueByType)
{
    struct Row
    {
        Value value;
        KeyLookup result;
        QString keyVal; // what "kept" became
    };
    const std::vector<Row> rows = {
        {text("C:\\a.exe"), KeyLookup::Read, QStringLiteral("C:\\a.exe")},
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
    for (const Row &row : rows) {
        SCOPED_TRACE(row.keyVal.toStdString());
        FakeServices fake;
        fake.keys[P][Path] = row.value;
        QString keyVal = QStringLiteral("kept");
        EXPECT_EQ(GetKeyValue(fake, sysinfo::LocalMachine, P, Path, keyVal), row.result);
        EXPECT_EQ(keyVal, row.keyVal);
        EXPECT_EQ(fake.closed.size(), 1u);
        EXPECT_TRUE(fake.open.empty());
    }
}

TEST(GetKeyValue, CutKeepsTheWholeBufferForASizeBeyondIt)
{
    const QByteArray buffer(sysinfo::BufferSize, 'x');
    EXPECT_EQ(cutValue(buffer, 2000), buffer);
    EXPECT_EQ(cutValue(buffer, 3), QByteArray("xxx"));
    EXPECT_EQ(cutValue(buffer, 0), std::nullopt);
}

#ifndef Q_OS_WIN

namespace {

void writeProgram(const QString &path, bool executable)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Leaves a mark beside itself, so a test can see that it ran.
    f.write("#!/bin/sh\n: > \"$(dirname \"$0\")/started\"\n");
    f.close();
    f.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                : QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

TEST(PathServices, AnswersTheFirstKeyWithTheFirstProgramFoundAndNeverTheSecond)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeProgram(dir.filePath(QStringLiteral("kinfocenter")), false); // not executable: skipped
    writeProgram(dir.filePath(QStringLiteral("lxtask")), true);
    writeProgram(dir.filePath(QStringLiteral("hardinfo")), true);
    writeProgram(dir.filePath(QStringLiteral("MSINFO32.EXE")), true);
    PathServices services(PathServices::Programs, {dir.path()});

    EXPECT_EQ(findSysInfo(services), dir.filePath(QStringLiteral("hardinfo")));
    QString keyVal = QStringLiteral("kept");
    EXPECT_EQ(GetKeyValue(services, sysinfo::LocalMachine, sysinfo::FolderKey, sysinfo::FolderValue, keyVal),
              KeyLookup::NotRead);
    EXPECT_EQ(GetKeyValue(services, sysinfo::LocalMachine, sysinfo::ProgramKey, QStringLiteral("Other"), keyVal),
              KeyLookup::NotRead);

    QTemporaryDir empty;
    PathServices none(PathServices::Programs, {empty.path()});
    EXPECT_EQ(findSysInfo(none), std::nullopt);
    int messages = 0;
    StartSysInfo(none, [&] { ++messages; });
    EXPECT_EQ(messages, 1);
}

TEST(PathServices, StartsTheProgramFoundByItsPathWithoutAShell)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder name that a shell would split and run in pieces.
    const QString folder = dir.filePath(QStringLiteral("sys info; false"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writeProgram(QDir(folder).filePath(QStringLiteral("hardinfo")), true);
    PathServices services(PathServices::Programs, {folder});

    int messages = 0;
    StartSysInfo(services, [&] { ++messages; });

    EXPECT_EQ(messages, 0);
    const QString mark = QDir(folder).filePath(QStringLiteral("started"));
    for (int i = 0; i < 1000 && !QFile::exists(mark); ++i)
        QThread::msleep(10); // the program runs detached
    EXPECT_TRUE(QFile::exists(mark));
}

TEST(PathServices, AStartThatFailsIsReported)
{
    QTemporaryDir dir;
    const QString notExecutable = dir.filePath(QStringLiteral("plain"));
    writeProgram(notExecutable, false);
    EXPECT_FALSE(startProgram(QString()));
    EXPECT_FALSE(startProgram(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(startProgram(notExecutable));
}

#endif
