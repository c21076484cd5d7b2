// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The parameter file: its bytes, its checks, writing it over a longer file, what Save takes
// from the model and what Load puts back into its controls. Its failures are checked through
// the renderer.

#include "core/files/parameters.h"
#include "core/model.h"

#include <QtCore>

#include "printers.h"

#include <gtest/gtest.h>

#include <limits>
#include <variant>

using namespace divograf;

static ParameterRecords startUpRecords()
{
    Model m;
    m.startUp();
    return takeParameters(m);
}

TEST(ParameterFile, SaveTakesTheVariablesIntoKnownBytes)
{
    Model m;
    m.startUp();
    // After start-up: per record its tag (2: 16-bit, 3: 32-bit), its value, zero filler.
    QByteArray expected;
    for (const char *lead :
        {"02001e00", "030001000000", "02000000", "02000000", "030007000000", "02000200", "02001900",
            "02001800", "02001700", "030007000000", "030007000000", "0300bc020000", "030064000000"})
        expected += QByteArray::fromHex(lead).leftJustified(RecordLength, '\0');
    EXPECT_EQ(encodeParameters(takeParameters(m)).toHex(), expected.toHex());
    EXPECT_EQ(m.StoredDistance, (StoredInt{700, Width::Bits32}));
    // A keyboard move of QWA assigns no variable; Rc at 180 assigns RedCorr 20 as 32-bit.
    m.fractal.setValue(Control::QWA, 4);
    m.fractal.setValue(Control::Rc, 180);
    EXPECT_EQ(encodeParameters(takeParameters(m)).toHex(),
        expected.replace(6 * 128, 6, QByteArray::fromHex("030014000000")).toHex());
}

TEST(ParameterFile, EitherTagReadsBackAndAnythingElseIsRefusedWhole)
{
    ParameterRecords r = startUpRecords();
    r[0].set32(60);
    r[5].set16(-7);
    r[12].set32(-123456);
    const auto decoded = decodeParameters(encodeParameters(r));
    ASSERT_TRUE(std::holds_alternative<ParameterRecords>(decoded));
    EXPECT_EQ(std::get<ParameterRecords>(decoded), r);

    const QByteArray good = encodeParameters(r);
    QByteArray lastTag4 = good;
    QByteArray firstTag0 = good;
    lastTag4[12 * 128] = 4;
    firstTag0[0] = 0;
    const std::pair<QByteArray, const char *> refused[] = {
        {{}, "0 байт"},
        {good.left(1663), "1663 байт"},
        {lastTag4, "запись 13 имеет неизвестный тип 4"},
        {firstTag0, "запись 1 "},
    };
    for (const auto &[bytes, says] : refused) {
        const auto e = decodeParameters(bytes);
        ASSERT_TRUE(std::holds_alternative<Failure>(e)) << says;
        EXPECT_TRUE(std::get<Failure>(e).message.contains(QString::fromUtf8(says)))
            << std::get<Failure>(e).message.toStdString();
    }
}

TEST(ParameterFile, SavingOverALongerFileKeepsItsTailAndLoadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.dvg"));
    QByteArray old(300000, '\0'); // a tail longer than the pieces it is copied in
    for (int i = 0; i < old.size(); ++i)
        old[i] = static_cast<char>(i * 7 + i / 4096);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(old), old.size());
    f.close();
    ParameterRecords r = startUpRecords();
    r[1].set16(4);
    ASSERT_FALSE(saveParameterFile(path, r));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == encodeParameters(r) + old.mid(1664));
    const auto loaded = loadParameterFile(path);
    ASSERT_TRUE(std::holds_alternative<ParameterRecords>(loaded));
    EXPECT_EQ(std::get<ParameterRecords>(loaded), r);
}

TEST(ParameterFile, LoadSetsEachControlThroughItsHandlingWithinItsRange)
{
    // A record's value (in range, then beyond it) and what its control or text box shows.
    struct Row
    {
        int record;
        std::variant<Control, Pair> shows;
        int value;
        int shown;
        int beyond;
        int shownBeyond;
    };
    const Row rows[] = {
        {0, Control::Slider3, 12, 12, 1000, 60}, // SizeFactor, at most 60
        {1, Control::QWA, 3, 3, 9, 5},           // Squarings
        {2, Control::KUB, 0, 0, 5, 1},           // Cube
        {4, Control::MM, 9, 9, -5, 3},           // Axes, at least 3
        {5, Control::KFS, 3, 7, 99, 0},          // Coef, shown as 10 - Coef
        {6, Control::Rc, 25, 175, -40, 200},     // RedCorr, shown as 200 - RedCorr
        {7, Control::Gc, 0, 200, 300, 0},        // GreenCorr
        {8, Control::Bc, 200, 0, -1, 200},       // BlueCorr
        {9, Pair::Num, 7, 7, 25, 4},             // wraps as typed text does
        // Shown less 50; raised to 50.
        {12, Pair::Ampl, 500, 500, std::numeric_limits<int>::min(), 50},
    };
    for (const bool inRange : {true, false})
        for (const Width width : {Width::Bits16, Width::Bits32}) {
            Model m;
            m.startUp();
            ParameterRecords r = takeParameters(m);
            for (const Row &row : rows)
                r[row.record] = {inRange ? row.value : row.beyond, width};
            r[3] = {1, width}; // UseMoivre: MM enabled before record 5 sets it
            applyParameters(m, r);
            EXPECT_TRUE(m.fractal.mmEnabled());
            for (const Row &row : rows) {
                const int shown = std::visit(
                    [&](auto id) {
                        if constexpr (std::is_same_v<decltype(id), Control>)
                            return m.fractal.value(id);
                        else
                            return m.interference.value(id);
                    },
                    row.shows);
                EXPECT_EQ(shown, inRange ? row.shown : row.shownBeyond)
                    << "record " << row.record + 1;
            }
            const FractalVars &v = m.fractal.vars; // QWA runs no handler: Squarings is as loaded
            if (inRange) {
                EXPECT_EQ(v.Squarings, (StoredInt{3, width}));
                EXPECT_EQ(v.RedCorr, (StoredInt{25, width}));
                EXPECT_EQ(m.interference.text(Pair::Ampl), QStringLiteral(" 450 "));
                EXPECT_EQ(m.StoredNum, (StoredInt{7, width}));
                EXPECT_EQ(numberText(-10), QStringLiteral("-10 "));
            } else {
                EXPECT_EQ(v.Coef.value, 10);
                EXPECT_EQ(v.RedCorr.value, 0);
            }
        }
}
