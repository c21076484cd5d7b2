// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The file chooser in its modes, the print window, and the main window's file commands that use
// them, also while a drawing waits in its yield, on a full disk and from outside the program.

#include "core/files/parameters.h"
#include "ui/dialogs/layout.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"
#include "ui/fileopening.h"
#include "ui/mainwindow.h"

#include <QtTest>
#include <QtWidgets>

#include "printers.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace divograf;

namespace {

using Answer = std::function<void(QWidget *modal)>;

// Runs `open`, answering its modal windows in turn, each from its own timer (an answer may open
// one).
void withModals(const std::function<void()> &open, std::vector<Answer> answers)
{
    QPointer<QWidget> answered;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!answers.empty() && modal && modal != answered) {
            answered = modal;
            QTimer::singleShot(0, modal, [modal, answer = answers.front()] { answer(modal); });
            answers.erase(answers.begin());
        }
    });
    poll.start(10);
    open();
    EXPECT_TRUE(answers.empty());
}

// An answer for a modal window of type T; another one fails the test.
template <class T> Answer as(std::function<void(T *)> act)
{
    return [act](QWidget *modal) {
        T *window = qobject_cast<T *>(modal);
        ASSERT_NE(window, nullptr);
        act(window);
    };
}
Answer choose(const QString &name)
{
    return as<SaveLoad>([name](SaveLoad *c) {
        c->nameBox()->setText(name);
        c->confirmButton()->click();
    });
}
Answer acceptMessage(QString &text)
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
        folder = QDir::currentPath();
        QDir().mkdir(QStringLiteral("sub"));
        for (const char *name : {"a.b.dvg", "Fractal.dvg", "notes.txt", "sub/in.ner.dvg"})
            QFile(QString::fromLatin1(name)).open(QIODevice::WriteOnly);
    }
    ~InFolder() override { QDir::setCurrent(previous); }

    QByteArray read(const QString &name) const
    {
        QFile f(folder + QLatin1Char('/') + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString previous = QDir::currentPath();
    QTemporaryDir dir;
    QString folder;
    QString message;
};

} // namespace

TEST_F(InFolder, EachModeOpensWithItsCaptionNameAndListAndComposesThePath)
{
    for (const layout::ChooserModeLook &look : layout::ChooserModes) {
        ChooserState state{QString::fromLatin1(look.mode), QString()};
        SaveLoad chooser(state, nullptr);
        const QString pattern = QString::fromLatin1(look.pattern);
        const QString extension = pattern.mid(1);
        EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/Fractal") + extension);
        EXPECT_EQ(chooser.windowTitle(), state.ChosenFileName);
        EXPECT_EQ(chooser.confirmButton()->text(), QString::fromUtf8(look.command));
        // The keyboard starts in the name, selected, or in the list where the name is read-only.
        EXPECT_EQ(chooser.nameBox()->isReadOnly(), look.readOnlyName);
        EXPECT_EQ(chooser.focusWidget(),
            look.readOnlyName ? static_cast<QWidget *>(chooser.fileList()) : chooser.nameBox());
        EXPECT_EQ(chooser.nameBox()->selectedText(),
            look.readOnlyName ? QString() : QStringLiteral("Fractal"));
        // The list shows the mode's files alone, those of the start directory.
        auto *files = static_cast<QFileSystemModel *>(chooser.fileList()->model());
        const auto listFolder = [&] { return files->filePath(chooser.fileList()->rootIndex()); };
        EXPECT_EQ(files->nameFilters(), QStringList{pattern});
        EXPECT_FALSE(files->nameFilterDisables());
        EXPECT_EQ(listFolder(), folder);
        // The start directory comes into view as the tree loads; another one moves the list.
        chooser.show();
        QTreeView *tree = chooser.directoryList();
        auto *dirs = static_cast<QFileSystemModel *>(tree->model());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
            },
            2000));
        EXPECT_EQ(dirs->filePath(tree->currentIndex()), folder);
        tree->setCurrentIndex(dirs->index(folder + QStringLiteral("/sub")));
        EXPECT_EQ(listFolder(), folder + QStringLiteral("/sub"));
        EXPECT_EQ(state.ChosenFileName, listFolder() + QStringLiteral("/Fractal") + extension);
        // A click on a listed file takes its name less the extension where the name is read-only,
        // and typing there changes nothing; elsewhere the typed name gets the extension too.
        if (look.readOnlyName)
            Q_EMIT chooser.fileList()->clicked(
                files->index(folder + QStringLiteral("/sub/in.ner.dvg")));
        chooser.nameBox()->selectAll();
        QTest::keyClicks(chooser.nameBox(), QStringLiteral("x.bmp"));
        EXPECT_EQ(state.ChosenFileName,
            folder
                + (look.readOnlyName ? QStringLiteral("/sub/in.ner.dvg")
                                     : QStringLiteral("/sub/x.bmp") + extension));
    }
}

