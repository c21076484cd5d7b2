// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The chooser, the print window and the file commands, also during a drawing.

#include "core/files/parameters.h"
#include "ui/dialogs/layout.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"
#include "ui/fileopening.h"
#include "ui/mainwindow.h"

#include <QtTest>
#include <QtWidgets>

#include "modals.h"
#include "printers.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace divograf;

namespace {

Answer choose(const QString &name)
{
    return as<SaveLoad>([name](SaveLoad *c) {
        c->nameBox()->setText(name);
        c->confirmButton()->click();
    });
}
Answer takeMessage(QString &text)
{
    return as<QMessageBox>([&text](QMessageBox *box) {
        text = box->text();
        box->accept();
    });
}

// A current directory of the test's own, where the chooser opens, holding a few files.
class InFolder : public testing::Test
{
protected:
    InFolder()
    {
        QDir::setCurrent(dir.path());
        QDir().mkdir("sub");
        for (const char *name : {"a.b.dvg", "Fractal.dvg", "notes.txt", "sub/in.ner.dvg"})
            QFile(name).open(QIODevice::WriteOnly);
    }
    ~InFolder() override { QDir::setCurrent(previous); }
    static QByteArray read(const QString &name)
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString previous = QDir::currentPath();
    QTemporaryDir dir;
    QString folder = QFileInfo(dir.path()).canonicalFilePath();
    QString message;
};

} // namespace

// Each mode with its look: the keyboard starts in the offered name, selected, or in the list
// where the name is read-only (typing there changes nothing). A key that moves the list's
// current file takes its name less the extension, and the path is the file's own in any letter
// case; the list taking the focus by Tab leaves a typed name alone, which gets the extension.
TEST_F(InFolder, ChooserTakesTheNameTheKeysPick)
{
    QFile("UPPER.DVG").open(QIODevice::WriteOnly);
    struct Row
    {
        int mode;                  // in layout::ChooserModes
        bool sub;                  // the tree moved to "sub" first
        std::vector<Qt::Key> keys; // after "x.y" is typed
        QString name;
        QString file;
    };
    const Row rows[] = {
        {0, false, {Qt::Key_Backtab}, "x.y", "x.y.dvg"},
        {0, false, {Qt::Key_Backtab, Qt::Key_Down, Qt::Key_End}, "UPPER", "UPPER.DVG"},
        {0, false, {Qt::Key_Backtab, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, "Fractal",
            "Fractal.dvg"},
        {1, true, {Qt::Key_Return}, "x.y", "sub/x.y.bmp"},
        {2, false, {Qt::Key_Down, Qt::Key_End, Qt::Key_Up}, "Fractal", "Fractal.dvg"},
        {2, false, {Qt::Key_U, Qt::Key_Return}, "UPPER", "UPPER.DVG"},
        {2, true, {Qt::Key_Down}, "in.ner", "sub/in.ner.dvg"}, // cut at the last dot
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        const layout::ChooserModeLook &look = layout::ChooserModes[row.mode];
        ChooserState state{look.mode, QString()};
        SaveLoad chooser(state, nullptr);
        EXPECT_EQ(chooser.confirmButton()->text(), look.command);
        EXPECT_EQ(chooser.focusWidget() == chooser.fileList(), look.readOnlyName);
        EXPECT_EQ(chooser.nameBox()->selectedText(), look.readOnlyName ? "" : "Fractal");
        QListView *list = chooser.fileList();
        showActive(chooser);
        QTreeView *tree = chooser.directoryList();
        if (row.sub)
            tree->setCurrentIndex(
                static_cast<QFileSystemModel *>(tree->model())->index(folder + "/sub"));
        // The files are read and sorted in the background.
        const QString last = row.mode == 1 ? "" : row.sub ? "in.ner.dvg" : "UPPER.DVG";
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const int n = list->model()->rowCount(list->rootIndex());
            return last.isEmpty()
                || list->model()->index(n - 1, 0, list->rootIndex()).data() == last;
        }));
        QTest::keyClicks(chooser.nameBox(), "x.y");
        for (const Qt::Key key : row.keys)
            QTest::keyClick(chooser.focusWidget(), key);
        EXPECT_EQ(chooser.nameBox()->text(), row.name);
        EXPECT_EQ(state.ChosenFileName, folder + "/" + row.file);
        EXPECT_EQ(chooser.windowTitle(), state.ChosenFileName);
        EXPECT_EQ(chooser.result() == QDialog::Accepted, row.keys.back() == Qt::Key_Return);
        // A name typed after a file was picked is no listed file's: the list shows none picked.
        QTest::keyClicks(chooser.nameBox(), "x");
        EXPECT_EQ(list->selectionModel()->hasSelection(), look.readOnlyName);
    }
}

