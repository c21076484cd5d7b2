// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "stress.h"

#include "core/files/parameters.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"
#include "ui/layout.h"
#include "ui/mainwindow.h"
#include "ui/updown.h"

#include <QtTest>
#include <QtWidgets>

#include <random>
#include <ranges>

namespace divograf::stress {

namespace {

constexpr int MaxQuiet = 3000; // elements a drawing goes without an action before the surface is clicked
// An action after one element in BusyRate, or in QuietRate for one drawing in QuietOneIn, so that drawings also end.
constexpr unsigned BusyRate = 25, QuietRate = 2000, QuietOneIn = 10;
constexpr int DrawingWeights[] = {7, 4, 5, 4}; // by `Drawing`
constexpr int OptionWeights[] = {12, 5, 2, 1}; // Option1 to Option4: mostly coarse cells, for speed
const Qt::Key SliderKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
// Typed besides numbers: junk, other digits, blanks, numbers beyond any range, nothing.
const char *const OddTexts[] = {"abc", "--5", "+-3", "1e", ".", "12abc", "0x1F", "1,5", "٣", "７", "ж", " ", "\u00a0" "5", "1 2", "3.",
                                ".5", "-0", "+7", "1e+", "1e400", "-1e400", "inf", "nan", "2147483648", "-2147483649", "4294967296", ""};
// Names for the chooser: plain, Cyrillic, blank, empty, a missing folder, odd, too long for the file system.
const QString ChooserNames[] = {"Fractal", "Дивограф", "x y", "", "no/such/x", "#$%&*?", QString(300, u'я')};

struct Driver
{
    static inline Driver *current = nullptr; // the run that counts Qt's warnings
    Main &w;
    const Settings settings;
    std::mt19937 gen{settings.seed};
    Figures f;
    QString failure, doing; // the first broken invariant; the action being given
    int depth = 0, answers = 0, sinceAction = 0;
    unsigned rate = BusyRate;
    bool ended = false;
    QTimer answerer;
    QPointer<QWidget> answered;
    Model scratch; // never drawn in: the window's parameters are read back through it
    QProgressBar *const progress = w.findChild<QProgressBar *>(QStringLiteral("Progress"));

    Driver(Main &window, const Settings &s) : w(window), settings(s) {}
    Model &model() { return w.model(); }
    bool quitting() const { return w.windowYield().quitting(); }
    bool endingDue() const { return settings.ending && !ended && f.actions + 1 >= settings.actions; }
    unsigned below(unsigned n) { return static_cast<unsigned>(gen() % n); }
    bool oneIn(unsigned n) { return below(n) == 0; }
    template <typename Rows> const auto &pick(const Rows &rows) { return std::begin(rows)[below(unsigned(std::size(rows)))]; }
    template <typename Rows, typename Weight> const auto &weighted(const Rows &rows, Weight weight) // each as likely as its weight
    {
        const auto weights = rows | std::views::transform(weight);
        return std::begin(rows)[std::discrete_distribution<int>(weights.begin(), weights.end())(gen)];
    }
    template <typename T = QWidget> T *find(std::string_view name) { return w.findChild<T *>(QString::fromUtf8(name)); }
    void expect(bool ok, std::string_view what, std::string_view about = {})
    {
        if (!ok && failure.isEmpty()) // every drawing on the stack ends at its next check
            model().run.Running = false, failure = QStringLiteral("seed %1, action %2 (%3), depth %4: %5 %6")
                                                       .arg(settings.seed).arg(f.actions).arg(doing).arg(depth).arg(QString::fromUtf8(what), QString::fromUtf8(about));
    }

