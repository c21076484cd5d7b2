// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "stress.h"

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

// An action after one element in BusyRate, or in QuietRate for one drawing in ten, so that
// drawings also end; a drawing that goes MaxQuiet elements without one is stopped by a click.
constexpr unsigned BusyRate = 25;
constexpr unsigned QuietRate = 2000;
constexpr int MaxQuiet = 3000;
const Qt::Key Keys[] = {Qt::Key_Left, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_End};
// Typed in the chooser: nothing, a missing folder, a name too long for the file system.
const QString ChooserNames[] = {"", "no/such/x", QString(300, u'x')};

struct Driver
{
    Main &w;
    const Settings settings;
    Outcome out{};
    QMap<QString, long> &count = out.figures;
    std::mt19937 gen{settings.seed};
    Model &m = w.model();
    const std::function<void()> windowYield = m.run.yield; // the window's own, called inside
    QString doing{};                                       // the action being given
    int depth = 0;
    unsigned rate = BusyRate;
    int sinceAction = 0;
    QTimer answerer{};
    QPointer<QWidget> answered{}; // the modal window answered last, and how often found since
    int answers = 0;
    long queuedAt = -1; // the elements drawn when a click was queued, until it comes
    const int pen = m.surface.DrawWidth(); // when idle

    long actions() const { return count.value("actions"); }
    unsigned below(std::size_t n) { return unsigned(gen() % n); }
    bool oneIn(unsigned n) { return below(n) == 0; }
    template <typename Rows> const auto &pick(const Rows &rows)
    {
        return std::begin(rows)[below(std::size(rows))];
    }
    template <typename T = QWidget> T *find(std::string_view name)
    {
        return w.findChild<T *>(QString::fromUtf8(name));
    }
    // The first failure also ends every drawing on the stack.
    void expect(bool ok, const QString &what)
    {
        if (ok || !out.failure.isEmpty())
            return;
        m.run.Running = false;
        out.failure = QString::asprintf("seed %u, action %ld (%s), depth %d: %s", settings.seed,
            actions(), qPrintable(doing), depth, qPrintable(what));
    }
    QPoint somewhere(const QWidget *on)
    {
        return {int(below(std::size_t(on->width()))), int(below(std::size_t(on->height())))};
    }
    void click(QWidget *on, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(on, button, {}, at);
    }
    // Shortcuts and the menu bar need the window active; the offscreen platform does not give
    // the activation back after a popup or a modal window.
    void activate()
    {
        if (!QApplication::activeModalWidget() && !QApplication::activePopupWidget())
            QApplication::setActiveWindow(&w);
    }
    void shortcut(Qt::Key key)
    {
        activate();
        QTest::keyClick(&w, key, Qt::ControlModifier);
    }
    // Through the menu bar: an item of the file menu, or one on the bar itself.
    void menuItem(std::string_view name)
    {
        auto *menu = find<QMenu>("Menu");
        QAction *item = find<QAction>(name);
        const bool inMenu = menu->actions().contains(item);
        activate();
        click(
            w.menuBar(), w.menuBar()->actionGeometry(inMenu ? menu->menuAction() : item).center());
        if (inMenu)
            click(menu, menu->actionGeometry(item).center());
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
    // A start/stop command, by its button or shortcut, stops the running drawing or runs a whole
    // one inside it (none at the nesting limit).
    void command(bool byButton)
    {
        const DrawingCommand &c = pick(DrawingCommands);
        const bool wasRunning = m.run.Running;
        const bool atLimit = depth >= MaxNestedDrawings;
        const long before = count.value("elements");
        if (byButton)
            click(find(c.button));
        else
            shortcut(c.key);
        const char *what = wasRunning ? "stop"
            : atLimit                 ? "ignored start"
            : depth > 0               ? "nested start"
                                      : "start";
        ++count[what];
        const bool drew = count.value("elements") > before;
        expect(!m.run.Running && (wasRunning || drew != atLimit),
            QString("a drawing left running or drawn wrongly after a ") + what);
    }

    // The modal window open: a chooser, the print window, a message or the About box. Found
    // open again, it may take a moment to close.
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || (modal == answered && ++answers <= 3))
            return;
        const bool known = qobject_cast<SaveLoad *>(modal) || qobject_cast<Printing *>(modal)
            || qobject_cast<QMessageBox *>(modal) || modal->objectName() == "About";
        doing = modal->metaObject()->className();
        expect(known && modal != answered, known ? "stayed open once answered" : "unexpected");
        if (!out.failure.isEmpty())
            return qobject_cast<QDialog *>(modal)->reject();
        answered = modal;
        answers = 0;
        ++count["actions"];
        ++count[doing];
        if (auto *chooser = qobject_cast<SaveLoad *>(modal)) {
            if (oneIn(3)) { // typed over the name offered, which is selected
                QTest::keyClick(chooser->nameBox(), Qt::Key_Backspace);
                QTest::keyClicks(chooser->nameBox(), pick(ChooserNames));
            }
            QTest::keyClick(chooser, below(20) < 13 ? Qt::Key_Return : Qt::Key_Escape);
        } else if (auto *printing = qobject_cast<Printing *>(modal)) { // never Enter: it prints
            click(oneIn(2) ? printing->cancelButton() : modal, QPoint(20, 20));
        } else { // never the About box's System Info button: it starts a program
            QTest::keyClick(modal, oneIn(2) ? Qt::Key_Return : Qt::Key_Escape);
        }
    }

    void yielded()
    {
        count["deepest"] = std::max(count["deepest"], long(++depth));
        ++count["elements"];
        expect(depth <= MaxNestedDrawings && depth == m.drawingsOnStack(),
            "the drawings nested beyond the limit or are miscounted");
        expect(queuedAt < 0 || count["elements"] - queuedAt < 2000,
            "a click waits in the queue: the drawings take no events");
        const bool free = out.failure.isEmpty() && queuedAt < 0;
        if (free && actions() < settings.actions && oneIn(rate)) {
            act();
        } else if (free && m.run.Running
            && (++sinceAction >= MaxQuiet || actions() >= settings.actions)) {
            ++count["cut short"];
            sinceAction = 0;
            stopByClick({});
        }
        windowYield();
        const Status &s = m.run.status;
        expect(w.windowTitle() == s.caption() && s.progress() >= 0 && s.progress() <= 100,
            "the caption or progress is not the drawing's");
        --depth;
    }

    // The widgets show what the model holds, within its ranges (else their name is the failure).
    void check(bool idle)
    {
        for (const ControlSpec &s : Controls) {
            auto *slider = find<QSlider>(s.name);
            const int x = m.fractal.value(s.id);
            const int shown = slider ? slider->value() : find<QAbstractButton>(s.name)->isChecked();
            expect(x >= s.min && x <= s.max && shown == (slider ? x : x == 1), s.name.data());
        }
        for (const PairSpec &p : Pairs) {
            const int x = m.interference.value(p.id);
            const QString text = m.interference.text(p.id);
            expect(x >= p.min && x <= p.max && find<UpDown>(p.spinner)->value() == x
                    && find<QLineEdit>(p.textBox)->text() == text
                    && !applyTextRule(p, text).rewrite,
                p.textBox.data());
        }
        for (QWidget *top : QApplication::topLevelWidgets()) // a modal window, a popup...
            expect(top == &w || !top->isVisible(), "a window left open");
        if (!idle)
            return;
        expect(!m.run.Running && m.drawingsOnStack() == 0 && m.surface.DrawWidth() == pen
                && w.windowTitle() == ProgramName && w.findChild<QProgressBar *>()->value() == 0
                && std::ranges::none_of(w.findChildren<QTimer *>(), &QTimer::isActive)
                && w.findChildren<QDialog *>().isEmpty(),
            "a drawing or its pen, caption, progress, timer or modal window left when idle");
    }

    void act();
    Outcome go();
};

