// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window driven as a user drives it: its look, the controls reaching the model,
// every face of the four start/stop commands, the view showing caption and progress, and the
// ways the program ends. The start/stop protocol itself is run_control_test's.

#include "ui/mainwindow.h"
#include "ui/surfaceview.h"
#include "ui/updown.h"
#include "sliderhandle.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <vector>

using namespace divograf;

namespace {

const QString Name = QStringLiteral("Дивограф");
constexpr int Column = 50;
constexpr int Cells = 50 * 50;

struct Seen
{
    QString title;
    int progress;
};

// A shown, active main window. `script()` wraps the window's own yield: at drawn cell n the
// plan's action runs first, then the window's yield, then the trace records what it shows.
class Window : public testing::Test
{
protected:
    Window()
    {
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    template <typename T = QWidget>
    T *get(const char *name) const
    {
        T *child = w.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void click(const char *name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    void ctrl(Qt::Key key) { QTest::keyClick(&w, key, Qt::ControlModifier); }
    const FractalPanel &panel() { return w.model().fractal; }

    // Detail 100 (50 columns of 50 cells), chosen with the mouse, and the scripted yield.
    void script()
    {
        click("Option1");
        ASSERT_EQ(panel().vars.Detail.value, 100);
        std::function<void()> windowYield = w.model().run.yield;
        w.model().run.yield = [this, windowYield] {
            if (auto it = plan.find(++cells); it != plan.end())
                it->second();
            windowYield();
            trace.push_back({w.windowTitle(), get<QProgressBar>("Progress")->value()});
        };
    }
    const Seen &at(int n) const { return trace.at(n - 1); }
    void expectIdle()
    {
        EXPECT_FALSE(w.model().run.Running);
        EXPECT_EQ(w.windowTitle(), Name);
        EXPECT_EQ(get<QProgressBar>("Progress")->value(), 0);
    }

    // Clicks a menu item with the mouse: the menu bar entry, the submenu if it sits in one, the item.
    void clickMenu(const char *item)
    {
        auto *menu = get<QMenu>("Menu");
        auto *sub = get<QMenu>("int");
        QAction *action = get<QAction>(item);
        QTest::mouseClick(w.menuBar(), Qt::LeftButton, {}, w.menuBar()->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(menu->isVisible());
        QMenu *holder = menu;
        if (sub->actions().contains(action)) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(sub->menuAction()).center());
            for (int i = 0; i < 100 && !sub->isVisible(); ++i)
                QTest::qWait(10); // a submenu opens after a short delay
            ASSERT_TRUE(sub->isVisible());
            holder = sub;
        }
        QTest::mouseClick(holder, Qt::LeftButton, {}, holder->actionGeometry(action).center());
    }

    Main w;
    int cells = 0;
    std::map<int, std::function<void()>> plan;
    std::vector<Seen> trace;
};


// The middle of the upper or lower arrow of a spinner.
QPoint arrow(const QWidget *spinner, int direction)
{
    return {spinner->width() / 2, direction > 0 ? spinner->height() / 4 : spinner->height() * 3 / 4};
}

} // namespace

// --- The window's fixed layout ----------------------------------------------------------------

TEST_F(Window, FixedBorderAndControlsAtTheirTwipsConvertedToPixels)
{
    EXPECT_EQ(w.centralWidget()->size(), QSize(645, 421));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()); // not resizable
    EXPECT_EQ(w.centralWidget()->y(), w.menuBar()->height());
    EXPECT_FALSE(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(w.windowTitle(), Name);
    EXPECT_FALSE(w.windowIcon().isNull());
    // In their containers: the client area, Frame7, Frame3 (on its top edge), Frame2, Frame5.
    const std::pair<const char *, QRect> rows[] = {
        {"Field", {8, 8, 333, 333}}, {"Slider1", {344, 9, 33, 329}}, {"C1", {376, 168, 9, 9}}, {"Frame7", {392, 128, 129, 257}},
        {"Box", {80, 0, 17, 17}},    {"MM", {8, 136, 97, 33}},       {"ampl", {88, 136, 16, 33}}, {"Command2", {8, 232, 97, 33}}};
    for (const auto &[name, pixels] : rows)
        EXPECT_EQ(get(name)->geometry(), pixels) << name;
    EXPECT_EQ(get<SurfaceView>("Field")->contentsRect(), QRect(2, 2, 329, 329)); // inside the 2-pixel border
}

TEST_F(Window, StartUpStateOfThePanel)
{
    EXPECT_TRUE(get<QCheckBox>("Box")->isChecked()); // ticked by the start-up sequence
    EXPECT_TRUE(get<QRadioButton>("Option2")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("MUA")->isChecked());
    EXPECT_FALSE(get("MM")->isEnabled());
    EXPECT_EQ(get<QCheckBox>("MUA")->text().replace('\n', ' '), QStringLiteral("Формула Муавра")); // broken to fit
    EXPECT_EQ(get<QCheckBox>("Box")->toolTip(), QStringLiteral("Заполнять пустоты."));
    EXPECT_EQ(get("Progress")->toolTip(), QStringLiteral("Ход выполнения"));
    for (const char *button : {"Command1", "Command2", "Command3", "Command4"})
        EXPECT_EQ(get(button)->toolTip(), QStringLiteral("Старт/остановка прорисовки"));
    // The interference frame after the start-up texts: text, spinner min, max, increment, value.
    const std::pair<std::pair<const char *, const char *>, std::vector<int>> pairs[] = {
        {{"lt", "700"}, {1, 3000, 10, 700}}, {{"numt", "7"}, {1, 20, 1, 7}},
        {{"scalt", "7"}, {1, 10, 1, 7}},      {{"amplt", "50"}, {50, 500, 10, 100}}};
    for (const auto &[text, spinner] : pairs) {
        EXPECT_EQ(get<QLineEdit>(text.first)->text(), QString::fromLatin1(text.second));
        const auto *s = get<UpDown>(QByteArray(text.first).chopped(1).constData());
        EXPECT_EQ(std::vector<int>({s->minimum(), s->maximum(), s->increment(), s->value()}), spinner) << text.first;
    }
}

// The items of the menu in order, the two of the submenu last; Help a command of the menu bar.
TEST_F(Window, MenuTreeCaptionsOrderAndShortcuts)
{
    const QList<QAction *> top = w.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), Name);
    EXPECT_EQ(top[1]->text(), QStringLiteral("О программе..."));
    EXPECT_EQ(top[1]->menu(), nullptr);
    QList<QAction *> items = top[0]->menu()->actions();
    ASSERT_EQ(items.size(), 8);
    ASSERT_NE(items[2]->menu(), nullptr);
    items += items[2]->menu()->actions();
    QStringList seen;
    for (const QAction *item : items)
        seen << item->text() + QLatin1Char(' ') + item->shortcut().toString();
    EXPECT_EQ(seen, QStringList({"Строить фрактал Ctrl+F", "Строить радугу Ctrl+R", "Строить интерференцию ",
                                 "Сохранить фрактал... Ctrl+S", "Загрузить фрактал... Ctrl+L",
                                 "Сохранить как рисунок... Ctrl+B", "Печать... Ctrl+P", "Выход Ctrl+X",
                                 "Строить 3D интерференцию Ctrl+J", "Строить интерференцию Ctrl+I"}));
}

