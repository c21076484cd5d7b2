#include "cli/options.h"
#include "fractal/render.h"
#include "rainbow/rainbow.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
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

TEST(RendererArguments, SettingsKeepTheirOrderAndTheFormatFollowsTheExtension)
{
    const Parsed p = parse({"fractal", "--set", "Rc=10", "--set", "QWA=3", "--set", "Option4=1", "-o", "x.PNG"});
    const Job *job = std::get_if<Job>(&p);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->drawing, Drawing::Fractal);
    ASSERT_EQ(job->settings.size(), 3u);
    EXPECT_EQ(std::get<ControlSetting>(job->settings[0]).control, Control::Rc);
    EXPECT_EQ(std::get<ControlSetting>(job->settings[0]).value, 10);
    EXPECT_EQ(std::get<ControlSetting>(job->settings[1]).control, Control::QWA);
    EXPECT_EQ(std::get<ControlSetting>(job->settings[2]).control, Control::Option4);
    EXPECT_EQ(job->format, QByteArray("PNG"));
    EXPECT_EQ(job->scale, 1);
    EXPECT_EQ(std::get<Job>(parse({"fractal", "--scale", "16", "-o", "a.bmp"})).scale, 16);
    EXPECT_NE(std::get_if<Help>(&static_cast<const Parsed &>(parse({"--help"}))), nullptr);
}

TEST(RendererArguments, TextBoxesTakeTheTextAsTypedInCommandLineOrder)
{
    const Parsed p = parse({"interference-3d", "--set", "numt=25", "--set", "Option1=1", "--set", "lt= 7 0", "--set",
                            "amplt=", "-o", "x.bmp"});
    const Job *job = std::get_if<Job>(&p);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->drawing, Drawing::Interference3D);
    ASSERT_EQ(job->settings.size(), 4u);
    auto typedAt = [&](int i) { return std::get<TextSetting>(job->settings[i]); };
    EXPECT_EQ(typedAt(0).textBox, Pair::Num);
    EXPECT_EQ(typedAt(0).text, QStringLiteral("25"));
    EXPECT_EQ(std::get<ControlSetting>(job->settings[1]).control, Control::Option1);
    EXPECT_EQ(typedAt(2).textBox, Pair::L);
    EXPECT_EQ(typedAt(2).text, QStringLiteral(" 7 0"));
    EXPECT_EQ(typedAt(3).textBox, Pair::Ampl);
    EXPECT_EQ(typedAt(3).text, QString());
    EXPECT_EQ(std::get<Job>(parse({"interference", "-o", "a.bmp"})).drawing, Drawing::Interference);
    EXPECT_EQ(std::get<Job>(parse({"rainbow", "-o", "a.bmp"})).drawing, Drawing::Rainbow);

    Model m;
    m.startUp();
    const Parsed typed = parse({"interference", "--set", "lt=3001", "--set", "lt=12.5", "--set", "numt=abc", "--set",
                                "scalt= 5 ", "-o", "a.bmp"});
    for (const Setting &s : std::get<Job>(typed).settings)
        cli::apply(m, s);
    EXPECT_EQ(m.interference.value(Pair::L), 12); // 3001 gave 1, then 12.5 gave 12
    EXPECT_EQ(m.interference.text(Pair::L), QStringLiteral("12"));
    EXPECT_EQ(m.interference.value(Pair::Num), 1);
    EXPECT_EQ(m.interference.text(Pair::Num), QStringLiteral("1"));
    EXPECT_EQ(m.interference.value(Pair::Scal), 5);
    EXPECT_EQ(m.interference.text(Pair::Scal), QStringLiteral(" 5 "));
    cli::apply(m, std::get<Job>(parse({"interference", "--set", "lt=3001", "-o", "a.bmp"})).settings[0]);
    EXPECT_EQ(m.interference.value(Pair::L), 1);
}

TEST(RendererArguments, BadInputIsOneClearError)
{
    const std::vector<QStringList> bad = {
        {"-o", "x.bmp"},                                   // no kind
        {"spiral", "-o", "x.bmp"},                         // unknown kind
        {"fractal", "fractal", "-o", "x.bmp"},             // two kinds
        {"fractal"},                                       // no output
        {"fractal", "-o", "x.jpg"},                        // unknown format
        {"fractal", "--set", "Foo=1", "-o", "x.bmp"},      // unknown control
        {"fractal", "--set", "Rc", "-o", "x.bmp"},         // no value
        {"fractal", "--set", "lt", "-o", "x.bmp"},
        {"fractal", "--set", "l=5", "-o", "x.bmp"},        // spinners are set through their text
        {"fractal", "--set", "Rc=ten", "-o", "x.bmp"},     // not a number
        {"fractal", "--set", "Rc=1.5", "-o", "x.bmp"},
        {"fractal", "--set", "Option3=0", "-o", "x.bmp"},  // options are selected with 1
        {"fractal", "--scale", "0", "-o", "x.bmp"},
        {"fractal", "--scale", "17", "-o", "x.bmp"},
        {"fractal", "--bogus", "-o", "x.bmp"},
    };
    for (const QStringList &args : bad) {
        const Parsed p = parse(args);
        const Error *e = std::get_if<Error>(&p);
        ASSERT_NE(e, nullptr) << args.join(' ').toStdString();
        EXPECT_FALSE(e->message.isEmpty());
        EXPECT_FALSE(e->message.contains('\n'));
    }
}