// The user's actions, each as likely as its weight.
const struct Action
{
    std::string_view name;
    unsigned weight;
    void (*perform)(Driver &d);
} Actions[] = {
    {"command", 18, [](Driver &d) { d.command(d.below(5) < 3); }},
    {"surface click", 4,
        [](Driver &d) { // through the event queue, as a user's click comes
            const QPoint at = d.somewhere(d.find("Field"));
            d.queuedAt = d.count["elements"];
            QTimer::singleShot(0, &d.answerer, [&d, at] {
                d.queuedAt = -1;
                d.stopByClick(at);
            });
        }},
    {"file command", 3,
        [](Driver &d) { // by the menu or the shortcut; never Exit, the last item
            const auto &item = layout::FileMenuItems[d.below(std::size(layout::FileMenuItems) - 1)];
            const bool byMenu = d.oneIn(3);
            d.withAnswers([&] { byMenu ? d.menuItem(item.name) : d.shortcut(item.key); });
        }},
    {"about", 1, [](Driver &d) { d.withAnswers([&] { d.menuItem(layout::HelpName); }); }},
    {"control", 41,
        [](Driver &d) { // a key, or a click: on a slider or a spinner anywhere, by either button
            QWidget *on = d.find(d.oneIn(3) ? d.pick(Pairs).spinner : d.pick(Controls).name);
            const bool anywhere = qobject_cast<QSlider *>(on) || qobject_cast<UpDown *>(on);
            on->setFocus(Qt::TabFocusReason);
            if (d.oneIn(3))
                QTest::keyClick(on, d.pick(Keys));
            else
                d.click(on, anywhere ? d.somewhere(on) : QPoint(),
                    d.oneIn(3) ? Qt::RightButton : Qt::LeftButton);
        }},
    {"typing", 12,
        [](Driver &d) { // over the text or where clicked: numbers, blanks, junk, nothing
            auto *box = d.find<QLineEdit>(d.pick(Pairs).textBox);
            d.click(box, {d.somewhere(box).x(), box->height() / 2});
            if (d.oneIn(2))
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            const QString n = QString::number(d.gen() >> d.below(32));
            const QString texts[] = {n, "-" + n, n + ".5", " " + n + " ", "1e400", "abc", ""};
            QTest::keyClicks(box, d.pick(texts));
        }},
};