TEST_F(Window, F10OpensTheFirstMenuAndEveryControlHasAnAccessibleName)
{
    QTest::keyClick(&w, Qt::Key_F10);
    auto *menu = get<QMenu>("Menu");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), menu);
    menu->close();

    // Every control the keyboard reaches has a name a screen reader can say.
    for (QWidget *control : w.findChildren<QWidget *>()) {
        if (!(control->focusPolicy() & Qt::TabFocus) || control->objectName().isEmpty())
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty()) << control->objectName().toStdString();
    }
    const std::pair<const char *, QString> named[] = {
        {"Box", QStringLiteral("Заполнять пустоты.")},
        {"QWA", QStringLiteral("Количество возведений в квадрат")},
        {"ampl", QStringLiteral("Амплитуда")},
        {"lt", QStringLiteral("Дистанция")},
        {"Command2", QStringLiteral("Строить радугу")},
    };
    for (const auto &[name, accessibleName] : named)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(get(name))->text(QAccessible::Name), accessibleName) << name;
}

// --- Controls reach the model through the real widgets --------------------------------------

TEST_F(Window, SliderAndCheckBoxMovesSetTheVariablesAndCaptions)
{
    // QWA: a keyboard change reaches the drawing and Squarings alike; a value set by the
    // program (as Load does) does not touch Squarings.
    auto *qwa = get<QSlider>("QWA");
    qwa->setFocus();
    QTest::keyClick(qwa, Qt::Key_Right);
    EXPECT_EQ(panel().value(Control::QWA), 2); // Render reads the slider itself
    EXPECT_EQ(panel().vars.Squarings, (StoredInt{2, Width::Bits32}));
    qwa->setValue(4);
    EXPECT_EQ(panel().vars.Squarings.value, 2);
    // A click on the groove right of the handle moves it a page (1) and is a click.
    QTest::mouseClick(qwa, Qt::LeftButton, {}, QPoint(qwa->width() - 3, handleCentre(qwa).y()));
    EXPECT_EQ(qwa->value(), 5);
    EXPECT_EQ(panel().vars.Squarings, (StoredInt{5, Width::Bits32}));

    // Drag Slider3's handle to the far left: "Размер", two blanks, "0".
    auto *size = get<QSlider>("Slider3");
    const QPoint beyond(-50, handleCentre(size).y());
    QTest::mousePress(size, Qt::LeftButton, {}, handleCentre(size));
    QTest::mouseMove(size, beyond);
    QTest::mouseRelease(size, Qt::LeftButton, {}, beyond);
    EXPECT_EQ(panel().vars.SizeFactor, (StoredInt{0, Width::Bits32}));
    EXPECT_EQ(get<QGroupBox>("Frame1")->title(), QStringLiteral("Размер  0"));

    // Vertical colour sliders: the minimum at the top, Up moves towards it.
    auto *rc = get<QSlider>("Rc");
    rc->setFocus();
    QTest::keyClick(rc, Qt::Key_Up);
    EXPECT_EQ(rc->value(), 174);
    EXPECT_EQ(panel().vars.RedCorr, (StoredInt{26, Width::Bits32}));
    QTest::keyClick(rc, Qt::Key_PageDown);
    EXPECT_EQ(rc->value(), 179);

    // MM: disabled until MUA is ticked; its caption follows it with two blanks.
    auto *mm = get<QSlider>("MM");
    click("MUA");
    EXPECT_TRUE(mm->isEnabled());
    EXPECT_EQ(panel().vars.UseMoivre, (StoredInt{1, Width::Bits16}));
    mm->setFocus();
    QTest::keyClick(mm, Qt::Key_End);
    EXPECT_EQ(get<QLabel>("Label2")->text(), QStringLiteral("Оси  10"));
    EXPECT_EQ(panel().vars.Axes, (StoredInt{10, Width::Bits32}));
    click("MUA");
    EXPECT_FALSE(mm->isEnabled());
}

