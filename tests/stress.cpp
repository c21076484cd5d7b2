// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "stress.h"

#include "core/files/parameters.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"
#include "ui/layout.h"
#include "ui/updown.h"

#include <QtTest>
#include <QtWidgets>

#include <random>
#include <ranges>

namespace divograf::stress {

namespace {

// An action after one element in BusyRate, or in QuietRate for one drawing in QuietOneIn so that
// drawings also end; a drawing that goes MaxQuiet elements without one is stopped by a click on the
// surface.
constexpr int BusyRate = 25;
constexpr int QuietRate = 2000;
constexpr int QuietOneIn = 10;
constexpr int MaxQuiet = 3000;
constexpr int DrawingWeights[] = {7, 4, 5, 4}; // by `Drawing`
constexpr int OptionWeights[] = {12, 5, 2, 1}; // Option1 to Option4: mostly coarse cells, for speed
const Qt::Key SliderKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp,
    Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
// Typed besides numbers: junk, other digits, blanks, numbers beyond any range, nothing.
const char *const OddTexts[]
    = {"abc", "--5", "+-3", "1e", ".", "12abc", "0x1F", "1,5", "٣", "７", "ж", " ",
        "\u00a0"
        "5",
        "1 2", "3.", ".5", "-0", "+7", "1e+", "1e400", "-1e400", "inf", "nan", "2147483648",
        "-2147483649", "4294967296", ""};
// Names for the chooser: plain, Cyrillic, blank, empty, a missing folder, odd, too long for the
// file system.
const QString ChooserNames[]
    = {"Fractal", "Дивограф", "x y", "", "no/such/x", "#$%&*?", QString(300, u'я')};

struct Driver
{
    static inline Driver *current = nullptr; // the run that counts Qt's warnings
    Main &w;
    const Settings settings;
    Outcome f{};
    std::mt19937 gen{settings.seed};
    Model &m = w.model();
    const std::function<void()> windowYield = m.run.yield; // the window's own, called inside
    QString doing{};                                       // the action being given
    int depth = 0;
    int answers = 0; // how often the modal window answered last was found open since
    int rate = BusyRate;
    int sinceAction = 0;
    bool ended = false;
    QTimer answerer{};
    QPointer<QWidget> answered{}; // the modal window answered last
    Model scratch{}; // never drawn in: the window's parameters are read back through it
    QProgressBar *const progress = w.findChild<QProgressBar *>("Progress");

    bool quitting() const { return w.windowYield().quitting(); }
    bool endingDue() const
    {
        return settings.ending && !ended && f.actions + 1 >= settings.actions;
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(gen() % n); }
    bool oneIn(unsigned n) { return below(n) == 0; }
    template <typename Rows> const auto &pick(const Rows &rows)
    {
        return std::begin(rows)[below(unsigned(std::size(rows)))];
    }
    template <typename Rows, typename Weight>
    const auto &weighted(const Rows &rows, Weight weight) // each as likely as its weight
    {
        const auto weights = rows | std::views::transform(weight);
        return std::begin(
            rows)[std::discrete_distribution<int>(weights.begin(), weights.end())(gen)];
    }
    template <typename T = QWidget> T *find(std::string_view name)
    {
        return w.findChild<T *>(QString::fromUtf8(name));
    }
    // The first failure also ends every drawing on the stack.
    void expect(bool ok, const QString &what, std::string_view about = {})
    {
        if (ok || !f.failure.isEmpty())
            return;
        m.run.Running = false;
        f.failure = QString("seed %1, action %2 (%3), depth %4: %5 %6")
                        .arg(settings.seed)
                        .arg(f.actions)
                        .arg(doing)
                        .arg(depth)
                        .arg(what, QString::fromUtf8(about));
    }

