// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// divograf-render: its command line, and the program run as a process.

#include "cli/options.h"
#include "fulldisk.h"
#include "core/fractal/render.h"
#include "core/rainbow/rainbow.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace divograf;
using namespace divograf::cli;

namespace {

Parsed parse(QStringList args)
{
    args.prepend(QStringLiteral("divograf-render"));
    return parseArguments(args);
}

Job job(const QStringList &args)
{
    const Parsed p = parse(args);
    EXPECT_TRUE(std::holds_alternative<Job>(p)) << args.join(' ').toStdString();
    return std::holds_alternative<Job>(p) ? std::get<Job>(p) : Job{};
}

struct Outcome
{
    int exitCode;
    QString errors;
};

Outcome runRenderer(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(DIVOGRAF_RENDER_EXE), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(RendererArguments, SettingsFilesAndTextsKeepTheirOrderAndTheFormatFollowsTheExtension)
{
    const Job j = job({"interference-3d", "--set", "Rc=10", "--params", "a.dvg", "--set", "lt= 7 0", "--set", "amplt=",
                       "--set", "Option4=1", "--save-params", "out.dvg", "-o", "x.PNG"});
    EXPECT_EQ(j.drawing, Drawing::Interference3D);
    ASSERT_EQ(j.settings.size(), 5u);
    EXPECT_EQ(std::get<ControlSetting>(j.settings[0]).control, Control::Rc);
    EXPECT_EQ(std::get<ControlSetting>(j.settings[0]).value, 10);
    EXPECT_EQ(std::get<ParameterFileSetting>(j.settings[1]).path, QStringLiteral("a.dvg"));
    EXPECT_EQ(std::get<TextSetting>(j.settings[2]).textBox, Pair::L);
    EXPECT_EQ(std::get<TextSetting>(j.settings[2]).text, QStringLiteral(" 7 0")); // as typed, blanks and all
    EXPECT_EQ(std::get<TextSetting>(j.settings[3]).textBox, Pair::Ampl);
    EXPECT_EQ(std::get<TextSetting>(j.settings[3]).text, QString());
    EXPECT_EQ(std::get<ControlSetting>(j.settings[4]).control, Control::Option4);
    EXPECT_EQ(j.saveParameters, QStringLiteral("out.dvg"));
    EXPECT_EQ(j.format, QByteArray("PNG"));
    EXPECT_EQ(j.scale, 1);
    EXPECT_EQ(job({"fractal", "--scale", "16", "-o", "a.bmp"}).scale, 16);
    EXPECT_EQ(job({"fractal", "-o", "a.bmp"}).drawing, Drawing::Fractal);
    EXPECT_EQ(job({"interference", "-o", "a.bmp"}).drawing, Drawing::Interference);
    EXPECT_EQ(job({"rainbow", "-o", "a.bmp"}).drawing, Drawing::Rainbow);
    EXPECT_TRUE(std::holds_alternative<Help>(parse({"--help"})));
}

TEST(RendererArguments, BadInputIsOneClearRussianError)
{
    // Each bad command line, and what its message must say ("" where the row's comment does).
    const std::pair<QStringList, const char *> bad[] = {
        {{}, "--help"},                                                // nothing at all
        {{"-o", "x.bmp"}, ""},                                         // no kind
        {{"spiral", "-o", "x.bmp"}, ""},                               // unknown kind
        {{"fractal", "fractal", "-o", "x.bmp"}, ""},                   // two kinds
        {{"fractal"}, ""},                                             // no output
        {{"fractal", "-o", "x.jpg"}, ""},                              // unknown format
        {{"fractal", "--set", "Foo=1", "-o", "x.bmp"}, ""},            // unknown control
        {{"fractal", "--set", "Rc", "-o", "x.bmp"}, ""},               // no value
        {{"fractal", "--set", "lt", "-o", "x.bmp"}, ""},
        {{"fractal", "--set", "l=5", "-o", "x.bmp"}, ""},              // spinners are set through their text
        {{"fractal", "--set", "Rc=ten", "-o", "x.bmp"}, ""},           // not a number
        {{"fractal", "--set", "Rc=1.5", "-o", "x.bmp"}, ""},
        {{"fractal", "--set", "Option3=0", "-o", "x.bmp"}, ""},        // options are selected with 1
        {{"fractal", "--set", "KUB=5", "-o", "x.bmp"}, "0 (снят) или 1 (отмечен)"}, // check boxes
        {{"fractal", "--set", "MUA=-1", "-o", "x.bmp"}, "MUA"},
        {{"fractal", "--set", "Box=2", "-o", "x.bmp"}, "Box"},
        {{"fractal", "--scale", "0", "-o", "x.bmp"}, ""},
        {{"fractal", "--scale", "17", "-o", "x.bmp"}, ""},
        {{"fractal", "--bogus", "-o", "x.bmp"}, "неизвестный параметр «--bogus»"},
        {{"fractal", "-o", "x.bmp", "--params"}, "после «--params» нужно значение"},
        {{"fractal", "--help=1"}, "«--help» не принимает значения"},
    };
    for (const auto &[args, says] : bad) {
        const Parsed p = parse(args);
        const Error *e = std::get_if<Error>(&p);
        ASSERT_NE(e, nullptr) << args.join(' ').toStdString();
        EXPECT_TRUE(e->message.contains(QRegularExpression(QStringLiteral("[а-я]{3}")))) << e->message.toStdString();
        EXPECT_TRUE(e->message.contains(QString::fromUtf8(says))) << e->message.toStdString();
        EXPECT_FALSE(e->message.contains('\n'));
    }
    EXPECT_TRUE(std::holds_alternative<Job>(parse({"fractal", "--set", "KUB=1", "--set", "Box=0", "-o", "x.bmp"})));
}

TEST(RendererArguments, SettingsActAsTheUserWould)
{
    Model m;
    m.startUp();
    cli::apply(m, ControlSetting{Control::QWA, 3}); // a click at 3: Squarings follows
    EXPECT_EQ(m.fractal.vars.Squarings, (StoredInt{3, Width::Bits32}));
    cli::apply(m, TextSetting{Pair::Scal, QStringLiteral(" 5 ")}); // the text rule, as typed
    EXPECT_EQ(m.interference.text(Pair::Scal), QStringLiteral(" 5 "));
    EXPECT_EQ(m.interference.value(Pair::Scal), 5);
}

TEST(Renderer, WritesA329PixelBmpThatHoldsTheDrawing)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.bmp"));
    const Outcome o = runRenderer({"fractal", "--set", "Option1=1", "-o", out});
    ASSERT_EQ(o.exitCode, 0) << o.errors.toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray header = f.read(30);
    EXPECT_EQ(header.left(2), QByteArray("BM"));
    EXPECT_EQ(static_cast<unsigned char>(header[28]), 24); // bits per pixel
    const QImage img(out);
    ASSERT_EQ(img.size(), QSize(329, 329));
    const Surface s(1);
    EXPECT_EQ(img.pixel(s.toPixel(1 + 50), s.toPixel(2501 + 50)), qRgb(175, 168, 161)); // the cell at (1, 2501): k = 7
}

TEST(Renderer, DrawsEveryKind)
{
    QTemporaryDir dir;
    const Surface s(1);
    const QString map = dir.filePath(QStringLiteral("map.png"));
    ASSERT_EQ(runRenderer({"interference", "-o", map}).exitCode, 0);
    EXPECT_EQ(QImage(map).pixel(s.toPixel(10 + 25), s.toPixel(10 + 25)), qRgb(0, 0, 13)); // grid point (1, 1)
    EXPECT_EQ(QImage(map).pixel(s.toPixel(4910 + 25), s.toPixel(4910 + 25)), qRgb(94, 234, 102));

    const QString solid = dir.filePath(QStringLiteral("solid.png"));
    ASSERT_EQ(runRenderer({"interference-3d", "--set", "Option1=1", "-o", solid}).exitCode, 0);
    const QImage solidImage(solid);
    ASSERT_EQ(solidImage.size(), QSize(329, 329));
    EXPECT_NE(solidImage.pixel(164, 164), qRgb(255, 255, 255));

    const QString rings = dir.filePath(QStringLiteral("rainbow.png"));
    ASSERT_EQ(runRenderer({"rainbow", "-o", rings}).exitCode, 0);
    const QImage rainbow(rings);
    EXPECT_EQ(rainbow.pixel(0, 0), qRgb(255, 255, 255)); // beyond the largest ring
    // The pixel nearest the middle, 0.47 pixel off it, lies under ring 2 of the last pass.
    EXPECT_EQ(rainbow.pixel(165, 165), toQRgb(ringColour(598, 2)));
}

TEST(Renderer, SavedParametersLoadBack)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("p.dvg"));
    const QString first = dir.filePath(QStringLiteral("1.bmp")), second = dir.filePath(QStringLiteral("2.bmp"));
    Outcome o = runRenderer({"fractal", "--set", "Option1=1", "--set", "Rc=0", "--set", "MUA=1", "--set", "MM=4",
                             "--set", "numt=9", "--save-params", saved, "-o", first});
    ASSERT_EQ(o.exitCode, 0) << o.errors.toStdString();
    QFile f(saved);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), 1664);
    EXPECT_EQ(bytes.mid(6 * 128, 6).toHex(), QByteArray("0300c8000000")); // RedCorr 200, from a slider
    EXPECT_EQ(bytes.mid(9 * 128, 6).toHex(), QByteArray("030009000000")); // num 9
    // The same picture from the file, with the detail (not stored) set again.
    o = runRenderer({"fractal", "--params", saved, "--set", "Option1=1", "-o", second});
    ASSERT_EQ(o.exitCode, 0) << o.errors.toStdString();
    EXPECT_EQ(QImage(first), QImage(second));
}

