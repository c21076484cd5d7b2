#include "ui/mainwindow.h"

#include "ui/artwork.h"
#include "ui/layout.h"
#include "ui/panelwidgets.h"
#include "ui/surfaceview.h"
#include "ui/updown.h"
#include "ui/dialogs/about.h"
#include "core/files/parameters.h"
#include "core/files/picture.h"
#include "ui/dialogs/printing.h"
#include "ui/dialogs/saveload.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <utility>

namespace divograf {

using namespace layout;

namespace {

// The form's font: 8 points at 96 dots per inch, whatever the screen says, since every
// control has a fixed size in pixels.
constexpr int FontPixels = 11;
constexpr Colour DecorationGreen = RGB(0, 255, 0);

QString text(const char *utf8) { return QString::fromUtf8(utf8); }
QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// A check box or option caption as the form shows it: broken into two lines at a blank when
// it is wider than the room beside the indicator.
QString fitted(const QAbstractButton &button, const QString &caption)
{
    const QStyle *style = button.style();
    const int room = button.width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &button)
        - style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &button);
    const QFontMetrics metrics = button.fontMetrics();
    if (metrics.horizontalAdvance(caption) <= room || !caption.contains(QLatin1Char(' ')))
        return caption;
    qsizetype cut = caption.lastIndexOf(QLatin1Char(' '));
    while (cut > 0 && metrics.horizontalAdvance(caption.left(cut)) > room) {
        const qsizetype earlier = caption.lastIndexOf(QLatin1Char(' '), cut - 1);
        if (earlier <= 0)
            break;
        cut = earlier;
    }
    return caption.left(cut) + QLatin1Char('\n') + caption.mid(cut + 1);
}

QImage pictureOf(Drawing drawing)
{
    switch (drawing) {
    case Drawing::Fractal: return artwork::fractalButton();
    case Drawing::Rainbow: return artwork::rainbowButton();
    case Drawing::Interference: return artwork::interferenceButton();
    case Drawing::Interference3D: return artwork::interference3DButton();
    }
    return {};
}

const char *menuItemOf(Drawing drawing)
{
    for (const MenuCommand &c : MenuCommands)
        if (c.drawing == drawing)
            return c.item;
    return nullptr;
}

} // namespace

Main::Main(QWidget *parent)
    : QMainWindow(parent)
    , client_(new QWidget(this))
    , field_(new SurfaceView(model_.surface, model_.marker, client_))
    , progress_(new QProgressBar(client_))
    , yield_(model_, *this, *field_, *progress_)
{
    QFont font = this->font();
    font.setPixelSize(FontPixels);
    setFont(font);
    setWindowIcon(QPixmap::fromImage(artwork::windowIcon()));
    // A fixed single border: a close box, no minimise or maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setCentralWidget(client_);
    client_->setFixedSize(pixels(ClientArea).size());
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Decorations first, so that they lie under the controls.
    auto *shape2 = new Shape(Shape::Kind::Rectangle, {}, client_);
    shape2->setObjectName(QStringLiteral("Shape2"));
    shape2->setGeometry(pixels(Shape2At));
    for (const auto &[name, at] : {std::pair{"C1", C1At}, std::pair{"C2", C2At}}) {
        auto *circle = new Shape(Shape::Kind::Circle, QColor::fromRgb(toQRgb(DecorationGreen)), client_);
        circle->setObjectName(text(name));
        circle->setGeometry(pixels(at));
    }
    field_->setObjectName(QStringLiteral("Field"));
    field_->setGeometry(pixels(FieldAt));
    field_->raise();
    connect(field_, &SurfaceView::clicked, this, [this] { model_.clickField(); });
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setGeometry(pixels(ProgressAt));
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->setToolTip(text(ProgressHint));

    buildFrames();
    buildFractalControls();
    buildInterferenceFrame();
    buildMenu();
    buildCommands();
    setTabOrder();

    model_.run.yield = [this] { yield_(); };
    model_.run.frameDrawn = [this] { yield_.frameDrawn(); };
    // The load handler: the start-up sequence.
    model_.startUp();
    showPanel();

    adjustSize();
    if (const QScreen *screen = this->screen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()).topLeft());
}

Main::~Main() = default;

QWidget *Main::container(const char *name) const
{
    return name ? client_->findChild<QWidget *>(QString::fromLatin1(name)) : client_;
}

