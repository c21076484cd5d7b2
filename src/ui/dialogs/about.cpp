// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/dialogs/about.h"

#include "core/surface/status.h"
#include "ui/dialogs/layout.h"
#include "ui/dialogs/modal.h"
#include "ui/dialogs/sysinfo.h"

#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

namespace divograf {

using namespace layout;

namespace {

constexpr QSize ClientSize = pixels(AboutArea).size();

// The geometry was laid out for 8-point text; the platform's larger default would crowd the
// buttons' captions against their edges.
constexpr int DialogPointSize = 8;
constexpr int TitlePointSize = 12;
constexpr int IconPixels = 32; // the picture inside picIcon's 2-pixel sunken border

} // namespace

QString versionText(int major, int minor, int patch)
{
    return QStringLiteral("Версия %1.%2.%3").arg(major).arg(minor).arg(patch);
}

About::About(QWidget *owner, const QIcon &icon)
    : QDialog(owner,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , cmdOK(new QPushButton(QStringLiteral("OK"), this))
    , picIcon(new QLabel(this))
    , cmdSysInfo(new QPushButton(QStringLiteral("&System Info..."), this))
    , lblTitle(new QLabel(this))
    , lblVersion(new QLabel(this))
{
    setObjectName(QStringLiteral("About"));
    setFixedSize(ClientSize);
    placeOver(*this, owner);
    setWindowIcon(icon);
    QFont dialogFont = font();
    dialogFont.setPointSize(DialogPointSize);
    setFont(dialogFont);

    place(cmdOK, AboutControls[CmdOK]);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    place(picIcon, AboutControls[PicIcon]);
    picIcon->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(icon.pixmap(QSize(IconPixels, IconPixels), devicePixelRatioF()));

    place(cmdSysInfo, AboutControls[CmdSysInfo]);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] {
        if (!sysinfo::start())
            showUnavailable();
    });

    place(lblTitle, AboutControls[LblTitle]);
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(TitlePointSize);
    lblTitle->setFont(titleFont);
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::black);
    lblTitle->setPalette(titlePalette);

    place(lblVersion, AboutControls[LblVersion]);
    lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The texts of the load.
    setWindowTitle(QStringLiteral("О ") + ProgramName);
    lblVersion->setText(
        versionText(DIVOGRAF_VERSION_MAJOR, DIVOGRAF_VERSION_MINOR, DIVOGRAF_VERSION_PATCH));
    lblTitle->setText(ProgramName);
}

void About::showUnavailable()
{
    execAndDelete(new QMessageBox(
        QMessageBox::NoIcon, ProgramName, sysinfo::Unavailable, QMessageBox::Ok, this));
}

void showAbout(QWidget *owner, const QIcon &icon)
{
    QIcon picture = icon;
    if (picture.isNull() && owner)
        picture = owner->window()->windowIcon();
    execAndDelete(new About(owner, picture));
}

} // namespace divograf
