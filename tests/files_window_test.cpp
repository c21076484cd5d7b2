// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The file chooser in its modes, the print window, and the file commands of the main window
// that use them, also while a drawing waits in its yield and on a full disk.

#include "core/files/parameters.h"
#include "ui/dialogs/layout.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"
#include "ui/fileopening.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <functional>

using namespace divograf;

namespace {

using Answer = std::function<void(QWidget *modal)>;

// Runs `open`, answering the modal windows it shows in turn.
void withModals(const std::function<void()> &open, std::vector<Answer> answers)
{
    QPointer<QWidget> answered;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!answers.empty() && modal && modal != answered) {
            answered = modal;
            // From a timer of its own: an answer that opens a modal window of its own must leave
            // this one polling.
            QTimer::singleShot(0, modal, [modal, answer = answers.front()] { answer(modal); });
            answers.erase(answers.begin());
        }
    });
    poll.start(10);
    open();
    EXPECT_TRUE(answers.empty());
}

Answer choose(const QString &name)
{
    return [name](QWidget *modal) {
        auto *chooser = qobject_cast<SaveLoad *>(modal);
        ASSERT_NE(chooser, nullptr);
        chooser->nameBox()->setText(name);
        chooser->confirmButton()->click();
    };
}

Answer acceptMessage(QString &text)
{
    return [&text](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->accept();
    };
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
        for (const char *name : {"a.b.dvg", "Fractal.dvg", "picture.bmp", "notes.txt", "sub/inner.dvg"})
            QFile(QString::fromLatin1(name)).open(QIODevice::WriteOnly);
    }
    ~InFolder() override { QDir::setCurrent(previous); }

    // The names the file list shows once it has read its directory.
    static QStringList listed(SaveLoad &chooser)
    {
        auto *model = static_cast<QFileSystemModel *>(chooser.fileList()->model());
        const QModelIndex root = chooser.fileList()->rootIndex();
        for (int i = 0; i < 100 && model->rowCount(root) == 0; ++i)
            QTest::qWait(20);
        QStringList names;
        for (int row = 0; row < model->rowCount(root); ++row)
            names << model->fileName(model->index(row, 0, root));
        names.sort();
        return names;
    }
    QByteArray read(const QString &name) const
    {
        QFile f(folder + QLatin1Char('/') + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString previous = QDir::currentPath();
    QTemporaryDir dir;
    QString folder, message;
    ChooserState state;
};

} // namespace

TEST_F(InFolder, EachModeOpensWithItsCaptionNameAndListAndComposesThePath)
{
    for (const layout::ChooserModeLook &look : layout::ChooserModes) {
        state = {QString::fromLatin1(look.mode), QString()};
        SaveLoad chooser(state, nullptr);
        const QString pattern = QString::fromLatin1(look.pattern), extension = pattern.mid(1);
        EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/Fractal") + extension);
        EXPECT_EQ(chooser.windowTitle(), state.ChosenFileName);
        EXPECT_EQ(chooser.confirmButton()->text(), QString::fromUtf8(look.command));
        // The keyboard starts in the name, selected, or in the list where the name is read-only.
        EXPECT_EQ(chooser.nameBox()->isReadOnly(), look.readOnlyName);
        EXPECT_EQ(chooser.focusWidget(), look.readOnlyName ? static_cast<QWidget *>(chooser.fileList()) : chooser.nameBox());
        EXPECT_EQ(chooser.nameBox()->selectedText(), look.readOnlyName ? QString() : QStringLiteral("Fractal"));
        EXPECT_EQ(listed(chooser), QDir().entryList({pattern}, QDir::Files, QDir::Name));
        if (look.readOnlyName) {
            // A click on a listed file takes its name less the extension; typing changes nothing.
            chooser.show();
            const QModelIndex ab = static_cast<QFileSystemModel *>(chooser.fileList()->model())->index(folder + QStringLiteral("/a.b.dvg"));
            QTest::mouseClick(chooser.fileList()->viewport(), Qt::LeftButton, {}, chooser.fileList()->visualRect(ab).center());
            QTest::keyClicks(chooser.nameBox(), QStringLiteral("zz"));
            EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/a.b.dvg"));
        } else {
            chooser.nameBox()->setText(QStringLiteral("x.bmp"));
            EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/x.bmp") + extension);
        }
    }
}