    void click(QWidget *on, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(on, button, {}, at);
    }
    void key(QWidget *on, Qt::Key k, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(on, k, modifiers);
    }
    void focusKey(QWidget *on, Qt::Key k)
    {
        on->setFocus(Qt::TabFocusReason);
        key(on, k);
    }
    QPoint somewhere(const QWidget *on)
    {
        return {int(below(unsigned(on->width()))), int(below(unsigned(on->height())))};
    }
    void clickSomewhere(QWidget *on, unsigned rightOneIn)
    {
        click(on, somewhere(on), oneIn(rightOneIn) ? Qt::RightButton : Qt::LeftButton);
    }
    QWidget *someControl(ControlKind kind)
    {
        return find(weighted(Controls, [kind](const ControlSpec &c) {
            return c.kind != kind             ? 0u
                : kind == ControlKind::Option ? OptionWeights[int(c.id) - int(Control::Option1)]
                                              : 1u;
        }).name);
    }
    void type(QWidget *on, const QString &text) // character by character, as a keyboard would
    {
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, on,
                c > u' ' && c < u'\x7f' ? Qt::Key(c.toUpper().unicode())
                    : c == u' '         ? Qt::Key_Space
                                        : Qt::Key_unknown,
                QString(c), {});
    }
    // Shortcuts need the window active, and the offscreen platform does not give the activation
    // back after a popup or modal window.
    void activate()
    {
        if (!QApplication::activeModalWidget() && !QApplication::activePopupWidget())
            QApplication::setActiveWindow(&w);
    }
    void menuBarClick(QAction *item)
    {
        activate();
        click(w.menuBar(), w.menuBar()->actionGeometry(item).center());
    }
    // Through the menu bar; the submenu opened by the keyboard, which opens it at once where the
    // mouse waits a delay.
    void menuItem(std::string_view name)
    {
        QAction *item = find<QAction>(name);
        auto *menu = find<QMenu>("Menu");
        auto *sub = find<QMenu>("int");
        auto *in = sub->actions().contains(item) ? sub : menu;
        menuBarClick(menu->menuAction());
        if (in == sub) {
            menu->setActiveAction(sub->menuAction());
            key(menu, Qt::Key_Right);
        }
        click(in, in->actionGeometry(item).center());
    }
    // Modal windows cannot nest: while one is open, only the answerer acts.
    void withAnswers(const std::function<void()> &action)
    {
        answerer.start();
        action();
        answerer.stop();
    }
    void stopByClick(QPoint at)
    {
        click(find("Field"), at);
        expect(!m.run.Running, "a click on the surface did not stop the drawing");
    }
    // A start/stop command, however given, stops the running drawing or runs a whole one inside it
    // (none at the nesting limit).
    void command(const std::function<void(const DrawingCommand &)> &give)
    {
        const bool wasRunning = m.run.Running;
        const bool atLimit = depth >= MaxNestedDrawings;
        const long before = f.elements;
        give(weighted(DrawingCommands,
            [](const DrawingCommand &c) { return unsigned(DrawingWeights[int(c.drawing)]); }));
        const char *what = wasRunning ? "stop"
            : atLimit                 ? "ignored start"
            : depth > 0               ? "nested start"
                                      : "start";
        f.counts[what] += !quitting();
        expect(quitting() || (!m.run.Running && (wasRunning || (f.elements > before) != atLimit)),
            "a drawing left running or drawn wrongly after a", what);
    }

