// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/dialogs/saveload.h"

#include "ui/dialogs/layout.h"
#include "ui/dialogs/modal.h"

#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>

#include <functional>

namespace divograf {

using namespace layout;

namespace {

// The file list, telling when a key has moved its current file: an arrow, Home, End, Page Up
// or Down, or a letter typed to find a name. A file is current only once the user has picked
// it: taking the focus (by Tab) makes none current, so that the list never shows a file that
// the name does not name.
class FileList : public QListView
{
public:
    using QListView::QListView;
    std::function<void(const QModelIndex &)> keyMoved;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const QPersistentModelIndex before = currentIndex();
        QListView::keyPressEvent(event);
        if (currentIndex().isValid() && currentIndex() != before)
            keyMoved(currentIndex());
    }
    void focusInEvent(QFocusEvent *event) override
    {
        const bool none = !currentIndex().isValid();
        QListView::focusInEvent(event); // would make the first file current
        if (none)
            selectionModel()->clearCurrentIndex();
    }
};

// The extension a name gets in `directory`: `extension`, or the same in other letters where a
// file of that name is written so ("UPPER.DVG"), as a parameter file is known by its extension
// in any letter case; the path composed is then that file's and no second file beside it.
QString extensionThere(const QString &directory, const QString &name, const QString &extension)
{
    const QString exact = name + extension;
    // The name filter matches in any letter case; only the extension may differ.
    const QStringList found = QDir(directory).entryList({exact}, QDir::Files);
    if (name.isEmpty() || found.contains(exact))
        return extension;
    for (const QString &file : found)
        if (file.size() == exact.size() && file.startsWith(name))
            return file.mid(name.size());
    return extension;
}

} // namespace

SaveLoad::SaveLoad(ChooserState &state, QWidget *owner)
    : QDialog(
        owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , state_(state)
    , directory_(QDir::currentPath())
    , dirModel_(new QFileSystemModel(this))
    , fileModel_(new QFileSystemModel(this))
    , dir_(new QTreeView(this))
    , file_(new FileList(this))
    , text_(new QLineEdit(QStringLiteral("Text1"), this))
    , command_(new QPushButton(QStringLiteral("Command1"), this))
    , can_(new QPushButton(QStringLiteral("Отмена"), this))
{
    setWindowTitle(QStringLiteral("Form1"));
    setFixedSize(pixels(ChooserArea).size());

    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    dirModel_->setRootPath(QDir::rootPath());
    dir_->setModel(dirModel_);
    for (int column = 1; column < dirModel_->columnCount(); ++column)
        dir_->hideColumn(column);
    dir_->header()->hide();
    place(dir_, ChooserControls[Dir]);
    // The tree is read and sorted in the background: keep the start directory in view while the
    // rows of its ancestors come in, until the user takes the list in hand.
    connect(dirModel_, &QFileSystemModel::rowsInserted, this, [this](const QModelIndex &parent) {
        if (directory_.startsWith(dirModel_->filePath(parent)))
            revealDirectory();
    });
    connect(dirModel_, &QFileSystemModel::layoutChanged, this, &SaveLoad::revealDirectory);
    dir_->installEventFilter(this);
    dir_->viewport()->installEventFilter(this);
    revealDirectory();

    fileModel_->setFilter(QDir::Files);
    fileModel_->setNameFilterDisables(false);
    file_->setModel(fileModel_);
    place(file_, ChooserControls[File]);
    place(text_, ChooserControls[Text]);
    place(command_, ChooserControls[Command]);
    place(can_, ChooserControls[Can]);
    command_->setDefault(true);
    command_->setAutoDefault(true);
    can_->setAutoDefault(false);
    setTabOrder(dir_, file_);

    connect(text_, &QLineEdit::textChanged, this, &SaveLoad::compose);
    // A typed name is no listed file's: the list shows none picked.
    connect(text_, &QLineEdit::textEdited, file_->selectionModel(), &QItemSelectionModel::clear);
    connect(dir_->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) { openDirectory(dirModel_->filePath(current)); });
    // A file picked by a click or by a key gives the name; Enter then confirms the path that
    // the title shows.
    const auto takeName = [this](const QModelIndex &index) {
        text_->setText(fileModel_->fileInfo(index).completeBaseName());
    };
    connect(file_, &QListView::clicked, this, takeName);
    static_cast<FileList *>(file_)->keyMoved = takeName;
    connect(command_, &QPushButton::clicked, this, &QDialog::accept);
    connect(can_, &QPushButton::clicked, this, &QDialog::reject);

    // Opening: the mode's captions, pattern and name box; the name's change composes the first
    // path. An unknown mode keeps the design texts.
    const ChooserModeLook *look = nullptr;
    for (const ChooserModeLook &m : ChooserModes)
        if (state_.ChooserMode == QLatin1String(m.mode))
            look = &m;
    if (look) {
        command_->setText(QString::fromUtf8(look->command));
        setWindowTitle(QString::fromUtf8(look->command));
        pattern_ = QString::fromLatin1(look->pattern);
        text_->setReadOnly(look->readOnlyName);
    }
    fileModel_->setNameFilters({pattern_});
    file_->setRootIndex(fileModel_->setRootPath(directory_));
    if (look)
        text_->setText(QString::fromLatin1(ChooserName));
    // The keyboard starts where the user picks the file: typing replaces the name in the saving
    // modes, the arrows walk the list when loading (each file reached gives the name; Enter
    // confirms).
    if (text_->isReadOnly()) {
        file_->setFocus();
    } else {
        text_->setFocus();
        text_->selectAll();
    }

    placeOver(*this, owner);
}

QString SaveLoad::choose(ChooserState &state, const QString &mode, QWidget *owner)
{
    state.ChosenFileName.clear();
    state.ChooserMode = mode;
    execAndDelete(new SaveLoad(state, owner));
    return state.ChosenFileName;
}

bool SaveLoad::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::MouseButtonPress || t == QEvent::Wheel || t == QEvent::KeyPress)
        following_ = false;
    return QDialog::eventFilter(watched, event);
}

void SaveLoad::revealDirectory()
{
    if (!following_)
        return;
    const QModelIndex current = dirModel_->index(directory_);
    for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
        dir_->expand(up);
    dir_->setCurrentIndex(current);
    dir_->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

void SaveLoad::openDirectory(const QString &path)
{
    if (path.isEmpty() || path == directory_)
        return;
    directory_ = path;
    file_->setRootIndex(fileModel_->setRootPath(directory_));
    compose();
}

void SaveLoad::compose()
{
    // A root directory is reported with its separator, every other one without.
    const QString directory = QDir::cleanPath(directory_);
    state_.ChosenFileName = composePath(directory, text_->text(),
        extensionThere(directory, text_->text(), patternExtension(pattern_)));
    setWindowTitle(state_.ChosenFileName);
}

void SaveLoad::reject()
{
    // `Can`, Escape and the title bar's close button all cancel, so that closing the window
    // never writes over a file by accident.
    state_.ChosenFileName.clear();
    QDialog::reject();
}

} // namespace divograf