    void click(QWidget *on, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(on, button, {}, at); }
    void key(QWidget *on, Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(on, k, modifiers); }
    void focusKey(QWidget *on, Qt::Key k) { on->setFocus(Qt::TabFocusReason), key(on, k); }
    QPoint somewhere(const QWidget *on) { return {int(below(unsigned(on->width()))), int(below(unsigned(on->height())))}; }
    void clickSomewhere(QWidget *on, unsigned rightOneIn) { click(on, somewhere(on), oneIn(rightOneIn) ? Qt::RightButton : Qt::LeftButton); }
    QWidget *someControl(ControlKind kind)
    {
        return find(weighted(Controls, [kind](const ControlSpec &c) { return c.kind != kind ? 0u : kind == ControlKind::Option ? OptionWeights[int(c.id) - int(Control::Option1)] : 1u; }).name);
    }
    void type(QWidget *on, const QString &text) // character by character, as a keyboard would
    {
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, on, c > u' ' && c < u'\x7f' ? Qt::Key(c.toUpper().unicode()) : c == u' ' ? Qt::Key_Space : Qt::Key_unknown, QString(c), {});
    }
    // Shortcuts need the window active, and the offscreen platform does not give the activation back after a popup or modal window.
    void activate()
    {
        if (!QApplication::activeModalWidget() && !QApplication::activePopupWidget())
            QApplication::setActiveWindow(&w);
    }
    void menuBarClick(QAction *item) { activate(), click(w.menuBar(), w.menuBar()->actionGeometry(item).center()); }
    // Opens the menu from the menu bar and clicks the item; the submenu is opened by the keyboard,
    // which opens it at once where the mouse waits for a delay.
    void menuItem(QAction *item)
    {
        auto *menu = find<QMenu>("Menu"), *sub = find<QMenu>("int"), *in = sub->actions().contains(item) ? sub : menu;
        menuBarClick(menu->menuAction());
        if (in == sub)
            menu->setActiveAction(sub->menuAction()), key(menu, Qt::Key_Right);
        click(in, in->actionGeometry(item).center());
    }
    // Modal windows cannot nest: while one is open, only the answerer acts.
    void withAnswers(const std::function<void()> &action) { answerer.start(), action(), answerer.stop(); }
    void stopByClick(QPoint at) { click(find("Field"), at), expect(!model().run.Running, "a click on the surface did not stop the drawing"); }
    // A start/stop command, however given: it either stops the running drawing or, from a stopped
    // state, runs a whole drawing inside it (none at the nesting limit); nothing is left running.
    void command(const std::function<void()> &give)
    {
        const auto [wasRunning, atLimit, before] = std::tuple(model().run.Running, depth >= MaxNestedDrawings, f.elements);
        give();
        const char *what = wasRunning ? "stop" : atLimit ? "ignored start" : depth > 0 ? "nested start" : "start";
        f.counts[QLatin1String(what)] += !quitting();
        expect(quitting() || (!model().run.Running && (wasRunning || (f.elements > before) != atLimit)), "a drawing left running or drawn wrongly after a", what);
    }

