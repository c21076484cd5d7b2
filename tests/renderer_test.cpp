// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The parameter file; divograf-render's command line, and the program run as a process: exit
// codes, messages, the files it writes or leaves alone, and that the picture is the window's.

#include "cli/options.h"
#include "core/files/parameters.h"
#include "core/files/picture.h"
#include "core/surface/workers.h"

#include <QtGui>

#include "printers.h"

#include <gtest/gtest.h>

#include <csignal>
#include <limits>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace divograf;
using namespace divograf::cli;

namespace {

Parsed parse(const QStringList &args)
{
    return parseArguments(QStringList{"divograf-render"} + args);
}

// The exit code and the standard error; `asNobody`: as a user whom permissions bind, unlike root.
std::pair<int, QString> runRenderer(const QStringList &args, bool asNobody = false)
{
    QProcess p;
    if (asNobody && geteuid() == 0)
        p.start("setpriv",
            QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", DIVOGRAF_RENDER_EXE}
                + args);
    else
        p.start(QStringLiteral(DIVOGRAF_RENDER_EXE), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("no file");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

} // namespace

TEST(ParameterFile, SavedInKnownBytesOverALongerFileAndLoadedBack)
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
    // Saved over a longer file, which keeps its tail, and loaded back with either tag; anything
    // else is refused whole.
    QTemporaryDir dir;
    const QString path = dir.filePath("long.dvg");
    QByteArray old(300000, '\0'); // a tail longer than the pieces it is copied in
    for (int i = 0; i < old.size(); ++i)
        old[i] = static_cast<char>(i * 7 + i / 4096);
    write(path, old);
    ParameterRecords r = takeParameters(m);
    r[0].set32(60);
    r[1].set16(4);
    r[12].set32(-123456);
    ASSERT_FALSE(saveParameterFile(path, r));
    const QByteArray good = encodeParameters(r);
    EXPECT_TRUE(contents(path) == good + old.mid(1664));
    const auto loaded = loadParameterFile(path);
    ASSERT_TRUE(std::holds_alternative<ParameterRecords>(loaded));
    EXPECT_EQ(std::get<ParameterRecords>(loaded), r);
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
            << std::get<Failure>(e).message;
    }
}

TEST(ParameterFile, LoadSetsEachControlThroughItsHandlingWithinItsRange)
{
    struct Row
    {
        int record;
        std::variant<Control, Pair> shows;
        int value, shown, beyond, shownBeyond;
    };
    const Row rows[] = {
        {0, Control::Slider3, 12, 12, 1000, 60}, // SizeFactor, at most 60
        {1, Control::QWA, 3, 3, 9, 5},           // Squarings
        {4, Control::MM, 9, 9, -5, 3},           // Axes, at least 3
        {5, Control::KFS, 3, 7, 99, 0},          // Coef, shown as 10 - Coef
        {6, Control::Rc, 25, 175, -40, 200},     // RedCorr, shown as 200 - RedCorr
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
                const int shown = std::holds_alternative<Control>(row.shows)
                    ? m.fractal.value(std::get<Control>(row.shows))
                    : m.interference.value(std::get<Pair>(row.shows));
                EXPECT_EQ(shown, inRange ? row.shown : row.shownBeyond)
                    << "record " << row.record + 1;
            }
            // QWA runs no handler: Squarings is as loaded, within its range.
            EXPECT_EQ(m.fractal.vars.Squarings, (StoredInt{inRange ? 3 : 5, width}));
            EXPECT_EQ(m.fractal.vars.RedCorr.value, inRange ? 25 : 0);
            EXPECT_EQ(m.StoredNum, (StoredInt{inRange ? 7 : 25, width}));
        }
    EXPECT_EQ(numberText(450), " 450 ");
    EXPECT_EQ(numberText(-10), "-10 ");
}