// A key that moves the list's current file takes its name as a click does, and the path is the
// file's own in any letter case; the list taking the focus by Tab leaves a typed name alone.
TEST_F(InFolder, KeysInTheFileListTakeTheNameTheFocusAloneDoesNot)
{
    QFile(QStringLiteral("UPPER.DVG")).open(QIODevice::WriteOnly);
    struct Row
    {
        QString mode;
        std::vector<Qt::Key> keys; // after "typed" is typed where the name is editable
        QString name;
        QString file;
    };
    const Row rows[] = {
        {SaveMode, {Qt::Key_Backtab}, "typed", "typed.dvg"},
        {SaveMode, {Qt::Key_Backtab, Qt::Key_Down, Qt::Key_End}, "UPPER", "UPPER.DVG"},
        {SaveMode, {Qt::Key_Backtab, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, "Fractal",
            "Fractal.dvg"},
        {LoadMode, {Qt::Key_Down, Qt::Key_End, Qt::Key_Up}, "Fractal", "Fractal.dvg"},
        {LoadMode, {Qt::Key_Down}, "a.b", "a.b.dvg"}, // the first file, cut at its last dot
        {LoadMode, {Qt::Key_U, Qt::Key_Return}, "UPPER", "UPPER.DVG"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        ChooserState state{row.mode, QString()};
        SaveLoad chooser(state, nullptr);
        chooser.show();
        chooser.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
        QListView *list = chooser.fileList();
        ASSERT_TRUE(QTest::qWaitFor([&] { // read and sorted in the background
            return list->model()->index(2, 0, list->rootIndex()).data()
                == QStringLiteral("UPPER.DVG");
        }));
        if (!chooser.nameBox()->isReadOnly())
            QTest::keyClicks(chooser.nameBox(), QStringLiteral("typed"));
        for (const Qt::Key key : row.keys)
            QTest::keyClick(chooser.focusWidget(), key);
        EXPECT_EQ(chooser.nameBox()->text(), row.name);
        EXPECT_EQ(state.ChosenFileName, folder + QLatin1Char('/') + row.file);
        EXPECT_EQ(chooser.windowTitle(), state.ChosenFileName);
        EXPECT_EQ(chooser.result() == QDialog::Accepted, row.keys.back() == Qt::Key_Return);
    }
    // A name typed after a file was picked is no listed file's: the list shows none picked.
    ChooserState state{SaveMode, QString()};
    SaveLoad chooser(state, nullptr);
    auto *files = static_cast<QFileSystemModel *>(chooser.fileList()->model());
    chooser.fileList()->setCurrentIndex(files->index(folder + QStringLiteral("/UPPER.DVG")));
    QTest::keyClicks(chooser.nameBox(), QStringLiteral("x"));
    EXPECT_FALSE(chooser.fileList()->currentIndex().isValid());
    EXPECT_FALSE(chooser.fileList()->selectionModel()->hasSelection());
}

TEST(PrintWindow, PrintsTheClientAreaWithoutButtonsOrNothingAndSaysWhy)
{
    QImage picture(329, 329, QImage::Format_RGB32);
    for (int i = 0; i < 329 * 329; ++i)
        picture.setPixel(i % 329, i / 329, qRgb(i % 329 % 256, i / 329 % 256, 77));
    const QString refusal = QStringLiteral("Принтер по умолчанию не найден. Ничего не напечатано.");
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
        withModals(
            [&] {
                Printing::showPicture(picture, QStringLiteral("Fractal.dvg"), nullptr, printer);
            },
            fails ? std::vector{click, acceptMessage(shown)} : std::vector{click});
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
                if (!QApplication::activeModalWidget()) {
                    w.activateWindow();
                    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
                }
                QTest::keyClick(&w, key, Qt::ControlModifier);
            },
            std::move(answers));
    }
    // Drags files onto the window and, if the drag is taken, drops them and answers the windows.
    bool drop(const QStringList &names, std::vector<Answer> answers = {})
    {
        QMimeData data;
        for (const QString &name : names)
            data.setUrls(data.urls() << QUrl::fromLocalFile(folder + QLatin1Char('/') + name));
        QDragEnterEvent enter(
            QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(
            QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        if (enter.isAccepted()) // the file is opened from the event loop, after the drop
            withModals(
                [&] {
                    QApplication::sendEvent(&w, &dropped);
                    QTest::qWait(50);
                },
                std::move(answers));
        return enter.isAccepted();
    }
    QSlider *rc() { return w.findChild<QSlider *>(QStringLiteral("Rc")); }

    Main w;
};

TEST_F(FileCommands, SaveLoadPrintAndDropsAlsoDuringADrawingAndACancelOrAFailureChangesNothing)
{
    // A name typed at once replaces the one offered; Enter confirms.
    press(Qt::Key_S, {[](QWidget *m) {
        QTest::keyClicks(m->focusWidget(), QStringLiteral("start"));
        QTest::keyClick(m, Qt::Key_Return);
    }});
    EXPECT_EQ(read(QStringLiteral("start.dvg")), encodeParameters(takeParameters(w.model())));
    QLineEdit *holes = w.findChild<QLineEdit *>(QStringLiteral("numt"));
    rc()->setValue(10);
    holes->setText(QStringLiteral("3"));
    int cells = 0;
    w.model().run.yield = [&, windowYield = w.model().run.yield] {
        if (++cells == 300) { // of 50 x 50 cells of 100 units, column by column
            press(Qt::Key_B, {choose(QStringLiteral("half"))});
            press(Qt::Key_S, {choose(QStringLiteral("during"))});
            press(Qt::Key_P, {as<Printing>([&](Printing *p) {
                message = p->windowTitle();
                p->cancelButton()->click();
            })});
            // The print window is titled with the last path.
            EXPECT_EQ(message, folder + QStringLiteral("/during.dvg"));
            // One parameter file dropped is opened, a bad one named in a message; others refused.
            EXPECT_FALSE(drop({QStringLiteral("notes.txt")}));
            EXPECT_FALSE(drop({QStringLiteral("start.dvg"), QStringLiteral("start.dvg")}));
            EXPECT_TRUE(drop({QStringLiteral("a.b.dvg")}, {acceptMessage(message)}));
            EXPECT_TRUE(message.contains(QStringLiteral("a.b.dvg"))) << message.toStdString();
            EXPECT_TRUE(drop({QStringLiteral("start.dvg")}));
        }
        windowYield();
    };
    QTest::mouseClick(w.findChild<QWidget *>(QStringLiteral("Option1")), Qt::LeftButton);
    press(Qt::Key_F, {});
    EXPECT_EQ(cells, 2500); // the drawing went on to its end
    // In the last cell, off its diagonal: not drawn then, filled since (the cells are boxes).
    const Surface &s = w.model().surface;
    EXPECT_EQ(QImage(folder + QStringLiteral("/half.bmp")).pixel(s.toPixel(4920), s.toPixel(4980)),
        qRgb(255, 255, 255));
    EXPECT_NE(s.pixel(s.toPixel(4920), s.toPixel(4980)), White);
    // The dropped file's values.
    EXPECT_EQ(rc()->value(), 175);
    EXPECT_EQ(holes->text(), QStringLiteral(" 7 "));
    press(Qt::Key_L, {choose(QStringLiteral("during"))});
    EXPECT_EQ(rc()->value(), 10);
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 190);
    EXPECT_EQ(holes->text(), QStringLiteral(" 3 "));
    EXPECT_EQ(w.model().interference.value(Pair::Num), 3);

    // Cancelled, or failed with a message naming the file: nothing written, nothing changed.
    rc()->setValue(20);
    press(Qt::Key_S, {as<SaveLoad>([](SaveLoad *c) { c->cancelButton()->click(); })});
    press(Qt::Key_B, {choose(QStringLiteral("no/such/folder/x")), acceptMessage(message)});
    EXPECT_TRUE(message.contains(QStringLiteral("x.bmp»: нет такого файла или папки")))
        << message.toStdString();
    EXPECT_EQ(rc()->value(), 20);
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 180);
    EXPECT_TRUE(read(QStringLiteral("Fractal.dvg")).isEmpty());
}