// An error is one line that names the file and the reason, and no picture (nor any other file)
// is left behind: the parameter file and the picture are put in place together or not at all.
TEST(Renderer, ErrorsLeaveNoFileBehind)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.bmp")), params = dir.filePath(QStringLiteral("p.dvg"));
    const QString nowhere = dir.filePath(QStringLiteral("missing/folder/"));
    QFile shortFile(dir.filePath(QStringLiteral("short.dvg")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(1000, '\x02'));
    shortFile.close();
    const std::pair<QStringList, const char *> rows[] = {
        {{"fractal", "--set", "Nope=1", "-o", out}, "Nope"},
        {{"fractal", "-o", nowhere + "x.bmp"}, "x.bmp»: нет такого файла или папки"},
        {{"fractal", "--params", dir.filePath(QStringLiteral("missing.dvg")), "-o", out}, "missing.dvg"},
        {{"fractal", "--params", shortFile.fileName(), "-o", out}, "short.dvg"},
        {{"fractal", "--params", dir.path(), "-o", out}, "это папка, а не файл"},
        {{"fractal", "--save-params", params, "-o", nowhere + "x.bmp"}, "x.bmp"},
        {{"fractal", "--save-params", nowhere + "p.dvg", "-o", out}, "p.dvg"},
        {{"fractal", "--save-params", dir.path(), "-o", out}, "это папка, а не файл"},
    };
    for (const auto &[args, named] : rows) {
        const Outcome o = runRenderer(args);
        EXPECT_NE(o.exitCode, 0) << named;
        EXPECT_EQ(o.errors.count('\n'), 1) << o.errors.toStdString();
        EXPECT_TRUE(o.errors.contains(QString::fromUtf8(named))) << o.errors.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"short.dvg"});
}

TEST(Renderer, AFullDiskFailsTheRunKeepsTheOldFileAndLeavesNoNewOne)
{
    QTemporaryDir dir;
    const FullDisk disk(dir.filePath(QStringLiteral("full")));
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    const QString out = dir.filePath(QStringLiteral("x.bmp"));
    const std::pair<QStringList, QString> rows[] = {
        {{"fractal", "--save-params", disk.path(QStringLiteral("full.dvg")), "-o", out}, "full.dvg"},
        {{"fractal", "--save-params", disk.path(QStringLiteral("new.dvg")), "-o", out}, "new.dvg"},
        {{"fractal", "-o", disk.path(QStringLiteral("new.bmp"))}, "new.bmp"},
    };
    for (const auto &[args, named] : rows) {
        const Outcome o = runRenderer(args);
        EXPECT_EQ(o.exitCode, 1) << o.errors.toStdString();
        EXPECT_TRUE(o.errors.contains(named + QStringLiteral("»: на диске нет места"))) << o.errors.toStdString();
    }
    QFile old(disk.path(QStringLiteral("full.dvg")));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), disk.oldBytes());
    EXPECT_EQ(disk.entries(), QStringList({"fill", "full.dvg"}));
    EXPECT_FALSE(QFile::exists(out));
}
