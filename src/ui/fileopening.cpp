// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/fileopening.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace divograf {

namespace {

// Watches the drag events of the window it is installed on.
class ParameterFileDrop : public QObject
{
public:
    ParameterFileDrop(QWidget &window, OpenFile open)
        : QObject(&window)
        , open_(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDragMoveEvent *>(event);
            if (draggedParameterFile(drag->mimeData()).isEmpty())
                drag->ignore();
            else
                drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const QString path = draggedParameterFile(drop->mimeData());
            if (path.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            // Not inside the drop: a message about a bad file would keep the dragging
            // program waiting for the drop's end until it is closed.
            QTimer::singleShot(0, this, [this, path] { open_(path); });
            return true;
        }
        default: return QObject::eventFilter(watched, event);
        }
    }

private:
    OpenFile open_;
};

} // namespace

bool isParameterFileName(const QString &path)
{
    return path.endsWith(QStringLiteral(".dvg"), Qt::CaseInsensitive);
}

QString draggedParameterFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    const QString path = urls.front().toLocalFile();
    return isParameterFileName(path) ? path : QString();
}

QString openFromArguments(const QStringList &arguments, const OpenFile &open)
{
    const QStringList files = arguments.mid(1);
    if (files.isEmpty())
        return {};
    if (files.size() > 1)
        return QStringLiteral(
            "divograf: открывается только один файл параметров (.dvg), а указано %1; "
            "окно откроется с начальными параметрами")
            .arg(files.size());
    if (!isParameterFileName(files.front()))
        return QStringLiteral(
            "divograf: «%1» — не файл параметров (.dvg); окно откроется с начальными параметрами")
            .arg(files.front());
    open(files.front());
    return {};
}

void acceptParameterFileDrops(QWidget &window, OpenFile open)
{
    window.setAcceptDrops(true);
    window.installEventFilter(new ParameterFileDrop(window, std::move(open)));
}

} // namespace divograf