TEST_F(Window, CentreSlidersMoveAndShowTheMarkerOverTheRaster)
{
    auto *view = get<SurfaceView>("Field");
    // The marker's edge at value * 100 - 60 units, drawn from pixel round(edge * 329 / 4995) to
    // round((edge + 120) * 329 / 4995), plus the border.
    const struct
    {
        const char *slider;
        Qt::Key key;
        int left, top; // surface units
        QRect pixels;  // in the view
    } rows[] = {
        {"Slider2", Qt::Key_Home, 940, 2411, QRect(64, 161, 8, 8)}, // 61.9..69.8; 158.8..166.7
        {"Slider1", Qt::Key_End, 940, 3940, QRect(64, 262, 8, 7)},  // 259.5..267.4
    };
    w.model().marker.Visible = false;
    for (const auto &row : rows) {
        get(row.slider)->setFocus();
        QTest::keyClick(get(row.slider), row.key);
        EXPECT_TRUE(w.model().marker.Visible);
        EXPECT_EQ(QPoint(w.model().marker.Left, w.model().marker.Top), QPoint(row.left, row.top)) << row.slider;
        EXPECT_EQ(view->markerRect(), row.pixels) << row.slider;
        EXPECT_EQ(view->grab().toImage().pixel(row.pixels.center()), qRgb(0, 0, 192)) << row.slider;
    }
    // Drawn over the raster, never into it.
    EXPECT_EQ(w.model().surface.raster().pixel(view->markerRect().center() - QPoint(2, 2)), qRgb(192, 255, 192));
    // A start hides it.
    w.model().run.yield = [] {};
    click("Command1");
    EXPECT_NE(view->grab().toImage().pixel(view->markerRect().center()), qRgb(0, 0, 192));
}

