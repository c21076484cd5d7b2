// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QDialog>
#include <QIcon>

class QLabel;
class QPushButton;

namespace divograf {

// "Версия 2.0.0": each number in decimal, without blanks or leading zeros.
QString versionText(int major, int minor, int patch);

// `About`: names the program and its version and offers to start the system-information
// program. A fixed dialog of 221 x 110 client pixels, without minimise and maximise boxes,
// centred on its owner. `cmdOK` is the default button (Enter) and Esc closes it as well;
// Alt+S presses `cmdSysInfo`, after which the dialog stays open whatever came of it.
class About : public QDialog
{
    Q_OBJECT

public:
    About(QWidget *owner, const QIcon &icon);

private:
    void showUnavailable();

    // In tab order, which is the order they are made in.
    QPushButton *cmdOK;
    QLabel *picIcon;
    QPushButton *cmdSysInfo;
    QLabel *lblTitle;
    QLabel *lblVersion;
};

// The `Help` command: builds the About box, shows it modally over `owner` and returns when it
// has closed. `icon` is the program's picture; a null icon takes the owner window's icon.
// Safe when the owner is destroyed while the box is open.
void showAbout(QWidget *owner, const QIcon &icon = QIcon());

} // namespace divograf