void Driver::act()
{
    ++count["actions"];
    count["inside drawings"] += depth > 0;
    sinceAction = 0;
    if (depth == 0)
        rate = oneIn(10) ? QuietRate : BusyRate;
    const auto weights = Actions | std::views::transform(&Action::weight);
    const Action &action
        = Actions[std::discrete_distribution<int>(weights.begin(), weights.end())(gen)];
    doing = QString::fromUtf8(action.name);
    ++count[doing];
    action.perform(*this);
    check(depth == 0);
}

Outcome Driver::go()
{
    QTemporaryDir folder;
    const QString previousFolder = QDir::currentPath();
    expect(folder.isValid() && QDir::setCurrent(folder.path()), "no temporary current directory");
    QObject::connect(&answerer, &QTimer::timeout, [this] { answer(); });
    m.run.yield = [this] { yielded(); };
    check(true);
    while (out.failure.isEmpty() && actions() < settings.actions)
        act();
    check(true);
    m.run.yield = windowYield;
    QDir::setCurrent(previousFolder);
    for (const auto &[name, figure] : count.asKeyValueRange())
        std::printf("%s %ld; ", qPrintable(name), figure);
    std::printf("seed %u\n", settings.seed);
    return out;
}

} // namespace

Outcome run(Main &window, const Settings &settings) { return Driver{window, settings}.go(); }

} // namespace divograf::stress