TEST(RendererArguments, SettingsKeepTheirOrderAndTheFormatFollowsTheExtension)
{
    const Parsed p = parse({"interference-3d", "--set", "Rc=10", "--params", "a.dvg", "--set",
        "lt= 7 0", "--set", "amplt=", "--save-params", "out.dvg", "--scale", "16", "-o", "x.PNG"});
    const Job &j = std::get<Job>(p);
    ASSERT_EQ(j.settings.size(), 4u);
    EXPECT_EQ(j.drawing, Drawing::Interference3D);
    EXPECT_EQ(std::get<ControlSetting>(j.settings[0]).control, Control::Rc);
    EXPECT_EQ(std::get<ControlSetting>(j.settings[0]).value, 10);
    EXPECT_EQ(std::get<ParameterFileSetting>(j.settings[1]).path, "a.dvg");
    EXPECT_EQ(std::get<TextSetting>(j.settings[2]).textBox, Pair::L);
    EXPECT_EQ(std::get<TextSetting>(j.settings[2]).text, " 7 0"); // as typed
    EXPECT_EQ(std::get<TextSetting>(j.settings[3]).text, QString());
    EXPECT_EQ(j.saveParameters, "out.dvg");
    EXPECT_EQ(j.format, QByteArray("PNG"));
    EXPECT_EQ(j.scale, 16);
    Model m; // a click on QWA assigns Squarings
    m.startUp();
    apply(m, ControlSetting{Control::QWA, 3});
    EXPECT_EQ(m.fractal.vars.Squarings, (StoredInt{3, Width::Bits32}));
    // The cell, as units or as the units nearest a pixel at the scale; the threads, all
    // processors unless given; --quiet.
    struct Row
    {
        QStringList args;
        int cell, threads;
        bool quiet;
    };
    const Row rows[] = {
        {{}, 0, processorCount(), false},
        {{"--scale", "16", "--cell", "px"}, 1, processorCount(), false},
        {{"--cell", "100", "--threads", "256"}, 100, 256, false},
        {{"--cell", "7", "--threads", "1", "--quiet"}, 7, 1, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const Parsed p = parse(QStringList{"fractal", "-o", "x.png"} + row.args);
        EXPECT_EQ(std::get<Job>(p).cell, row.cell);
        EXPECT_EQ(std::get<Job>(p).threads, row.threads);
        EXPECT_EQ(std::get<Job>(p).quiet, row.quiet);
    }
}

TEST(RendererArguments, BadInputIsOneClearRussianLine)
{
    const std::pair<QStringList, const char *> bad[] = {
        {{}, "--help"},
        {{"-o", "x.bmp"}, "ровно один вид"},
        {{"spiral", "-o", "x.bmp"}, "«spiral»"},
        {{"fractal"}, "-o OUT.bmp"},
        {{"fractal", "-o", "x.jpg"}, "«x.jpg»"},
        {{"fractal", "--set", "Foo=1", "-o", "x.bmp"}, "«Foo»"},
        {{"fractal", "--set", "Rc", "-o", "x.bmp"}, "«Rc»"},
        {{"fractal", "--set", "l=5", "-o", "x.bmp"}, "«l»"}, // a spinner: by its text
        {{"fractal", "--set", "Rc=1.5", "-o", "x.bmp"}, "«1.5»"},
        {{"fractal", "--set", "Option3=0", "-o", "x.bmp"}, "Option3"},
        {{"fractal", "--set", "KUB=5", "-o", "x.bmp"}, "0 (снят) или 1 (отмечен)"},
        {{"fractal", "--scale", "17", "-o", "x.bmp"}, "«17»"},
        {{"fractal", "--set", "Slider3=99999999999", "-o", "x.bmp"}, "вне его пределов 0..60"},
        {{"fractal", "--set", "MM=2", "-o", "x.bmp"}, "2 для MM вне его пределов 3..10"},
        {{"fractal", "--save-params", "./x.bmp", "-o", "x.bmp"}, "один и тот же файл «x.bmp»"},
        {{"fractal", "--cell", "0", "-o", "x.bmp"}, "от 1 до 100 или px, а получено «0»"},
        {{"fractal", "--cell", "pixel", "-o", "x.bmp"}, "«pixel»"},
        {{"fractal", "--threads", "0", "-o", "x.bmp"}, "от 1 до 256, а получено «0»"},
        {{"fractal", "--threads", "257", "-o", "x.bmp"}, "«257»"},
    };
    for (const auto &[args, says] : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Parsed p = parse(args);
        ASSERT_TRUE(std::holds_alternative<Error>(p));
        const QString message = std::get<Error>(p).message;
        EXPECT_TRUE(message.contains(QRegularExpression("[а-я]{3}"))) << message;
        EXPECT_TRUE(message.contains(QString::fromUtf8(says))) << message;
        EXPECT_FALSE(message.contains('\n'));
    }
    EXPECT_TRUE(std::holds_alternative<Job>(parse({"fractal", "--set", "KUB=1", "--set", "Box=0",
        "--set", "Slider3=60", "--set", "MM=3", "-o", "x.png"})));
}

// The picture is the window's at the cell given, the parameter file what Save writes; the last
// row but one loads the row before it.
TEST(Renderer, WritesTheWindowsPictureAndParameters)
{
    QTemporaryDir dir;
    const ControlSetting detail{Control::Option1, 1};
    const ControlSetting noRed{Control::Rc, 0};
    struct Row
    {
        QStringList args;
        Drawing drawing;
        std::vector<Setting> settings;
        int scale, cell;
    };
    const Row rows[] = {
        {{"interference", "--set", "numt=3"}, Drawing::Interference, {TextSetting{Pair::Num, "3"}},
            1, 0},
        {{"rainbow"}, Drawing::Rainbow, {}, 1, 0},
        {{"fractal", "--scale", "2", "--set", "Option1=1", "--set", "Rc=0"}, Drawing::Fractal,
            {detail, noRed}, 2, 0},
        {{"fractal", "--params", dir.filePath("2.dvg"), "--set", "Option1=1"}, Drawing::Fractal,
            {detail, noRed}, 1, 0},
        {{"fractal", "--set", "MUA=1", "--cell", "9", "--scale", "2", "--threads", "3"},
            Drawing::Fractal, {ControlSetting{Control::MUA, 1}}, 2, 9},
    };
    for (int i = 0; i < std::ssize(rows); ++i) {
        const Row &row = rows[i];
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const QString out = dir.filePath(QString("%1.bmp").arg(i));
        const QString params = dir.filePath(QString("%1.dvg").arg(i));
        EXPECT_EQ(runRenderer(row.args + QStringList{"-o", out, "--save-params", params}),
            std::pair(0, QString()));
        Model m(row.scale);
        m.run.cell = row.cell;
        m.startUp();
        for (const Setting &s : row.settings)
            EXPECT_FALSE(apply(m, s));
        m.startStop(row.drawing);
        EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB32), m.surface.Image());
        EXPECT_EQ(contents(params), encodeParameters(takeParameters(m)));
        EXPECT_EQ(contents(out).mid(28, 1), QByteArray(1, 24));            // bits per pixel
        EXPECT_EQ(pictureSize(QImage(out), "BMP"), QFileInfo(out).size()); // known beforehand
    }
}