void Main::buildFrames()
{
    for (const FrameLook &f : Frames) {
        auto *frame = new QGroupBox(text(f.caption), container(f.container));
        frame->setObjectName(QString::fromLatin1(f.name));
        frame->setGeometry(pixels(f.at));
    }
    frame1_ = client_->findChild<QGroupBox *>(QStringLiteral("Frame1"));
    for (const LabelLook &l : Labels) {
        auto *label = new QLabel(text(l.caption), container(l.container));
        label->setObjectName(QString::fromLatin1(l.name));
        label->setGeometry(pixels(l.at));
        label->setAlignment(l.alignment);
    }
    label2_ = client_->findChild<QLabel *>(QStringLiteral("Label2"));
}

void Main::buildFractalControls()
{
    for (const ControlLook &look : FractalControls) {
        const ControlSpec &s = spec(look.id);
        QWidget *parent = container(look.container);
        QWidget *widget = nullptr;
        const Control id = look.id;
        switch (s.kind) {
        case ControlKind::Slider: {
            auto *slider = new Slider(look.orientation, parent);
            slider->setRange(s.min, s.max);
            slider->setValue(s.design);
            slider->setSingleStep(1);
            slider->setPageStep(look.pageStep);
            slider->setTickPosition(look.ticks);
            slider->setTickInterval(look.tickInterval);
            connect(slider, &QSlider::valueChanged, this, [this, id](int v) { controlChanged(id, v); });
            if (id == Control::QWA)
                connect(slider, &Slider::clicked, this, [this] { model_.fractal.clickQwa(); });
            widget = slider;
            break;
        }
        case ControlKind::CheckBox: {
            auto *box = new QCheckBox(parent);
            box->setChecked(s.design == 1);
            connect(box, &QCheckBox::toggled, this, [this, id](bool on) { controlChanged(id, on ? 1 : 0); });
            widget = box;
            break;
        }
        case ControlKind::Option: {
            auto *option = new QRadioButton(parent);
            option->setChecked(s.design == 1);
            // Also a click on the option already selected, which stores the same Detail again.
            connect(option, &QRadioButton::clicked, this, [this, id] { controlChanged(id, 1); });
            widget = option;
            break;
        }
        }
        widget->setObjectName(QString::fromLatin1(s.name.data(), static_cast<qsizetype>(s.name.size())));
        widget->setGeometry(pixels(look.at));
        widget->setToolTip(text(look.hint));
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setText(fitted(*button, text(look.caption)));
        controls_[static_cast<int>(id)] = widget;
    }
}

void Main::buildInterferenceFrame()
{
    QWidget *frame = container(PairContainer);
    for (const PairLook &look : PairLooks) {
        const PairSpec &p = spec(look.id);
        auto *label = new QLabel(text(p.label), frame);
        label->setObjectName(QString::fromLatin1(look.label));
        label->setGeometry(pixels(look.labelAt));
        auto *box = new QLineEdit(QString::fromLatin1(PairDesignText), frame);
        box->setObjectName(text(p.textBox));
        box->setGeometry(pixels(look.textAt));
        auto *spinner = new UpDown(frame);
        spinner->setObjectName(text(p.spinner));
        spinner->setGeometry(pixels(look.spinnerAt));
        spinner->setRange(p.min, p.max);
        spinner->setIncrement(p.increment);
        spinner->setValue(p.designValue);
        texts_[static_cast<int>(look.id)] = box;
        spinners_[static_cast<int>(look.id)] = spinner;

        const Pair id = look.id;
        InterferencePanel &panel = model_.interference;
        connect(box, &QLineEdit::textChanged, this, [this, &panel, id](const QString &typed) {
            panel.setText(id, typed);
            showPanel();
        });
        connect(spinner, &UpDown::valueChanged, this, [&panel, id](int v) { panel.setSpinner(id, v); });
        connect(spinner, &UpDown::mouseReleased, this, [this, &panel, id] {
            panel.released(id);
            showPanel();
        });
    }
}