    // The modal window open: a chooser, the print window, a message or the About box. Found open
    // again, it may take a moment to close.
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || (modal == answered && ++answers <= 3))
            return;
        const bool known = qobject_cast<SaveLoad *>(modal) || qobject_cast<Printing *>(modal)
            || qobject_cast<QMessageBox *>(modal) || modal->objectName() == "About";
        expect(known && modal != answered, modal->metaObject()->className(),
            known ? "stayed open after it was answered" : "was not expected");
        if (!f.failure.isEmpty())
            return qobject_cast<QDialog *>(modal)->reject();
        answered = modal;
        answers = 0;
        ++f.actions;
        doing = modal->metaObject()->className();
        ++f.counts[doing];
        if (auto *chooser = qobject_cast<SaveLoad *>(modal)) {
            // Maybe a name typed, then confirmed or cancelled, by the key or the button.
            if (QLineEdit *box = chooser->nameBox(); oneIn(3)) {
                click(box);
                key(box, Qt::Key_A, Qt::ControlModifier);
                key(box, Qt::Key_Backspace);
                type(box, pick(ChooserNames));
            }
            const bool confirm = below(20) < 13 && f.failure.isEmpty();
            if (oneIn(4))
                click(confirm ? chooser->confirmButton() : chooser->cancelButton());
            else
                key(chooser, confirm ? Qt::Key_Return : Qt::Key_Escape);
        } else if (auto *printing = qobject_cast<Printing *>(modal)) {
            // Never Enter: that would print.
            if (oneIn(3))
                key(printing, Qt::Key_Escape);
            else if (oneIn(2))
                click(printing->cancelButton());
            else
                click(printing, QPoint(20, 20));
        } else { // never the About box's System Info button: it starts a program
            key(modal, oneIn(2) ? Qt::Key_Return : Qt::Key_Escape);
        }
    }

    void yielded()
    {
        f.deepest = std::max(f.deepest, ++depth);
        ++f.elements;
        expect(depth <= MaxNestedDrawings && depth == m.drawingsOnStack(),
            "the drawings nested beyond the limit or are miscounted");
        const bool free = f.failure.isEmpty() && !ended && !quitting();
        if (free && (endingDue() || (f.actions < settings.actions && oneIn(rate))))
            act();
        else if (free && m.run.Running
            && (++sinceAction >= MaxQuiet || f.actions >= settings.actions)) {
            ++f.counts["cut short"];
            sinceAction = 0;
            stopByClick({});
        }
        windowYield();
        const Status &s = m.run.status;
        expect(quitting()
                || (w.windowTitle() == s.caption() && s.progress() >= 0 && s.progress() <= 100),
            "the caption or progress is not the drawing's");
        --depth;
    }

    // The widgets show what the model holds, within its ranges, and its parameters read back into a
    // second model come back unchanged.
    void check(bool idle)
    {
        int selected = 0; // 1 for each option selected, 100 for each shown selected
        for (const ControlSpec &s : Controls) {
            auto *slider = find<QSlider>(s.name);
            const int x = m.fractal.value(s.id);
            const int shown = slider ? slider->value() : find<QAbstractButton>(s.name)->isChecked();
            selected += s.kind == ControlKind::Option ? x + 100 * shown : 0;
            expect(x >= s.min && x <= s.max
                    && (slider
                            ? shown == x && slider->minimum() == s.min && slider->maximum() == s.max
                            : shown == (x == 1)),
                "out of range or shown otherwise:", s.name);
        }
        expect(selected == 101, "not one option selected and shown");
        expect(find("MM")->isEnabled() == m.fractal.mmEnabled()
                && m.fractal.mmEnabled() == (m.fractal.value(Control::MUA) == 1),
            "MM is enabled otherwise than MUA is ticked");
        expect(find<QGroupBox>("Frame1")->title() == m.fractal.frame1Caption()
                && find<QLabel>("Label2")->text() == m.fractal.label2Caption(),
            "a caption shows otherwise");
        for (const PairSpec &p : Pairs) {
            const int x = m.interference.value(p.id);
            auto *spinner = find<UpDown>(p.spinner);
            expect(x >= p.min && x <= p.max && spinner->value() == x && spinner->minimum() == p.min
                    && spinner->maximum() == p.max,
                "out of range or shown otherwise:", p.spinner);
            expect(find<QLineEdit>(p.textBox)->text() == m.interference.text(p.id)
                    && !applyTextRule(p, m.interference.text(p.id)).rewrite,
                "a text shown otherwise or to be rewritten:", p.textBox);
        }
        // Rewrites only the Stored copies, which nothing but a save reads.
        const ParameterRecords saved = takeParameters(m);
        applyParameters(scratch, saved);
        expect(takeParameters(scratch) == saved,
            "the records read back otherwise than they were saved");
        for (QWidget *top : QApplication::topLevelWidgets()) // a modal window, a popup or any other
            expect(top == &w || !top->isVisible(),
                "a window was left open:", top->metaObject()->className());
        if (!idle)
            return;
        expect(!m.run.Running && m.drawingsOnStack() == 0
                && m.surface.DrawWidth() == scratch.surface.DrawWidth(),
            "a drawing or its wide pen left when idle");
        expect(w.windowTitle() == ProgramName && progress->value() == 0
                && m.run.status.progress() == 0,
            "a drawing's caption or progress shown when idle");
        expect(std::ranges::none_of(w.findChildren<QTimer *>(), &QTimer::isActive),
            "a timer runs when idle");
        expect(w.findChildren<QDialog *>().isEmpty(), "a closed modal window still exists");
    }

    void act();
    Outcome go();
};