// An error is one line that names the file and the reason, and leaves no file behind. Only
// files are read or replaced, not a pipe or a device.
TEST(Renderer, ExitCodesAndErrorsLeaveNoFileBehind)
{
    QTemporaryDir dir;
    const auto at = [&](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    const QString out = at("x.bmp");
    const QString nowhere = at("missing/x.bmp");
    write(at("short.dvg"), QByteArray(1000, '\x02'));
    // A folder nobody may write in, a file nobody may read, pipes, a device like /dev/null
    // (root only) and a read-only tmpfs (where mounting is allowed).
    const QString locked = at("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    write(locked + "/secret.dvg", "secret");
    ASSERT_EQ(::chmod(QFile::encodeName(locked + "/secret.dvg"), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locked), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()), 0755), 0);
    for (const char *name : {"pipe.dvg", "pipe.bmp"})
        ASSERT_EQ(::mkfifo(QFile::encodeName(at(name)), 0600), 0);
    const bool device
        = ::mknod(QFile::encodeName(at("device.dvg")), S_IFCHR | 0600, makedev(1, 3)) == 0;
    ASSERT_TRUE(QFile::link(out, at("out-link.dvg")));
    const QString ro = at("ro");
    ASSERT_TRUE(QDir().mkdir(ro));
    const bool mounted
        = ::mount("tmpfs", QFile::encodeName(ro), "tmpfs", MS_RDONLY, "size=16k") == 0;
    const std::shared_ptr<void> unmount(nullptr, [&](void *) {
        ::umount2(QFile::encodeName(ro), MNT_DETACH);
        ::chmod(QFile::encodeName(locked), 0755);
    });
    struct Row
    {
        QStringList args;
        int exitCode;
        const char *says;
        bool asNobody = false;
    };
    std::vector<Row> rows = {
        {{"--bogus", "-o", out}, 2, "divograf-render: Неизвестный параметр «bogus»."},
        {{"--quiet=1", "-o", out}, 2, "Неожиданное значение после «--quiet»."},
        {{"--cell", "101", "-o", out}, 2, "от 1 до 100 или px, а получено «101»"},
        {{"--save-params", at("p.dvg"), "-o", nowhere}, 1, "x.bmp»: нет такого файла или папки."},
        {{"--params", at("missing.dvg"), "-o", out}, 1, "missing.dvg» нет"},
        {{"--params", at("short.dvg"), "-o", out}, 1, "short.dvg» не файл параметров"},
        {{"--save-params", dir.path(), "-o", out}, 1, "»: это папка, а не файл."},
        {{"--save-params", at("short.dvg/p.dvg"), "-o", out}, 1, "p.dvg»: часть пути не папка."},
        {{"-o", dir.filePath(QString(256, u'я') + ".bmp")}, 1, "слишком длинное имя."},
        {{"-o", locked + "/x.bmp"}, 1, "x.bmp»: нет прав доступа.", true},
        {{"--params", locked + "/secret.dvg", "-o", out}, 1, "нет прав доступа.", true},
        {{"--params", at("pipe.dvg"), "-o", out}, 1, "pipe.dvg»: это канал (FIFO), а не файл."},
        {{"-o", at("pipe.bmp")}, 1, "pipe.bmp»: это канал (FIFO), а не файл."},
        {{"--save-params", at("out-link.dvg"), "-o", out}, 2, "один и тот же файл"},
    };
    if (mounted)
        rows.push_back({{"-o", ro + "/x.bmp"}, 1, "x.bmp»: файловая система только для чтения."});
    else
        std::printf("[  SKIPPED ] read-only row: cannot mount a tmpfs: %s\n", std::strerror(errno));
    if (device)
        rows.push_back({{"--save-params", at("device.dvg"), "-o", out}, 1,
            "device.dvg»: это устройство, а не файл."});
    for (const Row &row : rows) {
        const auto [exitCode, errors]
            = runRenderer(QStringList{"fractal"} + row.args, row.asNobody);
        EXPECT_EQ(exitCode, row.exitCode) << row.says;
        EXPECT_EQ(errors.count('\n'), 1) << errors;
        EXPECT_TRUE(errors.contains(QString::fromUtf8(row.says))) << errors;
    }
    EXPECT_EQ(entries(dir.path()), QStringList({"locked", "ro", "short.dvg"}));
}

