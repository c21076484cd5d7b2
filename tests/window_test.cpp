// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window driven as a user drives it, its About box, and the program itself.

#include "ui/mainwindow.h"
#include "ui/artwork.h"
#include "ui/surfaceview.h"
#include "ui/updown.h"
#include "ui/dialogs/about.h"
#include "ui/dialogs/sysinfo.h"

#include <QtTest>
#include <QtWidgets>

#include "modals.h"
#include "printers.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace divograf;
using Clock = std::chrono::steady_clock;

namespace {

// What a model alone draws with the settings, at Detail 100.
QImage drawn(Drawing drawing, const std::vector<std::pair<Control, int>> &settings)
{
    Model model;
    model.startUp();
    model.fractal.setValue(Control::Option1, 1);
    for (const auto &[control, value] : settings)
        model.fractal.setValue(control, value);
    model.startStop(drawing);
    return model.surface.Image();
}

void wheel(QWidget *target, QPointF at, int eighths)
{
    QWheelEvent turn(
        at, target->mapToGlobal(at), {}, {0, eighths}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &turn);
}

class Window : public testing::Test
{
protected:
    Window()
    {
        showActive(w);
        click("Option1");
    }
    template <typename T = QWidget> T *get(std::string_view name) const
    {
        return w.findChild<T *>(QString::fromUtf8(name));
    }
    void click(std::string_view name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    int value(Control control) const { return w.model().fractal.value(control); }
    const QImage &raster() const { return w.model().surface.raster(); }
    // Calls `each` after every drawn element, counted in `cells`.
    void onYield(std::function<void()> each)
    {
        w.model().run.yield = [this, each, windowYield = w.model().run.yield] {
            ++cells;
            each();
            windowYield();
        };
    }
    void post(QEvent::Type type, QPoint at)
    {
        QCoreApplication::postEvent(view,
            new QMouseEvent(type, at, view->mapToGlobal(at),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {}));
    }
    // Until every redraw asked for has been drawn.
    void settle()
    {
        QCoreApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return !w.redraw().pending() && w.model().drawingsOnStack() == 0; }));
    }

    Main w; // at Detail 100
    SurfaceView *view = get<SurfaceView>("Field");
    const QPoint middle = view->contentsRect().center(); // 164 pixels in: 2489.9 units
    int cells = 0;
};

enum class Way { Button, MenuItem, Shortcut };
class EveryFace : public Window, public testing::WithParamInterface<std::tuple<Way, int>>
{
};

} // namespace

// A notch of the wheel: three steps, a page at most, a vertical slider's minimum at the top.
TEST_F(Window, EveryControlReachesTheModel)
{
    const std::pair<const char *, int> rows[] = {
        {"Slider1", 22},
        {"Slider2", 28},
        {"Slider3", 31},
        {"Rc", 172},
        {"QWA", 2},
        {"MUA", 1},
        {"MM", 8},
        {"KUB", 1},
        {"Option4", 1},
    };
    for (const auto &[name, after] : rows) {
        SCOPED_TRACE(name);
        if (auto *slider = get<QSlider>(name))
            wheel(slider, {}, 120);
        else
            click(name);
        EXPECT_EQ(value(*controlNamed(name)), after);
    }
    EXPECT_EQ(get<QGroupBox>("Frame1")->title(), "Размер  31");
    EXPECT_EQ(get<QAbstractButton>("MUA")->text(), "Формула\nМуавра");
    // Squarings takes a value the user chooses on QWA, not one the program sets (as Load does).
    const StoredInt &squarings = w.model().fractal.vars.Squarings;
    EXPECT_EQ(squarings, (StoredInt{2, Width::Bits32}));
    auto *qwa = get<QSlider>("QWA");
    qwa->setFocus();
    QTest::keyClick(qwa, Qt::Key_Left);
    EXPECT_EQ(squarings.value, 1);
    qwa->setValue(4);
    EXPECT_EQ(squarings.value, 1);
    QTest::mouseClick(qwa, Qt::LeftButton, {}, QPoint(qwa->width() - 3, qwa->height() * 3 / 5));
    EXPECT_EQ(squarings.value, 5);
}

