// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// divograf-render: its command line, and the program run as a process: exit codes, messages,
// the files it writes or leaves alone, and that the picture is the model's.

#include "cli/options.h"
#include "core/files/parameters.h"
#include "core/files/picture.h"
#include "core/surface/workers.h"

#include <QtGui>

#include "printers.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace divograf;
using namespace divograf::cli;

namespace {

Parsed parse(const QStringList &args)
{
    return parseArguments(QStringList{QStringLiteral("divograf-render")} + args);
}

// The exit code and the standard error. `unprivileged`: as a user whom file permissions bind,
// which root is not (CI runs as root): there as the user nobody.
std::pair<int, QString> runRenderer(const QStringList &args, bool unprivileged = false)
{
    QProcess p;
    if (unprivileged && geteuid() == 0)
        p.start(QStringLiteral("setpriv"),
            QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", DIVOGRAF_RENDER_EXE}
                + args);
    else
        p.start(QStringLiteral(DIVOGRAF_RENDER_EXE), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

// Started up, set and drawn once, as the window would be.
void draw(Model &m, Drawing drawing, const std::vector<Setting> &settings)
{
    m.startUp();
    for (const Setting &s : settings)
        EXPECT_FALSE(apply(m, s));
    m.startStop(drawing);
}

} // namespace

TEST(RendererArguments, SettingsKeepTheirOrderAndTheFormatFollowsTheExtension)
{
    const Parsed p = parse({"interference-3d", "--set", "Rc=10", "--params", "a.dvg", "--set",
        "lt= 7 0", "--set", "amplt=", "--set", "Option4=1", "--save-params", "out.dvg", "--scale",
        "16", "-o", "x.PNG"});
    const Job &j = std::get<Job>(p);
    ASSERT_EQ(j.settings.size(), 5u);
    const auto control = [&](int i) { return std::get<ControlSetting>(j.settings[i]); };
    const auto text = [&](int i) { return std::get<TextSetting>(j.settings[i]); };
    EXPECT_EQ(j.drawing, Drawing::Interference3D);
    EXPECT_EQ(control(0).control, Control::Rc);
    EXPECT_EQ(control(0).value, 10);
    EXPECT_EQ(std::get<ParameterFileSetting>(j.settings[1]).path, QStringLiteral("a.dvg"));
    // Texts as typed, blanks and all.
    EXPECT_EQ(text(2).textBox, Pair::L);
    EXPECT_EQ(text(2).text, QStringLiteral(" 7 0"));
    EXPECT_EQ(text(3).text, QString());
    EXPECT_EQ(control(4).control, Control::Option4);
    EXPECT_EQ(j.saveParameters, QStringLiteral("out.dvg"));
    EXPECT_EQ(j.output, QStringLiteral("x.PNG"));
    EXPECT_EQ(j.format, QByteArray("PNG"));
    EXPECT_EQ(j.scale, 16);
    EXPECT_TRUE(std::holds_alternative<Help>(parse({"--help"})));

    // A click on QWA assigns Squarings; a text is typed as it stands.
    Model m;
    m.startUp();
    apply(m, ControlSetting{Control::QWA, 3});
    EXPECT_EQ(m.fractal.vars.Squarings, (StoredInt{3, Width::Bits32}));
    apply(m, TextSetting{Pair::Scal, QStringLiteral(" 5 ")});
    EXPECT_EQ(m.interference.text(Pair::Scal), QStringLiteral(" 5 "));
}

TEST(RendererArguments, BadInputIsOneClearRussianLine)
{
    // Each bad command line, and what its message must say besides being Russian.
    const std::pair<QStringList, const char *> bad[] = {
        {{}, "--help"},
        {{"-o", "x.bmp"}, "ровно один вид"},
        {{"spiral", "-o", "x.bmp"}, "«spiral»"},
        {{"fractal", "fractal", "-o", "x.bmp"}, "ровно один вид"},
        {{"fractal"}, "-o OUT.bmp"},
        {{"fractal", "-o", "x.jpg"}, "«x.jpg»"},
        {{"fractal", "--set", "Foo=1", "-o", "x.bmp"}, "«Foo»"},
        {{"fractal", "--set", "Rc", "-o", "x.bmp"}, "«Rc»"},
        {{"fractal", "--set", "=1", "-o", "x.bmp"}, "«=1»"},
        {{"fractal", "--set", "l=5", "-o", "x.bmp"}, "«l»"}, // a spinner: by its text
        {{"fractal", "--set", "Rc=1.5", "-o", "x.bmp"}, "«1.5»"},
        {{"fractal", "--set", "Option3=0", "-o", "x.bmp"}, "Option3"},
        {{"fractal", "--set", "KUB=5", "-o", "x.bmp"}, "0 (снят) или 1 (отмечен)"},
        {{"fractal", "--set", "MUA=-1", "-o", "x.bmp"}, "MUA"},
        {{"fractal", "--set", "Box=2", "-o", "x.bmp"}, "Box"},
        {{"fractal", "--scale", "0", "-o", "x.bmp"}, "«0»"},
        {{"fractal", "--scale", "17", "-o", "x.bmp"}, "«17»"},
        {{"fractal", "--set", "Slider3=61", "-o", "x.bmp"},
            "61 для Slider3 вне его пределов 0..60"},
        {{"fractal", "--set", "Slider3=99999999999", "-o", "x.bmp"}, "вне его пределов 0..60"},
        {{"fractal", "--set", "MM=2", "-o", "x.bmp"}, "2 для MM вне его пределов 3..10"},
        {{"fractal", "--set", "Rc=-1", "-o", "x.bmp"}, "-1 для Rc вне его пределов 0..200"},
        {{"fractal", "--save-params", "x.bmp", "-o", "x.bmp"}, "один и тот же файл «x.bmp»"},
        {{"fractal", "--save-params", "./x.bmp", "-o", "x.bmp"}, "один и тот же файл"},
        {{"fractal", "--cell", "0", "-o", "x.bmp"}, "от 1 до 100 или px, а получено «0»"},
        {{"fractal", "--cell", "101", "-o", "x.bmp"}, "«101»"},
        {{"fractal", "--cell", "pixel", "-o", "x.bmp"}, "«pixel»"},
        {{"fractal", "--threads", "0", "-o", "x.bmp"}, "от 1 до 256, а получено «0»"},
        {{"fractal", "--threads", "257", "-o", "x.bmp"}, "«257»"},
    };
    for (const auto &[args, says] : bad) {
        const Parsed p = parse(args);
        const Error *e = std::get_if<Error>(&p);
        ASSERT_NE(e, nullptr) << args.join(' ').toStdString();
        EXPECT_TRUE(e->message.contains(QRegularExpression(QStringLiteral("[а-я]{3}"))))
            << e->message.toStdString();
        EXPECT_TRUE(e->message.contains(QString::fromUtf8(says))) << e->message.toStdString();
        EXPECT_FALSE(e->message.contains('\n'));
    }
    EXPECT_TRUE(std::holds_alternative<Job>(parse({"fractal", "--set", "KUB=1", "--set", "Box=0",
        "--set", "Slider3=60", "--set", "MM=3", "-o", "x.png"})));
}

TEST(Renderer, WritesTheModelsPictureAndParameters)
{
    QTemporaryDir dir;
    const ControlSetting detail{Control::Option1, 1};
    struct Row
    {
        QStringList args;
        Drawing drawing;
        std::vector<Setting> settings;
        int scale;
    };
    const Row rows[] = {
        {{"interference", "--set", "numt=3", "-o"}, Drawing::Interference,
            {TextSetting{Pair::Num, QStringLiteral("3")}}, 1},
        {{"interference-3d", "--set", "Option1=1", "-o"}, Drawing::Interference3D, {detail}, 1},
        {{"rainbow", "-o"}, Drawing::Rainbow, {}, 1},
        {{"fractal", "--scale", "2", "--set", "Option1=1", "-o"}, Drawing::Fractal, {detail}, 2},
        {{"fractal", "--set", "Option1=1", "--set", "Rc=0", "-o"}, Drawing::Fractal,
            {detail, ControlSetting{Control::Rc, 0}}, 1},
    };
    for (const Row &row : rows) {
        const QString out = dir.filePath(QStringLiteral("x.bmp"));
        const QString params = dir.filePath(QStringLiteral("p.dvg"));
        const auto [exitCode, errors]
            = runRenderer(row.args + QStringList{out, QStringLiteral("--save-params"), params});
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(errors, QString());
        Model m(row.scale);
        draw(m, row.drawing, row.settings);
        EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB32), m.surface.Image())
            << row.args.front().toStdString();
        QFile f(params);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), encodeParameters(takeParameters(m)));
        QFile bmp(out);
        ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
        EXPECT_EQ(static_cast<unsigned char>(bmp.read(30)[28]), 24); // bits per pixel
    }
    // The last file loads back into the same picture, the detail (not stored) set again.
    const QString again = dir.filePath(QStringLiteral("again.png"));
    ASSERT_EQ(runRenderer({"fractal", "--params", dir.filePath(QStringLiteral("p.dvg")), "--set",
                              "Option1=1", "-o", again})
                  .first,
        0);
    EXPECT_EQ(QImage(again),
        QImage(dir.filePath(QStringLiteral("x.bmp"))).convertToFormat(QImage::Format_RGB32));
}

