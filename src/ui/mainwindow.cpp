// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/mainwindow.h"

#include "ui/artwork.h"
#include "ui/fileopening.h"
#include "ui/layout.h"
#include "ui/menubarkeys.h"
#include "ui/panel.h"
#include "ui/panelwidgets.h"
#include "ui/surfaceview.h"
#include "ui/updown.h"
#include "ui/dialogs/about.h"
#include "core/files/parameters.h"
#include "core/files/picture.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

namespace divograf {

using namespace layout;

namespace {

// The window's font: 8 points at 96 dots per inch, whatever the screen says, since every
// control has a fixed size in pixels.
constexpr int FontPixels = 11;

} // namespace

Main::Main(QWidget *parent)
    : QMainWindow(parent)
    , client_(new QWidget(this))
    , field_(new SurfaceView(model_.surface, model_.marker, client_))
    , progress_(new QProgressBar(client_))
    , yield_(model_, *this, *field_, *progress_)
    , viewpoint_(model_.fractal)
    , redraw_(model_, [this](Drawing drawing) { command(drawing); })
{
    QFont font = this->font();
    font.setPixelSize(FontPixels);
    setFont(font);
    setWindowIcon(QPixmap::fromImage(artwork::windowIcon()));
    // A fixed single border: a close box, no minimise or maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setCentralWidget(client_);
    client_->setFixedSize(pixels(ClientArea).size());
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    panel_ = buildPanel(*client_);
    field_->setObjectName(QStringLiteral("Field"));
    field_->setGeometry(pixels(FieldAt));
    field_->raise();
    connectSurface();
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setGeometry(pixels(ProgressAt));
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->setToolTip(text(ProgressHint));
    progress_->setAccessibleName(text(ProgressHint));
    buildMenu();
    connectPanel();
    setPanelTabOrder(*client_);

    model_.run.yield = [this] { yield_(); };
    model_.run.frameDrawn = [this] { yield_.frameDrawn(); };
    // The start-up sequence, then the widgets showing its values.
    model_.startUp();
    showPanel();
    acceptParameterFileDrops(*this, [this](const QString &path) { openParameterFile(path); });

    adjustSize();
    if (const QScreen *screen = this->screen())
        move(QStyle::alignedRect(
            Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry())
                 .topLeft());
}

Main::~Main() = default;

void Main::connectPanel()
{
    for (const ControlSpec &s : Controls) {
        QWidget *widget = panel_.controls[static_cast<int>(s.id)];
        const Control id = s.id;
        if (auto *slider = qobject_cast<Slider *>(widget)) {
            connect(
                slider, &QSlider::valueChanged, this, [this, id](int v) { controlChanged(id, v); });
            if (id == Control::QWA)
                connect(slider, &Slider::chosen, this, [this] { model_.fractal.clickQwa(); });
        } else if (s.kind == ControlKind::CheckBox) {
            connect(static_cast<QAbstractButton *>(widget), &QAbstractButton::toggled, this,
                [this, id](bool on) { controlChanged(id, on ? 1 : 0); });
        } else {
            // Also a click on the option already selected, which stores the same Detail again.
            connect(static_cast<QAbstractButton *>(widget), &QAbstractButton::clicked, this,
                [this, id] { controlChanged(id, 1); });
        }
    }
    InterferencePanel &pairs = model_.interference;
    for (const PairSpec &p : Pairs) {
        const Pair id = p.id;
        UpDown *spinner = panel_.spinners[static_cast<int>(id)];
        connect(panel_.texts[static_cast<int>(id)], &QLineEdit::textChanged, this,
            [this, &pairs, id](const QString &typed) {
                pairs.setText(id, typed);
                showPanel();
            });
        connect(
            spinner, &UpDown::valueChanged, this, [&pairs, id](int v) { pairs.setSpinner(id, v); });
        const auto follow = [this, &pairs, id] {
            pairs.released(id);
            showPanel();
        };
        connect(spinner, &UpDown::mouseReleased, this, follow);
        connect(spinner, &UpDown::keyStepped, this, follow);
    }
    // The button and the menu item are two faces of one action.
    for (std::size_t i = 0; i < std::size(DrawingCommands); ++i)
        connect(panel_.buttons[i], &QAbstractButton::clicked, commands_[i], &QAction::trigger);
}

void Main::connectSurface()
{
    connect(field_, &SurfaceView::clicked, this, [this] {
        redraw_.cancel();
        model_.clickField();
    });
    connect(field_, &SurfaceView::wheelTurned, this, [this](QPointF at, int notches) {
        explored(viewpoint_.zoom(at, notches, model_.lastDrawing()));
    });
    connect(field_, &SurfaceView::dragStarted, this, [this] { viewpoint_.grab(); });
    connect(field_, &SurfaceView::dragged, this,
        [this](QPointF offset) { explored(viewpoint_.drag(offset)); });
    // A text box with the focus takes Ctrl+C for its text before this shortcut sees it.
    connect(new QShortcut(QKeySequence::Copy, this), &QShortcut::activated, this,
        [this] { QGuiApplication::clipboard()->setImage(model_.surface.Image()); });
}

void Main::explored(Moved moved)
{
    showPanel();
    if (const std::optional<Drawing> last = model_.lastDrawing(); last && shows(*last, moved))
        redraw_.request();
}

QAction *Main::addMenuItem(QMenu *menu, const QString &name, const QString &caption, Qt::Key key)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(QKeySequence(Qt::CTRL | key));
    menu->addAction(action);
    addAction(action); // the shortcut works with the menu closed
    return action;
}