// A file dropped onto a text box or a slider is the window's, as anywhere on it, also when the
// drag carries its path as text: a parameter file is opened, another refused, nothing typed.
// Plain text dropped onto a text box is typed into it.
TEST_F(FileCommands, DropsOnTextBoxesAndSlidersAreTheWindowsPlainTextIsTyped)
{
    rc()->setValue(10);
    press(Qt::Key_S, {choose(QStringLiteral("ten"))});
    struct Row
    {
        const char *onto;
        const char *file; // carried as its address and as text; none: the text "1"
        int rc;           // where the drop leaves Rc, set to 20 before
        QString amplt;    // and the amplitude's text box
    };
    const Row rows[] = {
        {"amplt", nullptr, 20, "150"}, // typed at the start of "50"
        {"amplt", "notes.txt", 20, "150"},
        {"amplt", "ten.dvg", 10, " 50 "}, // as loaded
        {"Rc", "ten.dvg", 10, " 50 "},
    };
    auto *amplt = w.findChild<QLineEdit *>(QStringLiteral("amplt"));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.file ? row.file : row.onto);
        rc()->setValue(20);
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(row.file);
        QMimeData data;
        data.setText(row.file ? path : QStringLiteral("1"));
        if (row.file)
            data.setUrls({QUrl::fromLocalFile(path)});
        QWidget *onto = w.findChild<QWidget *>(QString::fromLatin1(row.onto));
        const QPoint at(2, onto->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        const QString before = amplt->text();
        QApplication::sendEvent(onto, &enter);
        QApplication::sendEvent(onto, &dropped);
        EXPECT_EQ(amplt->text(), row.file ? before : row.amplt); // nothing typed
        QTest::qWait(50); // a file is opened from the event loop
        EXPECT_EQ(rc()->value(), row.rc);
        EXPECT_EQ(amplt->text(), row.amplt);
    }
}