// An error is one line that names the file and the reason, and no picture (nor any other file)
// is left behind: the parameter file and the picture are put in place together or not at all.
TEST(Renderer, ExitCodesAndErrorsLeaveNoFileBehind)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.bmp"));
    const QString params = dir.filePath(QStringLiteral("p.dvg"));
    const QString nowhere = dir.filePath(QStringLiteral("missing/folder/"));
    QFile shortFile(dir.filePath(QStringLiteral("short.dvg")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    ASSERT_EQ(shortFile.write(QByteArray(1000, '\x02')), 1000);
    shortFile.close();
    // A folder nobody may write in, holding a file nobody may read; and, where mounting is
    // allowed, a read-only file system.
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(QFile::copy(shortFile.fileName(), locked + QStringLiteral("/secret.dvg")));
    ASSERT_EQ(::chmod(QFile::encodeName(locked + "/secret.dvg").constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString ro = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkdir(ro));
    const bool mounted
        = ::mount("tmpfs", QFile::encodeName(ro).constData(), "tmpfs", MS_RDONLY, "size=16k") == 0;
    const std::shared_ptr<void> unmount(nullptr, [&](void *) {
        ::umount2(QFile::encodeName(ro).constData(), MNT_DETACH);
        ::chmod(QFile::encodeName(locked).constData(), 0755);
    });
    struct Row
    {
        QStringList args;
        int exitCode;
        const char *says;
        bool unprivileged = false;
    };
    const Row rows[] = {
        {{"--help"}, 0, ""},
        {{"fractal", "--bogus", "-o", out}, 2, "divograf-render: Неизвестный параметр «bogus»."},
        {{"fractal", "-o", out, "--params"}, 2, "Отсутствует значение после «--params»."},
        {{"fractal", "--help=1"}, 2, "Неожиданное значение после «--help»."},
        {{"fractal", "--set", "Nope=1", "-o", out}, 2,
            "divograf-render: неизвестный элемент «Nope»"},
        {{"fractal", "-o", nowhere + "x.bmp"}, 1, "x.bmp»: нет такого файла или папки."},
        {{"fractal", "--params", dir.filePath(QStringLiteral("missing.dvg")), "-o", out}, 1,
            "missing.dvg» нет"},
        {{"fractal", "--params", shortFile.fileName(), "-o", out}, 1,
            "short.dvg» не файл параметров"},
        {{"fractal", "--params", dir.path(), "-o", out}, 1, "»: это папка, а не файл."},
        {{"fractal", "--save-params", params, "-o", nowhere + "x.bmp"}, 1, "x.bmp»: нет такого"},
        {{"fractal", "--save-params", nowhere + "p.dvg", "-o", out}, 1, "p.dvg»: нет такого"},
        {{"fractal", "--save-params", dir.path(), "-o", out}, 1, "это папка, а не файл"},
        {{"fractal", "--save-params", shortFile.fileName() + "/p.dvg", "-o", out}, 1,
            "p.dvg»: часть пути не папка."},
        {{"fractal", "-o", dir.filePath(QString(256, u'я') + ".bmp")}, 1, "слишком длинное имя."},
        {{"fractal", "-o", locked + "/x.bmp"}, 1, "x.bmp»: нет прав доступа.", true},
        {{"fractal", "--params", locked + "/secret.dvg", "-o", out}, 1, "нет прав доступа.", true},
        {{"fractal", "-o", ro + "/x.bmp"}, 1, "x.bmp»: файловая система только для чтения."},
    };
    for (const Row &row : rows) {
        if (!mounted && row.args.contains(ro + "/x.bmp")) {
            std::printf(
                "[  SKIPPED ] the read-only row: cannot mount a tmpfs: %s\n", std::strerror(errno));
            continue;
        }
        const auto [exitCode, errors] = runRenderer(row.args, row.unprivileged);
        EXPECT_EQ(exitCode, row.exitCode) << row.says;
        EXPECT_EQ(errors.count('\n'), row.exitCode ? 1 : 0) << errors.toStdString();
        EXPECT_TRUE(errors.contains(QString::fromUtf8(row.says))) << errors.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList({"locked", "ro", "short.dvg"}));
    EXPECT_EQ(QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
        QStringList{"secret.dvg"});
}

// Only files are read or replaced: a pipe or a device of that name stays what it is, and the
// run ends at once with one line that names it; a symbolic link to a file is written through
// and stays a link. One place named for both files, also through a link, is refused.
TEST(Renderer, OnlyFilesAreReadOrReplaced)
{
    QTemporaryDir dir;
    const auto at = [&](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    const auto kind = [](const QString &path) {
        struct stat status;
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT
                                                                          : 0u;
    };
    for (const char *name : {"pipe.dvg", "pipe.bmp"})
        ASSERT_EQ(::mkfifo(QFile::encodeName(at(name)).constData(), 0600), 0);
    // A device like /dev/null, made here: only root may.
    const bool device
        = ::mknod(QFile::encodeName(at("device.dvg")).constData(), S_IFCHR | 0600, makedev(1, 3))
        == 0;
    ASSERT_TRUE(QFile(at("real.dvg")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(at("real.dvg"), at("link.dvg")));
    ASSERT_TRUE(QFile::link(at("x.bmp"), at("picture-link.dvg")));
    struct Row
    {
        QStringList args;
        int exitCode;
        const char *says;
    };
    std::vector<Row> rows = {
        {{"--params", at("pipe.dvg"), "-o", at("x.bmp")}, 1,
            "pipe.dvg»: это канал (FIFO), а не файл."},
        {{"-o", at("pipe.bmp")}, 1, "pipe.bmp»: это канал (FIFO), а не файл."},
        {{"--save-params", at("picture-link.dvg"), "-o", at("x.bmp")}, 2, "один и тот же файл"},
    };
    if (device)
        rows.push_back({{"--save-params", at("device.dvg"), "-o", at("x.bmp")}, 1,
            "device.dvg»: это устройство, а не файл."});
    for (const Row &row : rows) {
        const auto [exitCode, errors] = runRenderer(QStringList{"fractal"} + row.args);
        EXPECT_EQ(exitCode, row.exitCode) << row.says;
        EXPECT_EQ(errors.count('\n'), 1) << errors.toStdString();
        EXPECT_TRUE(errors.contains(QString::fromUtf8(row.says))) << errors.toStdString();
    }
    EXPECT_EQ(kind(at("pipe.dvg")), S_IFIFO);
    EXPECT_EQ(kind(at("pipe.bmp")), S_IFIFO);
    EXPECT_FALSE(QFile::exists(at("x.bmp")));

    const auto [exitCode, errors] = runRenderer(
        {"fractal", "--set", "Option1=1", "--save-params", at("link.dvg"), "-o", at("x.bmp")});
    EXPECT_EQ(exitCode, 0) << errors.toStdString();
    EXPECT_EQ(kind(at("link.dvg")), S_IFLNK);
    EXPECT_EQ(QFileInfo(at("real.dvg")).size(), ParameterFileLength);
    if (!device)
        GTEST_SKIP() << "no device node made: mknod needs root";
    EXPECT_EQ(kind(at("device.dvg")), S_IFCHR);
}

// The picture cannot be put in place after the parameter file was: the parameter file goes back
// to what it was, byte for byte, and no other name is left in the folder.
TEST(Renderer, APictureNotPutInPlaceLeavesTheParameterFileAsItWas)
{
    Model m;
    m.startUp();
    for (const bool old : {true, false}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.dvg"));
        const QByteArray before = QByteArray("old parameters").repeated(200);
        if (old) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(before), before.size());
        }
        {
            QSaveFile parameters(path), picture(dir.filePath(QStringLiteral("x.bmp")));
            ASSERT_FALSE(prepareParameterFile(parameters, takeParameters(m)));
            ASSERT_FALSE(preparePicture(picture, QImage(4, 4, QImage::Format_RGB32)));
            picture.cancelWriting(); // the seam: its rename will fail
            const std::optional<Failure> failure = putInPlace(&parameters, picture);
            ASSERT_TRUE(failure);
            EXPECT_TRUE(failure->message.contains(QStringLiteral("x.bmp")))
                << failure->message.toStdString();
        }
        QFile f(path);
        EXPECT_EQ(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("no file"),
            old ? before : QByteArray("no file"));
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            old ? QStringList{"p.dvg"} : QStringList{});
    }
}

// --help and --version of both programs need no display, Qt's own options before them too; the
// help is in Russian, its headings too.
TEST(CommandLines, HelpAndVersionWithoutADisplay)
{
    struct Row
    {
        const char *program;
        QStringList args;
        QStringList says;
    };
    const Row rows[] = {
        {DIVOGRAF_EXE, {"--help"},
            {"Использование: ", " [ФАЙЛ.dvg]\n", "Параметры:\n", "Аргументы:\n"}},
        {DIVOGRAF_EXE, {"-platform", "xcb", "-style", "fusion", "--version"},
            {"divograf " DIVOGRAF_VERSION "\n"}},
        {DIVOGRAF_RENDER_EXE, {"-h"},
            {"Использование: ", " KIND\n", "Параметры:\n", "Аргументы:\n"}},
        {DIVOGRAF_RENDER_EXE, {"-v"}, {"divograf-render " DIVOGRAF_VERSION "\n"}},
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        QProcess p;
        p.setProcessEnvironment(environment);
        p.start(QString::fromUtf8(row.program), row.args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_EQ(p.readAllStandardError(), QByteArray());
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        for (const QString &text : row.says)
            EXPECT_TRUE(out.contains(text)) << out.toStdString();
    }
}

// The cell, as units or as the units nearest a pixel at the scale; the threads, all processors
// unless given; --quiet.
TEST(RendererArguments, CellThreadsAndQuiet)
{
    struct Row
    {
        QStringList args;
        int cell, threads;
        bool quiet;
    };
    const Row rows[] = {
        {{}, 0, processorCount(), false},
        {{"--cell", "px"}, 15, processorCount(), false},
        {{"--cell", "px", "--scale", "4"}, 4, processorCount(), false},
        {{"--scale", "16", "--cell", "px"}, 1, processorCount(), false},
        {{"--cell", "100", "--threads", "256"}, 100, 256, false},
        {{"--cell", "7", "--threads", "3", "--quiet"}, 7, 3, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const Parsed p = parse(QStringList{"fractal", "-o", "x.png"} + row.args);
        const Job &j = std::get<Job>(p);
        EXPECT_EQ(j.cell, row.cell);
        EXPECT_EQ(j.threads, row.threads);
        EXPECT_EQ(j.quiet, row.quiet);
    }
}

// Any number of threads gives the same file, and it is the picture that the window's loop
// draws cell by cell with that cell.
TEST(Renderer, ThreadsAndCellsDrawTheWindowsPicture)
{
    QTemporaryDir dir;
    struct Row
    {
        QStringList args;
        Drawing drawing;
        int cell, scale;
        std::vector<Setting> settings;
    };
    const Row rows[] = {
        {{"fractal", "--set", "MUA=1", "--cell", "9", "--scale", "2"}, Drawing::Fractal, 9, 2,
            {ControlSetting{Control::MUA, 1}}},
        {{"interference-3d", "--cell", "30"}, Drawing::Interference3D, 30, 1, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        QByteArray first;
        for (const char *threads : {"1", "3"}) {
            const QString out = dir.filePath(QStringLiteral("x.bmp"));
            EXPECT_EQ(runRenderer(row.args + QStringList{"--threads", threads, "-o", out}),
                std::pair(0, QString()));
            QFile f(out);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            if (first.isEmpty())
                first = bytes;
            EXPECT_TRUE(bytes == first) << threads << " threads";
        }
        Model m(row.scale);
        m.run.cell = row.cell;
        draw(m, row.drawing, row.settings);
        EXPECT_EQ(QImage::fromData(first).convertToFormat(QImage::Format_RGB32), m.surface.Image());
    }
}

// SIGINT, SIGTERM or SIGHUP in the middle of a long drawing: the run stops, leaves the picture
// and the parameter file as they were and no other file, and ends by the same signal.
TEST(Renderer, ASignalStopsTheRunAndLeavesEveryFileAsItWas)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("poster.png"));
        const QString params = dir.filePath(QStringLiteral("p.dvg"));
        for (const QString &path : {out, params}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write("as it was"), 9);
        }
        QProcess p;
        p.start(QStringLiteral(DIVOGRAF_RENDER_EXE),
            {"fractal", "--set", "QWA=5", "--set", "KUB=1", "--set", "MUA=1", "--scale", "16",
                "--cell", "px", "--save-params", params, "-o", out});
        ASSERT_TRUE(p.waitForStarted());
        // Still drawing, which takes minutes; only then is there a process to send the signal.
        ASSERT_FALSE(p.waitForFinished(2000));
        ASSERT_GT(p.processId(), 0);
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(p.exitCode(), signal);
        EXPECT_EQ(p.readAllStandardError(), QByteArray());
        for (const QString &path : {out, params}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), QByteArray("as it was"));
        }
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            (QStringList{"p.dvg", "poster.png"}));
    }
}

