// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The file chooser in its three modes, the print window, and the file commands of the main
// window that use them, also while a drawing waits in its yield.

#include "fulldisk.h"
#include "ui/mainwindow.h"
#include "core/files/paramfile.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>

using namespace divograf;

namespace {

// A fresh current directory, where the chooser opens.
class InTempFolder : public testing::Test
{
protected:
    InTempFolder()
    {
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        folder = QDir::currentPath();
    }
    ~InTempFolder() override { QDir::setCurrent(previous); }

    QTemporaryDir dir;
    QString previous, folder;
};

class FileCommands : public InTempFolder
{
protected:
    FileCommands()
    {
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
    }

    // Presses Ctrl+key, answering the modal windows it opens in turn.
    void withModals(Qt::Key key, std::vector<std::function<void(QWidget *)>> answers)
    {
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (answers.empty() || !modal || modal == answered)
                return;
            answered = modal;
            auto answer = answers.front();
            answers.erase(answers.begin());
            answer(modal);
        });
        poll.start();
        // Offscreen, the main window is not made active again when a modal window closes.
        if (!QApplication::activeModalWidget()) {
            w.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        }
        QTest::keyClick(&w, key, Qt::ControlModifier);
        EXPECT_TRUE(answers.empty());
    }

    static std::function<void(QWidget *)> choose(const QString &name)
    {
        return [name](QWidget *modal) {
            auto *chooser = qobject_cast<SaveLoad *>(modal);
            ASSERT_NE(chooser, nullptr);
            chooser->nameBox()->setText(name);
            chooser->confirmButton()->click();
        };
    }
    std::function<void(QWidget *)> acceptMessage()
    {
        return [this](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            ASSERT_NE(box, nullptr);
            message = box->text();
            box->accept();
        };
    }

    QByteArray read(const QString &name)
    {
        QFile f(folder + QLatin1Char('/') + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    template <typename T = QWidget>
    T *get(const char *name) { return w.findChild<T *>(QString::fromLatin1(name)); }

    QString message;
    QPointer<QWidget> answered; // the modal window answered last, until it is gone
    Main w;
};

// A current directory holding a few files, for the chooser's lists.
class InFolder : public InTempFolder
{
protected:
    InFolder()
    {
        QDir().mkdir(QStringLiteral("sub"));
        for (const char *name : {"a.b.dvg", "Fractal.dvg", "picture.bmp", "notes.txt", "sub/inner.dvg"})
            QFile(QString::fromLatin1(name)).open(QIODevice::WriteOnly);
    }

    // The names the file list shows once it has read its directory.
    static QStringList listed(SaveLoad &chooser)
    {
        auto *model = static_cast<QFileSystemModel *>(chooser.fileList()->model());
        const QModelIndex root = chooser.fileList()->rootIndex();
        QStringList names;
        for (int i = 0; i < 100 && model->rowCount(root) == 0; ++i)
            QTest::qWait(20);
        for (int row = 0; row < model->rowCount(root); ++row)
            names << model->fileName(model->index(row, 0, root));
        names.sort();
        return names;
    }

    ChooserState state;
};

} // namespace