    void answer() // the modal window open: a chooser, the print window, a message or the About box
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || (modal == answered && ++answers <= 3)) // found open again: it may take a moment to close
            return;
        auto *chooser = qobject_cast<SaveLoad *>(modal);
        auto *printing = qobject_cast<Printing *>(modal);
        const bool known = chooser || printing || qobject_cast<QMessageBox *>(modal) || modal->objectName() == QLatin1String("About");
        expect(known && modal != answered, modal->metaObject()->className(), known ? "stayed open after it was answered" : "was not expected");
        if (!failure.isEmpty())
            return qobject_cast<QDialog *>(modal)->reject();
        answered = modal, answers = 0, ++f.actions;
        ++f.counts[doing = QLatin1String(modal->metaObject()->className())];
        if (chooser)
            answerChooser(chooser);
        else if (printing) // never Enter: that would print
            oneIn(3) ? key(printing, Qt::Key_Escape) : oneIn(2) ? click(printing->cancelButton()) : click(printing, QPoint(20, 20));
        else // never the About box's System Info button: it starts a program
            key(modal, oneIn(2) ? Qt::Key_Return : Qt::Key_Escape);
    }
    void answerChooser(SaveLoad *chooser) // maybe a name typed, then confirmed or cancelled, by the key or the button
    {
        if (QLineEdit *box = chooser->nameBox(); oneIn(3))
            click(box), key(box, Qt::Key_A, Qt::ControlModifier), key(box, Qt::Key_Backspace), type(box, pick(ChooserNames));
        const bool confirm = below(20) < 13 && failure.isEmpty();
        oneIn(4) ? click(confirm ? chooser->confirmButton() : chooser->cancelButton()) : key(chooser, confirm ? Qt::Key_Return : Qt::Key_Escape);
    }

    void yielded(const std::function<void()> &windowYield)
    {
        f.deepest = std::max(f.deepest, ++depth), ++f.elements;
        expect(depth <= MaxNestedDrawings && depth == model().drawingsOnStack(), "the drawings nested beyond the limit or are miscounted");
        const bool free = failure.isEmpty() && !ended && !quitting();
        if (free && (endingDue() || (f.actions < settings.actions && oneIn(rate)))) {
            act();
        } else if (free && model().run.Running && (++sinceAction >= MaxQuiet || f.actions >= settings.actions)) {
            ++f.counts[QStringLiteral("cut short")], sinceAction = 0;
            stopByClick({});
        }
        windowYield();
        const Status &status = model().run.status;
        expect(quitting() || (w.windowTitle() == status.caption() && progress->value() == status.progress() && status.progress() >= 0 && status.progress() <= 100),
               "the caption or the progress bar shows other than the drawing's status");
        --depth;
    }

    // The widgets show what the model holds, within the model's ranges, and the model agrees with
    // itself: its parameters saved and read back into a second model come back unchanged.
    void check(bool idle)
    {
        Model &m = model();
        int selected = 0; // 1 for each option selected, 100 for each shown selected
        for (const ControlSpec &s : Controls) {
            auto *slider = find<QSlider>(s.name);
            const int x = m.fractal.value(s.id), shown = slider ? slider->value() : find<QAbstractButton>(s.name)->isChecked();
            selected += s.kind == ControlKind::Option ? x + 100 * shown : 0;
            expect(x >= s.min && x <= s.max && (slider ? shown == x && slider->minimum() == s.min && slider->maximum() == s.max : shown == (x == 1)), "out of range or shown otherwise:", s.name);
        }
        expect(selected == 101, "not one option selected and shown");
        expect(find("MM")->isEnabled() == m.fractal.mmEnabled() && m.fractal.mmEnabled() == (m.fractal.value(Control::MUA) == 1), "MM is enabled otherwise than MUA is ticked");
        expect(find<QGroupBox>("Frame1")->title() == m.fractal.frame1Caption() && find<QLabel>("Label2")->text() == m.fractal.label2Caption(), "a caption shows otherwise");
        for (const PairSpec &p : Pairs) {
            const int x = m.interference.value(p.id);
            auto *spinner = find<UpDown>(p.spinner);
            expect(x >= p.min && x <= p.max && spinner->value() == x && spinner->minimum() == p.min && spinner->maximum() == p.max, "out of range or shown otherwise:", p.spinner);
            expect(find<QLineEdit>(p.textBox)->text() == m.interference.text(p.id) && !applyTextRule(p, m.interference.text(p.id)).rewrite, "a text shown otherwise or to be rewritten:", p.textBox);
        }
        const ParameterRecords saved = takeParameters(m); // rewrites only the Stored copies, which nothing but a save reads
        applyParameters(scratch, saved);
        expect(takeParameters(scratch) == saved, "the records read back otherwise than they were saved");
        for (QWidget *top : QApplication::topLevelWidgets()) // a modal window, a popup or any other
            expect(top == &w || !top->isVisible(), "a window was left open:", top->metaObject()->className());
        if (!idle)
            return;
        expect(!m.run.Running && m.drawingsOnStack() == 0, "drawings running when idle");
        expect(w.windowTitle() == ProgramName && progress->value() == 0 && m.run.status.progress() == 0, "a drawing's caption or progress shown when idle");
        expect(m.surface.DrawWidth() == scratch.surface.DrawWidth(), "a wide pen left when idle");
        for (const QTimer *timer : w.findChildren<QTimer *>())
            expect(!timer->isActive(), "a timer runs when idle:", timer->parent()->metaObject()->className());
        expect(w.findChildren<QDialog *>().isEmpty(), "a closed modal window still exists");
    }

    void act();
    Outcome go();
};