TEST_F(Window, InterferencePairsFollowArrowReleasesAndTyping)
{
    const InterferencePanel &pairs = w.model().interference;
    auto *l = get<UpDown>("l");
    QTest::mousePress(l, Qt::LeftButton, {}, arrow(l, +1));
    EXPECT_EQ(pairs.value(Pair::L), 710);
    EXPECT_EQ(get<QLineEdit>("lt")->text(), QStringLiteral("700")); // the text follows on release
    QTest::mouseRelease(l, Qt::LeftButton, {}, arrow(l, +1));
    EXPECT_EQ(get<QLineEdit>("lt")->text(), QStringLiteral("710"));
    auto *ampl = get<UpDown>("ampl");
    get<QLineEdit>("amplt")->setText(QStringLiteral("450"));
    QTest::mouseClick(ampl, Qt::LeftButton, {}, arrow(ampl, +1));
    EXPECT_EQ(pairs.value(Pair::Ampl), 500);
    EXPECT_EQ(get<QLineEdit>("amplt")->text(), QStringLiteral("450"));

    // Typed text sets the spinner and is corrected on the spot.
    get<QLineEdit>("lt")->selectAll();
    QTest::keyClicks(get<QLineEdit>("lt"), QStringLiteral("3001"));
    EXPECT_EQ(get<QLineEdit>("lt")->text(), QStringLiteral("1"));
    EXPECT_EQ(l->value(), 1);

    // The Up key steps the spinner, and the text follows at once, as on a release.
    l->setFocus();
    QTest::keyClick(l, Qt::Key_Up);
    EXPECT_EQ(pairs.value(Pair::L), 11);
    EXPECT_EQ(get<QLineEdit>("lt")->text(), QStringLiteral("11"));
}

// --- The start/stop commands and what the view shows ----------------------------------------

namespace {

// A face of a start/stop command: its button, its menu item (clicked through the menus) or its
// shortcut.
enum class Way { Button, MenuItem, Shortcut };
struct Face
{
    Way way;
    const DrawingCommand *command;
};

void PrintTo(const Face &f, std::ostream *os)
{
    *os << (f.way == Way::Shortcut ? "Ctrl+" + QKeySequence(f.command->key).toString().toStdString()
                                   : std::string(f.way == Way::Button ? f.command->button : f.command->menuItem));
}

std::vector<Face> everyFace()
{
    std::vector<Face> faces;
    for (const DrawingCommand &c : DrawingCommands)
        for (Way way : {Way::Button, Way::MenuItem, Way::Shortcut})
            faces.push_back({way, &c});
    return faces;
}

class EveryFace : public Window, public testing::WithParamInterface<Face> {};

} // namespace