// An up arrow held (and sunken) steps by the increment; the text follows on the release or key.
TEST_F(Window, SpinnersStepByTheirIncrement)
{
    const struct
    {
        const char *name, *upText, *minText;
        int up;
    } rows[] = {
        {"l", "11", "1", 11},
        {"scal", "2", "1", 2},
        {"ampl", "10", "0", 60},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto *spinner = get<UpDown>(row.name);
        auto *text = get<QLineEdit>(row.name + std::string("t"));
        const QString before = text->text();
        const QRect up(0, 0, spinner->width(), spinner->height() / 2);
        spinner->setValue(0);
        const QImage raised = spinner->grab().toImage();
        QTest::mousePress(spinner, Qt::LeftButton, {}, up.center());
        EXPECT_EQ(spinner->value(), row.up);
        EXPECT_EQ(text->text(), before);
        const QImage held = spinner->grab().toImage();
        EXPECT_NE(held.copy(up), raised.copy(up));
        EXPECT_EQ(
            held.copy(up.translated(0, up.height())), raised.copy(up.translated(0, up.height())));
        QTest::mouseRelease(spinner, Qt::LeftButton, {}, up.center());
        EXPECT_EQ(text->text(), QString::fromLatin1(row.upText));
        spinner->setFocus();
        QTest::keyClick(spinner, Qt::Key_Down);
        QTest::keyClick(spinner, Qt::Key_Down); // never below the minimum
        EXPECT_EQ(text->text(), QString::fromLatin1(row.minText));
    }
}

// The rainbow's 120 x 120 picture cropped about its middle by its 97 x 33 button. The marker at
// 940 and 3940 units, 120 wide: pixels 62 to 70 and 260 to 267 inside the border, over the raster.
TEST_F(Window, LooksAndNames)
{
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(get<QProgressBar>("Progress")->isTextVisible());
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_EQ(get("Slider3")->accessibleName(), "Размер"); // by its hint
    EXPECT_EQ(get("Command2")->accessibleName(), "Строить радугу");
    EXPECT_EQ(get("Command2")->toolTip(), "Старт/остановка прорисовки");
    EXPECT_EQ(get("ampl")->accessibleName(), "Амплитуда"); // by its label
    EXPECT_EQ(get("Progress")->accessibleName(), "Ход выполнения");
    auto *rainbow = get<QToolButton>("Command2");
    EXPECT_EQ(rainbow->iconSize(), QSize(97, 33));
    EXPECT_EQ(rainbow->icon().pixmap(97, 33).toImage().convertToFormat(QImage::Format_RGB32),
        artwork::rainbowButton().copy(11, 43, 97, 33));
    EXPECT_NE(artwork::rainbowButton().pixel(60, 60), qRgb(255, 255, 255)); // its rings painted
    get<QSlider>("Slider2")->setValue(10);
    get<QSlider>("Slider1")->setValue(40);
    EXPECT_EQ(view->markerRect(), QRect(64, 262, 8, 7));
    EXPECT_EQ(view->grab().toImage().pixel(view->markerRect().center()), qRgb(0, 0, 192));
    EXPECT_EQ(raster().pixel(view->markerRect().center() - QPoint(2, 2)), qRgb(192, 255, 192));
    // Ctrl+C copies the picture without the marker; in a text box, the text.
    get("Slider2")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(raster().format()), raster());
    auto *distance = get<QLineEdit>("lt");
    distance->setFocus();
    distance->selectAll();
    QTest::keyClick(distance, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "700");
}

