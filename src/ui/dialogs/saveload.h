// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/dialogs/chooser.h"

#include <QDialog>

class QFileSystemModel;
class QLineEdit;
class QListView;
class QPushButton;
class QTreeView;

namespace divograf {

// `SaveLoad`: the modal chooser of a directory and a file name. While it is open it keeps
// composing the full path into `ChosenFileName` and shows it as its title; `Command` closes
// it and leaves the path, `Can` (or the title bar's close button) empties it.
class SaveLoad : public QDialog
{
    Q_OBJECT
public:
    SaveLoad(ChooserState &state, QWidget *owner);

    // The caller protocol: set the mode, empty the name, show the chooser modally, return the
    // chosen path (empty when cancelled). The window exists only while it is shown.
    static QString choose(ChooserState &state, const QString &mode, QWidget *owner);

    QTreeView *directoryList() const { return dir_; }
    QListView *fileList() const { return file_; }
    QLineEdit *nameBox() const { return text_; }
    QPushButton *confirmButton() const { return command_; }
    QPushButton *cancelButton() const { return can_; }
    QString directory() const { return directory_; }
    QString pattern() const { return pattern_; }
    void openDirectory(const QString &path);

    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void compose();
    void revealDirectory();

    ChooserState &state_;
    QString directory_;
    QString pattern_ = QStringLiteral("*.dvg");
    bool following_ = true; // the directory list scrolls to the start directory as it loads
    QFileSystemModel *dirModel_;
    QFileSystemModel *fileModel_;
    QTreeView *dir_;
    QListView *file_;
    QLineEdit *text_;
    QPushButton *command_;
    QPushButton *can_;
};

} // namespace divograf