TEST_F(InFolder, TheStartDirectoryIsInViewAndAnotherMovesTheListAndRecomposes)
{
    state = {SaveMode, QString()};
    SaveLoad chooser(state, nullptr);
    chooser.show();
    QTreeView *tree = chooser.directoryList();
    auto *dirs = static_cast<QFileSystemModel *>(tree->model());
    auto inView = [&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); };
    for (int i = 0; i < 100 && !inView(); ++i)
        QTest::qWait(20); // once the tree has loaded
    EXPECT_EQ(dirs->filePath(tree->currentIndex()), folder);
    EXPECT_TRUE(inView());
    tree->setCurrentIndex(dirs->index(folder + QStringLiteral("/sub")));
    EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/sub/Fractal.dvg"));
    EXPECT_EQ(listed(chooser), QStringList{QStringLiteral("inner.dvg")});
    chooser.openDirectory(QDir::rootPath()); // a root keeps its separator
    EXPECT_EQ(state.ChosenFileName, QStringLiteral("//Fractal.dvg"));
}

TEST_F(InFolder, ConfirmKeepsThePathAndEveryWayOfClosingOtherwiseCancels)
{
    const std::pair<std::function<void(SaveLoad &)>, QString> ways[] = {
        {[](SaveLoad &c) { QTest::mouseClick(c.confirmButton(), Qt::LeftButton); }, QStringLiteral("/mine.dvg")},
        {[](SaveLoad &c) { QTest::keyClick(&c, Qt::Key_Return); }, QStringLiteral("/mine.dvg")},
        {[](SaveLoad &c) { QTest::mouseClick(c.cancelButton(), Qt::LeftButton); }, QString()},
        {[](SaveLoad &c) { QTest::keyClick(&c, Qt::Key_Escape); }, QString()},
        {[](SaveLoad &c) { c.close(); }, QString()}, // the title bar's close box
        // A name typed at once replaces "Fractal".
        {[](SaveLoad &c) { QTest::keyClicks(c.focusWidget(), QStringLiteral("typed")), QTest::keyClick(c.focusWidget(), Qt::Key_Return); },
         QStringLiteral("/typed.dvg")},
    };
    for (const auto &[close, path] : ways) {
        QString chosen;
        withModals([&] { chosen = SaveLoad::choose(state, SaveMode, nullptr); }, {[&](QWidget *modal) {
                       auto *chooser = qobject_cast<SaveLoad *>(modal);
                       if (!path.startsWith(QStringLiteral("/typed")))
                           chooser->nameBox()->setText(QStringLiteral("mine"));
                       close(*chooser);
                   }});
        EXPECT_EQ(chosen, path.isEmpty() ? QString() : folder + path);
    }
}