// Every menu item by F10, the arrows and Enter (Help also Space); Escape gives the keys back.
TEST_F(Window, EveryMenuItemByTheKeys)
{
    const auto press = [](const std::vector<Qt::Key> &keys) {
        for (const Qt::Key key : keys) {
            QWidget *menu = QApplication::activePopupWidget();
            QTest::keyClick(menu ? menu : QApplication::focusWidget(), key);
        }
    };
    const auto take = [&](QAction *item, std::vector<Qt::Key> keys, Qt::Key last) {
        SCOPED_TRACE(item->text().toStdString());
        QObject::disconnect(item, &QAction::triggered, nullptr, nullptr);
        QSignalSpy spy(item, &QAction::triggered);
        keys.push_back(last);
        press(keys);
        EXPECT_EQ(spy.count(), 1);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(w.menuBar()->activeAction(), nullptr);
    };
    std::vector<Qt::Key> keys{Qt::Key_F10};
    for (QAction *item : get<QMenu>("Menu")->actions()) {
        keys.push_back(Qt::Key_Down);
        std::vector<Qt::Key> inner = keys;
        if (item->menu()) { // the 3-D and 2-D interference; Right opens it at its first item
            EXPECT_EQ(item->menu()->actions().size(), 2);
            inner.push_back(Qt::Key_Right);
        }
        for (QAction *each : item->menu() ? item->menu()->actions() : QList{item}) {
            take(each, inner, Qt::Key_Return);
            inner.push_back(Qt::Key_Down);
        }
    }
    take(get<QAction>("Help"), {Qt::Key_F10, Qt::Key_Right}, Qt::Key_Return);
    take(get<QAction>("Help"), {Qt::Key_F10, Qt::Key_Left}, Qt::Key_Space);
    get("Slider1")->setFocus();
    press({Qt::Key_F10, Qt::Key_Right, Qt::Key_Escape});
    EXPECT_EQ(w.menuBar()->activeAction(), nullptr);
    // A menu closed by Escape leaves the bar highlighted: keys are the bar's, not the slider's.
    press({Qt::Key_F10, Qt::Key_Down, Qt::Key_Escape});
    QTest::keyClick(get("Slider1"), Qt::Key_Up); // where a window system may send it
    press({Qt::Key_Escape, Qt::Key_Escape});
    EXPECT_EQ(w.menuBar()->activeAction(), nullptr);
    EXPECT_EQ(value(Control::Slider1), 25);
}

// Each face starts its drawing. A click (moved less than the drag distance) queued at element 701
// acts from the element after the yield that ran the event loop: the pass is finished. The
// rainbow's pass, 350 rings, is shown once a frame of the display (60 Hz): two frames at least.
// The others show their progress once a frame.
TEST_P(EveryFace, StartsItsDrawing)
{
    int handled = 0;
    int shown = 0; // the bar's furthest
    QObject::connect(view, &SurfaceView::clicked, [&] { handled = cells; });
    onYield([&] {
        shown = std::max(shown, get<QProgressBar>("Progress")->value());
        if (cells == 400) // a frame's time passes: the next element shows the progress
            QThread::msleep(20);
        if (cells != 701)
            return;
        const QPoint near = middle + QPoint(QApplication::startDragDistance() - 1, 0);
        post(QEvent::MouseButtonPress, middle);
        post(QEvent::MouseMove, near);
        post(QEvent::MouseButtonRelease, near);
    });
    const auto [way, index] = GetParam();
    const Clock::time_point start = Clock::now();
    const DrawingCommand &c = DrawingCommands[index];
    const auto choose = [](auto *holder, QAction *item) {
        QTest::mouseClick(holder, Qt::LeftButton, {}, holder->actionGeometry(item).center());
    };
    if (way == Way::Button)
        click(c.button);
    else if (way == Way::Shortcut)
        QTest::keyClick(&w, c.key, Qt::ControlModifier);
    else {
        QMenu *menu = get<QMenu>("Menu");
        choose(w.menuBar(), menu->menuAction());
        if (c.inInterferenceMenu) {
            choose(menu, get<QMenu>("int")->menuAction());
            menu = get<QMenu>("int");
            ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
        }
        choose(menu, get<QAction>(c.menuItem));
    }
    const struct
    {
        int pass, holes, frames;
    } expected[] = {{50, 0, 0}, {350, 0, 2}, {50, 7, 0}, {61, 7, 0}}; // by Drawing
    const auto &e = expected[static_cast<int>(c.drawing)];
    EXPECT_GE(Clock::now() - start, e.frames * std::chrono::microseconds(16667));
    EXPECT_EQ(shown > 0, c.drawing != Drawing::Rainbow) << "the bar during the drawing";
    EXPECT_GE(handled, 701);
    EXPECT_EQ(cells, (handled + e.pass - 1) / e.pass * e.pass);
    EXPECT_EQ(w.model().holes.count(), e.holes);
    EXPECT_FALSE(w.model().run.Running);
    EXPECT_EQ(w.windowTitle(), "Дивограф");
    EXPECT_EQ(get<QProgressBar>("Progress")->value(), 0);
}
INSTANTIATE_TEST_SUITE_P(ButtonsMenuItemsAndShortcuts, EveryFace,
    testing::Combine(testing::Values(Way::Button, Way::MenuItem, Way::Shortcut),
        testing::Range(0, int(std::size(DrawingCommands)))));

