// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The main window's fixed layout: every control's container, position and size in twips, its
// caption and hint (ranges and design values are in the core's tables). Nothing is laid out at
// run time; the window converts each rectangle to pixels once, at 15 twips per pixel.

#include "core/model.h"
#include "ui/twips.h"
#include "core/fractal/panel.h"

#include <QRect>
#include <QSlider>
#include <QString>

#include <string_view>

namespace divograf::layout {

// The tables' texts are UTF-8.
inline QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The client area of `Main`, below its menu bar.
inline constexpr Twips ClientArea{0, 0, 9675, 6315};

// Containers are named; nullptr is the client area. A frame comes before the frames it holds.
struct FrameLook
{
    const char *name;
    const char *container;
    const char *caption;
    Twips at;
};

inline constexpr FrameLook Frames[] = {
    {"Frame6", nullptr, "Общие параметры", {5880, 120, 3735, 1815}},
    {"Frame3", "Frame6", "Детализация", {120, 240, 1695, 1455}},
    {"Frame4", "Frame6", "Коррекция цветов", {1920, 240, 1695, 1455}},
    {"Frame7", nullptr, "Параметры фрактала", {5880, 1920, 1935, 3855}},
    {"Frame1", "Frame7", "Размер 30", {120, 240, 1695, 855}},
    {"Frame2", "Frame7", "Тип фрактала", {120, 1080, 1695, 2655}},
    {"Frame5", nullptr, "Интерференция", {7920, 1920, 1695, 4095}},
};

// The drawing surface with its 2-pixel sunken border, and the progress bar below it.
inline constexpr Twips FieldAt{120, 120, 4995, 4995};
inline constexpr Twips ProgressAt{120, 5880, 7695, 375};
inline constexpr const char *ProgressHint = "Ход выполнения";

// The controls of the fractal panel (their ranges and design values are in `Controls`).
// Sliders step by 1; `pageStep` is their large step. Vertical sliders have their minimum at
// the top.
struct ControlLook
{
    Control id;
    const char *container;
    Twips at;
    const char *caption; // check boxes and options
    const char *hint;
    Qt::Orientation orientation = Qt::Horizontal;
    int pageStep = 1;
    QSlider::TickPosition ticks = QSlider::NoTicks;
    int tickInterval = 0;
};

inline constexpr ControlLook FractalControls[] = {
    {Control::Slider1, nullptr, {5160, 135, 495, 4935}, "", "Корректировка центра", Qt::Vertical,
        10, QSlider::TicksLeft, 1},
    {Control::Slider2, nullptr, {135, 5160, 4935, 495}, "", "Корректировка центра", Qt::Horizontal,
        10, QSlider::TicksAbove, 1},
    {Control::Box, "Frame3", {1200, 0, 255, 255}, "", "Заполнять пустоты."},
    {Control::Option4, "Frame3", {120, 960, 1455, 255}, "Наивысшая", ""},
    {Control::Option3, "Frame3", {120, 720, 1455, 255}, "Высокая", ""},
    {Control::Option2, "Frame3", {120, 480, 1455, 255}, "Средняя", ""},
    {Control::Option1, "Frame3", {120, 240, 1455, 255}, "Низкая", ""},
    {Control::Rc, "Frame4", {120, 240, 375, 1095}, "", "Красный", Qt::Vertical, 5},
    {Control::Gc, "Frame4", {600, 240, 375, 1095}, "", "Зеленый", Qt::Vertical, 5},
    {Control::Bc, "Frame4", {1080, 240, 375, 1095}, "", "Синий", Qt::Vertical, 5},
    {Control::Slider3, "Frame1", {120, 240, 1455, 495}, "", "Размер", Qt::Horizontal, 1,
        QSlider::TicksAbove, 10},
    {Control::KFS, "Frame2", {1200, 480, 375, 1215}, "", "Коэффициент", Qt::Vertical, 5,
        QSlider::TicksRight, 1},
    {Control::KUB, "Frame2", {120, 960, 975, 375}, "Куб", "Возводить в куб"},
    {Control::MUA, "Frame2", {120, 1320, 1095, 375}, "Формула Муавра",
        "Использовать формулу Муавра"},
    {Control::QWA, "Frame2", {120, 480, 1095, 495}, "", "Количество возведений в квадрат",
        Qt::Horizontal, 1, QSlider::TicksAbove, 1},
    {Control::MM, "Frame2", {120, 2040, 1455, 495}, "", "Количество осей для формулы Муавра",
        Qt::Horizontal, 1, QSlider::TicksAbove, 1},
};

// Labels; `Label2` follows MM.
struct LabelLook
{
    const char *name;
    const char *container;
    Twips at;
    const char *caption;
    Qt::Alignment alignment;
};

inline constexpr LabelLook Labels[] = {
    {"Label1", "Frame2", {120, 240, 1455, 255}, "Квадраты", Qt::AlignHCenter | Qt::AlignTop},
    {"Label2", "Frame2", {240, 1800, 1335, 255}, "Оси 7", Qt::AlignHCenter | Qt::AlignTop},
};

// Where the picture button of each start/stop command stands; its name, caption, menu item
// and shortcut are in `DrawingCommands`.
struct CommandPlace
{
    Drawing drawing;
    const char *container;
    Twips at;
};

inline constexpr const char *CommandHint = "Старт/остановка прорисовки";

inline constexpr CommandPlace CommandButtons[] = {
    {Drawing::Fractal, nullptr, {5160, 5160, 495, 495}},
    {Drawing::Rainbow, "Frame5", {120, 3480, 1455, 495}},
    {Drawing::Interference, "Frame5", {120, 2640, 615, 735}},
    {Drawing::Interference3D, "Frame5", {960, 2640, 615, 735}},
};

// Where the spinner/text-box pairs of the interference frame stand, one row each with its label
// above; names, captions and ranges come from the interference panel's table.
struct PairLook
{
    Pair id;
    const char *label;
    Twips labelAt;
    Twips textAt;
    Twips spinnerAt;
};

inline constexpr const char *PairContainer = "Frame5";
inline constexpr const char *PairDesignText = "1";

inline constexpr PairLook PairLooks[] = {
    {Pair::L, "Label4", {120, 240, 1215, 255}, {120, 480, 1095, 285}, {1320, 240, 240, 495}},
    {Pair::Num, "Label5", {120, 840, 1215, 255}, {120, 1080, 1095, 285}, {1320, 840, 240, 495}},
    {Pair::Scal, "Label6", {120, 1440, 1215, 255}, {120, 1680, 1095, 285}, {1320, 1440, 240, 495}},
    {Pair::Ampl, "Label7", {120, 2040, 1215, 255}, {120, 2280, 1095, 285}, {1320, 2040, 240, 495}},
};

// Decorations: `Shape2` frames the surface, its sliders and `Command1`; `C1` and `C2` mark the
// middles of the centre sliders.
inline constexpr Twips Shape2At{120, 120, 5655, 5655};
inline constexpr Twips C1At{5640, 2520, 135, 135};
inline constexpr Twips C2At{2520, 5640, 135, 135};

// The menu, captioned with the program's name: first the start/stop commands in the order of
// `DrawingCommands`, those of the interference in the submenu "Строить интерференцию", then the
// file commands and `Exit` below. `Help` is a command of the menu bar itself. Shortcuts are Ctrl
// with the key.
inline constexpr const char *IntCaption = "Строить интерференцию";

struct MenuItemLook
{
    const char *name;
    const char *caption;
    Qt::Key key;
};

inline constexpr MenuItemLook FileMenuItems[] = {
    {"Save", "Сохранить фрактал...", Qt::Key_S},
    {"Load", "Загрузить фрактал...", Qt::Key_L},
    {"SaveBitmap", "Сохранить как рисунок...", Qt::Key_B},
    {"Print", "Печать...", Qt::Key_P},
    {"Exit", "Выход", Qt::Key_X},
};

inline constexpr const char *HelpName = "Help";
inline constexpr const char *HelpCaption = "О программе...";

// Tab order, first to last. Controls that take no focus are skipped.
inline constexpr const char *TabOrder[] = {
    "Slider1",
    "Slider2",
    "Command1",
    "Progress",
    "Field",
    "Frame5",
    "Command2",
    "scalt",
    "numt",
    "lt",
    "Command3",
    "scal",
    "num",
    "l",
    "Label4",
    "Label5",
    "Label6",
    "Command4",
    "amplt",
    "ampl",
    "Label7",
    "Frame6",
    "Frame3",
    "Box",
    "Option4",
    "Option3",
    "Option2",
    "Option1",
    "Frame4",
    "Rc",
    "Gc",
    "Bc",
    "Frame7",
    "Frame1",
    "Slider3",
    "Frame2",
    "KFS",
    "KUB",
    "MUA",
    "QWA",
    "MM",
    "Label2",
    "Label1",
};

static_assert(allWhole(Frames, &FrameLook::at) && allWhole(FractalControls, &ControlLook::at)
        && allWhole(Labels, &LabelLook::at) && allWhole(CommandButtons, &CommandPlace::at)
        && allWhole(PairLooks, &PairLook::labelAt) && allWhole(PairLooks, &PairLook::textAt)
        && allWhole(PairLooks, &PairLook::spinnerAt) && wholePixels(ClientArea)
        && wholePixels(FieldAt) && wholePixels(ProgressAt) && wholePixels(Shape2At)
        && wholePixels(C1At) && wholePixels(C2At),
    "every rectangle of the main window falls on whole pixels");

} // namespace divograf::layout
