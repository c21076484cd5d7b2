// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Prints through a real CUPS server: a private cupsd on loopback with the cups-pdf backend as
// its default printer, the print window's real printing path, the PDF rasterised and checked.

#include "core/model.h"
#include "ui/dialogs/printing.h"

#include <QDirIterator>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace divograf;

namespace {

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The PDFs cups-pdf has written for this user (root's, as the test runs as root).
QStringList pdfs()
{
    QStringList found;
    for (const QString &folder : {QDir::homePath() + QStringLiteral("/PDF"), QStringLiteral("/var/spool/cups-pdf/ANONYMOUS")})
        for (QDirIterator it(folder, {QStringLiteral("*.pdf")}, QDir::Files); it.hasNext();)
            found << it.next();
    return found;
}

} // namespace

TEST(CupsPdfPrinter, PrintedPageHoldsThePictureAndNoButton)
{
    const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
    for (const QString &needed : {QStringLiteral("/usr/sbin/cupsd"), QStringLiteral("/usr/lib/cups/backend/cups-pdf"), ppd})
        if (!QFile::exists(needed))
            GTEST_SKIP() << "no CUPS server can start: " << needed.toStdString() << " is missing";
    if (geteuid() != 0)
        GTEST_SKIP() << "no CUPS server can start: a private cupsd with the cups-pdf backend needs root";
    QTemporaryDir root;
    const QString r = root.path(), server = QStringLiteral("127.0.0.1:%1").arg(20000 + getpid() % 20000);
    for (const char *sub : {"spool", "cache", "state", "tmp"})
        QDir(r).mkdir(QString::fromLatin1(sub));
    ASSERT_TRUE(run("chmod", {"755", r}) && run("chmod", {"1777", r + "/tmp"})); // the filters run as the lp user
    const std::pair<const char *, QString> configs[] = {
        {"/cupsd.conf", QStringLiteral("Listen %1\nWebInterface No\nDefaultAuthType None\n<Location />\nAllow all\n</Location>\n"
                                       "<Policy default>\n<Limit All>\nAllow all\n</Limit>\n</Policy>\n").arg(server)},
        {"/cups-files.conf", QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\nTempDir %1/tmp\n"
                                            "ErrorLog %1/error_log\nAccessLog %1/access_log\nPageLog %1/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSystemGroup root\n").arg(r)}};
    for (const auto &[name, text] : configs) {
        QFile f(r + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) > 0);
    }
    QProcess cupsd;
    cupsd.start(QStringLiteral("/usr/sbin/cupsd"), {"-f", "-c", r + "/cupsd.conf", "-s", r + "/cups-files.conf"});
    const std::shared_ptr<void> stop(nullptr, [&](void *) { cupsd.terminate(), cupsd.waitForFinished(10000) || (cupsd.kill(), true); });
    bool running = false;
    for (int i = 0; i < 100 && !running && cupsd.state() != QProcess::NotRunning; ++i)
        running = (QTest::qWait(100), run(QStringLiteral("lpstat"), {"-h", server, "-r"}));
    if (!running)
        GTEST_SKIP() << "no CUPS server can start: the scheduler on " << server.toStdString() << " did not answer";
    ASSERT_TRUE(run(QStringLiteral("lpadmin"), {"-h", server, "-p", "DivografPDF", "-E", "-v", "cups-pdf:/", "-P", ppd}));
    ASSERT_TRUE(run(QStringLiteral("lpadmin"), {"-h", server, "-d", "DivografPDF"}));
    qputenv("CUPS_SERVER", server.toLatin1()), qputenv("PRINTER", "DivografPDF");

    // A fractal without green and without greys, so that a button's grey would stand out.
    Model model;
    model.startUp();
    for (auto [c, v] : {std::pair{Control::Option1, 1}, {Control::Rc, 0}, {Control::Gc, 200}, {Control::Bc, 100}})
        model.fractal.setValue(c, v);
    model.startStop(Drawing::Fractal);
    const QStringList before = pdfs();
    Printing window(model.surface.Image(), QStringLiteral("Fractal.dvg"), printOnDefaultPrinter, nullptr);
    window.show();
    QTest::mouseClick(window.printButton(), Qt::LeftButton);
    ASSERT_EQ(window.result(), QDialog::Accepted);
    QString pdf;
    for (int i = 0; i < 600 && pdf.isEmpty(); ++i)
        for (const QString &p : (QTest::qWait(100), pdfs()))
            pdf = !before.contains(p) && QFileInfo(p).size() > 0 ? p : pdf;
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF appeared";
    const std::shared_ptr<void> remove(nullptr, [&](void *) { QFile::remove(pdf); });
    QTest::qWait(500); // cups-pdf finishes writing
    ASSERT_TRUE(run(QStringLiteral("pdftoppm"), {"-r", "96", "-png", "-singlefile", pdf, r + "/page"}));
    const QImage page(r + QStringLiteral("/page.png"));
    ASSERT_FALSE(page.isNull());

    // The picture: a block of saturated, green-free colour about 327 x 328 pixels at 96 dpi;
    // the two buttons cover about nine per cent of the window, and none of their grey is printed.
    QRect box;
    int pictureLike = 0, buttonGrey = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 245 && c.green() > 245 && c.blue() > 245)
                continue;
            box |= QRect(x, y, 1, 1);
            pictureLike += c.green() < 60 && (c.red() > 60 || c.blue() > 60);
            buttonGrey += std::abs(c.red() - c.green()) < 16 && std::abs(c.green() - c.blue()) < 16 && c.red() > 120;
        }
    EXPECT_NEAR(box.width(), 327, 6);
    EXPECT_NEAR(box.height(), 328, 6);
    EXPECT_GT(pictureLike, 327 * 328 / 2);
    EXPECT_LT(buttonGrey, 327 * 328 / 200);
}
