// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/fileopening.h"

#include "core/commandline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace divograf {

namespace {

// Watches the drag events of every widget of the window: a drag that carries files is the
// window's wherever it goes, one that carries only text (for a text box) is left to the widget.
class ParameterFileDrop : public QObject
{
public:
    ParameterFileDrop(QWidget &window, OpenFile open)
        : QObject(&window)
        , window_(window)
        , open_(std::move(open))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        auto *drop = static_cast<QDropEvent *>(event);
        const QMimeData *data = drop->mimeData();
        if (!widget || widget->window() != &window_ || !data || !data->hasUrls())
            return false;
        const QString path = draggedParameterFile(data);
        if (path.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // Not inside the drop: a message about a bad file would keep the dragging program
        // waiting for the drop's end until it is closed.
        if (type == QEvent::Drop)
            QTimer::singleShot(0, this, [this, path] { open_(path); });
        return true;
    }

private:
    QWidget &window_;
    OpenFile open_;
};

// The window's command line as the parser sees it: the file, --help and --version.
struct WindowArguments
{
    explicit WindowArguments(const QStringList &arguments)
        : standard(addStandardOptions(parser))
    {
        parser.setApplicationDescription(
            QStringLiteral("Открывает окно Дивографа; файл параметров, если он указан, "
                           "загружается, как командой «Загрузить фрактал...». Параметры самого "
                           "Qt (-platform, -style и другие) передаются ему."));
        parser.addPositionalArgument(QStringLiteral("ФАЙЛ.dvg"),
            QStringLiteral("Файл параметров, с которым откроется окно."),
            QStringLiteral("[ФАЙЛ.dvg]"));
        // Qt's own options are words after one dash: unknown here, and no letters of ours.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.parse(arguments);
    }

    QCommandLineParser parser;
    StandardOptions standard;
};

} // namespace

bool asksWithoutWindow(const QStringList &arguments)
{
    const WindowArguments read(arguments);
    return read.parser.isSet(read.standard.help) || read.parser.isSet(read.standard.version);
}

QString answerWithoutWindow(const QStringList &arguments)
{
    const WindowArguments read(arguments);
    return read.parser.isSet(read.standard.version) ? versionLine(QStringLiteral("divograf"))
                                                    : read.parser.helpText();
}

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
    window.setAcceptDrops(true); // for the widgets that take no drop of their own
    new ParameterFileDrop(window, std::move(open));
}

} // namespace divograf
