// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/dialogs/modal.h"

#include <QDialog>
#include <QPointer>
#include <QScreen>

#include <algorithm>

namespace divograf {

void placeOver(QDialog &dialog, const QWidget *owner)
{
    if (!owner)
        return;
    const QWidget *window = owner->window();
    QRect r({0, 0}, dialog.size());
    r.moveCenter(window->geometry().center());
    if (const QScreen *screen = window->screen()) {
        const QRect available = screen->availableGeometry();
        r.moveLeft(std::clamp(r.left(), available.left(),
            std::max(available.left(), available.right() + 1 - r.width())));
        r.moveTop(std::clamp(r.top(), available.top(),
            std::max(available.top(), available.bottom() + 1 - r.height())));
    }
    dialog.setGeometry(r);
}

int execAndDelete(QDialog *dialog)
{
    const QPointer<QDialog> guard(dialog);
    const int result = dialog->exec();
    delete guard;
    return result;
}

} // namespace divograf
