// The file commands of the main window: the chooser, the parameter file, the picture and the
// print window, also while a drawing waits in its yield.

#include "app/mainwindow.h"
#include "files/paramfile.h"
#include "files/printing.h"
#include "files/saveload.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace divograf;

namespace {

class FileCommands : public testing::Test
{
protected:
    FileCommands()
    {
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        folder = QDir::currentPath();
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
    }
    ~FileCommands() override { QDir::setCurrent(previous); }

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
    static std::function<void(QWidget *)> cancel()
    {
        return [](QWidget *modal) { qobject_cast<SaveLoad *>(modal)->cancelButton()->click(); };
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

    QTemporaryDir dir;
    QString previous, folder, message;
    QPointer<QWidget> answered; // the modal window answered last, until it is gone
    Main w;
};

} // namespace

TEST_F(FileCommands, SaveAfterStartUpAndLoadBackThroughTheChooser)
{
    withModals(Qt::Key_S, {choose(QStringLiteral("Fractal"))});
    const QByteArray saved = read(QStringLiteral("Fractal.dvg"));
    ASSERT_EQ(saved.size(), 1664);
    EXPECT_EQ(saved.left(4).toHex(), QByteArray("02001e00"));
    EXPECT_EQ(saved.mid(11 * 128, 6).toHex(), QByteArray("0300bc020000"));

    // Change what the file holds, then load it back.
    w.findChild<QSlider *>(QStringLiteral("Rc"))->setValue(10);
    w.findChild<QLineEdit *>(QStringLiteral("numt"))->setText(QStringLiteral("3"));
    withModals(Qt::Key_L, {choose(QStringLiteral("Fractal"))});
    EXPECT_EQ(w.findChild<QSlider *>(QStringLiteral("Rc"))->value(), 175);
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 25);
    EXPECT_EQ(w.findChild<QLineEdit *>(QStringLiteral("numt"))->text(), QStringLiteral(" 7 "));
    EXPECT_EQ(w.model().interference.value(Pair::Num), 7);
}

TEST_F(FileCommands, CancelTouchesNothingAndBadFilesAreRefusedWithAMessage)
{
    withModals(Qt::Key_S, {cancel()});
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
    w.findChild<QSlider *>(QStringLiteral("Rc"))->setValue(10);

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
    EXPECT_EQ(w.findChild<QSlider *>(QStringLiteral("Rc"))->value(), 10); // nothing changed
    EXPECT_EQ(w.model().fractal.vars.RedCorr.value, 190);

    message.clear();
    withModals(Qt::Key_B, {choose(QStringLiteral("no/such/folder/x")), acceptMessage()});
    EXPECT_TRUE(message.contains(QStringLiteral("x.bmp")));
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
    w.findChild<QWidget *>(QStringLiteral("Option1"))->setFocus();
    QTest::mouseClick(w.findChild<QWidget *>(QStringLiteral("Option1")), Qt::LeftButton);
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(cells, 2500); // the drawing went on to its end
    const QImage half(folder + QStringLiteral("/half.bmp"));
    ASSERT_EQ(half.size(), QSize(329, 329));
    const Surface &s = w.model().surface;
    EXPECT_EQ(half.pixel(s.toPixel(4950), s.toPixel(4950)), qRgb(255, 255, 255)); // not drawn yet then
    EXPECT_NE(s.pixel(s.toPixel(4950), s.toPixel(4950)), White);                  // drawn since
    EXPECT_EQ(read(QStringLiteral("during.dvg")).size(), 1664);
}
