// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// Qt's own texts as a user of Дивограф meets them (a message box's buttons, a text box's context
// menu, the print window), in English as Qt starts and in Russian once the start-up's loading
// has run, whatever the system's locale (CTest sets an English one).

#include "ui/qttexts.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

using namespace divograf;

namespace {

// The texts: a message box's Cancel and Yes, the context menu's Paste (without its shortcut),
// the print window's title.
QStringList texts()
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Дивограф"), QString(), QMessageBox::Cancel | QMessageBox::Yes);
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QString paste;
    for (const QAction *action : menu->actions())
        if (action->text().section(QLatin1Char('\t'), 1) == QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText))
            paste = action->text().section(QLatin1Char('\t'), 0, 0);
    QPrinter printer;
    return {box.button(QMessageBox::Cancel)->text(), box.button(QMessageBox::Yes)->text(), paste,
            QPrintDialog(&printer).windowTitle()};
}

} // namespace

TEST(QtTexts, EnglishAsQtStartsRussianOnceLoaded)
{
    EXPECT_EQ(texts(), QStringList({"Cancel", "&Yes", "&Paste", "Print"}));
    ASSERT_TRUE(installQtRussian(*qApp));
    EXPECT_EQ(texts(), QStringList({"Отмена", "&Да", "В&ставить", "Печать"}));
}
