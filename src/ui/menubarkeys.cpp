// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/menubarkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace divograf {

namespace {

// Watches the application's keys and mouse buttons: the keys reach the focused control, not
// the bar.
class MenuBarKeys : public QObject
{
public:
    explicit MenuBarKeys(QMenuBar &bar)
        : QObject(&bar)
        , bar_(bar)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            byKeys_ = false;
        if (event->type() != QEvent::KeyPress)
            return false;
        if (QApplication::activePopupWidget()) {
            byKeys_ = true; // a key in an open menu may move onto the bar
            return false;
        }
        QAction *item = bar_.activeAction();
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!item)
            byKeys_ = false;
        if (!byKeys_ || !item || !widget || widget == &bar_ || widget->window() != bar_.window())
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool takes = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
        if (item->menu() && (takes || key == Qt::Key_Up || key == Qt::Key_Down)) {
            bar_.setActiveAction(item); // opens its menu
        } else if (takes) {
            bar_.setActiveAction(nullptr);
            item->trigger();
        } else if (key != Qt::Key_Up && key != Qt::Key_Down) {
            // Left and Right move along the bar, Escape leaves it; the bar ignores the rest.
            QCoreApplication::sendEvent(&bar_, event);
        }
        return true;
    }

private:
    QMenuBar &bar_;
    bool byKeys_ = false;
};

} // namespace

void driveMenuBarByKeys(QMenuBar &bar) { new MenuBarKeys(bar); }

} // namespace divograf
