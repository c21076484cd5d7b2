// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/menubarkeys.h"

#include <QApplication>
#include <QEvent>
#include <QMenuBar>

namespace divograf {

namespace {

// Watches the application's keys and mouse buttons.
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
        // The bar takes them as its own: the arrows move along it or open a menu, Enter and
        // Space take an item, Escape leaves it.
        QCoreApplication::sendEvent(&bar_, event);
        return true;
    }

private:
    QMenuBar &bar_;
    bool byKeys_ = false;
};

} // namespace

void driveMenuBarByKeys(QMenuBar &bar) { new MenuBarKeys(bar); }

} // namespace divograf
