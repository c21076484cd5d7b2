// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The parameter file: its bytes, its checks, writing it to disk, what Save takes from the model
// and what Load puts back into its controls.

#include "core/model.h"
#include "core/files/parameters.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace divograf;

namespace {

// The records of a save right after start-up.
ParameterRecords startUpRecords()
{
    constexpr Width S = Width::Bits16, L = Width::Bits32;
    return {{{30, S}, {1, L}, {0, S}, {0, S}, {7, L}, {2, S}, {25, S}, {24, S}, {23, S}, {7, L}, {7, L}, {700, L}, {100, L}}};
}

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
        const QByteArray record = bytes.mid(i * 128, 128);
        const QByteArray lead = QByteArray::fromHex(leading[i]);
        EXPECT_EQ(record.left(lead.size()).toHex(), lead.toHex()) << "record " << i + 1;
        EXPECT_EQ(record.mid(lead.size()), QByteArray(128 - lead.size(), '\0')) << "record " << i + 1;
    }
    // Rc moved to 180: RedCorr 20, assigned as 32-bit.
    ParameterRecords moved = startUpRecords();
    moved[6].set32(20);
    EXPECT_EQ(encodeParameters(moved).mid(6 * 128, 6).toHex(), QByteArray("030014000000"));
}

TEST(ParameterFile, RoundTripKeepsValuesAndWidthsOfEitherTagAndMalformedFilesAreRefused)
{
    ParameterRecords r = startUpRecords();
    r[0].set32(60);
    r[5].set16(-7);
    r[12].set32(-123456);
    const auto decoded = decodeParameters(encodeParameters(r));
    ASSERT_TRUE(std::holds_alternative<ParameterRecords>(decoded));
    EXPECT_EQ(std::get<ParameterRecords>(decoded), r);

    const QByteArray good = encodeParameters(startUpRecords());
    EXPECT_TRUE(std::holds_alternative<Failure>(decodeParameters(QByteArray())));
    EXPECT_TRUE(std::holds_alternative<Failure>(decodeParameters(good.left(1663))));
    QByteArray badTag = good;
    badTag[12 * 128] = 4;
    const auto e = decodeParameters(badTag);
    ASSERT_TRUE(std::holds_alternative<Failure>(e));
    EXPECT_TRUE(std::get<Failure>(e).message.contains(QStringLiteral("13")));
    badTag = good;
    badTag[0] = 0;
    EXPECT_TRUE(std::holds_alternative<Failure>(decodeParameters(badTag)));
}

TEST(ParameterFile, SavingIntoALongerFileKeepsItsLengthAndTailAndLoadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.dvg"));
    QByteArray original(4000, '\0');
    for (int i = 0; i < original.size(); ++i)
        original[i] = static_cast<char>(i * 7 + 1);
    writeAll(path, original);
    ParameterRecords r = startUpRecords();
    r[1].set16(4);
    ASSERT_FALSE(saveParameterFile(path, r));
    const QByteArray after = readAll(path);
    ASSERT_EQ(after.size(), 4000);
    EXPECT_EQ(after.mid(1664), original.mid(1664));
    EXPECT_EQ(after.left(1664), encodeParameters(r));
    const auto loaded = loadParameterFile(path);
    ASSERT_TRUE(std::holds_alternative<ParameterRecords>(loaded));
    EXPECT_EQ(std::get<ParameterRecords>(loaded), r);
}

namespace {

// The process's peak resident memory, in KiB, since the start or since `resetPeakMemory`.
qint64 peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line; !(line = status.readLine()).isEmpty();)
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong();
    return -1;
}

bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

TEST(ParameterFile, SavingOverAHugeFileStreamsItsTail)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.dvg"));
    constexpr qint64 Size = qint64{32} << 20;
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(Size) && f.seek(Size - 4));
        f.write("tail");
    }
    if (!resetPeakMemory() || peakMemoryKiB() < 0)
        GTEST_SKIP() << "the peak memory of the process cannot be read here";
    const qint64 before = peakMemoryKiB();
    ASSERT_FALSE(saveParameterFile(path, startUpRecords()));
    EXPECT_LT(peakMemoryKiB() - before, Size / 1024 / 4); // reading it whole would take 32768
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), Size);
    EXPECT_EQ(f.read(ParameterFileLength), encodeParameters(startUpRecords()));
    ASSERT_TRUE(f.seek(Size - 4));
    EXPECT_EQ(f.readAll(), QByteArray("tail"));
}

TEST(ParameterFile, FailuresNameTheFileAndTouchNothing)
{
    QTemporaryDir dir;
    // Loading a missing file creates nothing.
    const QString missing = dir.filePath(QStringLiteral("none.dvg"));
    const auto loaded = loadParameterFile(missing);
    ASSERT_TRUE(std::holds_alternative<Failure>(loaded));
    EXPECT_TRUE(std::get<Failure>(loaded).message.contains(QStringLiteral("none.dvg")));
    EXPECT_FALSE(QFile::exists(missing));
    // A short file is refused and stays as it was.
    const QString shortFile = dir.filePath(QStringLiteral("short.dvg"));
    writeAll(shortFile, QByteArray(100, '\x02'));
    const auto refused = loadParameterFile(shortFile);
    ASSERT_TRUE(std::holds_alternative<Failure>(refused));
    EXPECT_TRUE(std::get<Failure>(refused).message.contains(QStringLiteral("short.dvg")));
    // Saving where no file can be: a folder that does not exist, a folder in place of the file,
    // a file in place of a folder. The reason is in Russian.
    const std::pair<QString, const char *> unsaved[] = {
        {dir.filePath(QStringLiteral("no/such/dir/x.dvg")), "нет такого файла или папки"},
        {dir.path(), "это папка, а не файл"},
        {shortFile + QStringLiteral("/x.dvg"), "часть пути не папка"},
    };
    for (const auto &[path, reason] : unsaved) {
        const std::optional<Failure> failure = saveParameterFile(path, startUpRecords());
        ASSERT_TRUE(failure) << path.toStdString();
        EXPECT_TRUE(failure->message.endsWith(QStringLiteral("»: ") + QString::fromUtf8(reason) + '.')) << failure->message.toStdString();
    }
    const auto folder = loadParameterFile(dir.path());
    ASSERT_TRUE(std::holds_alternative<Failure>(folder));
    EXPECT_TRUE(std::get<Failure>(folder).message.contains(QStringLiteral("это папка, а не файл")));
    EXPECT_EQ(readAll(shortFile), QByteArray(100, '\x02'));
}

