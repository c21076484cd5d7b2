// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The fixed layouts of the three dialogs: each control's name, position and size in twips
// within the client area, converted to pixels once, at 15 twips per pixel.

#include "ui/twips.h"

#include <QWidget>

namespace divograf::layout {

struct Placement
{
    const char *name;
    Twips at;
};

// Names the widget after its control and puts it in its place.
inline void place(QWidget *widget, const Placement &p)
{
    widget->setObjectName(QString::fromLatin1(p.name));
    widget->setGeometry(pixels(p.at));
}

// `SaveLoad`, the file chooser. The file list starts 1 pixel below the name box.
inline constexpr Twips ChooserArea{0, 0, 4680, 2940};
enum ChooserControl { Dir, File, Text, Command, Can };
inline constexpr Placement ChooserControls[] = {
    {"Dir", {120, 120, 2175, 2340}},
    {"File", {2400, 420, 2175, 2040}},
    {"Text", {2400, 120, 2175, 285}},
    {"Command", {2400, 2520, 2160, 315}},
    {"Can", {120, 2520, 2175, 315}},
};

// What each mode of the chooser shows; the modes are looked at one by one when it opens.
struct ChooserModeLook
{
    const char *mode;
    const char *command; // the caption of `Command`, and the title until the first path
    const char *pattern; // of the file list; it gives the extension too
    bool readOnlyName;
};
inline constexpr ChooserModeLook ChooserModes[] = {
    {"SAVE", "Сохранить", "*.dvg", false},
    {"SAVEBITMAP", "Сохранить", "*.bmp", false},
    {"LOAD", "Загрузить", "*.dvg", true},
};
inline constexpr const char *ChooserName = "Fractal";

// `Printing`, the print window: the picture behind two buttons.
inline constexpr Twips PrintArea{0, 0, 4905, 4920};
enum PrintControl { Prints, Cancel };
inline constexpr Placement PrintControls[] = {
    {"Prints", {3720, 4140, 1095, 735}},
    {"Cancel", {120, 4500, 3495, 375}},
};

// `About`: the program's picture, name and version, and two buttons.
inline constexpr Twips AboutArea{0, 0, 3315, 1650};
enum AboutControl { PicIcon, LblTitle, LblVersion, CmdSysInfo, CmdOK };
inline constexpr Placement AboutControls[] = {
    {"picIcon", {120, 120, 540, 540}},
    {"lblTitle", {1290, 240, 1845, 480}},
    {"lblVersion", {1290, 780, 1845, 225}},
    {"cmdSysInfo", {120, 1200, 1245, 345}},
    {"cmdOK", {1920, 1200, 1260, 345}},
};

static_assert(wholePixels(ChooserArea) && allWhole(ChooserControls, &Placement::at)
        && wholePixels(PrintArea) && allWhole(PrintControls, &Placement::at)
        && wholePixels(AboutArea) && allWhole(AboutControls, &Placement::at),
    "every rectangle of the dialogs falls on whole pixels");

} // namespace divograf::layout