TEST(RendererArguments, SettingsActAsTheUserWould)
{
    Model m;
    m.startUp();
    cli::apply(m, ControlSetting{Control::QWA, 3}); // a click at 3: Squarings follows
    EXPECT_EQ(m.fractal.vars.Squarings, (StoredInt{3, Width::Bits32}));
    cli::apply(m, ControlSetting{Control::Slider3, 500}); // clamped by the slider
    EXPECT_EQ(m.fractal.vars.SizeFactor.value, 60);
    cli::apply(m, ControlSetting{Control::MUA, 1});
    EXPECT_TRUE(m.fractal.mmEnabled());
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
    // The cell whose corner is (1, 2501) has k = 7.
    const Surface s(1);
    EXPECT_EQ(img.pixel(s.toPixel(1 + 50), s.toPixel(2501 + 50)), qRgb(175, 168, 161));
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
    EXPECT_EQ(rainbow.pixel(0, 0), qRgb(255, 255, 255));      // beyond the largest ring
    // The pixel nearest the middle, 0.47 pixel off it, lies under ring 2 of the last pass.
    EXPECT_EQ(rainbow.pixel(165, 165), toQRgb(ringColour(598, 2)));
}

TEST(Renderer, ScaleMultipliesThePixelsAndKeepsTheColours)
{
    QTemporaryDir dir;
    const QString one = dir.filePath(QStringLiteral("1.png")), three = dir.filePath(QStringLiteral("3.png"));
    ASSERT_EQ(runRenderer({"fractal", "--set", "Option1=1", "-o", one}).exitCode, 0);
    ASSERT_EQ(runRenderer({"fractal", "--set", "Option1=1", "--scale", "3", "-o", three}).exitCode, 0);
    const QImage a(one), b(three);
    ASSERT_EQ(b.size(), QSize(987, 987));
    for (int x = 1; x <= 4901; x += 700)
        for (int y = 1; y <= 4901; y += 700)
            EXPECT_EQ(a.pixel(Surface(1).toPixel(x + 50), Surface(1).toPixel(y + 50)),
                      b.pixel(Surface(3).toPixel(x + 50), Surface(3).toPixel(y + 50)));
}

TEST(Renderer, ErrorsLeaveNoFileBehind)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.bmp"));
    Outcome o = runRenderer({"fractal", "--set", "Nope=1", "-o", out});
    EXPECT_NE(o.exitCode, 0);
    EXPECT_TRUE(o.errors.contains(QStringLiteral("Nope")));
    EXPECT_EQ(o.errors.count('\n'), 1);
    EXPECT_FALSE(QFile::exists(out));

    const QString unwritable = dir.filePath(QStringLiteral("missing/folder/x.bmp"));
    o = runRenderer({"fractal", "-o", unwritable});
    EXPECT_NE(o.exitCode, 0);
    EXPECT_EQ(o.errors.count('\n'), 1);
    EXPECT_FALSE(QFile::exists(unwritable));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
}

TEST(RendererArguments, ParameterFilesTakeTheirPlaceAmongTheSettings)
{
    const Parsed p = parse({"fractal", "--set", "Rc=10", "--params", "a.dvg", "--set", "Gc=20", "--params", "b.dvg",
                            "--save-params", "out.dvg", "-o", "x.bmp"});
    const Job &job = std::get<Job>(p);
    ASSERT_EQ(job.settings.size(), 4u);
    EXPECT_EQ(std::get<ControlSetting>(job.settings[0]).control, Control::Rc);
    EXPECT_EQ(std::get<ParameterFileSetting>(job.settings[1]).path, QStringLiteral("a.dvg"));
    EXPECT_EQ(std::get<ControlSetting>(job.settings[2]).control, Control::Gc);
    EXPECT_EQ(std::get<ParameterFileSetting>(job.settings[3]).path, QStringLiteral("b.dvg"));
    EXPECT_EQ(job.saveParameters, QStringLiteral("out.dvg"));
}

TEST(Renderer, SavedParametersLoadBackAndBadFilesStopBeforeAnyPicture)
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

    const QString missing = dir.filePath(QStringLiteral("missing.dvg")), out = dir.filePath(QStringLiteral("3.bmp"));
    o = runRenderer({"fractal", "--params", missing, "-o", out});
    EXPECT_NE(o.exitCode, 0);
    EXPECT_EQ(o.errors.count('\n'), 1);
    EXPECT_TRUE(o.errors.contains(QStringLiteral("missing.dvg")));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(QFile::exists(out));
    QFile shortFile(dir.filePath(QStringLiteral("short.dvg")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(bytes.left(1000));
    shortFile.close();
    o = runRenderer({"fractal", "--params", shortFile.fileName(), "-o", out});
    EXPECT_NE(o.exitCode, 0);
    EXPECT_FALSE(QFile::exists(out));
}