TEST_F(InFolder, EachModeOpensWithItsCaptionPatternAndComposedPath)
{
    struct Case { QString mode; QString button; QString extension; bool readOnly; QStringList names; };
    const Case cases[] = {
        {SaveMode, QStringLiteral("Сохранить"), QStringLiteral(".dvg"), false, {"Fractal.dvg", "a.b.dvg"}},
        {SaveBitmapMode, QStringLiteral("Сохранить"), QStringLiteral(".bmp"), false, {"picture.bmp"}},
        {LoadMode, QStringLiteral("Загрузить"), QStringLiteral(".dvg"), true, {"Fractal.dvg", "a.b.dvg"}},
    };
    for (const Case &c : cases) {
        state = {c.mode, QString()};
        SaveLoad chooser(state, nullptr);
        const QString expected = folder + QStringLiteral("/Fractal") + c.extension;
        EXPECT_EQ(state.ChosenFileName, expected);
        EXPECT_EQ(chooser.windowTitle(), expected);
        EXPECT_EQ(chooser.confirmButton()->text(), c.button);
        EXPECT_EQ(chooser.nameBox()->text(), QStringLiteral("Fractal"));
        EXPECT_EQ(chooser.nameBox()->isReadOnly(), c.readOnly);
        // The keyboard starts in the name, selected, or in the list where the name is read-only.
        EXPECT_EQ(chooser.focusWidget(), c.readOnly ? static_cast<QWidget *>(chooser.fileList()) : chooser.nameBox());
        EXPECT_EQ(chooser.nameBox()->selectedText(), c.readOnly ? QString() : QStringLiteral("Fractal"));
        EXPECT_EQ(chooser.cancelButton()->text(), QStringLiteral("Отмена"));
        EXPECT_EQ(listed(chooser), c.names);
    }
}

TEST_F(InFolder, TypingAndClickingComposeThePath)
{
    state = {SaveBitmapMode, QString()};
    SaveLoad chooser(state, nullptr);
    chooser.show();
    chooser.nameBox()->clear();
    QTest::keyClicks(chooser.nameBox(), QStringLiteral("x.bmp"));
    EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/x.bmp.bmp"));
    chooser.nameBox()->clear();
    EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/.bmp"));
    EXPECT_EQ(chooser.windowTitle(), state.ChosenFileName);

    state = {LoadMode, QString()};
    SaveLoad loader(state, nullptr);
    loader.show();
    listed(loader);
    const QModelIndex ab = static_cast<QFileSystemModel *>(loader.fileList()->model())->index(folder + QStringLiteral("/a.b.dvg"));
    ASSERT_TRUE(ab.isValid());
    QTest::mouseClick(loader.fileList()->viewport(), Qt::LeftButton, {}, loader.fileList()->visualRect(ab).center());
    EXPECT_EQ(loader.nameBox()->text(), QStringLiteral("a.b")); // only the extension goes
    EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/a.b.dvg"));
    // The read-only box takes no typing.
    QTest::keyClicks(loader.nameBox(), QStringLiteral("zz"));
    EXPECT_EQ(loader.nameBox()->text(), QStringLiteral("a.b"));
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

    chooser.directoryList()->setCurrentIndex(dirs->index(folder + QStringLiteral("/sub")));
    EXPECT_EQ(chooser.directory(), folder + QStringLiteral("/sub"));
    EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/sub/Fractal.dvg"));
    EXPECT_EQ(listed(chooser), QStringList{QStringLiteral("inner.dvg")});
    // A root directory keeps its separator, so two stand before the name.
    chooser.openDirectory(QDir::rootPath());
    EXPECT_EQ(state.ChosenFileName, QStringLiteral("//Fractal.dvg"));
}