// --help and --version need no display, Qt's options before them too; the help is in Russian.
TEST(CommandLines, HelpAndVersionWithoutADisplay)
{
    const std::pair<QStringList, const char *> rows[] = {
        {{DIVOGRAF_EXE, "--help"}, "\nПараметры:\n  -h, --help     Показать эту справку.\n"},
        {{DIVOGRAF_EXE, "-platform", "xcb", "--version"}, "divograf " DIVOGRAF_VERSION "\n"},
        {{DIVOGRAF_RENDER_EXE, "-h"}, "\nАргументы:\n"},
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const auto &[args, says] : rows) {
        SCOPED_TRACE(args.join(' ').toStdString());
        QProcess p;
        p.setProcessEnvironment(environment);
        p.start(args.front(), args.mid(1));
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_EQ(p.readAllStandardError(), QByteArray());
        const QString shown = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(shown.contains(QString::fromUtf8(says))) << shown;
    }
}

// A signal during a long drawing stops it, leaves every file as it was, and ends the process.
TEST(Renderer, ASignalStopsTheRunAndLeavesEveryFileAsItWas)
{
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        QTemporaryDir dir;
        const QString out = dir.filePath("poster.png");
        const QString params = dir.filePath("p.dvg");
        write(out, "as it was");
        write(params, "as it was");
        QProcess p;
        p.start(QStringLiteral(DIVOGRAF_RENDER_EXE),
            {"fractal", "--set", "QWA=5", "--set", "KUB=1", "--set", "MUA=1", "--scale", "16",
                "--cell", "px", "--save-params", params, "-o", out});
        // Still drawing, which takes minutes; only then is there a process to send the signal.
        ASSERT_FALSE(p.waitForFinished(2000));
        ASSERT_GT(p.processId(), 0);
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(p.exitCode(), signal);
        EXPECT_EQ(p.readAllStandardError(), QByteArray());
        EXPECT_EQ(contents(out), QByteArray("as it was"));
        EXPECT_EQ(contents(params), QByteArray("as it was"));
        EXPECT_EQ(entries(dir.path()), (QStringList{"p.dvg", "poster.png"}));
    }
}

