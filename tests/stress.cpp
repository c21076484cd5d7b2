// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "stress.h"

#include "sliderhandle.h"

#include "ui/mainwindow.h"
#include "ui/surfaceview.h"
#include "ui/updown.h"
#include "core/files/paramfile.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <variant>
#include <vector>

namespace divograf::stress {

namespace {

constexpr long MaxQuiet = 3000;   // elements a drawing goes without an action before the surface is clicked
constexpr unsigned BusyRate = 25; // an action after one element in this many ...
constexpr unsigned QuietRate = 2000; // ... or in this many, for one drawing in ten, so that drawings also end
constexpr unsigned QuietOneIn = 10;
constexpr int MaxAnswers = 3;     // times a modal window is found open after it was answered
constexpr int Remembered = 16;    // last actions shown with a failure

constexpr int DrawingCount = static_cast<int>(std::size(DrawingCommands));

// Names the chooser is given: plain, Cyrillic, blank, empty, a missing folder, odd characters,
// too long for the file system. None leaves the current directory.
const char *const ChooserNames[] = {"Fractal", "stress", "Дивограф", "x y", "", "no/such/x", "#$%&*?", "long"};

QString str(const char *utf8) { return QString::fromUtf8(utf8); }


// Types `text` character by character into the widget with the focus, as a keyboard would.
void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool ascii = u > 0x20 && u < 0x7f;
        const Qt::Key key = u == ' ' ? Qt::Key_Space : ascii ? Qt::Key(QChar(u).toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

class Driver;
Driver *current = nullptr; // the driver whose run is filtering Qt's messages
QtMessageHandler previousHandler = nullptr;

class Driver
{
public:
    Driver(Main &window, const Settings &settings);
    Outcome go();

    void message(QtMsgType type, const QMessageLogContext &context, const QString &text);

private:
    struct Kind
    {
        const char *name;
        int weight;
        void (Driver::*perform)();
    };
    static const std::vector<Kind> &kinds();

    unsigned below(unsigned n) { return static_cast<unsigned>(gen_() % n); }
    bool oneIn(unsigned n) { return below(n) == 0; }
    template <typename T, std::size_t N>
    const T &pick(const T (&items)[N]) { return items[below(N)]; }

    bool quitting() const { return w_.windowYield().quitting(); }
    bool endingDue() const
    {
        return settings_.ending != Ending::None && !ended_ && figures_.actions + 1 >= settings_.actions;
    }
    Model &model() { return w_.model(); }

    void act();
    void yielded(const std::function<void()> &windowYield);
    void note(const QString &what);
    void fail(const QString &what);
    void expect(bool ok, const QString &what)
    {
        if (!ok)
            fail(what);
    }
    void check(bool idle);
    void checkShown();
    void activate();
    void withAnswers(const std::function<void()> &action);
    void answer();
    void answerChooser(SaveLoad *chooser);
    void end();
    void forcedStop();

    // The actions.
    void command(const QString &how, const std::function<void()> &give);
    void commandButton();
    void commandShortcut();
    void commandMenu();
    void menuItem(QAction *item);
    void surfaceClick();
    void fileCommand();
    void about();
    void foreignFile();
    void option();
    void checkBox();
    QSlider *someSlider();
    void sliderClick();
    void sliderDrag();
    void sliderKey();
    QString someText();
    void typing();
    void spinnerArrow();
    void spinnerKey();
    void menuDismissed();
    void events();

    Main &w_;
    const Settings settings_;
    std::mt19937 gen_;
    Figures figures_;
    QString failure_;
    std::deque<QString> recent_;
    int depth_ = 0;
    std::uintptr_t stackBase_ = 0;
    long sinceAction_ = 0;
    unsigned rate_ = BusyRate;
    bool ended_ = false;
    QTimer answerer_;
    QPointer<QWidget> answered_;
    int answers_ = 0;

    std::array<QWidget *, static_cast<int>(Control::Count)> controls_{};
    std::array<QLineEdit *, static_cast<int>(Pair::Count)> texts_{};
    std::array<UpDown *, static_cast<int>(Pair::Count)> spinners_{};
    std::array<QAbstractButton *, DrawingCount> commands_{};
    std::array<QAction *, DrawingCount> items_{};
    QMenu *menu_;
    QMenu *int_;
    QAction *help_;
    SurfaceView *field_;
    QProgressBar *progress_;
    QGroupBox *frame1_;
    QLabel *label2_;
};

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (current)
        current->message(type, context, text);
    else if (previousHandler)
        previousHandler(type, context, text);
}

Driver::Driver(Main &window, const Settings &settings)
    : w_(window)
    , settings_(settings)
    , gen_(settings.seed)
{
    auto child = [this](const char *name) {
        QObject *object = w_.findChild<QObject *>(QString::fromLatin1(name));
        if (!object)
            fail(QStringLiteral("no %1 in the window").arg(QString::fromLatin1(name)));
        return object;
    };
    for (const ControlSpec &s : Controls)
        controls_[static_cast<int>(s.id)] =
            qobject_cast<QWidget *>(child(std::string(s.name).c_str()));
    for (const PairSpec &p : Pairs) {
        texts_[static_cast<int>(p.id)] = qobject_cast<QLineEdit *>(child(std::string(p.textBox).c_str()));
        spinners_[static_cast<int>(p.id)] = qobject_cast<UpDown *>(child(std::string(p.spinner).c_str()));
    }
    for (int d = 0; d < DrawingCount; ++d) {
        commands_[d] = qobject_cast<QAbstractButton *>(child(std::string(DrawingCommands[d].button).c_str()));
        items_[d] = qobject_cast<QAction *>(child(std::string(DrawingCommands[d].menuItem).c_str()));
    }
    menu_ = qobject_cast<QMenu *>(child("Menu"));
    int_ = qobject_cast<QMenu *>(child("int"));
    help_ = qobject_cast<QAction *>(child("Help"));
    field_ = qobject_cast<SurfaceView *>(child("Field"));
    progress_ = qobject_cast<QProgressBar *>(child("Progress"));
    frame1_ = qobject_cast<QGroupBox *>(child("Frame1"));
    label2_ = qobject_cast<QLabel *>(child("Label2"));
    answerer_.setInterval(0);
    QObject::connect(&answerer_, &QTimer::timeout, [this] { answer(); });
}

const std::vector<Driver::Kind> &Driver::kinds()
{
    static const std::vector<Kind> table{
        {"command button", 8, &Driver::commandButton},
        {"command shortcut", 6, &Driver::commandShortcut},
        {"command menu", 4, &Driver::commandMenu},
        {"surface click", 4, &Driver::surfaceClick},
        {"file command", 3, &Driver::fileCommand},
        {"about", 1, &Driver::about},
        {"foreign file", 1, &Driver::foreignFile},
        {"option", 6, &Driver::option},
        {"check box", 6, &Driver::checkBox},
        {"slider click", 8, &Driver::sliderClick},
        {"slider drag", 6, &Driver::sliderDrag},
        {"slider key", 10, &Driver::sliderKey},
        {"typing", 12, &Driver::typing},
        {"spinner arrow", 8, &Driver::spinnerArrow},
        {"spinner key", 3, &Driver::spinnerKey},
        {"menu dismissed", 1, &Driver::menuDismissed},
        {"events", 2, &Driver::events},
    };
    return table;
}

Outcome Driver::go()
{
    QTemporaryDir folder;
    const QString previousFolder = QDir::currentPath();
    if (!folder.isValid() || !QDir::setCurrent(folder.path()))
        fail(QStringLiteral("no temporary current directory"));
    const std::function<void()> windowYield = model().run.yield;
    model().run.yield = [this, windowYield] { yielded(windowYield); };
    current = this;
    previousHandler = qInstallMessageHandler(handleMessage);

    if (failure_.isEmpty())
        check(true);
    while (failure_.isEmpty() && !ended_ && (figures_.actions < settings_.actions || endingDue()))
        act();
    if (failure_.isEmpty() && !ended_)
        check(true);
    if (ended_ && failure_.isEmpty()) {
        expect(quitting() && !model().run.Running && depth_ == 0, QStringLiteral("the drawings did not unwind"));
        expect(!QApplication::activeModalWidget(), QStringLiteral("a modal window outlived the program's end"));
    }

    qInstallMessageHandler(previousHandler);
    current = nullptr;
    model().run.yield = windowYield;
    QDir::setCurrent(previousFolder);
    return {figures_, failure_};
}

void Driver::message(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // QTest's complaint about input that a widget ignored, as a disabled slider or a read-only
    // box does: ordinary for a user who clicks and types anywhere. And the offscreen platform's
    // note that it cannot grab the keyboard or raise a window for a menu or a modal window.
    if (type == QtWarningMsg
        && (text.startsWith(QLatin1String("Keyboard event")) || text.startsWith(QLatin1String("Mouse event"))
            || text.startsWith(QLatin1String("This plugin does not support"))))
        return;
    if (type != QtDebugMsg && type != QtInfoMsg)
        ++figures_.qtWarnings;
    if (previousHandler)
        previousHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

void Driver::note(const QString &what)
{
    const QString line = QStringLiteral("#%1 depth %2: %3").arg(figures_.actions).arg(depth_).arg(what);
    recent_.push_back(line);
    if (recent_.size() > Remembered)
        recent_.pop_front();
    if (settings_.trace)
        std::fprintf(stderr, "%s\n", qPrintable(line));
}

void Driver::fail(const QString &what)
{
    if (!failure_.isEmpty())
        return;
    failure_ = QStringLiteral("seed %1, action %2, depth %3: %4\nlast actions:")
                   .arg(settings_.seed)
                   .arg(figures_.actions)
                   .arg(depth_)
                   .arg(what);
    for (const QString &line : recent_)
        failure_ += QStringLiteral("\n  ") + line;
    // Every drawing on the stack ends at its next check.
    w_.model().run.Running = false;
}

void Driver::act()
{
    if (endingDue()) {
        if (depth_ > 0 && !QApplication::activeModalWidget())
            end();
        else
            commandButton(); // the end comes inside this drawing
        return;
    }
    ++figures_.actions;
    ++(depth_ == 0 ? figures_.idleActions : figures_.drawingActions);
    sinceAction_ = 0;
    if (depth_ == 0)
        rate_ = oneIn(QuietOneIn) ? QuietRate : BusyRate;

    int total = 0;
    for (const Kind &k : kinds())
        total += k.weight;
    int r = static_cast<int>(below(static_cast<unsigned>(total)));
    const Kind *kind = &kinds().front();
    for (const Kind &k : kinds()) {
        if (r < k.weight) {
            kind = &k;
            break;
        }
        r -= k.weight;
    }
    ++figures_.kinds[QString::fromLatin1(kind->name)];
    (this->*kind->perform)();
    if (!ended_)
        check(depth_ == 0);
}

void Driver::yielded(const std::function<void()> &windowYield)
{
    ++depth_;
    figures_.deepest = std::max(figures_.deepest, depth_);
    // The stack that the drawings above the outermost one take.
    const char here = 0;
    if (depth_ == 1)
        stackBase_ = reinterpret_cast<std::uintptr_t>(&here);
    else
        figures_.deepestStack = std::max(figures_.deepestStack, static_cast<long>(stackBase_ - reinterpret_cast<std::uintptr_t>(&here)));
    ++figures_.elements;
    ++sinceAction_;
    if (depth_ > MaxNestedDrawings || depth_ != model().drawingsOnStack())
        fail(QStringLiteral("%1 drawings nested, %2 on the model's count").arg(depth_).arg(model().drawingsOnStack()));
    if (failure_.isEmpty() && !ended_ && !quitting()) {
        if (endingDue() || (figures_.actions < settings_.actions && oneIn(rate_)))
            act();
        else if (model().run.Running && (sinceAction_ >= MaxQuiet || figures_.actions >= settings_.actions))
            forcedStop();
    }
    windowYield();
    if (failure_.isEmpty() && !quitting())
        checkShown();
    --depth_;
}

// The window shows what the model holds, as it stands after a yield.
void Driver::checkShown()
{
    // Called after every element: the messages are made only for a failure.
    const Status &status = model().run.status;
    if (w_.windowTitle() != status.caption())
        fail(QStringLiteral("the caption reads \"%1\", the drawing says \"%2\"").arg(w_.windowTitle(), status.caption()));
    if (progress_->value() != status.progress())
        fail(QStringLiteral("the progress bar shows %1, the drawing says %2").arg(progress_->value()).arg(status.progress()));
    if (status.progress() < 0 || status.progress() > 100)
        fail(QStringLiteral("progress %1").arg(status.progress()));
}

void Driver::check(bool idle)
{
    if (quitting())
        return;
    const Model &m = model();
    const FractalPanel &panel = m.fractal;
    const FractalVars &v = panel.vars;
    auto value = [&](Control c) { return panel.value(c); };

    int options = 0, checkedOptions = 0;
    for (const ControlSpec &s : Controls) {
        const QString name = QString::fromLatin1(s.name.data(), static_cast<qsizetype>(s.name.size()));
        const int x = value(s.id);
        expect(x >= s.min && x <= s.max, QStringLiteral("%1 = %2, outside %3..%4").arg(name).arg(x).arg(s.min).arg(s.max));
        QWidget *widget = controls_[static_cast<int>(s.id)];
        if (auto *slider = qobject_cast<QSlider *>(widget)) {
            expect(slider->value() == x, QStringLiteral("%1 shows %2, holds %3").arg(name).arg(slider->value()).arg(x));
            expect(slider->minimum() == s.min && slider->maximum() == s.max, name + QStringLiteral(": range changed"));
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            expect(button->isChecked() == (x == 1), QStringLiteral("%1 shows %2, holds %3").arg(name).arg(int(button->isChecked())).arg(x));
            if (s.kind == ControlKind::Option) {
                options += x;
                checkedOptions += button->isChecked();
            }
        }
    }
    expect(options == 1 && checkedOptions == 1,
           QStringLiteral("%1 detail options selected, %2 shown selected").arg(options).arg(checkedOptions));

    const int detail = v.Detail.value;
    const int detailOf[] = {100, 50, 20, 10};
    for (int i = 0; i < 4; ++i)
        if (value(static_cast<Control>(static_cast<int>(Control::Option1) + i)) == 1)
            expect(detail == detailOf[i], QStringLiteral("Option%1 selected, Detail %2").arg(i + 1).arg(detail));
    const struct
    {
        const char *name;
        int variable, expected;
    } ties[] = {
        {"CenterX = Slider2 * 100", v.CenterX.value, value(Control::Slider2) * 100},
        {"CenterY = Slider1 * 100", v.CenterY.value, value(Control::Slider1) * 100},
        {"SizeFactor = Slider3", v.SizeFactor.value, value(Control::Slider3)},
        {"RedCorr = 200 - Rc", v.RedCorr.value, 200 - value(Control::Rc)},
        {"GreenCorr = 200 - Gc", v.GreenCorr.value, 200 - value(Control::Gc)},
        {"BlueCorr = 200 - Bc", v.BlueCorr.value, 200 - value(Control::Bc)},
        {"Coef = 10 - KFS", v.Coef.value, 10 - value(Control::KFS)},
        {"Axes = MM", v.Axes.value, value(Control::MM)},
        {"Cube = KUB", v.Cube.value, value(Control::KUB)},
        {"UseMoivre = MUA", v.UseMoivre.value, value(Control::MUA)},
    };
    for (const auto &t : ties)
        expect(t.variable == t.expected,
               QStringLiteral("%1: %2, not %3").arg(QString::fromLatin1(t.name)).arg(t.variable).arg(t.expected));
    expect(v.Squarings.value >= 0 && v.Squarings.value <= 5, QStringLiteral("Squarings %1").arg(v.Squarings.value));
    for (const StoredInt *s : {&v.CenterX, &v.CenterY, &v.SizeFactor, &v.Detail, &v.RedCorr, &v.GreenCorr, &v.BlueCorr,
                               &v.Coef, &v.Squarings, &v.Cube, &v.UseMoivre, &v.Axes})
        expect(s->width == Width::Bits16 || s->width == Width::Bits32, QStringLiteral("a stored width of %1").arg(int(s->width)));

    QWidget *mm = controls_[static_cast<int>(Control::MM)];
    expect(mm->isEnabled() == panel.mmEnabled() && panel.mmEnabled() == (value(Control::MUA) == 1),
           QStringLiteral("MM enabled %1, MUA %2").arg(int(mm->isEnabled())).arg(value(Control::MUA)));
    const QString size = QStringLiteral("Размер ") + blankLed(v.SizeFactor.value);
    expect(frame1_->title() == panel.frame1Caption()
               && (panel.frame1Caption() == size || (panel.frame1Caption() == str("Размер 30") && v.SizeFactor.value == 30)),
           QStringLiteral("Frame1 reads \"%1\" with SizeFactor %2").arg(frame1_->title()).arg(v.SizeFactor.value));
    const QString axes = QStringLiteral("Оси ") + blankLed(value(Control::MM));
    expect(label2_->text() == panel.label2Caption()
               && (panel.label2Caption() == axes || (panel.label2Caption() == str("Оси 7") && value(Control::MM) == 7)),
           QStringLiteral("Label2 reads \"%1\" with MM %2").arg(label2_->text()).arg(value(Control::MM)));

    for (const PairSpec &p : Pairs) {
        const int i = static_cast<int>(p.id);
        const QString name = QString::fromLatin1(p.spinner.data(), static_cast<qsizetype>(p.spinner.size()));
        const int x = m.interference.value(p.id);
        const QString &text = m.interference.text(p.id);
        expect(x >= p.min && x <= p.max, QStringLiteral("%1 = %2, outside %3..%4").arg(name).arg(x).arg(p.min).arg(p.max));
        expect(spinners_[i]->value() == x, QStringLiteral("%1 shows %2, holds %3").arg(name).arg(spinners_[i]->value()).arg(x));
        expect(spinners_[i]->minimum() == p.min && spinners_[i]->maximum() == p.max, name + QStringLiteral(": range changed"));
        expect(texts_[i]->text() == text, QStringLiteral("%1t shows \"%2\", holds \"%3\"").arg(name, texts_[i]->text().left(40), text.left(40)));
        // A text that the handler has seen is one it would leave as it is.
        expect(!applyTextRule(p, text).rewrite, QStringLiteral("%1t holds \"%2\", which its handler rewrites").arg(name, text.left(40)));
    }

    // The marker stands where it was designed or where a centre slider put it.
    for (const int edge : {m.marker.Left, m.marker.Top})
        expect(edge == 2411 || (edge % 100 == 40 && edge >= 940 && edge <= 3940), QStringLiteral("the marker's edge at %1").arg(edge));
    const int pen = m.surface.DrawWidth();
    expect(pen == 1 || pen == 2 || pen == 5 || pen == 10 || pen == 25 || pen == 50, QStringLiteral("pen width %1").arg(pen));
    expect(!QApplication::activeModalWidget(), QStringLiteral("a modal window was left open"));
    expect(!QApplication::activePopupWidget(), QStringLiteral("a popup was left open"));
    for (QWidget *top : QApplication::topLevelWidgets())
        expect(top == &w_ || !top->isVisible(), QStringLiteral("a %1 was left open").arg(QString::fromLatin1(top->metaObject()->className())));

    if (!idle)
        return;
    expect(!m.run.Running, QStringLiteral("Running with nothing drawing"));
    expect(w_.windowTitle() == ProgramName, QStringLiteral("the idle caption reads \"%1\"").arg(w_.windowTitle()));
    expect(progress_->value() == 0 && m.run.status.progress() == 0,
           QStringLiteral("the idle progress is %1 (%2)").arg(progress_->value()).arg(m.run.status.progress()));
    expect(pen == 1, QStringLiteral("the idle pen width is %1").arg(pen));
    expect(m.drawingsOnStack() == 0, QStringLiteral("%1 drawings on the stack when idle").arg(m.drawingsOnStack()));
    for (const QTimer *timer : w_.findChildren<QTimer *>())
        expect(!timer->isActive(), QStringLiteral("a timer of %1 runs when idle").arg(timer->parent()->objectName()));
    expect(w_.findChildren<QDialog *>().isEmpty(), QStringLiteral("a closed modal window still exists"));
}

// The offscreen platform leaves the activation with a closed popup or modal window, where a
// window system gives it back to the main window; shortcuts need the window active.
void Driver::activate()
{
    if (!QApplication::activeModalWidget() && !QApplication::activePopupWidget() && QApplication::activeWindow() != &w_)
        QApplication::setActiveWindow(&w_);
}

void Driver::withAnswers(const std::function<void()> &action)
{
    // Modal windows cannot nest here: while one is open only the answerer acts.
    answerer_.start();
    action();
    answerer_.stop();
    expect(!QApplication::activeModalWidget(), QStringLiteral("a modal window stayed open after its command"));
}

void Driver::answer()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (modal == answered_) {
        if (++answers_ > MaxAnswers) {
            fail(QStringLiteral("%1 stayed open after it was answered").arg(QString::fromLatin1(modal->metaObject()->className())));
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
        }
        return;
    }
    answered_ = modal;
    answers_ = 0;
    ++figures_.actions;
    const QString kind = QString::fromLatin1(modal->metaObject()->className());
    ++figures_.modals[kind];
    if (auto *chooser = qobject_cast<SaveLoad *>(modal)) {
        answerChooser(chooser);
    } else if (auto *printing = qobject_cast<Printing *>(modal)) {
        // Never Enter here: that would print.
        switch (below(3)) {
        case 0: note(QStringLiteral("print window: Esc")); QTest::keyClick(printing, Qt::Key_Escape); break;
        case 1: note(QStringLiteral("print window: Отмена")); QTest::mouseClick(printing->cancelButton(), Qt::LeftButton); break;
        default: note(QStringLiteral("print window: click on the picture")); QTest::mouseClick(printing, Qt::LeftButton, {}, QPoint(20, 20)); break;
        }
    } else if (modal->objectName() == QLatin1String("About") || qobject_cast<QMessageBox *>(modal)) {
        // Never the About box's System Info button: it starts a program.
        const Qt::Key key = oneIn(2) ? Qt::Key_Return : Qt::Key_Escape;
        note(QStringLiteral("%1: %2").arg(kind, key == Qt::Key_Return ? QStringLiteral("Enter") : QStringLiteral("Esc")));
        QTest::keyClick(modal, key);
    } else {
        fail(QStringLiteral("an unexpected modal window %1").arg(kind));
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    }
}

void Driver::answerChooser(SaveLoad *chooser)
{
    const QString mode = w_.chooser().ChooserMode;
    const QString here = QDir::currentPath();
    expect(QDir::cleanPath(chooser->directory()) == QDir::cleanPath(here),
           QStringLiteral("the chooser opened in %1, not in the current directory %2").arg(chooser->directory(), here));
    if (oneIn(3)) {
        QString name = str(pick(ChooserNames));
        if (name == QLatin1String("long"))
            name = QString(300, QChar(0x044F)); // "я" x 300
        const QString before = chooser->nameBox()->text();
        note(QStringLiteral("chooser %1: name \"%2\"").arg(mode, name.left(20)));
        QTest::mouseClick(chooser->nameBox(), Qt::LeftButton);
        QTest::keyClick(chooser->nameBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(chooser->nameBox(), Qt::Key_Backspace);
        typeText(chooser->nameBox(), name);
        if (mode == LoadMode)
            expect(chooser->nameBox()->text() == before, QStringLiteral("the name was typed over in LOAD mode"));
    }
    const unsigned how = below(20);
    bool confirm = how < 13;
    const QString chosen = w_.chooser().ChosenFileName;
    if (confirm && !chosen.startsWith(here + QLatin1Char('/'))) {
        fail(QStringLiteral("the chooser would use %1, outside the current directory").arg(chosen));
        confirm = false;
    }
    if (confirm) {
        note(QStringLiteral("chooser %1: %2 %3").arg(mode, how < 10 ? QStringLiteral("Enter") : QStringLiteral("confirm"), chosen.mid(here.size()).left(30)));
        if (how < 10)
            QTest::keyClick(chooser, Qt::Key_Return);
        else
            QTest::mouseClick(chooser->confirmButton(), Qt::LeftButton);
    } else {
        note(QStringLiteral("chooser %1: %2").arg(mode, how < 17 ? QStringLiteral("Esc") : QStringLiteral("Отмена")));
        if (how < 17)
            QTest::keyClick(chooser, Qt::Key_Escape);
        else
            QTest::mouseClick(chooser->cancelButton(), Qt::LeftButton);
    }
}

void Driver::forcedStop()
{
    ++figures_.forcedStops;
    sinceAction_ = 0;
    note(QStringLiteral("surface clicked to cut the drawing short"));
    QTest::mouseClick(field_, Qt::LeftButton, {}, field_->rect().center());
    expect(!model().run.Running, QStringLiteral("a click on the surface did not stop the drawing"));
}

void Driver::end()
{
    ended_ = true;
    ++figures_.actions;
    figures_.endingDepth = depth_;
    activate();
    switch (settings_.ending) {
    case Ending::ExitShortcut:
        note(QStringLiteral("Ctrl+X"));
        QTest::keyClick(&w_, Qt::Key_X, Qt::ControlModifier);
        break;
    case Ending::ExitMenu:
        note(QStringLiteral("menu Exit"));
        menuItem(w_.findChild<QAction *>(QStringLiteral("Exit")));
        break;
    case Ending::CloseBox: {
        note(QStringLiteral("close box"));
        QCloseEvent close; // as the window system delivers it
        QCoreApplication::sendEvent(w_.windowHandle(), &close);
        expect(close.isAccepted(), QStringLiteral("the close box was refused"));
        break;
    }
    case Ending::None:
        break;
    }
    expect(quitting() && !model().run.Running, QStringLiteral("the program did not end"));
}

// --- The actions ----------------------------------------------------------------------------

// A start/stop command, however given: it either stops the running drawing or, from a stopped
// state, runs a whole drawing inside it; either way nothing is left running when it returns.
void Driver::command(const QString &how, const std::function<void()> &give)
{
    const bool wasRunning = model().run.Running;
    const long before = figures_.elements;
    const bool nested = depth_ > 0;
    const bool atLimit = depth_ >= MaxNestedDrawings;
    note(how);
    give();
    if (quitting() || !failure_.isEmpty())
        return;
    if (wasRunning) {
        ++figures_.stops;
        expect(!model().run.Running, how + QStringLiteral(" did not stop the drawing"));
    } else if (atLimit) {
        ++figures_.ignoredStarts;
        expect(figures_.elements == before && !model().run.Running, how + QStringLiteral(" nested a drawing beyond the limit"));
    } else {
        ++figures_.starts;
        figures_.nestedStarts += nested;
        expect(figures_.elements > before, how + QStringLiteral(" drew nothing"));
        expect(!model().run.Running, how + QStringLiteral(" left a drawing running"));
    }
}

// The row of a start/stop command in `DrawingCommands`, from r in 0..19: the fractal 7 times in
// 20, the rainbow 4, the 2-D interference 5, the 3-D interference 4.
int someDrawing(unsigned r)
{
    const Drawing d = r < 7 ? Drawing::Fractal : r < 11 ? Drawing::Rainbow : r < 16 ? Drawing::Interference : Drawing::Interference3D;
    return static_cast<int>(&command(d) - DrawingCommands);
}

void Driver::commandButton()
{
    const int d = someDrawing(below(20));
    command(QStringLiteral("button %1").arg(QString::fromLatin1(DrawingCommands[d].button)),
            [&] { QTest::mouseClick(commands_[d], Qt::LeftButton); });
}

void Driver::commandShortcut()
{
    const int d = someDrawing(below(20));
    const Qt::Key key = DrawingCommands[d].key;
    command(QStringLiteral("Ctrl+%1").arg(QKeySequence(key).toString()), [&] {
        activate();
        QTest::keyClick(&w_, key, Qt::ControlModifier);
    });
}

void Driver::commandMenu()
{
    const int d = someDrawing(below(20));
    command(QStringLiteral("menu %1").arg(QString::fromLatin1(DrawingCommands[d].menuItem)), [&] { menuItem(items_[d]); });
}

// Opens the menu from the menu bar and clicks the item; an item of the submenu is reached by
// the keyboard, which opens a submenu at once where the mouse waits for a delay.
void Driver::menuItem(QAction *item)
{
    activate();
    QMenuBar *bar = w_.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu_->menuAction()).center());
    if (!menu_->isVisible()) {
        fail(QStringLiteral("the menu did not open"));
        return;
    }
    QMenu *in = menu_;
    if (int_->actions().contains(item)) {
        for (int i = 0; i < 12 && menu_->activeAction() != int_->menuAction(); ++i)
            QTest::keyClick(menu_, Qt::Key_Down);
        QTest::keyClick(menu_, Qt::Key_Right);
        if (!int_->isVisible()) {
            fail(QStringLiteral("the submenu did not open"));
            menu_->hide();
            return;
        }
        in = int_;
    }
    QTest::mouseClick(in, Qt::LeftButton, {}, in->actionGeometry(item).center());
    if (!quitting())
        expect(!menu_->isVisible() && !int_->isVisible(), QStringLiteral("the menu stayed open after its item"));
}

void Driver::surfaceClick()
{
    const QPoint at(static_cast<int>(below(static_cast<unsigned>(field_->width()))),
                    static_cast<int>(below(static_cast<unsigned>(field_->height()))));
    note(QStringLiteral("click on the surface at %1, %2").arg(at.x()).arg(at.y()));
    QTest::mouseClick(field_, Qt::LeftButton, {}, at);
    expect(!model().run.Running, QStringLiteral("a click on the surface did not stop the drawing"));
}

void Driver::fileCommand()
{
    static const struct
    {
        const char *item;
        Qt::Key key;
    } files[] = {{"Save", Qt::Key_S}, {"Load", Qt::Key_L}, {"SaveBitmap", Qt::Key_B}, {"Print", Qt::Key_P}};
    const auto &f = pick(files);
    const bool byMenu = oneIn(3);
    note(QStringLiteral("%1 %2").arg(byMenu ? QStringLiteral("menu") : QStringLiteral("shortcut"), QString::fromLatin1(f.item)));
    auto messageBoxes = [this] {
        const auto it = figures_.modals.find(QStringLiteral("QMessageBox"));
        return it == figures_.modals.end() ? 0 : it->second;
    };
    const long messages = messageBoxes();
    withAnswers([&] {
        if (byMenu) {
            menuItem(w_.findChild<QAction *>(QString::fromLatin1(f.item)));
        } else {
            activate();
            QTest::keyClick(&w_, f.key, Qt::ControlModifier);
        }
    });
    // A file command that was confirmed and showed no message wrote what it should.
    const QString chosen = w_.chooser().ChosenFileName;
    if (chosen.isEmpty() || messageBoxes() != messages || quitting())
        return;
    if (f.key == Qt::Key_S) {
        QFile file(chosen);
        const auto decoded = decodeParameters(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        const auto *records = std::get_if<ParameterRecords>(&decoded);
        if (!records) {
            fail(QStringLiteral("the saved %1 does not load: %2").arg(chosen, std::get<Failure>(decoded).message));
            return;
        }
        const FractalVars &v = model().fractal.vars;
        const InterferencePanel &panel = model().interference;
        const int expected[] = {v.SizeFactor.value, v.Squarings.value, v.Cube.value, v.UseMoivre.value, v.Axes.value,
                                v.Coef.value, v.RedCorr.value, v.GreenCorr.value, v.BlueCorr.value,
                                panel.value(Pair::Num), panel.value(Pair::Scal), panel.value(Pair::L), panel.value(Pair::Ampl)};
        for (int i = 0; i < RecordCount; ++i)
            expect((*records)[i].value == expected[i],
                   QStringLiteral("record %1 saved as %2, not %3").arg(i + 1).arg((*records)[i].value).arg(expected[i]));
    } else if (f.key == Qt::Key_B) {
        const QImage saved(chosen);
        expect(saved.size() == model().surface.Image().size(), QStringLiteral("the saved picture %1 does not read back").arg(chosen));
    }
}

void Driver::about()
{
    note(QStringLiteral("menu bar О программе..."));
    withAnswers([&] {
        activate();
        QMenuBar *bar = w_.menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(help_).center());
    });
}

// Another program writes the parameter file that Load offers: a sound file of random values,
// junk, or a cut-off file.
void Driver::foreignFile()
{
    auto someValue = [this]() -> std::int32_t {
        switch (below(6)) {
        case 0: return static_cast<std::int32_t>(below(11)) - 1;
        case 1: return static_cast<std::int32_t>(below(3100));
        case 2: return std::numeric_limits<std::int16_t>::min() + static_cast<std::int32_t>(below(3));
        case 3: return std::numeric_limits<std::int32_t>::max() - static_cast<std::int32_t>(below(3));
        case 4: return std::numeric_limits<std::int32_t>::min() + static_cast<std::int32_t>(below(3));
        default: return static_cast<std::int32_t>(gen_());
        }
    };
    const unsigned kind = below(4);
    QByteArray bytes;
    if (kind == 2) {
        bytes.resize(ParameterFileLength);
        for (char &c : bytes)
            c = static_cast<char>(below(256));
    } else {
        ParameterRecords records;
        for (StoredInt &r : records) {
            if (oneIn(2))
                r.set16(someValue());
            else
                r.set32(someValue());
        }
        bytes = encodeParameters(records);
        if (kind == 3)
            bytes.truncate(below(ParameterFileLength));
    }
    note(QStringLiteral("another program writes Fractal.dvg (%1)")
             .arg(kind < 2 ? QStringLiteral("random values") : kind == 2 ? QStringLiteral("junk") : QStringLiteral("cut off")));
    QFile file(QStringLiteral("Fractal.dvg"));
    expect(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
           QStringLiteral("could not write Fractal.dvg"));
}

void Driver::option()
{
    const unsigned r = below(20);
    const int i = r < 12 ? 0 : r < 17 ? 1 : r < 19 ? 2 : 3; // mostly low detail, for speed
    QWidget *option = controls_[static_cast<int>(Control::Option1) + i];
    note(QStringLiteral("click Option%1").arg(i + 1));
    QTest::mouseClick(option, Qt::LeftButton);
}

void Driver::checkBox()
{
    static const Control boxes[] = {Control::KUB, Control::MUA, Control::Box};
    const Control c = pick(boxes);
    note(QStringLiteral("click %1").arg(QString::fromLatin1(spec(c).name.data(), static_cast<qsizetype>(spec(c).name.size()))));
    QTest::mouseClick(controls_[static_cast<int>(c)], Qt::LeftButton);
}

QSlider *Driver::someSlider()
{
    static const Control sliders[] = {Control::Slider1, Control::Slider2, Control::Slider3, Control::Rc, Control::Gc,
                                      Control::Bc,      Control::KFS,     Control::QWA,     Control::MM};
    return qobject_cast<QSlider *>(controls_[static_cast<int>(pick(sliders))]);
}

void Driver::sliderClick()
{
    QSlider *slider = someSlider();
    const QPoint at(static_cast<int>(below(static_cast<unsigned>(slider->width()))),
                    static_cast<int>(below(static_cast<unsigned>(slider->height()))));
    const Qt::MouseButton button = oneIn(10) ? Qt::RightButton : Qt::LeftButton;
    note(QStringLiteral("%1 click on %2 at %3, %4")
             .arg(button == Qt::LeftButton ? QStringLiteral("left") : QStringLiteral("right"), slider->objectName())
             .arg(at.x())
             .arg(at.y()));
    QTest::mouseClick(slider, button, {}, at);
}

void Driver::sliderDrag()
{
    QSlider *slider = someSlider();
    const QPoint from = handleCentre(slider);
    auto somewhere = [&] {
        // Also beyond the ends, where the handle stops.
        return QPoint(static_cast<int>(below(static_cast<unsigned>(slider->width()) + 80)) - 40,
                      static_cast<int>(below(static_cast<unsigned>(slider->height()) + 80)) - 40);
    };
    QPoint to = somewhere();
    note(QStringLiteral("drag %1 from %2, %3").arg(slider->objectName()).arg(from.x()).arg(from.y()));
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    for (unsigned moves = 1 + below(3); moves > 0; --moves) {
        to = somewhere();
        QTest::mouseMove(slider, to);
    }
    QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
}

void Driver::sliderKey()
{
    static const Qt::Key keys[] = {Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                                   Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    QSlider *slider = someSlider();
    const Qt::Key key = pick(keys);
    note(QStringLiteral("%1 on %2").arg(QKeySequence(key).toString(), slider->objectName()));
    slider->setFocus(Qt::TabFocusReason);
    QTest::keyClick(slider, key);
}

// What a user might type into a number box: numbers plain, signed, with halves and blanks;
// junk; very long numbers; numbers beyond any range; nothing.
QString Driver::someText()
{
    auto digits = [this](unsigned count) {
        QString s;
        for (unsigned i = 0; i < count; ++i)
            s += QChar(u'0' + below(10));
        return s;
    };
    static const char *const junk[] = {"abc", "--5", "+-3", "1e", "e5", ".", "12abc", "0x1F", "1,5", "٣", "７",
                                       "ж", " ", "\u00a0" "5", "1 2", "3.", ".5", "-0", "+7", "1e+", "١٢٣"};
    static const char *const extremes[] = {"1e400", "-1e400", "1e-400", "inf", "-inf", "nan", "NaN", "Infinity",
                                           "1e99999999999", "2147483647", "2147483648", "-2147483648",
                                           "-2147483649", "4294967296", "9.999999999999999e307", "5e2", "1E3", "2e-1", "1e+2"};
    switch (below(10)) {
    case 0: return digits(1 + below(4));
    case 1: return QString(oneIn(2) ? QLatin1Char('-') : QLatin1Char('+')) + digits(1 + below(4));
    case 2: return digits(1 + below(3)) + QLatin1Char('.') + (oneIn(2) ? QStringLiteral("5") : digits(1 + below(3)));
    case 3: return QString(static_cast<qsizetype>(below(3)), QLatin1Char(' ')) + digits(1 + below(3)) + QString(static_cast<qsizetype>(below(3)), QLatin1Char(' '));
    case 4: return str(pick(junk));
    case 5: return digits(20 + below(380)) + (oneIn(2) ? QStringLiteral(".") + digits(below(50)) : QString());
    case 6: return str(pick(extremes));
    case 7: return {};
    default: return digits(1 + below(3));
    }
}

void Driver::typing()
{
    const Pair p = static_cast<Pair>(below(static_cast<unsigned>(Pair::Count)));
    QLineEdit *box = texts_[static_cast<int>(p)];
    const QString text = someText();
    const unsigned how = below(10);
    note(QStringLiteral("%1 in %2: \"%3\"")
             .arg(how < 7 ? QStringLiteral("type over") : how < 9 ? QStringLiteral("type at the end") : QStringLiteral("erase"),
                  box->objectName(), text.left(30)));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(static_cast<int>(below(static_cast<unsigned>(box->width()))), box->height() / 2));
    if (how < 7) {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        typeText(box, text);
    } else if (how < 9) {
        QTest::keyClick(box, Qt::Key_End);
        typeText(box, text);
    } else {
        for (unsigned n = 1 + below(4); n > 0; --n)
            QTest::keyClick(box, Qt::Key_Backspace);
    }
}

void Driver::spinnerArrow()
{
    const Pair p = static_cast<Pair>(below(static_cast<unsigned>(Pair::Count)));
    UpDown *spinner = spinners_[static_cast<int>(p)];
    const bool up = oneIn(2);
    const Qt::MouseButton button = oneIn(7) ? Qt::RightButton : Qt::LeftButton;
    note(QStringLiteral("%1 click on %2 %3")
             .arg(button == Qt::LeftButton ? QStringLiteral("left") : QStringLiteral("right"), spinner->objectName(),
                  up ? QStringLiteral("up") : QStringLiteral("down")));
    QTest::mouseClick(spinner, button, {}, QPoint(spinner->width() / 2, up ? spinner->height() / 4 : spinner->height() * 3 / 4));
}

void Driver::spinnerKey()
{
    const Pair p = static_cast<Pair>(below(static_cast<unsigned>(Pair::Count)));
    UpDown *spinner = spinners_[static_cast<int>(p)];
    const Qt::Key key = oneIn(2) ? Qt::Key_Up : Qt::Key_Down;
    note(QStringLiteral("%1 on %2").arg(QKeySequence(key).toString(), spinner->objectName()));
    spinner->setFocus(Qt::TabFocusReason);
    QTest::keyClick(spinner, key);
}

void Driver::menuDismissed()
{
    note(QStringLiteral("menu opened and closed with Esc"));
    activate();
    QMenuBar *bar = w_.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu_->menuAction()).center());
    if (menu_->isVisible())
        QTest::keyClick(menu_, Qt::Key_Escape);
    if (menu_->isVisible()) // the first Esc may only leave the menu bar's keyboard mode
        QTest::keyClick(menu_, Qt::Key_Escape);
}