// A stop asked for while the picture is being written gives the writing up: no new file.
TEST(Renderer, AStopWhileWritingLeavesNoFile)
{
    QTemporaryDir dir;
    Job job;
    job.output = dir.filePath(QStringLiteral("x.bmp"));
    job.format = "BMP";
    job.saveParameters = dir.filePath(QStringLiteral("p.dvg"));
    bool writing = false;
    double done = 0;
    Watch watch;
    watch.progress = [&](Stage stage, double share, double) {
        writing = stage == Stage::Writing;
        done = share;
    };
    watch.stopping = [&] { return writing; };
    EXPECT_TRUE(runJob(job, watch));
    EXPECT_GT(done, 0);
    EXPECT_LT(done, 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
        QStringList());
}

// The progress line: the stage, the percent, the time so far and the estimate of the time the
// stage still takes; a PNG's share is not known before it is written, its megabytes are.
TEST(RendererProgress, TheLineSaysTheStagePercentAndTimes)
{
    struct Row
    {
        Stage stage;
        double done, megabytes, runSeconds, stageSeconds;
        const char *says;
    };
    const Row rows[] = {
        {Stage::Drawing, 0.25, 0, 20, 20, "Рисую: 25 %, прошло 20 с, осталось около 1 мин 00 с"},
        {Stage::Writing, 0.5, 0, 75, 10,
            "Записываю файл: 50 %, прошло 1 мин 15 с, осталось около 10 с"},
        {Stage::Writing, -1, 12.34, 3, 3, "Записываю файл: 12,3 МБ, прошло 3 с"},
        {Stage::Drawing, 0, 0, 1.4, 1.4, "Рисую: 0 %, прошло 1 с"},
        {Stage::Drawing, 1, 0, 599.6, 599.6, "Рисую: 100 %, прошло 10 мин 00 с"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(
            progressText(row.stage, row.done, row.megabytes, row.runSeconds, row.stageSeconds),
            QString::fromUtf8(row.says));
}

// The line shows on a terminal (a pseudo-terminal that `script` gives) when a run lasts more than
// a second, and is cleared at the end; --quiet shows nothing. In a pipe nothing shows either
// (every other test here reads an empty standard error).
TEST(RendererProgress, OnATerminalOnlyAndNotWhenQuiet)
{
    if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
        GTEST_SKIP() << "no script(1) to give the renderer a terminal";
    QTemporaryDir dir;
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet);
        const QString command
            = QStringLiteral(DIVOGRAF_RENDER_EXE " fractal --set QWA=5 --set KUB=1 --set MUA=1 "
                                                 "--scale 2 --cell px --threads 1 -o ")
            + dir.filePath(QStringLiteral("x.bmp")) + (quiet ? QStringLiteral(" --quiet") : "");
        QProcess p;
        p.start(QStringLiteral("script"), {"-qec", command, "/dev/null"});
        ASSERT_TRUE(p.waitForFinished(120000));
        const QString seen = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(seen.contains(QStringLiteral("\rРисую: ")), !quiet) << seen.toStdString();
        EXPECT_EQ(seen.contains(QStringLiteral("%, прошло ")), !quiet);
        EXPECT_EQ(seen.contains(QStringLiteral("\rЗаписываю файл: ")), !quiet);
        if (!quiet) {
            EXPECT_TRUE(seen.endsWith(QLatin1Char('\r'))) << seen.toStdString();
        }
    }
}