// Each face starts its own drawing from idle; a click on the surface at the first element
// lets it finish one pass, which tells the drawings apart.
TEST_P(EveryFace, StartsItsDrawing)
{
    script();
    int pen = 0;
    plan[1] = [&] {
        pen = w.model().surface.DrawWidth();
        click("Field");
    };
    const DrawingCommand &c = *GetParam().command;
    switch (GetParam().way) {
    case Way::Button: click(std::string(c.button).c_str()); break;
    case Way::MenuItem: clickMenu(std::string(c.menuItem).c_str()); break;
    case Way::Shortcut: ctrl(c.key); break;
    }
    const struct
    {
        int pass, pen, holes;
    } expected[] = {{Column, 1, 0}, {350, 2, 0}, {Column, 1, 7}, {61, 50, 7}}; // in the order of Drawing
    const auto &e = expected[static_cast<int>(c.drawing)];
    EXPECT_EQ(cells, e.pass);
    EXPECT_EQ(pen, e.pen);
    EXPECT_EQ(w.model().holes.count(), e.holes);
    EXPECT_EQ(w.model().surface.DrawWidth(), 1);
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(ButtonsMenuItemsAndShortcuts, EveryFace, testing::ValuesIn(everyFace()));

TEST_F(Window, ProgressShowsInTheCaptionAndTheBar)
{
    script();
    click("Command1");
    EXPECT_EQ(cells, Cells);
    EXPECT_EQ(at(3 * Column + 1).title, QStringLiteral("Дивограф  4%")); // after X = 201
    EXPECT_EQ(at(3 * Column + 1).progress, 4);
    expectIdle();
    for (const QTimer *timer : w.findChildren<QTimer *>()) // idle runs no timer
        EXPECT_FALSE(timer->isActive()) << timer->parent()->objectName().toStdString();
}

// Commands given as a user gives them: events queued while a drawing runs and handled whenever
// the window's own yield next runs the event loop, which need not be at the next element. Each
// acts from the element after the one whose yield handled it.
TEST_F(Window, QueuedCommandsActFromTheElementAfterTheYieldThatHandledThem)
{
    const auto columnEnd = [](int cell) { return (cell + Column - 1) / Column * Column; };
    const auto red = [this](int cell) { // at the middle of the cell: Detail 100, 50 cells a column
        const Surface &s = w.model().surface;
        return redOf(s.pixel(s.toPixel((cell - 1) / Column * 100 + 51), s.toPixel((cell - 1) % Column * 100 + 51)));
    };
    struct Drawn
    {
        bool running;
        QString title;
        int depth;
    };
    std::map<int, Drawn> seen; // while each element is drawn, after the yield before it
    std::vector<int> handled; // the element whose yield handled each event
    const struct
    {
        const char *what;
        std::vector<const char *> targets; // a click on each, or the End key on a slider, queued at once
        std::function<void()> check;
    } rows[] = {
        {"stop", {"Command1"}, [&] {
             EXPECT_EQ(cells, columnEnd(handled[0])); // the column is finished
             EXPECT_TRUE(seen[handled[0]].running);
             if (handled[0] < cells) {
                 EXPECT_EQ(seen[handled[0] + 1].title, Name); // reset at once
             }
         }},
        {"click on the surface", {"Field"}, [&] {
             EXPECT_EQ(cells, columnEnd(handled[0]));
             if (handled[0] < cells) {
                 EXPECT_FALSE(seen[handled[0] + 1].running);
                 EXPECT_NE(seen[handled[0] + 1].title, Name); // reset at the column's end
             }
         }},
        {"red correction to 0", {"Rc"}, [&] {
             EXPECT_EQ(cells, Cells);
             EXPECT_NE(red(handled[0]), 0);
             EXPECT_EQ(red(handled[0] + 1), 0);
         }},
        {"stop, then start in the finishing column", {"Command1", "Command1"}, [&] {
             EXPECT_EQ(handled[0], handled[1]); // one yield handles both
             EXPECT_EQ(seen[handled[1]].depth, 1);
             EXPECT_EQ(seen[handled[1] + 1].depth, 2); // the nested drawing
             EXPECT_EQ(cells, columnEnd(handled[1]) + Cells);
         }},
    };
    const auto queue = [this](QWidget *target) {
        if (qobject_cast<QSlider *>(target)) {
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier));
            return;
        }
        const QPointF at = QRectF(target->rect()).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(target, new QMouseEvent(type, at, target->mapToGlobal(at), Qt::LeftButton,
                                                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                                Qt::NoModifier));
    };
    // Notes the element whose yield handles each event.
    struct Watch : QObject
    {
        std::vector<int> *handled;
        const int *cells;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::KeyPress)
                handled->push_back(*cells);
            return false;
        }
    } watch;
    watch.handled = &handled;
    watch.cells = &cells;
    const std::vector<const char *> *targets = nullptr;

    click("Option1");
    const std::function<void()> windowYield = w.model().run.yield;
    w.model().run.yield = [&] {
        seen[++cells] = {w.model().run.Running, w.windowTitle(), w.model().drawingsOnStack()};
        if (cells == 2 * Column + 1) {
            for (const char *target : *targets) {
                get(target)->installEventFilter(&watch);
                queue(get(target));
            }
        }
        windowYield();
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        get<QSlider>("Rc")->setValue(175);
        cells = 0;
        seen.clear();
        handled.clear();
        targets = &row.targets;
        click("Command1");
        for (const char *target : row.targets)
            get(target)->removeEventFilter(&watch);
        ASSERT_EQ(handled.size(), row.targets.size());
        row.check();
        expectIdle();
    }
    w.model().run.yield = windowYield;
}

// --- Ending --------------------------------------------------------------------------------

namespace {

// Ctrl+X deep in a nested drawing, Exit from a modal window open over the drawing (as the About
// box would be), the close box.
enum class Ending { CtrlXNested, ExitFromModal, CloseBox };

class EndingDuringADrawing : public Window, public testing::WithParamInterface<Ending> {};

} // namespace