// The tree keeps the start folder in view while its 300 siblings come in and are sorted.
TEST_F(InFolder, TheTreeShowsTheStartFolderOnceItsSiblingsAreRead)
{
    for (int i = 0; i <= 300; ++i)
        QDir().mkpath(QString("many/%1").arg(i));
    QDir::setCurrent("many/300");
    ChooserState state{layout::ChooserModes[0].mode, QString()};
    SaveLoad chooser(state, nullptr);
    showActive(chooser);
    QTreeView *tree = chooser.directoryList();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const QModelIndex start = tree->currentIndex();
        return start.data() == "300" && tree->model()->rowCount(start.parent()) == 301
            && tree->viewport()->rect().contains(tree->visualRect(start));
    }));
}

TEST(PrintWindow, PrintsTheClientAreaOrSaysWhyNot)
{
    QImage picture(329, 329, QImage::Format_RGB32);
    for (int i = 0; i < 329 * 329; ++i)
        picture.setPixel(i % 329, i / 329, qRgb(i % 329 % 256, i / 329 % 256, 77));
    const QString refusal = "Принтер по умолчанию не найден. Ничего не напечатано.";
    for (const auto &[print, fails] : {std::pair{true, false}, {true, true}, {false, false}}) {
        QImage printed;
        QString shown;
        const PagePrinter printer = [&](const QImage &page) {
            printed = page;
            return fails ? std::optional(Failure{refusal}) : std::nullopt;
        };
        const Answer click = [print](QWidget *p) { // printed, or closed by a click on the picture
            QTest::mouseClick(print ? qobject_cast<Printing *>(p)->printButton() : p,
                Qt::LeftButton, {}, print ? QPoint() : QPoint(100, 100));
        };
        withModals([&] { Printing::showPicture(picture, "Fractal.dvg", nullptr, printer); },
            fails ? std::vector{click, takeMessage(shown)} : std::vector{click});
        EXPECT_EQ(shown, fails ? refusal : QString());
        // Every pixel is the picture's, also where the buttons stood: cut at the edge, not scaled.
        EXPECT_EQ(printed.convertToFormat(QImage::Format_RGB32),
            print ? picture.copy(0, 0, 327, 328) : QImage());
    }
}

class FileCommands : public InFolder
{
protected:
    FileCommands() { w.show(); }
    void press(Qt::Key key, std::vector<Answer> answers)
    {
        withModals(
            [&] {
                // Offscreen, a closed modal window does not give the activation back.
                if (!QApplication::activeModalWidget())
                    showActive(w);
                QTest::keyClick(&w, key, Qt::ControlModifier);
            },
            std::move(answers));
    }
    // Drags `data` onto a widget, drops it and answers the windows; a file is opened from the
    // event loop, after the drop. Says whether the drag was taken: the drag comes accepted, as
    // from a widget that took it before, and a refusal must undo that.
    bool drop(const QMimeData &data, const char *onto, std::vector<Answer> answers = {})
    {
        auto *widget = w.findChild<QWidget *>(onto);
        const QPoint at(2, widget->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.accept();
        QApplication::sendEvent(widget, &enter);
        withModals(
            [&] {
                QApplication::sendEvent(widget, &dropped);
                QTest::qWait(50);
            },
            std::move(answers));
        return enter.isAccepted();
    }
    // Files dragged as a file manager does: as addresses and as text.
    bool drop(const QStringList &names, const char *onto, std::vector<Answer> answers = {})
    {
        QMimeData data;
        for (const QString &name : names)
            data.setUrls(data.urls() << QUrl::fromLocalFile(folder + "/" + name));
        data.setText(names.join(" "));
        return drop(data, onto, std::move(answers));
    }
    QSlider *rc() { return w.findChild<QSlider *>("Rc"); }

    Main w;
};

TEST_F(FileCommands, DuringADrawingAndAfterACancelOrAFailure)
{
    // A name typed at once replaces the one offered; Enter confirms.
    press(Qt::Key_S, {[](QWidget *m) {
        QTest::keyClicks(m->focusWidget(), "start");
        QTest::keyClick(m, Qt::Key_Return);
    }});
    EXPECT_EQ(read("start.dvg"), encodeParameters(takeParameters(w.model())));
    auto *holes = w.findChild<QLineEdit *>("numt");
    auto *amplt = w.findChild<QLineEdit *>("amplt");
    rc()->setValue(10);
    holes->setText("3");
    int cells = 0;
    w.model().run.yield = [&, windowYield = w.model().run.yield] {
        if (++cells == 300) { // of 50 x 50 cells of 100 units, column by column
            press(Qt::Key_B, {choose("half")});
            press(Qt::Key_S, {choose("during")});
            press(Qt::Key_P, {as<Printing>([&](Printing *p) {
                message = p->windowTitle();
                EXPECT_EQ(p->geometry().center(), w.geometry().center());
                EXPECT_TRUE(p->cancelButton()->isVisible());
                p->cancelButton()->click();
            })});
            // The print window is titled with the last path.
            EXPECT_EQ(message, folder + "/during.dvg");
            // Text dropped onto a text box is typed. One parameter file dropped anywhere is
            // opened, a bad one named in a message; others are refused, nothing typed.
            QMimeData text;
            text.setText("1");
            EXPECT_TRUE(drop(text, "amplt"));
            EXPECT_EQ(amplt->text(), "150");
            EXPECT_FALSE(drop({"notes.txt"}, "amplt"));
            EXPECT_FALSE(drop({"start.dvg", "start.dvg"}, "Field"));
            EXPECT_TRUE(drop({"a.b.dvg"}, "Rc", {takeMessage(message)}));
            EXPECT_EQ(message,
                "«" + folder
                    + "/a.b.dvg» не файл параметров Дивографа: файл короче 13 записей: 0 байт "
                      "вместо 1664. Параметры не изменены.");
            EXPECT_EQ(amplt->text(), "150");
            EXPECT_TRUE(drop({"start.dvg"}, "amplt"));
        }
        windowYield();
    };
    QTest::mouseClick(w.findChild<QWidget *>("Option1"), Qt::LeftButton);
    press(Qt::Key_F, {});
    EXPECT_EQ(cells, 2500); // the drawing went on to its end
    // In the last cell, off its diagonal: not drawn then, filled since (the cells are boxes).
    const Surface &s = w.model().surface;
    EXPECT_EQ(QImage("half.bmp").pixel(s.toPixel(4920), s.toPixel(4980)), qRgb(255, 255, 255));
    EXPECT_NE(s.pixel(s.toPixel(4920), s.toPixel(4980)), White);
    // The dropped file's values.
    EXPECT_EQ(rc()->value(), 175);
    EXPECT_EQ(holes->text(), " 7 ");
    EXPECT_EQ(amplt->text(), " 50 ");
    press(Qt::Key_L, {choose("during")});
    EXPECT_EQ(rc()->value(), 10);
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 190);
    EXPECT_EQ(holes->text(), " 3 ");