// The user's actions, each as likely as its weight.
const struct Action
{
    const char *name;
    unsigned weight;
    void (*perform)(Driver &d);
} Actions[] = {
    {"command button", 8,
        [](Driver &d) { d.command([&](const DrawingCommand &c) { d.click(d.find(c.button)); }); }},
    {"command shortcut", 6,
        [](Driver &d) {
            d.command([&](const DrawingCommand &c) {
                d.activate();
                d.key(&d.w, c.key, Qt::ControlModifier);
            });
        }},
    {"command menu", 4,
        [](Driver &d) { d.command([&](const DrawingCommand &c) { d.menuItem(c.menuItem); }); }},
    {"surface click", 4, [](Driver &d) { d.stopByClick(d.somewhere(d.find("Field"))); }},
    {"file command", 3,
        [](Driver &d) { // by the menu or the shortcut; never Exit
            const auto &item = d.weighted(layout::FileMenuItems, [](const layout::MenuItemLook &i) {
                return unsigned(std::string_view(i.name) != "Exit");
            });
            d.withAnswers([&] {
                if (d.oneIn(3)) {
                    d.menuItem(item.name);
                } else {
                    d.activate();
                    d.key(&d.w, item.key, Qt::ControlModifier);
                }
            });
        }},
    {"about", 1,
        [](Driver &d) {
            d.withAnswers([&] { d.menuBarClick(d.find<QAction>(layout::HelpName)); });
        }},
    {"foreign file", 1,
        [](Driver &d) { // another program writes the file that Load offers: random records, maybe
                        // cut off
            ParameterRecords records;
            std::ranges::for_each(records, [&](StoredInt &r) {
                const std::int32_t v = std::int32_t(d.gen()) >> d.below(32);
                if (d.oneIn(2))
                    r.set16(v);
                else
                    r.set32(v);
            });
            QFile file("Fractal.dvg");
            d.expect(file.open(QIODevice::WriteOnly)
                    && file.write(encodeParameters(records).left(
                           d.oneIn(3) ? d.below(ParameterFileLength) : ParameterFileLength))
                        >= 0,
                "Fractal.dvg not written");
        }},
    {"option", 6, [](Driver &d) { d.click(d.someControl(ControlKind::Option)); }},
    {"check box", 6, [](Driver &d) { d.click(d.someControl(ControlKind::CheckBox)); }},
    {"slider click", 8,
        [](Driver &d) { d.clickSomewhere(d.someControl(ControlKind::Slider), 10); }},
    {"slider key", 10,
        [](Driver &d) { d.focusKey(d.someControl(ControlKind::Slider), d.pick(SliderKeys)); }},
    {"typing", 12,
        [](Driver &d) { // over the text or at its end: a number, signed, with a fraction, in
                        // blanks, very long, or odd
            auto *box = d.find<QLineEdit>(d.pick(Pairs).textBox);
            d.click(box, {d.somewhere(box).x(), box->height() / 2});
            if (d.below(10) < 7) {
                d.key(box, Qt::Key_A, Qt::ControlModifier);
                d.key(box, Qt::Key_Backspace);
            }
            const QString n = QString::number(d.gen() >> d.below(32));
            const QString texts[] = {
                n,
                n,
                (d.oneIn(2) ? "-" : "+") + n,
                n + ".5",
                QString(d.below(3), u' ') + n + QString(d.below(3), u' '),
                QString(20 + d.below(380), QChar(u'1' + d.below(9))),
                d.pick(OddTexts),
            };
            if (d.oneIn(10))
                d.key(box, Qt::Key_Backspace);
            else
                d.type(box, d.pick(texts));
        }},
    {"spinner arrow", 8, [](Driver &d) { d.clickSomewhere(d.find(d.pick(Pairs).spinner), 7); }},
    {"spinner key", 3,
        [](Driver &d) {
            d.focusKey(d.find(d.pick(Pairs).spinner), d.oneIn(2) ? Qt::Key_Up : Qt::Key_Down);
        }},
    {"events", 2, [](Driver &) { QCoreApplication::processEvents(); }},
    // Never at random: the last action of a run that ends the program.
    {"exit shortcut", 0,
        [](Driver &d) {
            d.activate();
            d.key(&d.w, Qt::Key_X, Qt::ControlModifier);
        }},
    {"exit menu", 0, [](Driver &d) { d.menuItem("Exit"); }},
    {"close box", 0,
        [](Driver &d) {
            QCloseEvent close;
            QCoreApplication::sendEvent(d.w.windowHandle(), &close);
        }}, // as the window system does it
};