// The event loop returns 0 at once: each drawing on the stack finishes only its current column,
// without processing events; nothing starts after.
TEST_P(EndingDuringADrawing, EndsTheEventLoopAtOnceWithStatusZero)
{
    script();
    int expected = 0;
    switch (GetParam()) {
    case Ending::CtrlXNested:
        plan[120] = [&] { click("Command1"); }; // stop
        plan[125] = [&] { click("Command1"); }; // nested start in the finishing column
        plan[300] = [&] { ctrl(Qt::Key_X); };   // 175 cells into the nested drawing
        expected = 300 + 25 + 25;
        break;
    case Ending::ExitFromModal:
        plan[90] = [&] {
            QDialog dialog(&w);
            QTimer::singleShot(0, &dialog, [this] { get<QAction>("Exit")->trigger(); });
            dialog.exec();
        };
        expected = 2 * Column;
        break;
    case Ending::CloseBox:
        plan[30] = [&] {
            QCloseEvent close; // as the window system delivers it
            QCoreApplication::sendEvent(w.windowHandle(), &close);
            EXPECT_TRUE(close.isAccepted());
        };
        expected = Column;
        break;
    }
    QTimer::singleShot(0, get("Command1"), [this] { click("Command1"); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(cells, expected);
    EXPECT_FALSE(w.model().run.Running);
    w.startStop(Drawing::Fractal);
    EXPECT_EQ(cells, expected);
}

INSTANTIATE_TEST_SUITE_P(Ways, EndingDuringADrawing,
                         testing::Values(Ending::CtrlXNested, Ending::ExitFromModal, Ending::CloseBox));

TEST(ProgramEnd, FromAModalWindowOverNestedDrawingsTheProcessExitsCleanlyWithStatusZero)
{
    for (const char *how : {"exit", "close"}) {
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(DIVOGRAF_EXIT_PROBE), {QString::fromLatin1(how)});
        ASSERT_TRUE(probe.waitForFinished(120000)) << how;
        const QString errors = QString::fromLocal8Bit(probe.readAllStandardError());
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit) << how;
        EXPECT_EQ(probe.exitCode(), 0) << how << errors.toStdString();
        EXPECT_FALSE(errors.contains(QStringLiteral("Sanitizer")) || errors.contains(QStringLiteral("runtime error")))
            << errors.toStdString();
        // Stopped at 1200 and restarted at 1210 in the third column (cells 1001..1500); ended
        // at 3000, in the nested drawing's fourth column (its cells 1501..2000): that column is
        // finished (3210), then the old one's (290 more).
        EXPECT_EQ(QString::fromLatin1(probe.readAllStandardOutput()).trimmed(), QStringLiteral("cells 3500")) << how;
    }
}

// --- The up/down spinner -------------------------------------------------------------------

TEST(UpDownSpinner, ArrowsStepByTheIncrementWithinTheRangeAndTellTheRelease)
{
    UpDown s;
    s.resize(16, 33);
    s.setRange(1, 3000);
    s.setIncrement(10);
    s.setValue(1);
    QSignalSpy released(&s, &UpDown::mouseReleased);
    const QPoint up(8, 4), down(8, 28);
    QTest::mousePress(&s, Qt::LeftButton, {}, up);
    EXPECT_EQ(s.value(), 11); // on the press, as the arrows do
    EXPECT_EQ(released.size(), 0);
    QTest::mouseRelease(&s, Qt::LeftButton, Qt::ShiftModifier, up);
    ASSERT_EQ(released.size(), 1);
    EXPECT_EQ(released[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(released[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(released[0][2].toPoint(), up);
    s.setValue(2995);
    QTest::mouseClick(&s, Qt::LeftButton, {}, up);
    EXPECT_EQ(s.value(), 3000); // never beyond the range
    s.setValue(5);
    QTest::mouseClick(&s, Qt::LeftButton, {}, down);
    EXPECT_EQ(s.value(), 1);
    QSignalSpy keyed(&s, &UpDown::keyStepped);
    QTest::keyClick(&s, Qt::Key_Up); // a key steps the value and tells so: no release follows
    EXPECT_EQ(s.value(), 11);
    EXPECT_EQ(released.size(), 3);
    EXPECT_EQ(keyed.size(), 1);

    constexpr int Max = std::numeric_limits<int>::max(), Min = std::numeric_limits<int>::min();
    s.setRange(Min, Max); // extreme steps do not overflow
    s.setIncrement(Max);
    s.setValue(Max - 1);
    s.step(1);
    EXPECT_EQ(s.value(), Max);
    s.setValue(Min + 1);
    s.step(-1);
    EXPECT_EQ(s.value(), Min);
}