    // Cancelled: nothing written, nothing changed.
    rc()->setValue(20);
    press(Qt::Key_S, {as<SaveLoad>([](SaveLoad *c) { c->cancelButton()->click(); })});
    EXPECT_EQ(rc()->value(), 20);
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 180);
    EXPECT_EQ(read("Fractal.dvg"), QByteArray());
}

// A pipe named by the chooser is neither replaced nor read, and stays. On a 12 KiB tmpfs holding
// a parameter file and a file that takes every byte left, saving keeps the old file and leaves
// no new one (mounting needs root). Each time a message names the file and the reason.
TEST_F(FileCommands, APipeOrAFullDiskLosesNothing)
{
    for (const char *name : {"pipe.dvg", "pipe.bmp"})
        ASSERT_EQ(::mkfifo(name, 0600), 0);
    const bool mounted
        = QDir().mkdir("full") && ::mount("tmpfs", "full", "tmpfs", 0, "size=12k") == 0;
    const std::shared_ptr<void> unmount(nullptr, [](void *) { ::umount2("full", MNT_DETACH); });
    QFile old("full/old.dvg");
    QFile fill("full/fill");
    if (mounted) {
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        ASSERT_EQ(old.write("old"), 3);
        old.close();
        ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (fill.write(QByteArray(512, 'x')) == 512) {
        }
    }
    const std::pair<Qt::Key, QString> rows[] = {
        {Qt::Key_S, "Не удалось сохранить параметры в «%1/pipe.dvg»: это канал (FIFO), а не файл."},
        {Qt::Key_L,
            "Не удалось загрузить параметры из «%1/pipe.dvg»: это канал (FIFO), а не файл."},
        {Qt::Key_B, "Не удалось записать рисунок в «%1/pipe.bmp»: это канал (FIFO), а не файл."},
        {Qt::Key_S, "«%1/full/old.dvg»: на диске нет места"},
        {Qt::Key_S, "«%1/full/new.dvg»: на диске нет места"},
        {Qt::Key_B, "«%1/full/new.bmp»: на диске нет места"},
    };
    for (const auto &[key, says] : rows) {
        const QString name = says.section("«%1/", 1).section(".", 0, 0);
        if (!mounted && name.startsWith("full"))
            continue;
        press(key, {choose(name), takeMessage(message)});
        EXPECT_TRUE(message.contains(says.arg(folder))) << message.toStdString();
    }
    EXPECT_EQ(QDir().entryList({"pipe.*"}, QDir::System), QStringList({"pipe.bmp", "pipe.dvg"}));
    if (!mounted)
        GTEST_SKIP() << "cannot mount a tmpfs";
    EXPECT_EQ(read("full/old.dvg"), "old");
    EXPECT_EQ(QDir("full").entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList({"fill", "old.dvg"}));
}