TEST(PrintWindow, PrintsTheClientAreaWithoutButtonsOrNothingAndSaysWhy)
{
    QImage picture(329, 329, QImage::Format_RGB32);
    for (int y = 0; y < 329; ++y)
        for (int x = 0; x < 329; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, 77));
    const QString refusal = QStringLiteral("Принтер по умолчанию не найден. Ничего не напечатано.");
    struct Row { std::function<void(Printing &)> act; bool fails; int pages; QString says; };
    const Row rows[] = {
        {[](Printing &p) { QTest::mouseClick(p.printButton(), Qt::LeftButton); }, false, 1, {}},
        {[](Printing &p) { QTest::mouseClick(p.printButton(), Qt::LeftButton); }, true, 1, refusal},
        {[](Printing &p) { QTest::mouseClick(p.cancelButton(), Qt::LeftButton); }, false, 0, {}},
        {[](Printing &p) { QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(100, 100)); }, false, 0, {}},
        {[](Printing &p) { QTest::keyClick(&p, Qt::Key_Escape); }, false, 0, {}},
    };
    for (const Row &row : rows) {
        QImage printed;
        int pages = 0;
        QString shown;
        std::vector<Answer> answers{[&](QWidget *modal) {
            auto *window = qobject_cast<Printing *>(modal);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(window->windowTitle(), QStringLiteral("/tmp/Fractal.dvg"));
            EXPECT_EQ(window->size(), QSize(327, 328));
            row.act(*window);
        }};
        if (!row.says.isEmpty())
            answers.push_back(acceptMessage(shown));
        withModals([&] {
            Printing::showPicture(picture, QStringLiteral("/tmp/Fractal.dvg"), nullptr, [&](const QImage &page) {
                printed = page, ++pages;
                return row.fails ? std::optional(Failure{refusal}) : std::nullopt;
            });
        }, answers);
        EXPECT_EQ(pages, row.pages);
        EXPECT_EQ(shown, row.says);
        if (pages == 0)
            continue;
        // Every pixel is the picture's, also where the buttons stood: cut at the edge, not scaled.
        ASSERT_EQ(printed.size(), QSize(327, 328) * printed.devicePixelRatio());
        EXPECT_EQ(printed.convertToFormat(QImage::Format_RGB32), picture.copy(0, 0, 327, 328));
    }
}

// --- The file commands of the main window -------------------------------------------------

namespace {

class FileCommands : public InFolder
{
protected:
    FileCommands()
    {
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    void press(Qt::Key key, std::vector<Answer> answers)
    {
        withModals([&] {
            // Offscreen, the main window is not made active again when a modal window closes.
            if (!QApplication::activeModalWidget()) {
                w.activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
            }
            QTest::keyClick(&w, key, Qt::ControlModifier);
        }, std::move(answers));
    }
    template <typename T = QWidget>
    T *get(const char *name) { return w.findChild<T *>(QString::fromLatin1(name)); }

    Main w;
};

} // namespace

TEST_F(FileCommands, SaveAndLoadGoThroughTheChooserAndACancelOrAFailureChangesNothing)
{
    press(Qt::Key_S, {choose(QStringLiteral("saved"))});
    EXPECT_EQ(read(QStringLiteral("saved.dvg")), encodeParameters(takeParameters(w.model())));
    get<QSlider>("Rc")->setValue(10);
    get<QLineEdit>("numt")->setText(QStringLiteral("3"));
    press(Qt::Key_L, {choose(QStringLiteral("saved"))});
    EXPECT_EQ(get<QSlider>("Rc")->value(), 175);
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 25);
    EXPECT_EQ(get<QLineEdit>("numt")->text(), QStringLiteral(" 7 "));
    EXPECT_EQ(w.model().interference.value(Pair::Num), 7);

    // Cancelled, or failed with a message naming the file: nothing written, nothing changed.
    const QStringList files = QDir().entryList(QDir::Files);
    get<QSlider>("Rc")->setValue(10);
    press(Qt::Key_S, {[](QWidget *modal) { qobject_cast<SaveLoad *>(modal)->cancelButton()->click(); }});
    press(Qt::Key_B, {choose(QStringLiteral("no/such/folder/x")), acceptMessage(message)});
    EXPECT_TRUE(message.contains(QStringLiteral("x.bmp»: нет такого файла или папки"))) << message.toStdString();
    EXPECT_EQ(get<QSlider>("Rc")->value(), 10);
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 190);
    EXPECT_EQ(QDir().entryList(QDir::Files), files);
}