// A notch: «Размер» 31, the centre kept, the fractal drawn again once a modal window has closed.
// Parts of a notch add up, a turn back drops them; changes that come together make one redraw.
TEST_F(Window, WheelZoomsAndTheFractalFollows)
{
    wheel(view, middle, 120); // before any drawing: the panel alone
    EXPECT_EQ(value(Control::Slider3), 31);
    EXPECT_EQ(w.redraw().started(), 0);
    click("Command1");
    QDialog modal(&w);
    modal.setModal(true);
    modal.show();
    wheel(view, middle, 120);
    EXPECT_EQ(get<QGroupBox>("Frame1")->title(), "Размер  32");
    QTest::qWait(2 * Redraw::Interval.count());
    EXPECT_EQ(w.redraw().started(), 0);
    modal.close();
    settle();
    EXPECT_EQ(w.redraw().started(), 1);
    const std::pair<int, int> turns[]
        = {{40, 32}, {40, 32}, {-120, 31}, {40, 31}, {40, 31}, {40, 32}};
    for (const auto &[eighths, size] : turns) {
        wheel(view, middle, eighths);
        EXPECT_EQ(value(Control::Slider3), size) << eighths;
    }
    settle();
    EXPECT_EQ(w.redraw().started(), 2);
    EXPECT_EQ(value(Control::Slider2), 25);
    EXPECT_EQ(raster(), drawn(Drawing::Fractal, {{Control::Slider3, 32}}));
    wheel(view, middle, 120); // a redraw due, then a start, which takes its place
    click("Command1");
    settle();
    EXPECT_EQ(w.redraw().started(), 2);
}

// Moves while a redraw runs stop it; the next starts after it has returned, 100 ms after the last
// at the soonest. At most one more after the release: 20 pixels, 303.6 units, to step 28.
TEST_F(Window, DragRestartsAreMergedAndNeverNested)
{
    click("Command1");
    click("Option4"); // 250000 cells, 500 a column: a drawing long enough to be stopped
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    int deepest = 0;
    int seen = 0;
    std::vector<Clock::time_point> starts;
    onYield([&] {
        deepest = std::max(deepest, w.model().drawingsOnStack());
        if (w.redraw().started() != seen) {
            seen = w.redraw().started();
            starts.push_back(Clock::now());
        }
        if (cells % 2000 == 0 && cells <= 150000)
            post(QEvent::MouseMove, middle + QPoint(cells % 4000 == 0 ? 20 : 10, 0));
        if (cells % 1000 == 0) // a drawing of a quarter of a second at least, however fast
            QThread::msleep(1);
    });
    QTest::mousePress(view, Qt::LeftButton, {}, middle);
    EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(view, middle + QPoint(10, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return cells >= 150000; }, 60000));
    const int beforeRelease = w.redraw().started();
    QTest::mouseRelease(view, Qt::LeftButton, {}, middle + QPoint(20, 0));
    settle();
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(deepest, 1);
    ASSERT_GE(starts.size(), 2u);
    EXPECT_LT(cells, static_cast<int>(starts.size()) * 250000); // some were stopped
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_GE(starts[i] - starts[i - 1], std::chrono::milliseconds(99)) << i;
    EXPECT_LE(w.redraw().started() - beforeRelease, 1);
    EXPECT_EQ(raster(), drawn(Drawing::Fractal, {{Control::Option4, 1}, {Control::Slider2, 28}}));
}