TEST(CommandLine, OneParameterFileIsOpenedAnythingElseRefused)
{
    QString opened;
    const auto open = [&](const QStringList &files) {
        return openFromArguments(
            QStringList{"divograf"} + files, [&](const QString &path) { opened = path; });
    };
    EXPECT_TRUE(open({"notes.txt"}).contains("«notes.txt» — не файл параметров"));
    EXPECT_TRUE(
        open({"a.dvg", "b.dvg"}).contains("только один файл параметров (.dvg), а указано 2"));
    EXPECT_EQ(opened, QString());
    EXPECT_EQ(open({"/x/A.DVG"}), QString());
    EXPECT_EQ(opened, "/x/A.DVG");
    // Qt's own options, words after one dash, hold no -h or -v of ours.
    EXPECT_FALSE(asksWithoutWindow({"divograf", "-stylesheet", "a.qss", "-reverse", "a.dvg"}));
}

// A private cupsd on loopback with the cups-pdf backend as its default printer, the print
// window's real printing path, the PDF rasterised and checked.
TEST(CupsPdfPrinter, PrintsThePictureAtItsSize)
{
    if (geteuid() != 0 || !QFile::exists("/usr/sbin/cupsd"))
        GTEST_SKIP() << "no CUPS server can start: it needs root and cupsd";
    QTemporaryDir root;
    const QString r = root.path();
    const QString server = QString("127.0.0.1:%1").arg(20000 + getpid() % 20000);
    const auto write = [&](const char *name, const QString &text) {
        QFile f(r + name);
        return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) > 0;
    };
    ASSERT_TRUE(QDir(r).mkdir("tmp"));
    ASSERT_EQ(::chmod(qPrintable(r), 0755), 0);
    ASSERT_EQ(::chmod(qPrintable(r + "/tmp"), 01777), 0); // for lp
    ASSERT_TRUE(write("/cupsd.conf",
        QString("Listen %1\n<Policy default>\n<Limit All>\nAllow all\n</Limit>\n</Policy>\n")
            .arg(server)));
    ASSERT_TRUE(write("/files.conf",
        QString("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                "TempDir %1/tmp\nErrorLog %1/log\nAccessLog %1/log\nPageLog %1/log\n"
                "SystemGroup root\n")
            .arg(r)));
    QProcess cupsd; // killed when it goes
    cupsd.start("/usr/sbin/cupsd", {"-f", "-c", r + "/cupsd.conf", "-s", r + "/files.conf"});
    const QStringList printer{"-h", server, "-p", "DivografPDF", "-E", "-v", "cups-pdf:/", "-P",
        "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"};
    if (!QTest::qWaitFor([&] { return QProcess::execute("lpadmin", printer) == 0; },
            10000)) // once cupsd answers
        GTEST_SKIP() << "no CUPS server can start: no cups-pdf printer taken";
    qputenv("CUPS_SERVER", server.toLatin1());
    qputenv("PRINTER", "DivografPDF");

    // A dark picture printed from the print window into a new PDF where cups-pdf puts root's files.
    QImage picture(329, 329, QImage::Format_RGB32);
    picture.fill(qRgb(40, 90, 200));
    const QDateTime start = QDateTime::currentDateTime();
    withModals([&] { Printing::showPicture(picture, "Fractal.dvg", nullptr); },
        {as<Printing>([](Printing *p) { QTest::mouseClick(p->printButton(), Qt::LeftButton); })});
    QFileInfo pdf;
    const auto newest = [&] { // the newest PDF, once written
        const auto found
            = QDir(QDir::homePath() + "/PDF").entryInfoList({"*.pdf"}, QDir::Files, QDir::Time);
        pdf = found.value(0);
        return pdf.lastModified() >= start && pdf.size() > 0;
    };
    ASSERT_TRUE(QTest::qWaitFor(newest, 60000)) << "no PDF appeared";
    const std::shared_ptr<void> remove(nullptr, [&](void *) { QFile::remove(pdf.filePath()); });
    QTest::qWait(500); // cups-pdf finishes writing
    ASSERT_EQ(QProcess::execute(
                  "pdftoppm", {"-r", "96", "-png", "-singlefile", pdf.filePath(), r + "/page"}),
        0);

    // Inked: the window's 327 x 328 pixels at 96 dpi, the picture's.
    const QImage page = QImage(r + "/page.png").convertToFormat(QImage::Format_RGB32);
    int inked = 0;
    for (int i = 0; i < page.width() * page.height(); ++i)
        inked += qGray(page.pixel(i % page.width(), i / page.width())) < 200;
    EXPECT_NEAR(inked, 327 * 328, 327 * 328 / 50);
}