TEST_F(FileCommands, DuringADrawingTheCommandsTakeThePartlyDrawnPictureAndTheDrawingGoesOn)
{
    int cells = 0;
    const std::function<void()> windowYield = w.model().run.yield;
    w.model().run.yield = [&] {
        if (++cells == 300) {
            press(Qt::Key_B, {choose(QStringLiteral("half"))});
            press(Qt::Key_S, {choose(QStringLiteral("during"))});
            // The print window shows the picture as far as it is drawn, titled with the last path.
            press(Qt::Key_P, {[&](QWidget *modal) {
                      EXPECT_EQ(modal->windowTitle(), folder + QStringLiteral("/during.dvg"));
                      qobject_cast<Printing *>(modal)->cancelButton()->click();
                  }});
        }
        windowYield();
    };
    QTest::mouseClick(get("Option1"), Qt::LeftButton);
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(cells, 2500); // the drawing went on to its end
    const QImage half(folder + QStringLiteral("/half.bmp"));
    ASSERT_EQ(half.size(), QSize(329, 329));
    const Surface &s = w.model().surface;
    EXPECT_EQ(half.pixel(s.toPixel(4950), s.toPixel(4950)), qRgb(255, 255, 255)); // not drawn yet then
    EXPECT_NE(s.pixel(s.toPixel(4950), s.toPixel(4950)), White);                  // drawn since
    EXPECT_EQ(read(QStringLiteral("during.dvg")).size(), 1664);
}