void Main::buildMenu()
{
    QMenu *menu = menuBar()->addMenu(ProgramName);
    menu->setObjectName(QStringLiteral("Menu"));
    QMenu *intMenu = nullptr;
    for (std::size_t i = 0; i < std::size(DrawingCommands); ++i) {
        const DrawingCommand &c = DrawingCommands[i];
        if (c.inInterferenceMenu && !intMenu) {
            intMenu = menu->addMenu(text(IntCaption));
            intMenu->setObjectName(QStringLiteral("int"));
        }
        commands_[i] = addMenuItem(
            c.inInterferenceMenu ? intMenu : menu, text(c.menuItem), text(c.menuCaption), c.key);
        connect(commands_[i], &QAction::triggered, this, [this, d = c.drawing] { startStop(d); });
    }
    for (const MenuItemLook &item : FileMenuItems)
        addMenuItem(menu, QString::fromLatin1(item.name), text(item.caption), item.key);
    connect(
        findChild<QAction *>(QStringLiteral("Exit")), &QAction::triggered, this, &QWidget::close);
    for (const auto &[name, command] :
        {std::pair{"Save", &Main::saveParameters}, std::pair{"Load", &Main::loadParameters},
            std::pair{"SaveBitmap", &Main::saveBitmap}, std::pair{"Print", &Main::print}})
        connect(
            findChild<QAction *>(QString::fromLatin1(name)), &QAction::triggered, this, command);
    // F10 opens the first menu, as the common desktops do; the arrows go on from there.
    connect(new QShortcut(Qt::Key_F10, this), &QShortcut::activated, this,
        [this, menu] { menuBar()->setActiveAction(menu->menuAction()); });
    QAction *help = menuBar()->addAction(text(HelpCaption));
    help->setObjectName(QString::fromLatin1(HelpName));
    connect(help, &QAction::triggered, this, &Main::showHelp);
    driveMenuBarByKeys(*menuBar());
}

void Main::controlChanged(Control control, int value)
{
    model_.fractal.setValue(control, value);
    showPanel();
}

void Main::showPanel()
{
    const FractalPanel &panel = model_.fractal;
    for (const ControlSpec &s : Controls) {
        QWidget *widget = panel_.controls[static_cast<int>(s.id)];
        const int v = panel.value(s.id);
        const QSignalBlocker blocker(widget);
        if (auto *slider = qobject_cast<QSlider *>(widget))
            slider->setValue(v);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget);
                 button && (v == 1 || s.kind == ControlKind::CheckBox))
            button->setChecked(v == 1); // an option is unselected by selecting another
    }
    for (const PairSpec &p : Pairs) {
        QLineEdit *box = panel_.texts[static_cast<int>(p.id)];
        UpDown *spinner = panel_.spinners[static_cast<int>(p.id)];
        const QSignalBlocker boxBlocker(box), spinnerBlocker(spinner);
        if (box->text() != model_.interference.text(p.id))
            box->setText(model_.interference.text(p.id));
        spinner->setValue(model_.interference.value(p.id));
    }
    panel_.controls[static_cast<int>(Control::MM)]->setEnabled(panel.mmEnabled());
    panel_.frame1->setTitle(panel.frame1Caption());
    panel_.label2->setText(panel.label2Caption());
    yield_.show(WindowYield::Repaint::Now);
}

void Main::startStop(Drawing drawing)
{
    redraw_.cancel();
    command(drawing);
}

void Main::command(Drawing drawing)
{
    if (yield_.quitting())
        return;
    model_.startStop(drawing);
    yield_.show(WindowYield::Repaint::Now);
    if (model_.drawingsOnStack() == 0)
        redraw_.drawingsReturned();
}

void Main::endProgram()
{
    // Every drawing on the stack sees `Running` false at its next check and, its yields
    // returning at once, gets there within one pass; then each returns to the event handler
    // that started it, and the event loops return. Nothing is deleted meanwhile: the model and
    // the widgets live until `main` returns.
    yield_.quit();
    QCoreApplication::exit(0);
}

void Main::saveParameters()
{
    const QString path = SaveLoad::choose(chooser_, SaveMode, this);
    if (path.isEmpty() || yield_.quitting())
        return;
    if (const std::optional<Failure> failure = saveParameterFile(path, takeParameters(model_)))
        QMessageBox::warning(this, ProgramName, failure->message);
}

void Main::loadParameters()
{
    const QString path = SaveLoad::choose(chooser_, LoadMode, this);
    if (!path.isEmpty())
        openParameterFile(path);
}

void Main::openParameterFile(const QString &path)
{
    if (yield_.quitting())
        return;
    const auto loaded = loadParameterFile(path);
    if (const auto *failure = std::get_if<Failure>(&loaded)) {
        QMessageBox::warning(this, ProgramName, failure->message);
        return;
    }
    applyParameters(model_, std::get<ParameterRecords>(loaded));
    showPanel();
}

void Main::saveBitmap()
{
    const QString path = SaveLoad::choose(chooser_, SaveBitmapMode, this);
    if (path.isEmpty() || yield_.quitting())
        return;
    if (const std::optional<Failure> failure = savePicture(model_.surface.Image(), path))
        QMessageBox::warning(this, ProgramName, failure->message);
}

void Main::print()
{
    PrintPicture = model_.surface.Image();
    Printing::showPicture(PrintPicture, chooser_.ChosenFileName, this);
}

void Main::showHelp() { showAbout(this); }

void Main::closeEvent(QCloseEvent *event)
{
    endProgram();
    event->accept();
}

} // namespace divograf