const DrawingCommand &someCommand(Driver &d) { return d.weighted(DrawingCommands, [](const DrawingCommand &c) { return unsigned(DrawingWeights[int(c.drawing)]); }); }
std::int32_t someValue(Driver &d) { return static_cast<std::int32_t>(d.gen()) >> d.below(32); }

// The user's actions, each as likely as its weight.
const struct Action { const char *name; unsigned weight; void (*perform)(Driver &d); } Actions[] = {
    {"command button", 8, [](Driver &d) { d.command([&] { d.click(d.find(someCommand(d).button)); }); }},
    {"command shortcut", 6, [](Driver &d) { d.command([&] { d.activate(), d.key(&d.w, someCommand(d).key, Qt::ControlModifier); }); }},
    {"command menu", 4, [](Driver &d) { d.command([&] { d.menuItem(d.find<QAction>(someCommand(d).menuItem)); }); }},
    {"surface click", 4, [](Driver &d) { d.stopByClick(d.somewhere(d.find("Field"))); }},
    {"file command", 3, [](Driver &d) { // by the menu or the shortcut; never Exit
         const auto &item = d.weighted(layout::FileMenuItems, [](const layout::MenuItemLook &i) { return unsigned(std::string_view(i.name) != "Exit"); });
         d.withAnswers([&] { d.oneIn(3) ? d.menuItem(d.find<QAction>(item.name)) : (d.activate(), d.key(&d.w, item.key, Qt::ControlModifier)); });
     }},
    {"about", 1, [](Driver &d) { d.withAnswers([&] { d.menuBarClick(d.find<QAction>(layout::HelpName)); }); }},
    {"foreign file", 1, [](Driver &d) { // another program writes the file that Load offers: random records, maybe cut off
         ParameterRecords records;
         std::ranges::for_each(records, [&](StoredInt &r) { d.oneIn(2) ? r.set16(someValue(d)) : r.set32(someValue(d)); });
         QFile file(QStringLiteral("Fractal.dvg"));
         d.expect(file.open(QIODevice::WriteOnly) && file.write(encodeParameters(records).left(d.oneIn(3) ? d.below(ParameterFileLength) : ParameterFileLength)) >= 0, "could not write Fractal.dvg");
     }},
    {"option", 6, [](Driver &d) { d.click(d.someControl(ControlKind::Option)); }},
    {"check box", 6, [](Driver &d) { d.click(d.someControl(ControlKind::CheckBox)); }},
    {"slider click", 8, [](Driver &d) { d.clickSomewhere(d.someControl(ControlKind::Slider), 10); }},
    {"slider key", 10, [](Driver &d) { d.focusKey(d.someControl(ControlKind::Slider), d.pick(SliderKeys)); }},
    {"typing", 12, [](Driver &d) { // over the text or at its end: a number, signed, with a fraction, in blanks, very long, or odd
         auto *box = d.find<QLineEdit>(d.pick(Pairs).textBox);
         d.click(box, QPoint(int(d.below(unsigned(box->width()))), box->height() / 2));
         if (d.below(10) < 7)
             d.key(box, Qt::Key_A, Qt::ControlModifier), d.key(box, Qt::Key_Backspace);
         const QString n = QString::number(d.gen() >> d.below(32)), texts[] = {n, n, (d.oneIn(2) ? "-" : "+") + n, n + ".5",
             QString(d.below(3), u' ') + n + QString(d.below(3), u' '), QString(20 + d.below(380), QChar(u'1' + d.below(9))), QString::fromUtf8(d.pick(OddTexts))};
         d.oneIn(10) ? d.key(box, Qt::Key_Backspace) : d.type(box, d.pick(texts));
     }},
    {"spinner arrow", 8, [](Driver &d) { d.clickSomewhere(d.find(d.pick(Pairs).spinner), 7); }},
    {"spinner key", 3, [](Driver &d) { d.focusKey(d.find(d.pick(Pairs).spinner), d.oneIn(2) ? Qt::Key_Up : Qt::Key_Down); }},
    {"events", 2, [](Driver &) { QCoreApplication::processEvents(); }},
    // Never at random: the last action of a run that ends the program.
    {"exit shortcut", 0, [](Driver &d) { d.activate(), d.key(&d.w, Qt::Key_X, Qt::ControlModifier); }},
    {"exit menu", 0, [](Driver &d) { d.menuItem(d.find<QAction>("Exit")); }},
    {"close box", 0, [](Driver &d) { QCloseEvent close; QCoreApplication::sendEvent(d.w.windowHandle(), &close); }}, // as the window system does it
};