// A pipe named by the chooser is neither replaced nor read: a message names it, and it stays.
TEST_F(FileCommands, APipeIsNeitherReplacedNorReadAndTheMessageNamesIt)
{
    for (const char *name : {"pipe.dvg", "pipe.bmp"})
        ASSERT_EQ(
            ::mkfifo(QFile::encodeName(folder + QLatin1Char('/') + name).constData(), 0600), 0);
    for (const auto &[key, name] :
        {std::pair{Qt::Key_S, "pipe.dvg"}, {Qt::Key_L, "pipe.dvg"}, {Qt::Key_B, "pipe.bmp"}}) {
        message.clear();
        press(key, {choose(QStringLiteral("pipe")), acceptMessage(message)});
        EXPECT_TRUE(message.contains(
            QStringLiteral("«%1/%2»: это канал (FIFO), а не файл.").arg(folder, name)))
            << message.toStdString();
        const QFileInfo stays(folder + QLatin1Char('/') + name);
        EXPECT_TRUE(stays.exists());
        EXPECT_FALSE(stays.isFile()); // the pipe still
    }
}

// On a 12 KiB tmpfs holding a parameter file and a file that takes every byte left, saving
// fails with the reason, keeps the old file and leaves no new one. Mounting needs root.
TEST_F(FileCommands, OnAFullDiskSavingFailsAndKeepsTheOldFileAndLeavesNoNewOne)
{
    const QString full = folder + QStringLiteral("/full");
    if (!QDir().mkdir(full)
        || ::mount("tmpfs", QFile::encodeName(full).constData(), "tmpfs", 0, "size=12k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    const std::shared_ptr<void> unmount(
        nullptr, [&](void *) { ::umount2(QFile::encodeName(full).constData(), MNT_DETACH); });
    const QByteArray old = QByteArray(1, 2) + QByteArray(1663, 0); // tag 2, value 0, then zeros
    QFile oldFile(full + QStringLiteral("/old.dvg"));
    QFile fill(full + QStringLiteral("/fill"));
    ASSERT_TRUE(oldFile.open(QIODevice::WriteOnly));
    ASSERT_EQ(oldFile.write(old), 1664);
    ASSERT_TRUE(oldFile.flush());
    ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (fill.write(QByteArray(512, 'x')) == 512) {
    }
    for (const auto &[key, name] :
        {std::pair{Qt::Key_S, "old.dvg"}, {Qt::Key_S, "new.dvg"}, {Qt::Key_B, "new.bmp"}}) {
        press(key,
            {choose(QStringLiteral("full/") + QString::fromLatin1(name).chopped(4)),
                acceptMessage(message)});
        EXPECT_TRUE(message.contains(QStringLiteral("«%1/%2»: на диске нет места").arg(full, name)))
            << message.toStdString();
    }
    EXPECT_EQ(read(QStringLiteral("full/old.dvg")), old);
    EXPECT_EQ(QDir(full).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList({"fill", "old.dvg"}));
}

TEST(CommandLine, OneParameterFileIsOpenedAndAnythingElseIsRefusedWithTheReason)
{
    struct Row
    {
        QStringList files;
        QString opened, refusalSays;
    };
    const Row rows[] = {
        {{}, {}, {}},
        {{"a.dvg"}, "a.dvg", {}},
        {{"/x/A.DVG"}, "/x/A.DVG", {}},
        {{"notes.txt"}, {}, "«notes.txt» — не файл параметров"},
        {{"a.dvg", "b.dvg"}, {}, "только один файл параметров (.dvg), а указано 2"},
    };
    for (const Row &row : rows) {
        QString opened;
        const QString refusal = openFromArguments(
            QStringList{"divograf"} + row.files, [&](const QString &path) { opened = path; });
        EXPECT_EQ(opened, row.opened);
        EXPECT_TRUE(
            refusal.isEmpty() == row.refusalSays.isEmpty() && refusal.contains(row.refusalSays))
            << refusal.toStdString();
    }
}

// Qt's own options, words after one dash, are the window's: "-stylesheet" and "-reverse" hold
// no -h or -v of ours.
TEST(CommandLine, QtsOwnOptionsAskForNoHelpOrVersion)
{
    EXPECT_FALSE(asksWithoutWindow({"divograf", "-stylesheet", "a.qss", "-reverse", "a.dvg"}));
    EXPECT_TRUE(asksWithoutWindow({"divograf", "-style", "fusion", "-v"}));
    EXPECT_TRUE(asksWithoutWindow({"divograf", "a.dvg", "--help"}));
}

// A private cupsd on loopback with the cups-pdf backend as its default printer, the print
// window's real printing path, the PDF rasterised and checked.
TEST(CupsPdfPrinter, PrintedPageHoldsThePictureAndNoButton)
{
    const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
    for (const QString &needed :
        QStringList{"/usr/sbin/cupsd", "/usr/lib/cups/backend/cups-pdf", ppd})
        if (!QFile::exists(needed))
            GTEST_SKIP() << "no CUPS server can start: " << needed.toStdString() << " is missing";
    if (geteuid() != 0)
        GTEST_SKIP()
            << "no CUPS server can start: a private cupsd with the cups-pdf backend needs root";
    const auto run = [](const QString &program, const QStringList &args) {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit
            && p.exitCode() == 0;
    };
    QTemporaryDir root;
    const QString r = root.path();
    const QString server = QStringLiteral("127.0.0.1:%1").arg(20000 + getpid() % 20000);
    ASSERT_TRUE(QDir(r).mkdir(QStringLiteral("tmp")) && run("chmod", {"755", r})
        && run("chmod", {"1777", r + "/tmp"})); // for lp
    for (const auto &[name, text] :
        {std::pair{"/cupsd.conf",
             QStringLiteral(
                 "Listen %1\n<Policy default>\n<Limit All>\nAllow all\n</Limit>\n</Policy>\n")
                 .arg(server)},
            {"/cups-files.conf",
                QStringLiteral(
                    "ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir "
                    "%1/state\nTempDir %1/tmp\n"
                    "ErrorLog %1/log\nAccessLog %1/log\nPageLog %1/log\nSystemGroup root\n")
                    .arg(r)}}) {
        QFile f(r + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) > 0);
    }
    QProcess cupsd;
    cupsd.start(QStringLiteral("/usr/sbin/cupsd"),
        {"-f", "-c", r + "/cupsd.conf", "-s", r + "/cups-files.conf"});
    const std::shared_ptr<void> stop(nullptr, [&](void *) {
        cupsd.terminate();
        if (!cupsd.waitForFinished(10000))
            cupsd.kill();
    });
    const QStringList printer{
        "-h", server, "-p", "DivografPDF", "-E", "-v", "cups-pdf:/", "-P", ppd};
    if (!QTest::qWaitFor([&] { return run(QStringLiteral("lpadmin"), printer); },
            10000)) // once the scheduler answers
        GTEST_SKIP() << "no CUPS server can start: the scheduler on " << server.toStdString()
                     << " took no printer";
    qputenv("CUPS_SERVER", server.toLatin1());
    qputenv("PRINTER", "DivografPDF");

    // The start-up fractal without green, so with no white and no grey, in cell boxes, printed
    // from the print window into a new PDF where cups-pdf puts root's files.
    Model model;
    model.startUp();
    for (auto [c, v] :
        {std::pair{Control::Option1, 1}, {Control::Rc, 0}, {Control::Gc, 200}, {Control::Bc, 100}})
        model.fractal.setValue(c, v);
    model.startStop(Drawing::Fractal);
    const QDateTime start = QDateTime::currentDateTime();
    withModals(
        [&] {
            Printing::showPicture(model.surface.Image(), QStringLiteral("Fractal.dvg"), nullptr);
        },
        {as<Printing>([](Printing *p) { QTest::mouseClick(p->printButton(), Qt::LeftButton); })});
    QString pdf;
    for (int i = 0; i < 600 && pdf.isEmpty(); ++i) {
        QTest::qWait(100);
        for (const QFileInfo &f :
            QDir(QDir::homePath() + "/PDF").entryInfoList({"*.pdf"}, QDir::Files))
            if (f.lastModified() >= start && f.size() > 0)
                pdf = f.filePath();
    }
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF appeared";
    const std::shared_ptr<void> remove(nullptr, [&](void *) { QFile::remove(pdf); });
    QTest::qWait(500); // cups-pdf finishes writing
    ASSERT_TRUE(
        run(QStringLiteral("pdftoppm"), {"-r", "96", "-png", "-singlefile", pdf, r + "/page"}));

    // Inked: the window's 327 x 328 pixels at 96 dpi, the picture's; none of the buttons' grey.
    const QImage page(r + QStringLiteral("/page.png"));
    int inked = 0;
    int grey = 0;
    for (int i = 0; i < page.width() * page.height(); ++i) {
        const QColor c = page.pixelColor(i % page.width(), i / page.width());
        inked += c.red() < 245 || c.green() < 245 || c.blue() < 245;
        grey += std::abs(c.red() - c.green()) < 16 && std::abs(c.green() - c.blue()) < 16
            && c.red() > 120 && c.red() < 245;
    }
    EXPECT_NEAR(inked, 327 * 328, 327 * 328 / 50);
    EXPECT_LT(grey, 327 * 328 / 200);
}
