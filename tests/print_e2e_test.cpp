// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Prints through a real CUPS server with a PDF printer: a private cupsd on loopback, the
// cups-pdf backend as its default printer, the print window's real printing path, and the
// produced PDF rasterised and checked for the picture and against the buttons.

#include "core/model.h"
#include "ui/dialogs/printing.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

using namespace divograf;

namespace {

constexpr const char *Cupsd = "/usr/sbin/cupsd";
constexpr const char *Backend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char *Ppd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
constexpr const char *PrinterName = "DivografPDF";

bool run(const QString &program, const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The PDFs of this user's jobs, where cups-pdf puts them.
QStringList pdfFolders()
{
    const passwd *pw = getpwuid(getuid());
    return {QString::fromLocal8Bit(pw ? pw->pw_dir : "/root") + QStringLiteral("/PDF"),
            QStringLiteral("/var/spool/cups-pdf/ANONYMOUS")};
}

QStringList pdfsNow()
{
    QStringList found;
    for (const QString &folder : pdfFolders())
        for (QDirIterator it(folder, {QStringLiteral("*.pdf")}, QDir::Files); it.hasNext();)
            found << it.next();
    return found;
}

class CupsPdfPrinter : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *needed : {Cupsd, Backend, Ppd, "/usr/bin/pdftoppm", "/usr/sbin/lpadmin", "/usr/bin/lpstat"})
            if (!QFileInfo::exists(QString::fromLatin1(needed)))
                GTEST_SKIP() << "CUPS server cannot be started: " << needed << " is missing";
        if (geteuid() != 0)
            GTEST_SKIP() << "CUPS server cannot be started: a private cupsd with the cups-pdf backend needs root";
        ASSERT_TRUE(root.isValid());
        const QString server = QStringLiteral("127.0.0.1:%1").arg(20000 + getpid() % 20000);
        const QString r = root.path();
        for (const char *sub : {"spool", "cache", "state", "tmp"})
            QDir(r).mkdir(QString::fromLatin1(sub));
        // Filters run as the unprivileged lp user: they must be able to reach their files.
        QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("755"), r});
        QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("1777"), r + QStringLiteral("/tmp")});
        write(r + QStringLiteral("/cupsd.conf"),
              QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nDefaultAuthType None\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n</Policy>\n")
                  .arg(server));
        write(r + QStringLiteral("/cups-files.conf"),
              QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\nTempDir %1/tmp\n"
                             "ErrorLog %1/error_log\nAccessLog %1/access_log\nPageLog %1/page_log\n"
                             "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSystemGroup root\n")
                  .arg(r));
        cupsd.start(QString::fromLatin1(Cupsd), {QStringLiteral("-f"), QStringLiteral("-c"), r + QStringLiteral("/cupsd.conf"),
                                                 QStringLiteral("-s"), r + QStringLiteral("/cups-files.conf")});
        if (!cupsd.waitForStarted(5000))
            GTEST_SKIP() << "CUPS server cannot be started: " << cupsd.errorString().toStdString();
        bool running = false;
        for (int i = 0; i < 100 && !running; ++i) {
            QTest::qWait(100);
            running = run(QStringLiteral("lpstat"), {QStringLiteral("-h"), server, QStringLiteral("-r")});
        }
        if (!running)
            GTEST_SKIP() << "CUPS server cannot be started: the scheduler on " << server.toStdString() << " did not answer";
        QString output;
        const QString printer = QString::fromLatin1(PrinterName);
        ASSERT_TRUE(run(QStringLiteral("lpadmin"), {QStringLiteral("-h"), server, QStringLiteral("-p"), printer, QStringLiteral("-E"),
                                                    QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-P"),
                                                    QString::fromLatin1(Ppd)}, &output))
            << output.toStdString();
        ASSERT_TRUE(run(QStringLiteral("lpadmin"), {QStringLiteral("-h"), server, QStringLiteral("-d"), printer}));
        qputenv("CUPS_SERVER", server.toLatin1());
        qputenv("PRINTER", PrinterName);
    }

    void TearDown() override
    {
        if (cupsd.state() != QProcess::NotRunning) {
            cupsd.terminate();
            if (!cupsd.waitForFinished(10000))
                cupsd.kill();
        }
        for (const QString &pdf : produced)
            QFile::remove(pdf);
    }

    static void write(const QString &path, const QString &text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    QTemporaryDir root;
    QProcess cupsd;
    QStringList produced;
};

} // namespace

TEST_F(CupsPdfPrinter, PrintedPageHoldsThePictureAndNoButton)
{
    // A fractal without green and without greys, so that a button's grey would stand out.
    Model model;
    model.startUp();
    for (auto [c, v] : {std::pair{Control::Option1, 1}, {Control::Rc, 0}, {Control::Gc, 200}, {Control::Bc, 100}})
        model.fractal.setValue(c, v); // corrections 200, 0, 100
    model.startStop(Drawing::Fractal);
    const QImage picture = model.surface.Image();

    const QStringList before = pdfsNow();
    Printing window(picture, QStringLiteral("Fractal.dvg"), printOnDefaultPrinter, nullptr);
    window.show();
    QTest::mouseClick(window.printButton(), Qt::LeftButton);
    ASSERT_EQ(window.result(), QDialog::Accepted);

    QString pdf;
    for (int i = 0; i < 600 && pdf.isEmpty(); ++i) {
        QTest::qWait(100);
        for (const QString &p : pdfsNow())
            if (!before.contains(p) && QFileInfo(p).size() > 0)
                pdf = p;
    }
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF appeared in " << pdfFolders().join(' ').toStdString();
    produced << pdf;
    QTest::qWait(500); // let cups-pdf finish writing

    const QString pagePrefix = root.filePath(QStringLiteral("page"));
    ASSERT_TRUE(run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                                 QStringLiteral("-singlefile"), pdf, pagePrefix}));
    const QImage page(pagePrefix + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());

    // The picture: a block of saturated, green-free colour about 327 x 328 pixels at 96 dpi.
    QRect box;
    int pictureLike = 0, buttonGrey = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 245 && c.green() > 245 && c.blue() > 245)
                continue;
            box |= QRect(x, y, 1, 1);
            if (c.green() < 60 && (c.red() > 60 || c.blue() > 60))
                ++pictureLike;
            if (std::abs(c.red() - c.green()) < 16 && std::abs(c.green() - c.blue()) < 16 && c.red() > 120)
                ++buttonGrey;
        }
    EXPECT_NEAR(box.width(), 327, 6);
    EXPECT_NEAR(box.height(), 328, 6);
    EXPECT_GT(pictureLike, 327 * 328 / 2);
    // The two buttons cover about nine per cent of the window; none of their grey is printed.
    EXPECT_LT(buttonGrey, 327 * 328 / 200);
}
