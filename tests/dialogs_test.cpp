#include "files/printing.h"
#include "files/saveload.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace divograf;

namespace {

// A current directory holding a few files, for the chooser's lists.
class InFolder : public testing::Test
{
protected:
    InFolder()
    {
        previous = QDir::currentPath();
        for (const char *name : {"a.b.dvg", "Fractal.dvg", "picture.bmp", "notes.txt"}) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            f.open(QIODevice::WriteOnly);
        }
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        QFile(dir.filePath(QStringLiteral("sub/inner.dvg"))).open(QIODevice::WriteOnly);
        QDir::setCurrent(dir.path());
        folder = QDir::currentPath();
    }
    ~InFolder() override { QDir::setCurrent(previous); }

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

    static QModelIndex indexOf(SaveLoad &chooser, const QString &name)
    {
        auto *model = static_cast<QFileSystemModel *>(chooser.fileList()->model());
        return model->index(QDir(chooser.directory()).filePath(name));
    }

    QTemporaryDir dir;
    QString previous;
    QString folder;
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
        EXPECT_EQ(chooser.cancelButton()->text(), QStringLiteral("Отмена"));
        EXPECT_EQ(listed(chooser), c.names);
    }
}

TEST_F(InFolder, TheStartDirectoryIsSelectedAndInViewOnceTheTreeHasLoaded)
{
    state = {SaveMode, QString()};
    SaveLoad chooser(state, nullptr);
    chooser.show();
    QTreeView *tree = chooser.directoryList();
    auto *dirs = static_cast<QFileSystemModel *>(tree->model());
    auto inView = [&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); };
    for (int i = 0; i < 100 && !inView(); ++i)
        QTest::qWait(20);
    EXPECT_EQ(dirs->filePath(tree->currentIndex()), folder);
    EXPECT_TRUE(inView());
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
    const QModelIndex ab = indexOf(loader, QStringLiteral("a.b.dvg"));
    ASSERT_TRUE(ab.isValid());
    QTest::mouseClick(loader.fileList()->viewport(), Qt::LeftButton, {}, loader.fileList()->visualRect(ab).center());
    EXPECT_EQ(loader.nameBox()->text(), QStringLiteral("a"));
    EXPECT_EQ(state.ChosenFileName, folder + QStringLiteral("/a.dvg"));
    // The read-only box takes no typing.
    QTest::keyClicks(loader.nameBox(), QStringLiteral("zz"));
    EXPECT_EQ(loader.nameBox()->text(), QStringLiteral("a"));
}

TEST_F(InFolder, AnotherDirectoryMovesTheListAndRecomposes)
{
    state = {SaveMode, QString()};
    SaveLoad chooser(state, nullptr);
    chooser.show();
    auto *dirs = static_cast<QFileSystemModel *>(chooser.directoryList()->model());
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
        return QString();
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

TEST(PrintWindow, CancelAndAClickOnThePicturePrintNothing)
{
    int prints = 0;
    const auto printer = [&](const QImage &) { ++prints; return QString(); };
    Printing a(testPicture(), QString(), printer, nullptr);
    a.show();
    QTest::mouseClick(a.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(a.isVisible());
    Printing b(testPicture(), QString(), printer, nullptr);
    b.show();
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FALSE(b.isVisible());
    Printing c(testPicture(), QString(), printer, nullptr);
    c.show();
    QTest::keyClick(&c, Qt::Key_Escape);
    EXPECT_FALSE(c.isVisible());
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
                   [](const QImage &) { return QStringLiteral("Принтер по умолчанию не найден. Ничего не напечатано."); });
    EXPECT_EQ(shown, QStringLiteral("Принтер по умолчанию не найден. Ничего не напечатано."));
}