// At 1, 1.5 and 2 (CTest runs each) the raster shows in blocks of device pixels, centred: at 1.5
// 219.3 pixels wide from 56.7 (device 85), and 20 pixels dragged are 455.5 units: step 30.
TEST_F(Window, AtTheScreensScaleShowsTheRasterInBlocks)
{
    const qreal ratio = w.devicePixelRatioF();
    EXPECT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    EXPECT_EQ(w.centralWidget()->size(), QSize(645, 421));
    const std::map<qreal, std::pair<int, int>> expected{
        {1.0, {2, 28}}, {1.5, {85, 30}}, {2.0, {4, 28}}}; // the corner, Slider2 after the drag
    const auto [corner, moved] = expected.at(ratio);
    Surface &s = w.model().surface;
    for (int y = 0; y < Surface::Pixels; ++y) // every raster pixel unlike its neighbours
        for (int x = 0; x < Surface::Pixels; ++x)
            s.fillBox(x * 4995.0f / 329, y * 4995.0f / 329, 0, 0,
                RGB(x * 7 % 256, y * 11 % 256, x * y % 256));
    w.model().marker.Visible = false;
    const QImage shown = view->grab().toImage();
    const int block = static_cast<int>(ratio);
    int unlike = 0;
    for (int y = 0; y < Surface::Pixels * block; ++y)
        for (int x = 0; x < Surface::Pixels * block; ++x)
            unlike += shown.pixel(corner + x, corner + y) != s.raster().pixel(x / block, y / block);
    EXPECT_EQ(unlike, 0);
    QTest::mousePress(view, Qt::LeftButton, {}, middle);
    QTest::mouseMove(view, middle + QPoint(20, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, middle + QPoint(20, 0));
    EXPECT_EQ(value(Control::Slider2), moved);
}

// `divograf` in English with the probe: restarted at 1210 (column 1001 to 1500), ended at 3000 in
// the nested drawing's fourth column, which finishes (3210), then the outer one's (290 more).
TEST(Program, StartsInRussianAndEndsFromAModalWindowOverNestedDrawings)
{
    for (const char *how : {"exit", "close"}) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto &[name, value] : {std::pair{"LD_PRELOAD", DIVOGRAF_EXIT_PROBE},
                 {"DIVOGRAF_PROBE", how}, {"LANGUAGE", "en"}, {"LC_ALL", "en_US.UTF-8"},
                 {"ASAN_OPTIONS", "verify_asan_link_order=0"}})
            environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(DIVOGRAF_EXE), {});
        ASSERT_TRUE(program.waitForFinished(120000)) << how;
        const std::string errors = program.readAllStandardError().toStdString();
        SCOPED_TRACE(how + (": " + errors));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(program.readAllStandardOutput().toStdString(),
            "Дивограф\n"                       // the caption
            "Отмена\n"                         // Qt's own texts
            "divograf\nru.divograf.Divograf\n" // the application's and desktop entry's names
            "Round\n"                          // the rounding of the screen's scale
            "cells 3500\n");
    }
}

namespace {

using Programs = std::vector<std::pair<QString, const char *>>;

// A script that notes its name beside itself when it runs, and a file that cannot run.
constexpr const char *Notes = "#!/bin/sh\necho \"${0##*/}\" > \"${0%/*}/started\"\n";
constexpr const char *Garbage = "\x7f\x45\x4c\x46 not a program";

// Each PATH a case sets: a folder named so that a shell would split it, with the programs named.
class AboutBox : public testing::Test
{
protected:
    ~AboutBox() override { qputenv("PATH", saved); }
    void path(const Programs &programs)
    {
        folder = dir.filePath(QString("sys info; false %1").arg(++paths));
        QDir().mkpath(folder);
        for (const auto &[name, contents] : programs) {
            QFile f(QDir(folder).filePath(name));
            f.open(QIODevice::WriteOnly);
            f.write(contents);
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(folder));
    }