// A 12 KiB tmpfs holding a parameter file and a file that takes every byte left: saving there
// fails with the reason, keeps the old file and leaves no new one, in the window and in the
// renderer. Mounting needs root; elsewhere the test skips.
TEST_F(FileCommands, OnAFullDiskSavingFailsAndKeepsTheOldFileAndLeavesNoNewOne)
{
    const QString full = folder + QStringLiteral("/full");
    ASSERT_TRUE(QDir().mkdir(full));
    if (::mount("tmpfs", QFile::encodeName(full).constData(), "tmpfs", 0, "size=12k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    const std::shared_ptr<void> unmount(nullptr, [&](void *) { ::umount2(QFile::encodeName(full).constData(), MNT_DETACH); });
    const QByteArray old = QByteArray(1, 2) + QByteArray(1663, 0); // tag 2, value 0, then zeros
    QFile oldFile(full + QStringLiteral("/old.dvg")), fill(full + QStringLiteral("/fill"));
    ASSERT_TRUE(oldFile.open(QIODevice::WriteOnly) && oldFile.write(old) == 1664 && oldFile.flush());
    ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (fill.write(QByteArray(512, 'x')) == 512) {
    }
    const std::pair<Qt::Key, const char *> saves[] = {{Qt::Key_S, "old.dvg"}, {Qt::Key_S, "new.dvg"}, {Qt::Key_B, "new.bmp"}};
    for (const auto &[key, name] : saves) {
        message.clear();
        press(key, {choose(QStringLiteral("full/") + QString::fromLatin1(name).chopped(4)), acceptMessage(message)});
        EXPECT_TRUE(message.contains(QStringLiteral("«%1/%2»: на диске нет места").arg(full, name))) << message.toStdString();
    }
    const QString out = folder + QStringLiteral("/x.bmp");
    const QStringList runs[] = {{"--save-params", full + "/old.dvg", "-o", out}, {"--save-params", full + "/new.dvg", "-o", out},
                                {"-o", full + "/new.bmp"}};
    for (const QStringList &args : runs) {
        QProcess renderer;
        renderer.start(QStringLiteral(DIVOGRAF_RENDER_EXE), QStringList{QStringLiteral("fractal")} + args);
        ASSERT_TRUE(renderer.waitForFinished(60000));
        EXPECT_EQ(renderer.exitCode(), 1);
        EXPECT_TRUE(renderer.readAllStandardError().contains("»: на диске нет места"));
    }
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(read(QStringLiteral("full/old.dvg")), old);
    EXPECT_EQ(QDir(full).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList({"fill", "old.dvg"}));
}

// --- Parameter files named on the command line or dropped onto the window -----------------

TEST_F(InFolder, OneParameterFileFromOutsideIsLoadedAsLoadDoesAndAnythingElseIsRefused)
{
    Model m; // good: start-up values but Rc at 180 and 3 holes
    m.startUp();
    m.fractal.setValue(Control::Rc, 180);
    m.interference.setText(Pair::Num, QStringLiteral("3"));
    for (const char *name : {"good.dvg", "GOOD.DVG", "notes.txt", "bad.dvg"}) {
        QFile f(QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(name[0] == 'b' ? QByteArray(1664, '\x07') : encodeParameters(takeParameters(m)));
    }
    enum Way { CommandLine, Drop, DropWhileDrawing };
    struct Row { Way way; QStringList files; bool refused; QString messageNames; bool loaded; };
    const QString good = QStringLiteral("good.dvg"), bad = QStringLiteral("bad.dvg"), notes = QStringLiteral("notes.txt");
    const Row rows[] = {
        {CommandLine, {good}, false, {}, true}, {CommandLine, {QStringLiteral("GOOD.DVG")}, false, {}, true},
        {CommandLine, {bad}, false, bad, false}, {CommandLine, {QStringLiteral("absent.dvg")}, false, QStringLiteral("absent.dvg"), false},
        {CommandLine, {notes}, true, {}, false}, {CommandLine, {good, good}, true, {}, false},
        {Drop, {good}, false, {}, true}, {Drop, {notes}, true, {}, false}, {Drop, {good, good}, true, {}, false},
        {DropWhileDrawing, {good}, false, {}, true}, {DropWhileDrawing, {bad}, false, bad, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(QStringLiteral("way %1: %2").arg(row.way).arg(row.files.join(u' ')).toStdString());
        Main w;
        w.show();
        QTimer answer; // every message box, when one is shown
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (QWidget *modal = QApplication::activeModalWidget())
                acceptMessage(message)(modal);
        });
        answer.start(10);
        message.clear();
        QStringList paths;
        QList<QUrl> urls;
        for (const QString &name : row.files)
            paths << folder + QLatin1Char('/') + name, urls << QUrl::fromLocalFile(paths.back());
        bool refused = false;
        if (row.way == CommandLine) {
            const QString refusal = openFromArguments(QStringList{QStringLiteral("divograf")} + paths, [&w](const QString &path) { w.openParameterFile(path); });
            refused = !refusal.isEmpty();
            EXPECT_TRUE(!refused || refusal.contains(row.files.size() > 1 ? QStringLiteral("указано 2") : row.files.front())) << refusal.toStdString();
        } else {
            QMimeData data;
            data.setUrls(urls);
            const auto drop = [&] {
                QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(&w, &enter);
                QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                if (!(refused = !enter.isAccepted()))
                    QApplication::sendEvent(&w, &dropped);
            };
            // Dropped at the 300th of 2500 cells; the drawing goes on to its end.
            int cells = 0;
            const std::function<void()> windowYield = w.model().run.yield;
            w.model().run.yield = [&] {
                if (++cells == 300)
                    drop();
                windowYield();
            };
            w.model().fractal.setValue(Control::Option1, 1);
            row.way == Drop ? drop() : w.startStop(Drawing::Fractal);
            EXPECT_EQ(cells, row.way == Drop ? 0 : 2500);
            QTest::qWait(50); // the drop opens the file from the event loop
        }
        EXPECT_EQ(refused, row.refused);
        EXPECT_TRUE(row.messageNames.isEmpty() ? message.isEmpty() : message.contains(row.messageNames)) << message.toStdString();
        EXPECT_EQ(w.findChild<QSlider *>(QStringLiteral("Rc"))->value(), row.loaded ? 180 : 175);
        EXPECT_EQ(w.findChild<QLineEdit *>(QStringLiteral("numt"))->text(), row.loaded ? QStringLiteral(" 3 ") : QStringLiteral("7"));
    }
}