// A stop asked for while the picture is being written gives the writing up: no new file.
TEST(Renderer, AStopWhileWritingLeavesNoFile)
{
    QTemporaryDir dir;
    Job job;
    job.output = dir.filePath("x.bmp");
    job.format = "BMP";
    job.saveParameters = dir.filePath("p.dvg");
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
    EXPECT_EQ(entries(dir.path()), QStringList());
}

// The progress line: the stage, the percent, the time so far and the estimate of the time the
// stage still takes; a PNG's share is not known before it is written, its megabytes are.
TEST(RendererProgress, TheLineSaysTheStagePercentAndTimes)
{
    const std::pair<QString, const char *> rows[] = {
        {progressText(Stage::Drawing, 0.25, 0, 20, 20),
            "Рисую: 25 %, прошло 20 с, осталось около 1 мин 00 с"},
        {progressText(Stage::Writing, -1, 12.34, 3, 3), "Записываю файл: 12,3 МБ, прошло 3 с"},
        {progressText(Stage::Drawing, 0, 0, 1.4, 1.4), "Рисую: 0 %, прошло 1 с"},
        {progressText(Stage::Drawing, 1, 0, 599.6, 599.6), "Рисую: 100 %, прошло 10 мин 00 с"},
    };
    for (const auto &[shown, says] : rows)
        EXPECT_EQ(shown, QString::fromUtf8(says));
}

// The line shows on a terminal (`script` gives one) and is cleared at the end; not with --quiet,
// nor in a pipe (the other runs read an empty standard error).
TEST(RendererProgress, OnATerminalOnlyAndNotWhenQuiet)
{
    if (QStandardPaths::findExecutable("script").isEmpty())
        GTEST_SKIP() << "no script(1) to give the renderer a terminal";
    QTemporaryDir dir;
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet);
        const QString command
            = QStringLiteral(DIVOGRAF_RENDER_EXE " fractal --set QWA=5 --set KUB=1 --set MUA=1 "
                                                 "--scale 2 --cell px --threads 1 -o ")
            + dir.filePath("x.bmp") + (quiet ? " --quiet" : "");
        QProcess p;
        p.start("script", {"-qec", command, "/dev/null"});
        ASSERT_TRUE(p.waitForFinished(120000));
        const QString seen = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(seen.contains("\rРисую: "), !quiet) << seen;
        EXPECT_EQ(seen.contains("\rЗаписываю файл: "), !quiet);
        EXPECT_EQ(seen.endsWith(QLatin1Char('\r')), !quiet) << seen;
    }
}
