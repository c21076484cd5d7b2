#include "files/paramfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace divograf;

namespace {

// The records of a save right after start-up.
ParameterRecords startUpRecords()
{
    return {{{30, Width::Bits16}, {1, Width::Bits32}, {0, Width::Bits16}, {0, Width::Bits16}, {7, Width::Bits32},
             {2, Width::Bits16}, {25, Width::Bits16}, {24, Width::Bits16}, {23, Width::Bits16},
             {7, Width::Bits32}, {7, Width::Bits32}, {700, Width::Bits32}, {100, Width::Bits32}}};
}

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(ParameterFile, StartUpSaveHasTheKnownLeadingBytesAndZeroFiller)
{
    const QByteArray bytes = encodeParameters(startUpRecords());
    ASSERT_EQ(bytes.size(), 1664);
    const char *leading[RecordCount] = {"02001e00", "030001000000", "02000000", "02000000", "030007000000",
                                        "02000200", "02001900", "02001800", "02001700", "030007000000",
                                        "030007000000", "0300bc020000", "030064000000"};
    for (int i = 0; i < RecordCount; ++i) {
        const QByteArray record = bytes.mid(i * RecordLength, RecordLength);
        const QByteArray lead = hex(leading[i]);
        EXPECT_EQ(record.left(lead.size()).toHex(), lead.toHex()) << "record " << i + 1;
        EXPECT_EQ(record.mid(lead.size()), QByteArray(RecordLength - lead.size(), '\0')) << "record " << i + 1;
    }
    // Rc moved to 180: RedCorr 20, assigned as 32-bit.
    ParameterRecords moved = startUpRecords();
    moved[6].set32(20);
    EXPECT_EQ(encodeParameters(moved).mid(6 * RecordLength, 6).toHex(), QByteArray("030014000000"));
}

TEST(ParameterFile, RoundTripKeepsValuesAndWidthsOfEitherTag)
{
    ParameterRecords r = startUpRecords();
    r[0].set32(60);
    r[5].set16(-7);
    r[12].set32(-123456);
    const auto decoded = decodeParameters(encodeParameters(r));
    ASSERT_TRUE(std::holds_alternative<ParameterRecords>(decoded));
    EXPECT_EQ(std::get<ParameterRecords>(decoded), r);
}

TEST(ParameterFile, MalformedFilesAreRefusedWithTheProblem)
{
    const QByteArray good = encodeParameters(startUpRecords());
    EXPECT_TRUE(std::holds_alternative<QString>(decodeParameters(QByteArray())));
    EXPECT_TRUE(std::holds_alternative<QString>(decodeParameters(good.left(1663))));
    QByteArray badTag = good;
    badTag[12 * RecordLength] = 4;
    const auto e = decodeParameters(badTag);
    ASSERT_TRUE(std::holds_alternative<QString>(e));
    EXPECT_TRUE(std::get<QString>(e).contains(QStringLiteral("13")));
    QByteArray zeroTag = good;
    zeroTag[0] = 0;
    EXPECT_TRUE(std::holds_alternative<QString>(decodeParameters(zeroTag)));
}

TEST(ParameterFile, SavingIntoALongerFileKeepsItsLengthAndTail)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.dvg"));
    QByteArray original(4000, '\0');
    for (int i = 0; i < original.size(); ++i)
        original[i] = static_cast<char>(i * 7 + 1);
    writeAll(path, original);
    ASSERT_EQ(saveParameterFile(path, startUpRecords()), QString());
    const QByteArray after = readAll(path);
    ASSERT_EQ(after.size(), 4000);
    EXPECT_EQ(after.mid(1664), original.mid(1664));
    EXPECT_EQ(after.left(1664), encodeParameters(startUpRecords()));
}

TEST(ParameterFile, LoadReadsWhatSaveWrote)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Fractal.dvg"));
    ParameterRecords r = startUpRecords();
    r[1].set16(4);
    ASSERT_EQ(saveParameterFile(path, r), QString());
    const auto loaded = loadParameterFile(path);
    ASSERT_TRUE(std::holds_alternative<ParameterRecords>(loaded));
    EXPECT_EQ(std::get<ParameterRecords>(loaded), r);
}

TEST(ParameterFile, FailuresNameTheFileAndTouchNothing)
{
    QTemporaryDir dir;
    // Loading a missing file creates nothing.
    const QString missing = dir.filePath(QStringLiteral("none.dvg"));
    const auto loaded = loadParameterFile(missing);
    ASSERT_TRUE(std::holds_alternative<QString>(loaded));
    EXPECT_TRUE(std::get<QString>(loaded).contains(QStringLiteral("none.dvg")));
    EXPECT_FALSE(QFile::exists(missing));
    // A short file is refused and stays as it was.
    const QString shortFile = dir.filePath(QStringLiteral("short.dvg"));
    writeAll(shortFile, QByteArray(100, '\x02'));
    const auto refused = loadParameterFile(shortFile);
    ASSERT_TRUE(std::holds_alternative<QString>(refused));
    EXPECT_TRUE(std::get<QString>(refused).contains(QStringLiteral("short.dvg")));
    EXPECT_EQ(readAll(shortFile), QByteArray(100, '\x02'));
    // Saving where no file can be: a folder that does not exist, a folder in place of the file.
    EXPECT_NE(saveParameterFile(dir.filePath(QStringLiteral("no/such/dir/x.dvg")), startUpRecords()), QString());
    EXPECT_NE(saveParameterFile(dir.path(), startUpRecords()), QString());
    EXPECT_NE(saveParameterFile(shortFile + QStringLiteral("/x.dvg"), startUpRecords()), QString());
    EXPECT_EQ(readAll(shortFile), QByteArray(100, '\x02'));
}

TEST(ParameterFile, NumberTextIsBlankLedWithATrailingBlank)
{
    EXPECT_EQ(numberText(7), QStringLiteral(" 7 "));
    EXPECT_EQ(numberText(700), QStringLiteral(" 700 "));
    EXPECT_EQ(numberText(0), QStringLiteral(" 0 "));
    EXPECT_EQ(numberText(-10), QStringLiteral("-10 "));
}
