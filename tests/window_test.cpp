// The real main window driven as a user drives it: clicks, keys, menus, shortcuts, slider
// moves, and the start/stop scenarios through a yield that "presses" at chosen drawn cells.

#include "app/layout.h"
#include "app/mainwindow.h"
#include "app/surfaceview.h"
#include "app/updown.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <vector>

using namespace divograf;

namespace {

const QString Name = QStringLiteral("Дивограф");

struct Seen
{
    QString title;
    int progress;
    bool running;
};

// A shown, active main window. `script()` wraps the window's own yield: at drawn cell n the
// plan's action runs first (as an event arriving then would), then the window's yield, and
// then the trace records what the window shows.
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
            ++cells;
            if (auto it = plan.find(cells); it != plan.end())
                it->second();
            windowYield();
            trace.push_back({w.windowTitle(), get<QProgressBar>("Progress")->value(), w.model().run.Running});
        };
    }
    const Seen &at(int n) const { return trace.at(n - 1); }
    bool white() const
    {
        const QImage &r = w.model().surface.raster();
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x)
                if (r.pixel(x, y) != qRgb(255, 255, 255))
                    return false;
        return true;
    }
    void expectIdle()
    {
        EXPECT_FALSE(w.model().run.Running);
        EXPECT_EQ(w.windowTitle(), Name);
        EXPECT_EQ(get<QProgressBar>("Progress")->value(), 0);
    }

    // Clicks the item of the open menu bar: first the menu bar entry, then the item.
    void clickMenu(const char *item)
    {
        auto *bar = w.menuBar();
        auto *menu = get<QMenu>("Menu");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(menu->isVisible());
        QAction *action = get<QAction>(item);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        EXPECT_FALSE(menu->isVisible());
    }

    Main w;
    int cells = 0;
    std::map<int, std::function<void()>> plan;
    std::vector<Seen> trace;
};

constexpr int Column = 50;
constexpr int Cells = 50 * 50;

QPoint handleCentre(const QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = slider->orientation() == Qt::Horizontal ? slider->invertedAppearance()
                                                                : !slider->invertedAppearance();
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

} // namespace

// --- The window as the form designer fixed it --------------------------------------------

TEST_F(Window, FixedClientAreaCaptionAndBorder)
{
    EXPECT_EQ(w.centralWidget()->size(), QSize(645, 421));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()); // not resizable
    EXPECT_EQ(w.centralWidget()->y(), w.menuBar()->height()); // the menu bar lies outside it
    const Qt::WindowFlags flags = w.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(w.windowTitle(), Name);
    EXPECT_FALSE(w.windowIcon().isNull());
}

