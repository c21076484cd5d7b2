#include "cli/options.h"
#include "fractal/render.h"

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
    EXPECT_EQ(job->settings[0].control, Control::Rc);
    EXPECT_EQ(job->settings[0].value, 10);
    EXPECT_EQ(job->settings[1].control, Control::QWA);
    EXPECT_EQ(job->settings[2].control, Control::Option4);
    EXPECT_EQ(job->format, QByteArray("PNG"));
    EXPECT_EQ(job->scale, 1);
    EXPECT_EQ(std::get<Job>(parse({"fractal", "--scale", "16", "-o", "a.bmp"})).scale, 16);
    EXPECT_NE(std::get_if<Help>(&static_cast<const Parsed &>(parse({"--help"}))), nullptr);
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
    apply(m, {Control::QWA, 3}); // a click at 3: Squarings follows
    EXPECT_EQ(m.fractal.vars.Squarings, (StoredInt{3, Width::Bits32}));
    apply(m, {Control::Slider3, 500}); // clamped by the slider
    EXPECT_EQ(m.fractal.vars.SizeFactor.value, 60);
    apply(m, {Control::MUA, 1});
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