void Main::buildMenu()
{
    QMenu *menu = menuBar()->addMenu(text(MenuCaption));
    menu->setObjectName(QStringLiteral("Menu"));
    QMenu *intMenu = nullptr;
    for (const MenuItemLook &item : MenuItems) {
        auto *action = new QAction(text(item.caption), this);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(QKeySequence(Qt::CTRL | item.key));
        if (item.inInt) {
            if (!intMenu) {
                intMenu = menu->addMenu(text(IntCaption));
                intMenu->setObjectName(QStringLiteral("int"));
            }
            intMenu->addAction(action);
        } else {
            menu->addAction(action);
        }
        addAction(action); // the shortcut works with the menu closed
    }
    for (const MenuCommand &c : MenuCommands)
        connect(findChild<QAction *>(QString::fromLatin1(c.item)), &QAction::triggered, this,
                [this, d = c.drawing] { startStop(d); });
    connect(findChild<QAction *>(QStringLiteral("Exit")), &QAction::triggered, this, &QWidget::close);
    for (const auto &[name, command] : {std::pair{"Save", &Main::saveParameters}, std::pair{"Load", &Main::loadParameters},
                                        std::pair{"SaveBitmap", &Main::saveBitmap}, std::pair{"Print", &Main::print}})
        connect(findChild<QAction *>(QString::fromLatin1(name)), &QAction::triggered, this, command);
    QAction *help = menuBar()->addAction(text(HelpCaption));
    help->setObjectName(QString::fromLatin1(HelpName));
    connect(help, &QAction::triggered, this, &Main::showHelp);
}

void Main::buildCommands()
{
    for (const CommandLook &c : CommandButtons) {
        auto *button = new QToolButton(container(c.container));
        button->setObjectName(QString::fromLatin1(c.button));
        button->setGeometry(pixels(c.at));
        button->setToolTip(text(CommandHint));
        const QImage picture = pictureOf(c.drawing);
        // A picture larger than the button is shown cropped by it.
        const QSize room = button->size().boundedTo(picture.size());
        const QRect crop(QPoint((picture.width() - room.width()) / 2, (picture.height() - room.height()) / 2), room);
        button->setIcon(QPixmap::fromImage(picture.copy(crop)));
        button->setIconSize(room);
        button->setText(text(c.caption));
        button->setToolButtonStyle(button->text().isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
        // The button and the menu item are two faces of one action.
        connect(button, &QToolButton::clicked, findChild<QAction *>(QString::fromLatin1(menuItemOf(c.drawing))),
                &QAction::trigger);
    }
}

void Main::setTabOrder()
{
    QWidget *previous = nullptr;
    for (const char *name : TabOrder) {
        QWidget *widget = client_->findChild<QWidget *>(QString::fromLatin1(name));
        if (!widget || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
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
        QWidget *widget = controls_[static_cast<int>(s.id)];
        const int v = panel.value(s.id);
        const QSignalBlocker blocker(widget);
        if (auto *slider = qobject_cast<QSlider *>(widget))
            slider->setValue(v);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget); button && (v == 1 || s.kind == ControlKind::CheckBox))
            button->setChecked(v == 1); // an option is unselected by selecting another
    }
    for (const PairSpec &p : Pairs) {
        QLineEdit *box = texts_[static_cast<int>(p.id)];
        UpDown *spinner = spinners_[static_cast<int>(p.id)];
        const QSignalBlocker boxBlocker(box), spinnerBlocker(spinner);
        if (box->text() != model_.interference.text(p.id))
            box->setText(model_.interference.text(p.id));
        spinner->setValue(model_.interference.value(p.id));
    }
    controls_[static_cast<int>(Control::MM)]->setEnabled(panel.mmEnabled());
    frame1_->setTitle(panel.frame1Caption());
    label2_->setText(panel.label2Caption());
    yield_.show(WindowYield::Repaint::Now);
}

void Main::startStop(Drawing drawing)
{
    if (yield_.quitting())
        return;
    model_.startStop(drawing);
    yield_.show(WindowYield::Repaint::Now);
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
    if (const QString failure = saveParameterFile(path, takeParameters(model_)); !failure.isEmpty())
        QMessageBox::warning(this, ProgramName, failure);
}

void Main::loadParameters()
{
    const QString path = SaveLoad::choose(chooser_, LoadMode, this);
    if (path.isEmpty() || yield_.quitting())
        return;
    const auto loaded = loadParameterFile(path);
    if (const auto *failure = std::get_if<QString>(&loaded)) {
        QMessageBox::warning(this, ProgramName, *failure);
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
    if (const QString failure = savePicture(model_.surface.Image(), path); !failure.isEmpty())
        QMessageBox::warning(this, ProgramName, failure);
}

void Main::print()
{
    PrintPicture = model_.surface.Image();
    Printing::showPicture(PrintPicture, chooser_.ChosenFileName, this);
}

void Main::showHelp()
{
    showAbout(this);
}

void Main::closeEvent(QCloseEvent *event)
{
    endProgram();
    event->accept();
}

} // namespace divograf