TEST_F(InFolder, ConfirmKeepsThePathAndEveryWayOfClosingOtherwiseCancels)
{
    auto closeWith = [&](std::function<void(SaveLoad &)> action) {
        QTimer::singleShot(0, [&] {
            auto *chooser = qobject_cast<SaveLoad *>(QApplication::activeModalWidget());
            ASSERT_NE(chooser, nullptr);
            chooser->nameBox()->setText(QStringLiteral("mine"));
            action(*chooser);
        });
        return SaveLoad::choose(state, SaveMode, nullptr);
    };
    EXPECT_EQ(closeWith([](SaveLoad &c) { QTest::mouseClick(c.confirmButton(), Qt::LeftButton); }),
              folder + QStringLiteral("/mine.dvg"));
    EXPECT_EQ(closeWith([](SaveLoad &c) { QTest::keyClick(&c, Qt::Key_Return); }), folder + QStringLiteral("/mine.dvg"));
    EXPECT_EQ(closeWith([](SaveLoad &c) { QTest::mouseClick(c.cancelButton(), Qt::LeftButton); }), QString());
    EXPECT_EQ(closeWith([](SaveLoad &c) { QTest::keyClick(&c, Qt::Key_Escape); }), QString());
    EXPECT_EQ(closeWith([](SaveLoad &c) { c.close(); }), QString()); // the title bar's close box
    EXPECT_EQ(state.ChooserMode, SaveMode);

    // A name typed at once replaces "Fractal", and Enter saves it in the start folder.
    QTimer::singleShot(0, [&] {
        QWidget *chooser = QApplication::activeModalWidget();
        ASSERT_NE(chooser, nullptr);
        QTest::keyClicks(chooser->focusWidget(), QStringLiteral("typed"));
        QTest::keyClick(chooser->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(SaveLoad::choose(state, SaveMode, nullptr), folder + QStringLiteral("/typed.dvg"));
}

namespace {

QImage testPicture()
{
    QImage picture(329, 329, QImage::Format_RGB32);
    for (int y = 0; y < 329; ++y)
        for (int x = 0; x < 329; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, 77));
    return picture;
}

} // namespace

TEST(PrintWindow, PrintsTheClientAreaWithoutButtonsAndCloses)
{
    const QImage picture = testPicture();
    QImage printed;
    Printing window(picture, QStringLiteral("/tmp/Fractal.dvg"), [&](const QImage &page) {
        printed = page;
        return std::optional<Failure>();
    }, nullptr);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("/tmp/Fractal.dvg"));
    EXPECT_TRUE(window.printButton()->isVisible());
    EXPECT_EQ(window.printButton()->text(), QStringLiteral("Печатать"));
    EXPECT_EQ(window.size(), QSize(327, 328));
    QTest::mouseClick(window.printButton(), Qt::LeftButton);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(printed.size(), QSize(327, 328) * printed.devicePixelRatio());
    // Every pixel is the picture's, also where the buttons stood: the picture is cut at the
    // window's edge, never scaled.
    for (int y = 0; y < 328; y += 3)
        for (int x = 0; x < 327; x += 3)
            ASSERT_EQ(printed.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
}

TEST(PrintWindow, CancelEscapeAndAClickOnThePicturePrintNothing)
{
    int prints = 0;
    const std::function<void(Printing &)> closes[] = {
        [](Printing &p) { QTest::mouseClick(p.cancelButton(), Qt::LeftButton); },
        [](Printing &p) { QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(100, 100)); },
        [](Printing &p) { QTest::keyClick(&p, Qt::Key_Escape); },
    };
    for (const auto &close : closes) {
        Printing window(testPicture(), QString(), [&](const QImage &) { ++prints; return std::optional<Failure>(); }, nullptr);
        window.show();
        close(window);
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(prints, 0);
}

TEST(PrintWindow, AFailedPrintIsReportedNotClaimed)
{
    QString shown;
    QTimer::singleShot(0, [&] {
        auto *window = qobject_cast<Printing *>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = box->text();
            box->accept();
        });
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
    });
    Printing::showPicture(testPicture(), QString(), nullptr,
                   [](const QImage &) { return std::optional(Failure{QStringLiteral("Принтер по умолчанию не найден. Ничего не напечатано.")}); });
    EXPECT_EQ(shown, QStringLiteral("Принтер по умолчанию не найден. Ничего не напечатано."));
}

// --- The file commands of the main window -------------------------------------------------

