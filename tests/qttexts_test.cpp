// Qt's own texts as a user of Дивограф meets them (the buttons of a message box, the context
// menu of a text box, the print window), in English as Qt starts and in Russian once the
// start-up's loading has run, whatever the system's locale (CTest sets an English one).

#include "app/qttexts.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace divograf;

namespace {

QString button(QMessageBox::StandardButton which)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Дивограф"), QString(),
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    return box.button(which)->text();
}

// The item of a text box's context menu that shows `shortcut` after a tab, without it.
QString menuItem(QKeySequence::StandardKey shortcut)
{
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    const QString keys = QKeySequence(shortcut).toString(QKeySequence::NativeText);
    for (const QAction *action : menu->actions())
        if (action->text().section(QLatin1Char('\t'), 1) == keys)
            return action->text().section(QLatin1Char('\t'), 0, 0);
    return QStringLiteral("(none)");
}

QString printWindowTitle()
{
    QPrinter printer;
    return QPrintDialog(&printer).windowTitle();
}

const struct
{
    const char *what;
    std::function<QString()> text;
    QString english, russian;
} Texts[] = {
    {"Cancel", [] { return button(QMessageBox::Cancel); }, QStringLiteral("Cancel"), QStringLiteral("Отмена")},
    {"Yes", [] { return button(QMessageBox::Yes); }, QStringLiteral("&Yes"), QStringLiteral("&Да")},
    {"No", [] { return button(QMessageBox::No); }, QStringLiteral("&No"), QStringLiteral("&Нет")},
    {"Undo", [] { return menuItem(QKeySequence::Undo); }, QStringLiteral("&Undo"), QStringLiteral("&Отменить действие")},
    {"Paste", [] { return menuItem(QKeySequence::Paste); }, QStringLiteral("&Paste"), QStringLiteral("В&ставить")},
    {"Select All", [] { return menuItem(QKeySequence::SelectAll); }, QStringLiteral("Select All"), QStringLiteral("Выделить всё")},
    {"Print", printWindowTitle, QStringLiteral("Print"), QStringLiteral("Печать")},
};

} // namespace

TEST(QtTexts, EnglishAsQtStartsRussianOnceLoaded)
{
    for (const auto &row : Texts)
        EXPECT_EQ(row.text().toStdString(), row.english.toStdString()) << row.what;

    ASSERT_TRUE(installQtRussian(*qApp));
    for (const auto &row : Texts)
        EXPECT_EQ(row.text().toStdString(), row.russian.toStdString()) << row.what;
}