void Driver::act()
{
    if (endingDue() && (depth == 0 || QApplication::activeModalWidget()))
        return Actions[0].perform(*this); // a drawing, inside which the end comes
    ended = endingDue();
    if (ended)
        f.endingDepth = depth;
    ++f.actions;
    f.drawingActions += depth > 0;
    sinceAction = 0;
    if (depth == 0)
        rate = oneIn(QuietOneIn) ? QuietRate : BusyRate;
    const Action &action = weighted(Actions, [this](const Action &a) {
        return ended ? unsigned(a.name == std::string_view(settings.ending)) : a.weight;
    });
    doing = action.name;
    ++f.counts[doing];
    action.perform(*this);
    if (ended)
        expect(quitting() && !m.run.Running && !w.isVisible(), "the program did not end");
    else
        check(depth == 0);
}

Outcome Driver::go()
{
    QTemporaryDir folder;
    const QString previousFolder = QDir::currentPath();
    expect(folder.isValid() && QDir::setCurrent(folder.path()), "no temporary current directory");
    scratch.startUp();
    QObject::connect(&answerer, &QTimer::timeout, [this] { answer(); });
    m.run.yield = [this] { yielded(); };
    current = this;
    // Not counted: QTest's complaint about input to a disabled widget, the offscreen platform's
    // about what it cannot do.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtWarningMsg
            || !QRegularExpression("^(Keyboard event|Mouse event|This plugin does not support)")
                    .match(text)
                    .hasMatch()) {
            current->f.qtWarnings += type != QtDebugMsg && type != QtInfoMsg;
            std::fprintf(stderr, "%s\n", qPrintable(text));
        }
    });
    check(true);
    while (f.failure.isEmpty() && !ended && (f.actions < settings.actions || endingDue()))
        act();
    if (ended)
        expect(quitting() && !m.run.Running && !w.isVisible() && depth == 0
                && !QApplication::activeModalWidget(),
            "the drawings did not unwind");
    else
        check(true);
    // Put back.
    qInstallMessageHandler(nullptr);
    m.run.yield = windowYield;
    QDir::setCurrent(previousFolder);
    for (const auto &[name, count] : f.counts.asKeyValueRange())
        std::printf("%s %ld; ", qPrintable(name), count);
    std::printf("\nseed %u: %ld actions (%ld inside drawings), %ld elements, nesting %d deep, %ld "
                "Qt warnings, ended at depth %d\n",
        settings.seed, f.actions, f.drawingActions, f.elements, f.deepest, f.qtWarnings,
        f.endingDepth);
    return f;
}

} // namespace

Outcome run(Main &window, const Settings &settings) { return Driver{window, settings}.go(); }

} // namespace divograf::stress