TEST_F(FileCommands, SaveAfterStartUpAndLoadBackThroughTheChooser)
{
    withModals(Qt::Key_S, {choose(QStringLiteral("Fractal"))});
    const QByteArray saved = read(QStringLiteral("Fractal.dvg"));
    ASSERT_EQ(saved.size(), 1664);
    EXPECT_EQ(saved.left(4).toHex(), QByteArray("02001e00"));
    EXPECT_EQ(saved.mid(11 * 128, 6).toHex(), QByteArray("0300bc020000"));

    // Change what the file holds, then load it back.
    get<QSlider>("Rc")->setValue(10);
    get<QLineEdit>("numt")->setText(QStringLiteral("3"));
    withModals(Qt::Key_L, {choose(QStringLiteral("Fractal"))});
    EXPECT_EQ(get<QSlider>("Rc")->value(), 175);
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 25);
    EXPECT_EQ(get<QLineEdit>("numt")->text(), QStringLiteral(" 7 "));
    EXPECT_EQ(w.model().interference.value(Pair::Num), 7);
}

TEST_F(FileCommands, CancelTouchesNothingAndBadFilesAreRefusedWithAMessage)
{
    withModals(Qt::Key_S, {[](QWidget *modal) { qobject_cast<SaveLoad *>(modal)->cancelButton()->click(); }});
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
    get<QSlider>("Rc")->setValue(10);

    withModals(Qt::Key_L, {choose(QStringLiteral("absent")), acceptMessage()});
    EXPECT_TRUE(message.contains(QStringLiteral("absent.dvg")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/absent.dvg"))); // not created

    QFile bad(folder + QStringLiteral("/bad.dvg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(1664, '\x07')); // tags of 0x0707
    bad.close();
    message.clear();
    withModals(Qt::Key_L, {choose(QStringLiteral("bad")), acceptMessage()});
    EXPECT_TRUE(message.contains(QStringLiteral("bad.dvg")));
    EXPECT_EQ(get<QSlider>("Rc")->value(), 10); // nothing changed
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 190);

    message.clear();
    withModals(Qt::Key_B, {choose(QStringLiteral("no/such/folder/x")), acceptMessage()});
    EXPECT_TRUE(message.contains(QStringLiteral("x.bmp")));
}

TEST_F(FileCommands, OnAFullDiskSavingFailsWithAMessageKeepsTheOldFileAndLeavesNoNewOne)
{
    const FullDisk disk(folder + QStringLiteral("/full"));
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    const std::pair<Qt::Key, const char *> saves[] = {{Qt::Key_S, "full"}, {Qt::Key_S, "new"}, {Qt::Key_B, "new"}};
    for (const auto &[key, name] : saves) {
        message.clear();
        withModals(key, {choose(QStringLiteral("full/") + QLatin1String(name)), acceptMessage()});
        const QString file = disk.path(QLatin1String(name) + (key == Qt::Key_S ? QStringLiteral(".dvg") : QStringLiteral(".bmp")));
        EXPECT_TRUE(message.contains(QStringLiteral("«%1»: на диске нет места").arg(file))) << message.toStdString();
    }
    EXPECT_EQ(read(QStringLiteral("full/full.dvg")), disk.oldBytes());
    EXPECT_EQ(disk.entries(), QStringList({"fill", "full.dvg"}));
}

TEST_F(FileCommands, DuringADrawingTheCommandsTakeThePartlyDrawnPictureAndTheDrawingGoesOn)
{
    int cells = 0;
    const std::function<void()> windowYield = w.model().run.yield;
    QImage printed;
    bool asked = false;
    w.model().run.yield = [&] {
        ++cells;
        if (cells == 300 && !asked) {
            asked = true;
            withModals(Qt::Key_B, {choose(QStringLiteral("half"))});
            withModals(Qt::Key_S, {choose(QStringLiteral("during"))});
            // The print window shows the picture as far as it is drawn, titled with the last path.
            withModals(Qt::Key_P, {[&](QWidget *modal) {
                           auto *window = qobject_cast<Printing *>(modal);
                           ASSERT_NE(window, nullptr);
                           EXPECT_EQ(window->windowTitle(), folder + QStringLiteral("/during.dvg"));
                           window->cancelButton()->click();
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