TEST(ParameterFile, NumberTextIsBlankLedWithATrailingBlank)
{
    EXPECT_EQ(QStringList({numberText(7), numberText(700), numberText(0), numberText(-10)}),
              QStringList({" 7 ", " 700 ", " 0 ", "-10 "}));
}

TEST(Parameters, SaveRightAfterStartUpTakesTheKnownRecords)
{
    Model m;
    m.startUp();
    constexpr Width L = Width::Bits32;
    EXPECT_EQ(takeParameters(m), startUpRecords());
    EXPECT_EQ(m.StoredDistance, (StoredInt{700, L}));
    // Save writes the variables, not the controls: a keyboard move of QWA is not in it.
    m.fractal.setValue(Control::QWA, 4);
    m.fractal.setValue(Control::Rc, 180);
    EXPECT_EQ(takeParameters(m)[1], (StoredInt{1, L}));
    EXPECT_EQ(takeParameters(m)[6], (StoredInt{20, L}));
}

TEST(Parameters, LoadSetsEveryControlThroughItsOwnHandling)
{
    Model m;
    m.startUp();
    ParameterRecords r = takeParameters(m);
    r[0].set16(12);    // SizeFactor
    r[1].set16(3);     // Squarings
    r[2].set32(1);     // Cube
    r[3].set16(1);     // UseMoivre: MM enabled before record 5 sets it
    r[4].set16(9);     // Axes
    r[5].set16(3);     // Coef 3: KFS at 7
    r[6].set32(25);    // RedCorr 25: Rc at 175
    r[7].set16(0);
    r[8].set16(200);
    r[9].set16(7);     // num
    r[10].set32(3);    // scal
    r[11].set32(1234); // l
    r[12].set32(500);  // ampl, shown as 450
    applyParameters(m, r);
    const FractalPanel &p = m.fractal;
    EXPECT_EQ(p.frame1Caption(), QStringLiteral("Размер  12"));
    EXPECT_EQ(p.vars.Squarings, (StoredInt{3, Width::Bits16})); // QWA runs no handler: the file's width stays
    EXPECT_TRUE(p.mmEnabled());
    EXPECT_EQ(p.label2Caption(), QStringLiteral("Оси  9"));
    EXPECT_EQ(p.vars.Coef.value, 3);
    EXPECT_EQ(p.vars.RedCorr, (StoredInt{25, Width::Bits32})); // Rc did not move: no handler ran
    const Control controls[] = {Control::Slider3, Control::QWA, Control::KUB, Control::MM, Control::KFS, Control::Rc,
                                Control::Gc, Control::Bc};
    std::vector<int> values;
    for (Control c : controls)
        values.push_back(p.value(c));
    EXPECT_EQ(values, std::vector<int>({12, 3, 1, 9, 7, 175, 200, 0}));
    EXPECT_EQ(m.interference.text(Pair::Num), QStringLiteral(" 7 "));
    EXPECT_EQ(m.interference.text(Pair::Ampl), QStringLiteral(" 450 "));
    EXPECT_EQ(std::vector<int>({m.interference.value(Pair::Num), m.interference.value(Pair::Scal),
                                m.interference.value(Pair::L), m.interference.value(Pair::Ampl)}),
              std::vector<int>({7, 3, 1234, 500}));
    EXPECT_EQ(m.StoredNum, (StoredInt{7, Width::Bits16}));

    // Records of either tag give the same controls.
    Model t;
    t.startUp();
    for (StoredInt &x : r)
        x.width = Width::Bits32;
    applyParameters(t, r);
    for (const ControlSpec &c : Controls)
        EXPECT_EQ(t.fractal.value(c.id), m.fractal.value(c.id)) << c.name;
}

TEST(Parameters, ValuesBeyondAControlAreBroughtWithinIt)
{
    Model m;
    m.startUp();
    ParameterRecords r = takeParameters(m);
    r[0].set32(1000); // SizeFactor beyond 60
    r[4].set32(-5);   // Axes below 3
    r[5].set32(99);   // Coef beyond 10: KFS 0
    r[6].set32(-40);  // RedCorr below 0: Rc 200
    r[9].set32(25);   // num wraps as typed text does: 4
    r[12].set32(std::numeric_limits<std::int32_t>::min());
    applyParameters(m, r);
    const FractalVars &v = m.fractal.vars;
    EXPECT_EQ(std::vector<int>({v.SizeFactor.value, v.Axes.value, v.Coef.value, v.RedCorr.value}),
              std::vector<int>({60, 3, 10, 0}));
    EXPECT_EQ(std::vector<int>({m.fractal.value(Control::Slider3), m.fractal.value(Control::KFS),
                                m.fractal.value(Control::Rc)}),
              std::vector<int>({60, 0, 200}));
    EXPECT_EQ(m.interference.value(Pair::Num), 4);
    EXPECT_EQ(m.interference.value(Pair::Ampl), 50); // -2^31 - 50 wraps to a negative, raised to 50
}