void Driver::events()
{
    note(QStringLiteral("events processed"));
    QCoreApplication::processEvents();
}

} // namespace

Outcome run(Main &window, const Settings &settings)
{
    Driver driver(window, settings);
    return driver.go();
}

Settings fromEnvironment(Settings defaults)
{
    bool ok = false;
    const std::uint32_t seed = qEnvironmentVariable("DIVOGRAF_STRESS_SEED").toUInt(&ok);
    if (ok)
        defaults.seed = seed;
    const long actions = qEnvironmentVariable("DIVOGRAF_STRESS_ACTIONS").toLong(&ok);
    if (ok && actions > 0)
        defaults.actions = actions;
    if (qEnvironmentVariable("DIVOGRAF_STRESS_TRACE") == QLatin1String("1"))
        defaults.trace = true;
    return defaults;
}

QString summary(const Settings &settings, const Figures &f, double seconds)
{
    QString s = QStringLiteral("seed %1: %2 actions in %3 s (%4 while idle, %5 inside drawings), %6 elements drawn\n")
                    .arg(settings.seed)
                    .arg(f.actions)
                    .arg(seconds, 0, 'f', 1)
                    .arg(f.idleActions)
                    .arg(f.drawingActions)
                    .arg(f.elements);
    s += QStringLiteral("drawings: %1 started (%2 nested in another), %3 stopped, %4 cut short, %5 starts ignored at "
                        "the nesting limit; deepest nesting %6\n")
             .arg(f.starts)
             .arg(f.nestedStarts)
             .arg(f.stops)
             .arg(f.forcedStops)
             .arg(f.ignoredStarts)
             .arg(f.deepest);
    if (f.deepest > 1)
        s += QStringLiteral("stack: %1 bytes for %2 nested drawings, %3 bytes a drawing\n")
                 .arg(f.deepestStack)
                 .arg(f.deepest - 1)
                 .arg(f.deepestStack / (f.deepest - 1));
    s += QStringLiteral("modal windows:");
    for (const auto &[kind, count] : f.modals)
        s += QStringLiteral(" %1 %2").arg(kind).arg(count);
    s += QStringLiteral("\nactions:");
    for (const auto &[kind, count] : f.kinds)
        s += QStringLiteral(" %1 %2,").arg(kind).arg(count);
    s.chop(1);
    s += QStringLiteral("\nQt warnings: %1").arg(f.qtWarnings);
    if (f.endingDepth >= 0)
        s += QStringLiteral("; ended with %1 drawings on the stack").arg(f.endingDepth);
    return s;
}

} // namespace divograf::stress