TEST_F(Window, ControlsSitAtTheirTwipsConvertedToPixels)
{
    const struct
    {
        const char *name;
        QRect pixels; // 15 twips to the pixel, within the container
    } rows[] = {
        {"Field", {8, 8, 333, 333}},     {"Slider1", {344, 9, 33, 329}}, {"Slider2", {9, 344, 329, 33}},
        {"Command1", {344, 344, 33, 33}}, {"Shape2", {8, 8, 377, 377}},  {"C1", {376, 168, 9, 9}},
        {"Progress", {8, 392, 513, 25}}, {"Frame7", {392, 128, 129, 257}}, {"Box", {80, 0, 17, 17}},
        {"MM", {8, 136, 97, 33}},        {"ampl", {88, 136, 16, 33}},    {"Command2", {8, 232, 97, 33}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(get(row.name)->geometry(), row.pixels) << row.name;
    // The raster fills the inside of the 2-pixel border.
    EXPECT_EQ(get<SurfaceView>("Field")->contentsRect(), QRect(2, 2, 329, 329));
}

TEST_F(Window, SlidersHaveTheirRangesStepsTicksAndHints)
{
    const struct
    {
        const char *name;
        int min, max, value, page;
        Qt::Orientation orientation;
        QSlider::TickPosition ticks;
        int tickInterval;
        const char *hint;
    } rows[] = {
        {"Slider1", 10, 40, 25, 10, Qt::Vertical, QSlider::TicksLeft, 1, "Корректировка центра"},
        {"Slider2", 10, 40, 25, 10, Qt::Horizontal, QSlider::TicksAbove, 1, "Корректировка центра"},
        {"Slider3", 0, 60, 30, 1, Qt::Horizontal, QSlider::TicksAbove, 10, "Размер"},
        {"Rc", 0, 200, 175, 5, Qt::Vertical, QSlider::NoTicks, 0, "Красный"},
        {"Gc", 0, 200, 176, 5, Qt::Vertical, QSlider::NoTicks, 0, "Зеленый"},
        {"Bc", 0, 200, 177, 5, Qt::Vertical, QSlider::NoTicks, 0, "Синий"},
        {"KFS", 0, 8, 8, 5, Qt::Vertical, QSlider::TicksRight, 1, "Коэффициент"},
        {"QWA", 0, 5, 1, 1, Qt::Horizontal, QSlider::TicksAbove, 1, "Количество возведений в квадрат"},
        {"MM", 3, 10, 7, 1, Qt::Horizontal, QSlider::TicksAbove, 1, "Количество осей для формулы Муавра"},
    };
    for (const auto &row : rows) {
        const auto *s = get<QSlider>(row.name);
        EXPECT_EQ(s->minimum(), row.min) << row.name;
        EXPECT_EQ(s->maximum(), row.max) << row.name;
        EXPECT_EQ(s->value(), row.value) << row.name;
        EXPECT_EQ(s->singleStep(), 1) << row.name;
        EXPECT_EQ(s->pageStep(), row.page) << row.name;
        EXPECT_EQ(s->orientation(), row.orientation) << row.name;
        EXPECT_EQ(s->tickPosition(), row.ticks) << row.name;
        EXPECT_EQ(s->tickInterval(), row.tickInterval) << row.name;
        EXPECT_EQ(s->toolTip(), QString::fromUtf8(row.hint)) << row.name;
    }
}

TEST_F(Window, StartUpStateOfThePanel)
{
    EXPECT_TRUE(get<QCheckBox>("Box")->isChecked()); // ticked by the start-up sequence
    EXPECT_TRUE(get<QRadioButton>("Option2")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("KUB")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("MUA")->isChecked());
    EXPECT_FALSE(get("MM")->isEnabled());
    EXPECT_EQ(get<QGroupBox>("Frame1")->title(), QStringLiteral("Размер 30"));
    EXPECT_EQ(get<QLabel>("Label2")->text(), QStringLiteral("Оси 7"));
    EXPECT_EQ(get<QCheckBox>("MUA")->text().replace('\n', ' '), QStringLiteral("Формула Муавра"));
    EXPECT_EQ(get<QCheckBox>("Box")->toolTip(), QStringLiteral("Заполнять пустоты."));
    // The interference frame after the start-up texts.
    const struct
    {
        const char *text, *spinner, *shown;
        int min, max, increment, value;
    } pairs[] = {{"lt", "l", "700", 1, 3000, 10, 700}, {"numt", "num", "7", 1, 20, 1, 7},
                 {"scalt", "scal", "7", 1, 10, 1, 7}, {"amplt", "ampl", "50", 50, 500, 10, 100}};
    for (const auto &p : pairs) {
        EXPECT_EQ(get<QLineEdit>(p.text)->text(), QString::fromLatin1(p.shown));
        const auto *s = get<UpDown>(p.spinner);
        EXPECT_EQ(std::vector<int>({s->minimum(), s->maximum(), s->increment(), s->value()}),
                  std::vector<int>({p.min, p.max, p.increment, p.value}))
            << p.spinner;
    }
    for (const char *button : {"Command1", "Command2", "Command3", "Command4"})
        EXPECT_EQ(get(button)->toolTip(), QStringLiteral("Старт/остановка прорисовки"));
    EXPECT_EQ(get<QToolButton>("Command3")->text(), QStringLiteral("2D"));
    EXPECT_EQ(get<QToolButton>("Command4")->text(), QStringLiteral("3D"));
}

TEST_F(Window, MenuTreeCaptionsOrderAndShortcuts)
{
    const QList<QAction *> top = w.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), Name);
    EXPECT_EQ(top[1]->text(), QStringLiteral("О программе..."));
    EXPECT_EQ(top[1]->objectName(), QStringLiteral("Help"));
    EXPECT_EQ(top[1]->menu(), nullptr); // a command, not a submenu

    const struct
    {
        const char *caption;
        const char *keys;
    } items[] = {{"Строить фрактал", "Ctrl+F"},          {"Строить радугу", "Ctrl+R"},
                 {"Строить интерференцию", ""},          {"Сохранить фрактал...", "Ctrl+S"},
                 {"Загрузить фрактал...", "Ctrl+L"},     {"Сохранить как рисунок...", "Ctrl+B"},
                 {"Печать...", "Ctrl+P"},                {"Выход", "Ctrl+X"}};
    const QList<QAction *> menu = top[0]->menu()->actions();
    ASSERT_EQ(menu.size(), std::size(items));
    for (qsizetype i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i]->text(), QString::fromUtf8(items[i].caption));
        EXPECT_EQ(menu[i]->shortcut(), QKeySequence(QString::fromLatin1(items[i].keys)));
    }
    const QMenu *sub = menu[2]->menu();
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->actions().size(), 2);
    EXPECT_EQ(sub->actions()[0]->text(), QStringLiteral("Строить 3D интерференцию"));
    EXPECT_EQ(sub->actions()[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+J")));
    EXPECT_EQ(sub->actions()[1]->text(), QStringLiteral("Строить интерференцию"));
    EXPECT_EQ(sub->actions()[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
}

TEST_F(Window, TabOrderFollowsTheFormSkippingWhatTakesNoFocus)
{
    const QStringList expected = {"Slider1", "Slider2", "Command1", "Command2", "scalt", "numt", "lt", "Command3",
                                  "scal", "num", "l", "Command4", "amplt", "ampl", "Box", "Option4", "Option3",
                                  "Option2", "Option1", "Rc", "Gc", "Bc", "Slider3", "KFS", "KUB", "MUA", "QWA", "MM"};
    QStringList seen;
    QWidget *first = get("Slider1");
    int steps = 0;
    for (QWidget *x = first; seen.size() < expected.size() && ++steps < 1000; x = x->nextInFocusChain())
        if (x->focusPolicy() & Qt::TabFocus && x->window() == &w && !x->objectName().isEmpty())
            seen << x->objectName();
    EXPECT_EQ(seen, expected);
}

// --- Control handlers through the real widgets -------------------------------------------

TEST_F(Window, QwaKeyboardReachesTheDrawingButOnlyAClickReachesSquarings)
{
    auto *qwa = get<QSlider>("QWA");
    qwa->setFocus();
    QTest::keyClick(qwa, Qt::Key_Right);
    EXPECT_EQ(panel().value(Control::QWA), 2); // Render reads the slider itself
    EXPECT_EQ(panel().vars.Squarings.value, 1);
    // A click on the groove right of the handle moves it a page (1) and is a click.
    const QPoint right(qwa->width() - 3, handleCentre(qwa).y());
    QTest::mouseClick(qwa, Qt::LeftButton, {}, right);
    EXPECT_EQ(qwa->value(), 3);
    EXPECT_EQ(panel().vars.Squarings, (StoredInt{3, Width::Bits32}));
}

TEST_F(Window, SliderMovesByMouseAndKeyboardSetTheVariablesAndCaptions)
{
    // Drag Slider3's handle to the far left: "Размер", two blanks, "0".
    auto *size = get<QSlider>("Slider3");
    QTest::mousePress(size, Qt::LeftButton, {}, handleCentre(size));
    QTest::mouseMove(size, QPoint(-50, handleCentre(size).y()));
    QTest::mouseRelease(size, Qt::LeftButton, {}, QPoint(-50, handleCentre(size).y()));
    EXPECT_EQ(size->value(), 0);
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
    auto *kfs = get<QSlider>("KFS");
    kfs->setFocus();
    QTest::keyClick(kfs, Qt::Key_Home);
    EXPECT_EQ(panel().vars.Coef.value, 10);

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
    EXPECT_EQ(panel().vars.UseMoivre, (StoredInt{0, Width::Bits16}));

    click("KUB");
    EXPECT_EQ(panel().vars.Cube, (StoredInt{1, Width::Bits16}));
    click("Option4");
    EXPECT_EQ(panel().vars.Detail, (StoredInt{10, Width::Bits16}));
    click("Box");
    EXPECT_EQ(panel().value(Control::Box), 0);
}

TEST_F(Window, CentreSlidersMoveAndShowTheMarkerOverTheRaster)
{
    auto *view = get<SurfaceView>("Field");
    // The slider ends by keyboard: the marker's edge at value * 100 - 60 units, drawn from
    // pixel round(edge * 329 / 4995) to round((edge + 120) * 329 / 4995), plus the border.
    const struct
    {
        const char *slider;
        Qt::Key key;
        int left, top;     // surface units
        QRect pixels;      // in the view
    } rows[] = {
        {"Slider2", Qt::Key_Home, 940, 2411, QRect(64, 161, 8, 8)},   // 61.9..69.8; 158.8..166.7
        {"Slider1", Qt::Key_End, 940, 3940, QRect(64, 262, 8, 7)},    // 259.5..267.4
        {"Slider2", Qt::Key_End, 3940, 3940, QRect(262, 262, 7, 7)},
        {"Slider1", Qt::Key_Home, 3940, 940, QRect(262, 64, 7, 8)},
    };
    w.model().marker.Visible = false;
    for (const auto &row : rows) {
        get(row.slider)->setFocus();
        QTest::keyClick(get(row.slider), row.key);
        EXPECT_TRUE(w.model().marker.Visible);
        EXPECT_EQ(w.model().marker.Left, row.left) << row.slider;
        EXPECT_EQ(w.model().marker.Top, row.top) << row.slider;
        EXPECT_EQ(view->markerRect(), row.pixels) << row.slider;
        EXPECT_EQ(view->grab().toImage().pixel(row.pixels.center()), qRgb(0, 0, 192)) << row.slider;
    }
    // Drawn over the raster, never into it.
    EXPECT_EQ(w.model().surface.raster().pixel(view->markerRect().center() - QPoint(2, 2)), qRgb(192, 255, 192));

    // A start hides it.
    w.model().run.yield = [] {};
    click("Command1");
    EXPECT_FALSE(w.model().marker.Visible);
    EXPECT_NE(view->grab().toImage().pixel(view->markerRect().center()), qRgb(0, 0, 192));
}

// --- Start and stop, as the user gives them ----------------------------------------------

TEST_F(Window, StartFromIdleDrawsToTheEndWithProgressInTheCaption)
{
    script();
    get("Slider2")->setFocus();
    QTest::keyClick(get("Slider2"), Qt::Key_Left); // shows the marker
    click("Command1");
    EXPECT_EQ(cells, Cells);
    EXPECT_FALSE(at(1).title.contains('%'));
    EXPECT_TRUE(at(1).running);
    EXPECT_EQ(at(Column + 1).title, QStringLiteral("Дивограф  0%")); // after X = 1
    EXPECT_EQ(at(Column + 1).progress, 0);
    EXPECT_EQ(at(3 * Column + 1).title, QStringLiteral("Дивограф  4%")); // after X = 201
    EXPECT_EQ(at(3 * Column + 1).progress, 4);
    EXPECT_EQ(at(Cells).title, QStringLiteral("Дивограф  96%"));
    expectIdle();
    EXPECT_FALSE(w.model().marker.Visible);
}

TEST_F(Window, SamePressStopsAfterTheColumnAndResetsAtOnce)
{
    script();
    plan[120] = [&] {
        const QImage before = w.model().surface.Image();
        click("Command1");
        EXPECT_EQ(w.model().surface.Image(), before); // no clearing
        expectIdle();                                 // reset at once
    };
    click("Command1");
    EXPECT_EQ(cells, 3 * Column); // the rest of the column is still drawn
    EXPECT_EQ(at(119).title, QStringLiteral("Дивограф  2%"));
    EXPECT_EQ(at(121).title, Name);
    EXPECT_EQ(at(121).progress, 0);
    expectIdle();
}

TEST_F(Window, RunAndCommand1AreOneCommand)
{
    script();
    plan[70] = [&] { click("Command1"); }; // started by Ctrl+F, stopped by the button
    ctrl(Qt::Key_F);
    EXPECT_EQ(cells, 2 * Column);
    expectIdle();

    cells = 0;
    trace.clear();
    plan.clear();
    plan[70] = [&] { clickMenu("Run"); }; // started by the button, stopped through the menu
    click("Command1");
    EXPECT_EQ(cells, 2 * Column);
    expectIdle();

    cells = 0;
    plan.clear();
    plan[10] = [&] {
        // A window system gives the activation back to the window when the popup closes; the
        // offscreen platform leaves it with the hidden popup.
        QApplication::setActiveWindow(&w);
        ctrl(Qt::Key_F); // the shortcut stops too
    };
    clickMenu("Run");
    EXPECT_EQ(cells, Column);
    expectIdle();
}

TEST_F(Window, ClickOnTheSurfaceStopsButResetsOnlyAtTheColumnEnd)
{
    script();
    plan[120] = [&] { click("Field"); };
    click("Command1");
    EXPECT_EQ(cells, 3 * Column);
    EXPECT_FALSE(at(121).running);
    EXPECT_EQ(at(121).title, QStringLiteral("Дивограф  2%"));
    EXPECT_EQ(at(150).progress, 2);
    expectIdle();

    const QImage before = w.model().surface.Image();
    click("Field"); // idle: nothing changes
    EXPECT_EQ(w.model().surface.Image(), before);
    expectIdle();
}

TEST_F(Window, RestartDuringTheFinishingColumnRunsAWholeDrawingInsideIt)
{
    script();
    plan[120] = [&] { click("Command1"); }; // stop
    plan[125] = [&] {                       // start again while column 3 finishes
        click("Command1");
        expectIdle(); // the nested drawing has run to its end
    };
    click("Command1");
    EXPECT_EQ(cells, 125 + Cells + 25);
    EXPECT_TRUE(at(126).running);
    EXPECT_EQ(at(126).title, Name);
    EXPECT_EQ(at(125 + Column + 1).title, QStringLiteral("Дивограф  0%"));
    EXPECT_EQ(at(125 + Cells + 1).title, Name); // the old column's rest
    EXPECT_FALSE(at(125 + Cells + 1).running);
    expectIdle();
}

TEST_F(Window, AnotherCommandStopsTheFractalAndItsSecondPressClears)
{
    script();
    plan[120] = [&] { click("Command3"); };
    click("Command1");
    EXPECT_EQ(cells, 3 * Column);
    EXPECT_FALSE(white());
    expectIdle();
    plan[3 * Column + 1] = [&] { // the first cell of the 2-D interference: the surface was cleared
        const Surface &s = w.model().surface;
        EXPECT_EQ(s.pixel(s.toPixel(2500), s.toPixel(2500)), White);
    };
    ctrl(Qt::Key_I); // the same command as Command3: from idle it clears and draws
    EXPECT_EQ(cells, 3 * Column + Cells);
    EXPECT_FALSE(white());
    expectIdle();
}

TEST_F(Window, RainbowAndThe3DSurfaceFromTheirButtonsAndMenuItems)
{
    script();
    const Surface &s = w.model().surface;
    // A second press of Command2 during the first pass: the pass of 350 rings is finished with
    // the pen of 1 pixel that the nested run left, and the rainbow ends.
    plan[10] = [&] {
        EXPECT_EQ(s.DrawWidth(), 2);
        click("Command2");
        EXPECT_EQ(s.DrawWidth(), 1);
    };
    click("Command2");
    EXPECT_EQ(cells, 350);
    EXPECT_EQ(s.DrawWidth(), 1);
    EXPECT_EQ(w.windowTitle(), Name); // the rainbow shows no progress
    // The 3-D surface from the menu: its pen is Detail * 5 / 10 pixels, 1 again at its end.
    cells = 0;
    plan.clear();
    plan[5] = [&] { EXPECT_EQ(s.DrawWidth(), 50); };
    plan[70] = [&] { clickMenu("Rainbow"); }; // stops it during its second row (61 points a row)
    // interf3D sits in the submenu "Строить интерференцию".
    auto *menu = get<QMenu>("Menu");
    auto *sub = get<QMenu>("int");
    QTest::mouseClick(w.menuBar(), Qt::LeftButton, {}, w.menuBar()->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(sub->menuAction()).center());
    for (int i = 0; i < 100 && !sub->isVisible(); ++i)
        QTest::qWait(10); // a submenu opens after a short delay
    ASSERT_TRUE(sub->isVisible());
    QTest::mouseClick(sub, Qt::LeftButton, {}, sub->actionGeometry(get<QAction>("interf3D")).center());
    EXPECT_EQ(cells, 2 * 61);
    EXPECT_EQ(s.DrawWidth(), 1);
    expectIdle();
}

// --- The interference pairs ------------------------------------------------------------------

namespace {

// The middle of the upper or lower arrow of a spinner.
QPoint arrow(const QWidget *spinner, int direction)
{
    return {spinner->width() / 2, direction > 0 ? spinner->height() / 4 : spinner->height() * 3 / 4};
}

} // namespace

TEST_F(Window, TypedTextSetsTheSpinnerAndIsCorrectedOnTheSpot)
{
    const InterferencePanel &panel = w.model().interference;
    auto type = [&](const char *box, const char *typed) {
        get<QLineEdit>(box)->selectAll();
        QTest::keyClicks(get<QLineEdit>(box), QString::fromLatin1(typed));
        return get<QLineEdit>(box)->text();
    };
    EXPECT_EQ(type("lt", "3001"), QStringLiteral("1")); // 3001 wraps to 0 and is raised to 1
    EXPECT_EQ(panel.value(Pair::L), 1);
    EXPECT_EQ(get<UpDown>("l")->value(), 1);
    EXPECT_EQ(type("numt", "25"), QStringLiteral("4"));
    EXPECT_EQ(get<UpDown>("num")->value(), 4);
    EXPECT_EQ(type("amplt", "450"), QStringLiteral("450"));
    EXPECT_EQ(get<UpDown>("ampl")->value(), 500);
    EXPECT_EQ(type("amplt", "abc"), QStringLiteral("abc")); // reads as 0, which is the value shown
    EXPECT_EQ(panel.value(Pair::Ampl), 50);
    EXPECT_EQ(type("scalt", "1e400"), panel.text(Pair::Scal)); // odd text ends within the range
    EXPECT_GE(panel.value(Pair::Scal), 1);
    EXPECT_LE(panel.value(Pair::Scal), 10);
    get<QLineEdit>("lt")->clear(); // an empty text stays empty; the spinner goes to 1
    EXPECT_EQ(panel.value(Pair::L), 1);
    EXPECT_EQ(get<QLineEdit>("lt")->text(), QString());
}

TEST_F(Window, ArrowClicksStepTheSpinnerAndTheTextFollowsOnRelease)
{
    auto *l = get<UpDown>("l");
    for (int expected : {710, 720, 730}) {
        QTest::mousePress(l, Qt::LeftButton, {}, arrow(l, +1));
        EXPECT_EQ(w.model().interference.value(Pair::L), expected);
        QTest::mouseRelease(l, Qt::LeftButton, {}, arrow(l, +1));
        EXPECT_EQ(get<QLineEdit>("lt")->text(), QString::number(expected));
    }
    auto *ampl = get<UpDown>("ampl");
    get<QLineEdit>("amplt")->setText(QStringLiteral("450"));
    QTest::mouseClick(ampl, Qt::LeftButton, {}, arrow(ampl, +1));
    EXPECT_EQ(w.model().interference.value(Pair::Ampl), 500);
    EXPECT_EQ(get<QLineEdit>("amplt")->text(), QStringLiteral("450"));
    QTest::mouseClick(ampl, Qt::LeftButton, {}, arrow(ampl, -1));
    EXPECT_EQ(get<QLineEdit>("amplt")->text(), QStringLiteral("440"));
    EXPECT_EQ(ampl->value(), 490);
}

TEST_F(Window, ShortcutsOfTheSubmenuWorkWithTheMenuClosed)
{
    script();
    plan[10] = [&] { ctrl(Qt::Key_J); }; // interf3D stops the fractal
    ctrl(Qt::Key_F);
    EXPECT_EQ(cells, Column);
    plan.clear();
    cells = 0;
    plan[10] = [&] { ctrl(Qt::Key_R); }; // and so does Rainbow
    ctrl(Qt::Key_F);
    EXPECT_EQ(cells, Column);
    expectIdle();
}

TEST_F(Window, ParametersChangedDuringADrawingApplyFromTheNextCell)
{
    script();
    plan[60] = [&] { click("Box"); }; // unticked: diagonal lines from cell 61 on
    click("Command1");
    const Surface &s = w.model().surface;
    EXPECT_NE(s.pixel(s.toPixel(101 + 90), s.toPixel(901 + 10)), White); // cell 60, filled
    EXPECT_EQ(s.pixel(s.toPixel(101 + 90), s.toPixel(1001 + 10)), White); // cell 61, a diagonal
}

// --- Ending --------------------------------------------------------------------------------

TEST_F(Window, CtrlXInsideANestedDrawingEndsTheEventLoopWithStatusZero)
{
    script();
    plan[120] = [&] { click("Command1"); }; // stop
    plan[125] = [&] { click("Command1"); }; // nested start in the finishing column
    plan[300] = [&] { ctrl(Qt::Key_X); };   // 175 cells into the nested drawing
    QTimer::singleShot(0, this->get("Command1"), [this] { click("Command1"); });
    EXPECT_EQ(QApplication::exec(), 0);
    // Each drawing finished only its current column, without processing events.
    EXPECT_EQ(cells, 300 + 25 + 25);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.model().run.Running);
    EXPECT_TRUE(w.windowYield().quitting());
}

TEST_F(Window, ExitWithAModalWindowOpenOverTheDrawingEndsAtOnce)
{
    script();
    bool dialogReturned = false;
    plan[90] = [&] {
        // As the About box would be: modal, shown inside a yield of the drawing.
        QDialog dialog(&w);
        QTimer::singleShot(0, &dialog, [this] { get<QAction>("Exit")->trigger(); });
        dialog.exec();
        dialogReturned = true;
    };
    QTimer::singleShot(0, this->get("Command1"), [this] { click("Command1"); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(dialogReturned);
    EXPECT_EQ(cells, 2 * Column);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Window, TheCloseBoxDuringADrawingEndsAtOnce)
{
    script();
    plan[30] = [&] {
        QCloseEvent close; // as the window system delivers the close box
        QCoreApplication::sendEvent(w.windowHandle(), &close);
        EXPECT_TRUE(close.isAccepted());
    };
    QTimer::singleShot(0, this->get("Command1"), [this] { click("Command1"); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(cells, Column);
    EXPECT_FALSE(w.isVisible());
    // After the end nothing starts any more.
    w.startStop(Drawing::Fractal);
    EXPECT_EQ(cells, Column);
}

TEST_F(Window, IdleRunsNoTimer)
{
    script();
    click("Command1");
    for (const QTimer *timer : w.findChildren<QTimer *>())
        EXPECT_FALSE(timer->isActive()) << timer->parent()->objectName().toStdString();
}

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
    QSignalSpy changed(&s, &UpDown::valueChanged);
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
    EXPECT_EQ(s.value(), 3000); // never beyond the maximum
    QTest::mouseClick(&s, Qt::LeftButton, {}, up);
    EXPECT_EQ(s.value(), 3000);
    s.setValue(5);
    QTest::mouseClick(&s, Qt::LeftButton, {}, down);
    EXPECT_EQ(s.value(), 1);
    EXPECT_EQ(changed.size(), 5); // 11, 2995, 3000, 5, 1
    EXPECT_EQ(changed.last()[0].toInt(), 1);

    // Keys change the value without a release.
    released.clear();
    QTest::keyClick(&s, Qt::Key_Up);
    EXPECT_EQ(s.value(), 11);
    QTest::keyClick(&s, Qt::Key_Down);
    QTest::keyClick(&s, Qt::Key_Down);
    EXPECT_EQ(s.value(), 1);
    EXPECT_EQ(released.size(), 0);
}

TEST(UpDownSpinner, RangeAndValueClampAndExtremeStepsDoNotOverflow)
{
    UpDown s;
    s.setRange(50, 500);
    EXPECT_EQ(s.value(), 50);
    s.setValue(1000);
    EXPECT_EQ(s.value(), 500);
    s.setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    s.setIncrement(std::numeric_limits<int>::max());
    s.setValue(std::numeric_limits<int>::max() - 1);
    s.step(1);
    EXPECT_EQ(s.value(), std::numeric_limits<int>::max());
    s.setValue(std::numeric_limits<int>::min() + 1);
    s.step(-1);
    EXPECT_EQ(s.value(), std::numeric_limits<int>::min());
}
