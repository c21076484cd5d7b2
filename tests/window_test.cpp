// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// The real main window driven as a user drives it: each kind of control, every face of the
// start/stop commands, commands queued while a drawing runs, and the program's end.

#include "ui/mainwindow.h"
#include "core/qttexts.h"
#include "ui/surfaceview.h"
#include "ui/updown.h"

#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include "printers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace divograf;

namespace {

const QString Name = QStringLiteral("Дивограф");
constexpr int Column = 50; // Detail 100
constexpr int Cells = Column * Column;

class Window : public testing::Test
{
protected:
    Window()
    {
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    template <typename T = QWidget> T *get(std::string_view name) const
    {
        return w.findChild<T *>(QString::fromUtf8(name));
    }
    void click(std::string_view name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    const FractalPanel &panel() { return w.model().fractal; }
    void expectIdle()
    {
        EXPECT_FALSE(w.model().run.Running);
        EXPECT_EQ(w.windowTitle(), Name);
        EXPECT_EQ(get<QProgressBar>("Progress")->value(), 0);
    }

    Main w;
    int cells = 0;
};

} // namespace

// Every slider to its ends by the keys (vertical ones with their minimum at the top), every
// check box and option clicked: the model takes each change. (The stress test checks after
// every action that the widgets show what the model holds.)
TEST_F(Window, EveryControlReachesTheModelByItsKind)
{
    for (const ControlSpec &s : Controls) {
        SCOPED_TRACE(s.name);
        if (auto *slider = get<QSlider>(s.name)) {
            if (!slider->isEnabled())
                click("MUA");
            slider->setFocus();
            const int before = slider->value();
            const bool vertical = slider->orientation() == Qt::Vertical;
            QTest::keyClick(slider, vertical ? Qt::Key_Up : Qt::Key_Right);
            EXPECT_EQ(panel().value(s.id), before + (vertical ? -1 : 1));
            w.model().fractal.setValue(s.id, s.max + 1); // as the renderer's arguments may give it
            EXPECT_EQ(panel().value(s.id), s.max);
            for (const auto &[key, end] :
                {std::pair{Qt::Key_End, s.max}, std::pair{Qt::Key_Home, s.min}}) {
                QTest::keyClick(slider, key);
                EXPECT_EQ(panel().value(s.id), end);
            }
        } else {
            const int before = panel().value(s.id);
            click(s.name);
            EXPECT_EQ(panel().value(s.id),
                s.kind == ControlKind::Option ? 1 : 1 - before); // a check box toggles
        }
    }
    EXPECT_EQ(get<QGroupBox>("Frame1")->title(), QStringLiteral("Размер  0"));
    EXPECT_EQ(panel().vars.Detail.value, 10); // Option4, clicked last
}

// QWA: a key or a click on the groove is a choice that Squarings takes; a value the program
// sets (as Load does) is not.
TEST_F(Window, QwaChosenByKeyOrClickSetsSquarings)
{
    auto *qwa = get<QSlider>("QWA");
    qwa->setFocus();
    QTest::keyClick(qwa, Qt::Key_Right);
    EXPECT_EQ(panel().vars.Squarings, (StoredInt{2, Width::Bits32}));
    qwa->setValue(4);
    EXPECT_EQ(panel().vars.Squarings.value, 2);
    QTest::mouseClick(qwa, Qt::LeftButton, {},
        QPoint(qwa->width() - 3, qwa->height() * 3 / 5)); // on the groove, below the ticks
    EXPECT_EQ(panel().vars.Squarings, (StoredInt{5, Width::Bits32}));
}

// The marker's edges at 10 * 100 - 60 and 40 * 100 - 60 units, 120 wide: pixels round(940 *
// 329 / 4995) = 62 to 70 and 260 to 267, plus the border; drawn over the raster, never into it.
TEST_F(Window, CentreSliderShowsTheMarkerOverTheRaster)
{
    auto *view = get<SurfaceView>("Field");
    for (const auto &[slider, key] :
        {std::pair{"Slider2", Qt::Key_Home}, std::pair{"Slider1", Qt::Key_End}}) {
        get(slider)->setFocus();
        QTest::keyClick(get(slider), key);
    }
    EXPECT_EQ(view->markerRect(), QRect(64, 262, 8, 7));
    EXPECT_EQ(view->grab().toImage().pixel(view->markerRect().center()), qRgb(0, 0, 192));
    EXPECT_EQ(w.model().surface.raster().pixel(view->markerRect().center() - QPoint(2, 2)),
        qRgb(192, 255, 192));
}

// Each spinner steps by its increment within its range; its text follows on the release of an
// arrow, or at once on a key. Typed text sets the spinner and is corrected on the spot.
TEST_F(Window, SpinnerPairsFollowArrowsKeysAndTyping)
{
    const InterferencePanel &pairs = w.model().interference;
    for (const PairSpec &p : Pairs) {
        SCOPED_TRACE(p.spinner);
        auto *spinner = get<UpDown>(p.spinner);
        auto *text = get<QLineEdit>(p.textBox);
        const QString before = text->text();
        const QPoint up(spinner->width() / 2, spinner->height() / 4);
        spinner->setValue(p.min - 1); // clamped
        QTest::mousePress(spinner, Qt::LeftButton, {}, up);
        EXPECT_EQ(pairs.value(p.id), p.min + p.increment);
        EXPECT_EQ(text->text(), before);
        QTest::mouseRelease(spinner, Qt::LeftButton, {}, up);
        EXPECT_NE(text->text(), before);
        spinner->setFocus();
        QTest::keyClick(spinner, Qt::Key_Down);
        QTest::keyClick(spinner, Qt::Key_Down); // never below the range
        EXPECT_EQ(pairs.value(p.id), p.min);
    }
    get<QLineEdit>("lt")->clear();
    QTest::keyClicks(get<QLineEdit>("lt"), QStringLiteral("3001"));
    EXPECT_EQ(get<QLineEdit>("lt")->text(), QStringLiteral("1"));
    EXPECT_EQ(get<UpDown>("l")->value(), 1);
}

TEST_F(Window, IsOfFixedSizeF10OpensTheMenuEveryControlHasAnAccessibleName)
{
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(get<QProgressBar>("Progress")->isTextVisible()); // the caption shows the percent
    QTest::keyClick(&w, Qt::Key_F10);
    EXPECT_EQ(QApplication::activePopupWidget(), get<QMenu>("Menu"));
    get<QMenu>("Menu")->close();
    for (QWidget *control : w.findChildren<QWidget *>())
        EXPECT_TRUE(!(control->focusPolicy() & Qt::TabFocus) || control->objectName().isEmpty()
            || !QAccessible::queryAccessibleInterface(control)
                    ->text(QAccessible::Name)
                    .trimmed()
                    .isEmpty())
            << control->objectName().toStdString();
    EXPECT_EQ(get("Box")->accessibleName(), QStringLiteral("Заполнять пустоты."));
    EXPECT_EQ(get("Command2")->accessibleName(), QStringLiteral("Строить радугу"));
    EXPECT_EQ(get("ampl")->accessibleName(), QStringLiteral("Амплитуда")); // by its label
}

// Every menu item by the keys alone: F10 opens the menu, the arrows reach the item, Enter or
// Space takes it, "О программе..." on the bar too. Escape there leaves the bar, and the keys go
// back to the control that had the focus.
TEST_F(Window, EveryMenuItemByTheKeysAloneAndEscapeLeavesTheBar)
{
    const auto press = [](const std::vector<Qt::Key> &keys) {
        for (const Qt::Key key : keys) {
            QWidget *menu = QApplication::activePopupWidget();
            QTest::keyClick(menu ? menu : QApplication::focusWidget(), key);
        }
    };
    // Each item with the keys that reach it from F10 and take it; what it does is set aside.
    std::vector<std::pair<QAction *, std::vector<Qt::Key>>> routes;
    const QList<QAction *> items = get<QMenu>("Menu")->actions();
    for (qsizetype i = 0; i < items.size(); ++i) {
        std::vector<Qt::Key> keys{Qt::Key_F10};
        keys.insert(keys.end(), i + 1, Qt::Key_Down);
        if (!items[i]->menu()) {
            routes.push_back({items[i], keys});
            routes.back().second.push_back(Qt::Key_Return);
            continue;
        }
        keys.push_back(Qt::Key_Right); // opens the submenu at its first item
        for (QAction *inner : items[i]->menu()->actions()) {
            routes.push_back({inner, keys});
            routes.back().second.push_back(Qt::Key_Return);
            keys.push_back(Qt::Key_Down);
        }
    }
    QAction *help = get<QAction>("Help");
    routes.push_back({help, {Qt::Key_F10, Qt::Key_Right, Qt::Key_Return}});
    routes.push_back({help, {Qt::Key_F10, Qt::Key_Left, Qt::Key_Space}});
    for (auto &[item, keys] : routes) {
        SCOPED_TRACE(item->text().toStdString());
        QObject::disconnect(item, &QAction::triggered, nullptr, nullptr);
        QSignalSpy spy(item, &QAction::triggered);
        press(keys);
        EXPECT_EQ(spy.count(), 1);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(w.menuBar()->activeAction(), nullptr);
    }
    auto *slider = get<QSlider>("Slider1");
    slider->setFocus();
    const int before = slider->value();
    press({Qt::Key_F10, Qt::Key_Right, Qt::Key_Escape});
    EXPECT_EQ(w.menuBar()->activeAction(), nullptr);
    press({Qt::Key_Up}); // towards its minimum, at the top
    EXPECT_EQ(slider->value(), before - 1);
}

// --- The start/stop commands and what the window shows ------------------------------------

namespace {
enum class Way { Button, MenuItem, Shortcut };
class EveryFace : public Window, public testing::WithParamInterface<std::tuple<Way, int>>
{
};
} // namespace

// Each face starts its own drawing from idle (Detail 100); a click on the surface at the first
// element lets it finish one pass, which tells the drawings apart.
TEST_P(EveryFace, StartsItsDrawing)
{
    click("Option1");
    int pen = 0;
    w.model().run.yield = [&, windowYield = w.model().run.yield] {
        if (++cells == 1) {
            pen = w.model().surface.DrawWidth();
            click("Field");
        }
        windowYield();
    };
    const auto [way, index] = GetParam();
    const DrawingCommand *c = &DrawingCommands[index];
    if (way == Way::Button)
        click(c->button);
    else if (way == Way::Shortcut)
        QTest::keyClick(&w, c->key, Qt::ControlModifier);
    else { // through the menus with the mouse
        QMenu *holder = get<QMenu>("Menu");
        QTest::mouseClick(w.menuBar(), Qt::LeftButton, {},
            w.menuBar()->actionGeometry(holder->menuAction()).center());
        if (c->inInterferenceMenu) {
            QTest::mouseClick(holder, Qt::LeftButton, {},
                holder->actionGeometry(get<QMenu>("int")->menuAction()).center());
            holder = get<QMenu>("int");
            ASSERT_TRUE(QTest::qWaitFor([&] { return holder->isVisible(); }));
        }
        QTest::mouseClick(
            holder, Qt::LeftButton, {}, holder->actionGeometry(get<QAction>(c->menuItem)).center());
    }
    const struct
    {
        int pass;
        int pen;
        int holes;
    } expected[] = {{Column, 1, 0}, {350, 2, 0}, {Column, 1, 7}, {61, 50, 7}}; // by Drawing
    const auto &e = expected[static_cast<int>(c->drawing)];
    EXPECT_EQ(cells, e.pass);
    EXPECT_EQ(pen, e.pen);
    EXPECT_EQ(w.model().holes.count(), e.holes);
    EXPECT_EQ(w.model().surface.DrawWidth(), 1);
    expectIdle();
}
INSTANTIATE_TEST_SUITE_P(ButtonsMenuItemsAndShortcuts, EveryFace,
    testing::Combine(testing::Values(Way::Button, Way::MenuItem, Way::Shortcut),
        testing::Range(0, int(std::size(DrawingCommands)))));

// Events queued while a drawing runs are handled whenever the window's own yield next runs the
// event loop, which need not be at the next element; each acts from the element after it.
TEST_F(Window, QueuedCommandsActFromTheElementAfterTheYieldThatHandledThem)
{
    const auto columnEnd = [](int cell) { return (cell + Column - 1) / Column * Column; };
    const auto red = [this](int cell) { // at the middle of the cell
        const Surface &s = w.model().surface;
        return redOf(s.pixel(
            s.toPixel((cell - 1) / Column * 100 + 51), s.toPixel((cell - 1) % Column * 100 + 51)));
    };
    struct Drawn
    {
        bool running;
        QString title;
        int depth;
    };
    std::map<int, Drawn> at;  // while each element is drawn, after the yield before it
    std::vector<int> handled; // the element whose yield handled each event
    const struct
    {
        const char *what;
        std::vector<const char *> targets;
        std::function<void()> check;
    } rows[] = {
        {"stop", {"Command1"},
            [&] { // the column finished, the caption reset at once
                EXPECT_EQ(cells, columnEnd(handled[0]));
                EXPECT_TRUE(at[handled[0]].running);
                EXPECT_TRUE(handled[0] == cells || at[handled[0] + 1].title == Name);
            }},
        {"red correction to 0", {"Rc"},
            [&] {
                EXPECT_EQ(cells, Cells);
                EXPECT_NE(red(handled[0]), 0);
                EXPECT_EQ(red(handled[0] + 1), 0);
            }},
        {"stop, then start in the finishing column", {"Command1", "Command1"},
            [&] { // one yield handles both
                EXPECT_EQ(handled[1], handled[0]);
                EXPECT_EQ(at[handled[1]].depth, 1);
                EXPECT_EQ(at[handled[1] + 1].depth, 2);
                EXPECT_EQ(cells, columnEnd(handled[1]) + Cells);
            }},
    };
    const auto queue = [](QWidget *target) { // the End key on a slider, else a click
        if (qobject_cast<QSlider *>(target))
            return QCoreApplication::postEvent(
                target, new QKeyEvent(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier));
        const QPointF c = QRectF(target->rect()).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(target,
                new QMouseEvent(type, c, target->mapToGlobal(c), Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {}));
    };
    // The press, or the key's action, is noted: a press and its release come out of one yield.
    QObject::connect(get<QAbstractButton>("Command1"), &QAbstractButton::pressed, [&] {
        if (cells)
            handled.push_back(cells);
    });
    QObject::connect(
        get<QSlider>("Rc"), &QSlider::actionTriggered, [&] { handled.push_back(cells); });
    const std::vector<const char *> *targets = nullptr;
    click("Option1");
    const std::function<void()> windowYield = w.model().run.yield;
    w.model().run.yield = [&] {
        at[++cells] = {w.model().run.Running, w.windowTitle(), w.model().drawingsOnStack()};
        if (cells == 2 * Column + 1)
            std::ranges::for_each(*targets, [&](const char *target) { queue(get(target)); });
        windowYield();
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        get<QSlider>("Rc")->setValue(175);
        cells = 0;
        at.clear();
        handled.clear();
        targets = &row.targets;
        click("Command1");
        ASSERT_EQ(handled.size(), row.targets.size());
        row.check();
        expectIdle();
    }
    w.model().run.yield = windowYield;
}

// The real program: the highest detail started, stopped at cell 1200 and restarted at 1210 in
// the third column (cells 1001..1500); at 3000, deep in the nested drawing's fourth column, a
// modal window opens and the program is ended from it. That column is finished (3210), then the
// old one's (290 more); the process exits cleanly with status 0.
TEST(ProgramEnd, FromAModalWindowOverNestedDrawings)
{
    for (const char *how : {"exit", "close"}) {
        QProcess probe;
        probe.start(QStringLiteral(DIVOGRAF_EXIT_PROBE), {QString::fromLatin1(how)});
        ASSERT_TRUE(probe.waitForFinished(120000)) << how;
        const QString errors = QString::fromLocal8Bit(probe.readAllStandardError());
        SCOPED_TRACE(testing::Message() << how << ": " << errors.toStdString());
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(probe.exitCode(), 0);
        EXPECT_EQ(probe.readAllStandardOutput().trimmed(), QByteArray("cells 3500"));
        EXPECT_FALSE(errors.contains(QStringLiteral("Sanitizer"))
            || errors.contains(QStringLiteral("runtime error")));
    }
}

// At the screen's scale factor (CTest runs it at 1, 1.5 and 2) the layout stays in window pixels
// and the raster shows in whole blocks of device pixels, never smoothed, inside the border.

TEST(WindowAtTheScreensScale, KeepsItsLayoutAndShowsTheRasterInBlocks)
{
    Main w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const qreal ratio = w.devicePixelRatioF();
    EXPECT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
    EXPECT_EQ(w.centralWidget()->size(), QSize(645, 421)); // in window pixels, whatever the scale
    constexpr int Side = Surface::Pixels;
    Surface &s = w.model().surface;
    for (int y = 0; y < Side; ++y) // every raster pixel unlike its neighbours
        for (int x = 0; x < Side; ++x)
            s.fillBox(float(x * double(Surface::Units) / Side),
                float(y * double(Surface::Units) / Side), 0, 0,
                RGB(x * 7 % 256, y * 11 % 256, x * y % 256));
    w.model().marker.Visible = false;
    const QImage shown = w.grab().toImage();
    // In the middle of the inside of the border, within a device pixel: Qt places a widget
    // whose window position is not a whole number of device pixels to the nearest one.
    const int block = static_cast<int>(std::floor(ratio));
    auto *field = w.findChild<SurfaceView *>(QStringLiteral("Field"));
    const QPointF inside = QPointF(field->mapTo(&w, field->contentsRect().topLeft())) * ratio
        + QPointF(1, 1) * (Side * ratio - Side * block) / 2;
    const auto showsAt = [&](QPoint corner) { // each raster pixel a block square
        for (int y = 0; y < Side * block; ++y)
            for (int x = 0; x < Side * block; ++x)
                if (shown.pixel(corner + QPoint(x, y)) != s.raster().pixel(x / block, y / block))
                    return false;
        return true;
    };
    bool found = false;
    for (int d = 0; d < 9 && !found; ++d)
        found = showsAt(QPoint(
            int(std::floor(inside.x())) + d % 3 - 1, int(std::floor(inside.y())) + d / 3 - 1));
    EXPECT_TRUE(found) << "ratio " << ratio;
}

// Qt's texts: English as Qt starts, Russian once loaded, whatever the locale (CTest runs it under
// an English one).
TEST(QtTexts, EnglishAsQtStartsRussianOnceLoaded)
{
    const auto texts = [] { // Cancel and Yes, the context menu's Paste, the print window's title
        QMessageBox box(
            QMessageBox::Warning, QString(), QString(), QMessageBox::Cancel | QMessageBox::Yes);
        QLineEdit edit;
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QString paste;
        for (const QAction *action : menu->actions())
            if (action->text().section('\t', 1)
                == QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText))
                paste = action->text().section('\t', 0, 0);
        QPrinter printer;
        return QStringList{box.button(QMessageBox::Cancel)->text(),
            box.button(QMessageBox::Yes)->text(), paste, QPrintDialog(&printer).windowTitle()};
    };
    EXPECT_EQ(texts(), QStringList({"Cancel", "&Yes", "&Paste", "Print"}));
    ASSERT_TRUE(installQtRussian(*qApp));
    EXPECT_EQ(texts(), QStringList({"Отмена", "&Да", "В&ставить", "Печать"}));
}
