// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/panel.h"

#include "ui/artwork.h"
#include "ui/layout.h"
#include "ui/panelwidgets.h"
#include "ui/updown.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

namespace divograf {

using namespace layout;

namespace {

constexpr Colour DecorationGreen = RGB(0, 255, 0);

QWidget *container(QWidget &client, const char *name)
{
    return name ? client.findChild<QWidget *>(QString::fromLatin1(name)) : &client;
}

// A check box or option caption broken into two lines at a blank when it is wider than the
// room beside the indicator.
QString fitted(const QAbstractButton &button, const QString &caption)
{
    const QStyle *style = button.style();
    const int room = button.width()
        - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &button)
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

void buildDecorations(QWidget &client)
{
    auto *shape2 = new Shape(Shape::Kind::Rectangle, {}, &client);
    shape2->setObjectName(QStringLiteral("Shape2"));
    shape2->setGeometry(pixels(Shape2At));
    for (const auto &[name, at] : {std::pair{"C1", C1At}, std::pair{"C2", C2At}}) {
        auto *circle
            = new Shape(Shape::Kind::Circle, QColor::fromRgb(toQRgb(DecorationGreen)), &client);
        circle->setObjectName(text(name));
        circle->setGeometry(pixels(at));
    }
}

void buildFrames(QWidget &client, PanelWidgets &panel)
{
    for (const FrameLook &f : Frames) {
        auto *frame = new QGroupBox(text(f.caption), container(client, f.container));
        frame->setObjectName(QString::fromLatin1(f.name));
        frame->setGeometry(pixels(f.at));
    }
    panel.frame1 = client.findChild<QGroupBox *>(QStringLiteral("Frame1"));
    for (const LabelLook &l : Labels) {
        auto *label = new QLabel(text(l.caption), container(client, l.container));
        label->setObjectName(QString::fromLatin1(l.name));
        label->setGeometry(pixels(l.at));
        label->setAlignment(l.alignment);
    }
    panel.label2 = client.findChild<QLabel *>(QStringLiteral("Label2"));
}

QWidget *buildControl(const ControlLook &look, QWidget *parent)
{
    const ControlSpec &s = spec(look.id);
    switch (s.kind) {
    case ControlKind::Slider: {
        auto *slider = new Slider(look.orientation, parent);
        slider->setRange(s.min, s.max);
        slider->setValue(s.design);
        slider->setSingleStep(1);
        slider->setPageStep(look.pageStep);
        slider->setTickPosition(look.ticks);
        slider->setTickInterval(look.tickInterval);
        return slider;
    }
    case ControlKind::CheckBox: {
        auto *box = new QCheckBox(parent);
        box->setChecked(s.design == 1);
        return box;
    }
    case ControlKind::Option: {
        auto *option = new QRadioButton(parent);
        option->setChecked(s.design == 1);
        return option;
    }
    }
    return nullptr;
}

void buildFractalControls(QWidget &client, PanelWidgets &panel)
{
    for (const ControlLook &look : FractalControls) {
        QWidget *widget = buildControl(look, container(client, look.container));
        widget->setObjectName(text(spec(look.id).name));
        widget->setGeometry(pixels(look.at));
        widget->setToolTip(text(look.hint));
        // A screen reader names a control by its caption, or by its hint where it has none.
        widget->setAccessibleName(text(*look.caption ? look.caption : look.hint));
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setText(fitted(*button, text(look.caption)));
        panel.controls[static_cast<int>(look.id)] = widget;
    }
}

void buildInterferencePairs(QWidget &client, PanelWidgets &panel)
{
    QWidget *frame = container(client, PairContainer);
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
        box->setAccessibleName(text(p.label));
        spinner->setAccessibleName(text(p.label));
        panel.texts[static_cast<int>(look.id)] = box;
        panel.spinners[static_cast<int>(look.id)] = spinner;
    }
}

void buildCommandButtons(QWidget &client, PanelWidgets &panel)
{
    for (const CommandPlace &place : CommandButtons) {
        const DrawingCommand &c = command(place.drawing);
        auto *button = new QToolButton(container(client, place.container));
        button->setObjectName(text(c.button));
        button->setGeometry(pixels(place.at));
        button->setToolTip(text(CommandHint));
        const QImage picture = artwork::commandPicture(place.drawing);
        // A picture larger than the button is shown cropped by it.
        const QSize room = button->size().boundedTo(picture.size());
        const QRect crop(
            QPoint((picture.width() - room.width()) / 2, (picture.height() - room.height()) / 2),
            room);
        button->setIcon(QPixmap::fromImage(picture.copy(crop)));
        button->setIconSize(room);
        button->setText(text(c.buttonText));
        button->setToolButtonStyle(
            c.buttonText.empty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
        // The button and its menu item are two faces of one command, and share its name.
        button->setAccessibleName(text(c.menuCaption));
        panel.buttons[static_cast<std::size_t>(&c - DrawingCommands)] = button;
    }
}

} // namespace

PanelWidgets buildPanel(QWidget &client)
{
    PanelWidgets panel;
    // Decorations first, so that they lie under the controls.
    buildDecorations(client);
    buildFrames(client, panel);
    buildFractalControls(client, panel);
    buildInterferencePairs(client, panel);
    buildCommandButtons(client, panel);
    return panel;
}

void setPanelTabOrder(QWidget &client)
{
    QWidget *previous = nullptr;
    for (const char *name : TabOrder) {
        QWidget *widget = client.findChild<QWidget *>(QString::fromLatin1(name));
        if (!widget || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace divograf