void Driver::act()
{
    if (endingDue() && (depth == 0 || QApplication::activeModalWidget()))
        return Actions[0].perform(*this); // a drawing, inside which the end comes
    f.endingDepth = (ended = endingDue()) ? depth : f.endingDepth;
    ++f.actions, f.drawingActions += depth > 0, sinceAction = 0;
    rate = depth > 0 ? rate : oneIn(QuietOneIn) ? QuietRate : BusyRate;
    const Action &action = ended ? *std::ranges::find_if(Actions, [this](const Action &a) { return a.name == std::string_view(settings.ending); })
                                 : weighted(Actions, [](const Action &a) { return a.weight; });
    ++f.counts[doing = QLatin1String(action.name)];
    action.perform(*this);
    if (ended)
        expect(quitting() && !model().run.Running && !w.isVisible(), "the program did not end");
    else if (!quitting())
        check(depth == 0);
}

Outcome Driver::go()
{
    QTemporaryDir folder;
    const QString previousFolder = QDir::currentPath();
    expect(folder.isValid() && QDir::setCurrent(folder.path()), "no temporary current directory");
    scratch.startUp();
    QObject::connect(&answerer, &QTimer::timeout, [this] { answer(); });
    const std::function<void()> windowYield = model().run.yield;
    model().run.yield = [this, windowYield] { yielded(windowYield); };
    current = this;
    // Not counted: QTest's complaint about input to a disabled widget, the offscreen platform's about what it cannot do.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtWarningMsg && QRegularExpression(QStringLiteral("^(Keyboard event|Mouse event|This plugin does not support)")).match(text).hasMatch())
            return;
        current->f.qtWarnings += type != QtDebugMsg && type != QtInfoMsg;
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    check(true);
    while (failure.isEmpty() && !ended && (f.actions < settings.actions || endingDue()))
        act();
    ended ? expect(quitting() && !model().run.Running && depth == 0 && !QApplication::activeModalWidget(), "the drawings did not unwind") : check(true);
    qInstallMessageHandler(nullptr);
    model().run.yield = windowYield;
    QDir::setCurrent(previousFolder);
    return {f, failure};
}

} // namespace

Outcome run(Main &window, const Settings &settings) { return Driver(window, settings).go(); }

QString summary(const Settings &settings, const Figures &f, double seconds)
{
    QString s = QStringLiteral("seed %1: %2 actions in %3 s (%4 inside drawings), %5 elements, nesting %6 deep, %7 Qt warnings, ended at depth %8\n")
                    .arg(settings.seed).arg(f.actions).arg(seconds, 0, 'f', 1).arg(f.drawingActions).arg(f.elements).arg(f.deepest).arg(f.qtWarnings).arg(f.endingDepth);
    for (const auto &[name, count] : f.counts.asKeyValueRange())
        s += QStringLiteral("%1 %2; ").arg(name).arg(count);
    return s;
}

} // namespace divograf::stress