    const QByteArray saved = qgetenv("PATH");
    QTemporaryDir dir;
    QString folder;
    int paths = 0;
};

} // namespace

// A fixed box centred on its owner, on its screen, with the owner's picture; Enter or Esc closes.
TEST_F(AboutBox, NamesTheProgramAndClosesOnEnterOrEsc)
{
    QWidget owner;
    QPixmap blue(32, 32);
    blue.fill(Qt::blue);
    owner.setWindowIcon(blue);
    owner.show();
    const QRect screen = owner.screen()->availableGeometry();
    for (const auto &[key, at] : {std::pair{Qt::Key_Return, QPoint(200, 150)},
             {Qt::Key_Enter, screen.bottomRight() - QPoint(200, 100)},
             {Qt::Key_Escape, QPoint(200, 150)}}) {
        SCOPED_TRACE(key);
        owner.setGeometry(QRect(at, QSize(645, 421)));
        bool closed = false;
        withModals([&] { showAbout(&owner, QIcon()); }, {[&](QWidget *about) {
            EXPECT_EQ(about->windowTitle(), "О Дивограф");
            EXPECT_EQ(about->findChild<QLabel *>("lblTitle")->text(), "Дивограф");
            EXPECT_EQ(about->findChild<QLabel *>("lblVersion")->text(), "Версия 2.0.0");
            EXPECT_EQ(about->findChild<QPushButton *>("cmdSysInfo")->text(), "&System Info...");
            EXPECT_EQ(about->findChild<QLabel *>("picIcon")->pixmap().toImage().pixel(16, 16),
                qRgb(0, 0, 255));
            EXPECT_TRUE(about->findChild<QPushButton *>("cmdOK")->isDefault());
            EXPECT_EQ(about->minimumSize(), about->maximumSize());
            EXPECT_FALSE(about->windowFlags()
                & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
            EXPECT_TRUE(screen.contains(about->geometry()));
            EXPECT_TRUE(at.x() != 200 || about->geometry() == QRect(412, 306, 221, 110));
            for (const char *name : {"cmdOK", "cmdSysInfo", "cmdOK", "cmdSysInfo"}) {
                EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QTest::keyClick(QApplication::focusWidget(), key);
            closed = !about->isVisible();
            if (!closed)
                about->close();
        }});
        EXPECT_TRUE(closed);
    }
}

// The button starts the first program found on the PATH, by its path; else a plain message says
// so. The box stays open.
TEST_F(AboutBox, SystemInfoStartsTheFirstProgramFound)
{
    const struct
    {
        const char *what;
        Programs programs;
        const char *started;
    } rows[] = {
        {"none", {{"sysinfo", Notes}}, ""},
        {"start fails", {{"kinfocenter", Garbage}, {"hardinfo", Notes}}, ""},
        {"found", {{"lxtask", Notes}, {"hardinfo", Notes}}, "hardinfo"},
    };
    const Answer message = as<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->windowTitle(), "Дивограф");
        EXPECT_EQ(box->text(), sysinfo::Unavailable);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        QTest::keyClick(box, Qt::Key_Return);
    });
    withModals([] { showAbout(nullptr, QIcon()); }, {[&](QWidget *about) {
        for (const auto &row : rows) {
            SCOPED_TRACE(row.what);
            path(row.programs);
            withModals([&] { about->findChild<QPushButton *>("cmdSysInfo")->click(); },
                *row.started ? std::vector<Answer>() : std::vector{message});
            QFile noted(QDir(folder).filePath("started"));
            EXPECT_EQ(QTest::qWaitFor([&] { return noted.size() > 0; }, 1000), *row.started != 0);
            noted.open(QIODevice::ReadOnly);
            EXPECT_EQ(noted.readAll().trimmed(), QByteArray(row.started));
            EXPECT_EQ(QApplication::activeModalWidget(), about);
        }
        about->close();
    }});
}
