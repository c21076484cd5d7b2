// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "cli/options.h"

#include "core/commandline.h"
#include "core/files/parameters.h"
#include "core/files/picture.h"
#include "core/surface/workers.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace divograf::cli {

namespace {

constexpr int MaxScale = 16;
constexpr int MaxCell = 100;
constexpr int MaxThreads = 256;
constexpr double BytesPerMegabyte = 1024 * 1024;
constexpr int MaxLinks = 128; // symbolic links followed in a row, as QSaveFile follows them

// Where a write to `path` lands: its symbolic links followed, as QSaveFile follows them, and
// its folder by its own path, so that two names of one place give one path.
QString writtenPath(const QString &path)
{
    QFileInfo info(path);
    for (int links = 0; info.isSymLink() && links < MaxLinks; ++links)
        info.setFile(info.symLinkTarget());
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir(folder.isEmpty() ? info.absolutePath() : folder).filePath(info.fileName());
}

// The file at `path` under a second name beside it while a new file takes its name, so that it
// can be put back: a hard link, or a copy where the file system has none. The second name goes
// when this does.
class KeptFile
{
public:
    explicit KeptFile(const QString &path)
        : path_(path)
    {
        if (!QFileInfo::exists(path))
            return; // a new file: putting back removes it
        const QFileInfo info(path);
        QString name;
        for (int n = 1; name.isEmpty() || QFileInfo::exists(name); ++n)
            name = info.dir().filePath(QStringLiteral(".%1.kept%2").arg(info.fileName()).arg(n));
        QFile old(path);
#ifdef Q_OS_UNIX
        const bool linked
            = ::link(QFile::encodeName(path).constData(), QFile::encodeName(name).constData()) == 0;
#else
        const bool linked = false;
#endif
        if (linked || old.copy(name))
            kept_ = name;
        else
            failure = fileFailure(
                QStringLiteral("оставить на время записи прежний файл"), path, reasonOf(old));
    }
    ~KeptFile()
    {
        if (!kept_.isEmpty())
            QFile::remove(kept_);
    }
    KeptFile(const KeptFile &) = delete;
    KeptFile &operator=(const KeptFile &) = delete;

    // The old file back under its name, or none when there was none. Returns where the old
    // file stays when it cannot be put back.
    QString putBack()
    {
        if (kept_.isEmpty()) {
            QFile::remove(path_);
            return {};
        }
        if (std::rename(QFile::encodeName(kept_).constData(), QFile::encodeName(path_).constData())
            == 0) {
            kept_.clear();
            return {};
        }
        return std::exchange(kept_, QString());
    }

    std::optional<Failure> failure; // the old file could not be kept: nothing may replace it

private:
    QString path_;
    QString kept_;
};

QString kindList()
{
    QStringList kinds;
    for (const DrawingCommand &c : DrawingCommands)
        kinds << QString::fromLatin1(c.kind.data(), static_cast<qsizetype>(c.kind.size()));
    return kinds.join(QStringLiteral(", "));
}

QString controlList()
{
    QStringList names;
    for (const ControlSpec &s : Controls)
        names << QString::fromLatin1(s.name.data(), static_cast<qsizetype>(s.name.size()));
    for (const PairSpec &p : Pairs)
        names << QString::fromLatin1(p.textBox.data(), static_cast<qsizetype>(p.textBox.size()));
    return names.join(QStringLiteral(", "));
}

std::variant<Setting, Error> parseSetting(const QString &text)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return Error{QStringLiteral("--set ждёт ЭЛЕМЕНТ=ЗНАЧЕНИЕ, а получено «%1»").arg(text)};
    const QString name = text.left(eq);
    // A text box takes the text as typed, blanks and all.
    if (const std::optional<Pair> box = textBoxNamed(name.toStdString()))
        return TextSetting{*box, text.mid(eq + 1)};
    const QString valueText = text.mid(eq + 1).trimmed();
    const std::optional<Control> control = controlNamed(name.toStdString());
    if (!control)
        return Error{
            QStringLiteral("неизвестный элемент «%1»; известны: %2").arg(name, controlList())};
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    if (!integer.match(valueText).hasMatch())
        return Error{QStringLiteral("значение «%1» для %2 не целое число").arg(valueText, name)};
    const ControlSpec &s = spec(*control);
    bool ok = false; // false for an integer beyond any control's range
    const int value = valueText.toInt(&ok);
    if (s.kind == ControlKind::Option && (!ok || value != 1))
        return Error{QStringLiteral("%1 выбирается только значением 1").arg(name)};
    if (s.kind == ControlKind::CheckBox && (!ok || (value != 0 && value != 1)))
        return Error{QStringLiteral("%1 — флажок: 0 (снят) или 1 (отмечен), а получено «%2»")
                         .arg(name, valueText)};
    if (!ok || value < s.min || value > s.max)
        return Error{QStringLiteral("значение %1 для %2 вне его пределов %3..%4")
                         .arg(valueText, name)
                         .arg(s.min)
                         .arg(s.max)};
    return ControlSetting{*control, value};
}

} // namespace

Parsed parseArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Рисует картину Дивографа в файл BMP или PNG, как окно программы после одного запуска."));
    parser.addPositionalArgument(
        QStringLiteral("KIND"), QStringLiteral("Что рисовать: %1.").arg(kindList()));
    const QCommandLineOption set(QStringLiteral("set"),
        QStringLiteral("Установить элемент панели (%1), как это сделал бы пользователь. "
                       "Можно повторять; применяются по порядку.")
            .arg(controlList()),
        QStringLiteral("CONTROL=VALUE"));
    const QCommandLineOption scale(QStringLiteral("scale"),
        QStringLiteral("Во сколько раз больше пикселей по стороне (1..16)."), QStringLiteral("N"),
        QStringLiteral("1"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Файл картины: .bmp или .png."), QStringLiteral("OUT"));
    const QCommandLineOption params(QStringLiteral("params"),
        QStringLiteral("Загрузить файл параметров (.dvg), как команда «Загрузить фрактал...»; "
                       "применяется на своём месте среди --set."),
        QStringLiteral("FILE.dvg"));
    const QCommandLineOption saveParams(QStringLiteral("save-params"),
        QStringLiteral(
            "После рисования записать параметры в файл, как команда «Сохранить фрактал...»."),
        QStringLiteral("FILE.dvg"));
    const QCommandLineOption cell(QStringLiteral("cell"),
        QStringLiteral("Сторона клетки фрактала и 2D интерференции и шаг точек и рядов 3D "
                       "интерференции в единицах поверхности (1..%1) вместо детализации; px — "
                       "целое число единиц, ближайшее к одному пикселю при выбранном --scale.")
            .arg(MaxCell),
        QStringLiteral("UNITS|px"));
    const QCommandLineOption threads(QStringLiteral("threads"),
        QStringLiteral("Сколько потоков считают картину (1..%1); по умолчанию столько, сколько "
                       "процессоров. Картина от этого не меняется.")
            .arg(MaxThreads),
        QStringLiteral("N"));
    const QCommandLineOption quiet(
        QStringLiteral("quiet"), QStringLiteral("Не показывать в терминале, как идёт работа."));
    parser.addOptions({set, params, saveParams, scale, cell, threads, quiet, output});
    const StandardOptions standard = addStandardOptions(parser);

    if (arguments.size() <= 1)
        return Error{QStringLiteral("не сказано, что рисовать; справка: divograf-render --help")};
    // The parser's headings and complaints are Qt's, in Russian once its texts are installed.
    if (!parser.parse(arguments))
        return Error{parser.errorText() + QStringLiteral(" Справка: divograf-render --help")};
    if (parser.isSet(standard.version))
        return Help{versionLine(QStringLiteral("divograf-render"))};
    if (parser.isSet(standard.help))
        return Help{parser.helpText()};

    Job job;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return Error{QStringLiteral("нужен ровно один вид рисунка: %1").arg(kindList())};
    const DrawingCommand *kind = nullptr;
    for (const DrawingCommand &c : DrawingCommands)
        if (positional.front() == QLatin1String(c.kind))
            kind = &c;
    if (!kind)
        return Error{QStringLiteral("неизвестный вид рисунка «%1»; возможны: %2")
                         .arg(positional.front(), kindList())};
    job.drawing = kind->drawing;

    // --set and --params in the order given: the parser lists every occurrence of an option.
    const QStringList sets = parser.values(set), files = parser.values(params);
    qsizetype nextSet = 0, nextFile = 0;
    for (const QString &name : parser.optionNames()) {
        if (name == set.names().front()) {
            auto s = parseSetting(sets.at(nextSet++));
            if (auto *e = std::get_if<Error>(&s))
                return *e;
            job.settings.push_back(std::get<Setting>(s));
        } else if (name == params.names().front()) {
            job.settings.push_back(ParameterFileSetting{files.at(nextFile++)});
        }
    }
    job.saveParameters = parser.value(saveParams);

    bool ok = false;
    job.scale = parser.value(scale).toInt(&ok);
    if (!ok || job.scale < 1 || job.scale > MaxScale)
        return Error{QStringLiteral("--scale ждёт целое число от 1 до %1, а получено «%2»")
                         .arg(MaxScale)
                         .arg(parser.value(scale))};

    if (parser.isSet(cell)) {
        const QString text = parser.value(cell);
        job.cell
            = text == QLatin1String("px") ? Surface::unitsNearestPixel(job.scale) : text.toInt(&ok);
        if ((text != QLatin1String("px") && !ok) || job.cell < 1 || job.cell > MaxCell)
            return Error{
                QStringLiteral("--cell ждёт целое число от 1 до %1 или px, а получено «%2»")
                    .arg(MaxCell)
                    .arg(text)};
    }
    job.threads = processorCount();
    if (parser.isSet(threads)) {
        job.threads = parser.value(threads).toInt(&ok);
        if (!ok || job.threads < 1 || job.threads > MaxThreads)
            return Error{QStringLiteral("--threads ждёт целое число от 1 до %1, а получено «%2»")
                             .arg(MaxThreads)
                             .arg(parser.value(threads))};
    }
    job.quiet = parser.isSet(quiet);

    if (!parser.isSet(output))
        return Error{QStringLiteral("не указан файл картины (-o OUT.bmp или -o OUT.png)")};
    job.output = parser.value(output);
    const QString suffix = QFileInfo(job.output).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        job.format = "BMP";
    else if (suffix == QLatin1String("png"))
        job.format = "PNG";
    else
        return Error{QStringLiteral("файл картины должен оканчиваться на .bmp или .png: «%1»")
                         .arg(job.output)};
    if (!job.saveParameters.isEmpty() && writtenPath(job.saveParameters) == writtenPath(job.output))
        return Error{QStringLiteral("--save-params и -o называют один и тот же файл «%1»; "
                                    "одно записалось бы поверх другого")
                         .arg(job.output)};
    return job;
}

std::optional<Failure> apply(Model &model, const Setting &setting)
{
    if (const auto *typed = std::get_if<TextSetting>(&setting)) {
        model.interference.setText(typed->textBox, typed->text);
    } else if (const auto *moved = std::get_if<ControlSetting>(&setting)) {
        model.fractal.setValue(moved->control, moved->value);
        if (moved->control == Control::QWA)
            model.fractal.clickQwa(); // a click on the slider at that value
    } else {
        const auto loaded = loadParameterFile(std::get<ParameterFileSetting>(setting).path);
        if (const auto *failure = std::get_if<Failure>(&loaded))
            return *failure;
        applyParameters(model, std::get<ParameterRecords>(loaded));
    }
    return std::nullopt;
}

std::optional<Failure> runJob(const Job &job, const Watch &watch)
{
    Model model(job.scale);
    model.startUp();
    for (const Setting &s : job.settings)
        if (std::optional<Failure> failure = apply(model, s))
            return failure;
    Workers workers(job.threads);
    model.run.workers = &workers;
    model.run.cell = job.cell;
    model.run.yield = [&] {
        if (watch.stopping())
            model.run.Running = false;
        watch.progress(Stage::Drawing, model.run.done, 0);
    };
    model.startStop(job.drawing);
    const Failure stopped{QStringLiteral("остановлено")};
    if (watch.stopping())
        return stopped;

    // Both files are written whole beside their places before either is put in place (the
    // temporary ones go with their QSaveFile).
    const bool withParameters = !job.saveParameters.isEmpty();
    QSaveFile parameters(job.saveParameters), picture(job.output);
    if (withParameters)
        if (std::optional<Failure> failure
            = prepareParameterFile(parameters, takeParameters(model)))
            return failure;
    const QImage &raster = model.surface.settled();
    const qint64 size = pictureSize(raster, job.format);
    const auto written = [&](qint64 bytes) {
        watch.progress(Stage::Writing, size > 0 ? static_cast<double>(bytes) / size : -1,
            static_cast<double>(bytes) / BytesPerMegabyte);
        return !watch.stopping();
    };
    std::optional<Failure> failure = preparePicture(picture, raster, job.format, written);
    // Up to here a stop leaves every file as it was; from here the files go in place together.
    if (watch.stopping())
        return stopped;
    if (failure)
        return failure;
    return putInPlace(withParameters ? &parameters : nullptr, picture);
}

std::optional<Failure> putInPlace(QSaveFile *parameters, QSaveFile &picture)
{
    if (!parameters)
        return commitPicture(picture);
    KeptFile old(writtenPath(parameters->fileName()));
    if (old.failure)
        return old.failure;
    if (std::optional<Failure> failure = commitParameterFile(*parameters))
        return failure;
    std::optional<Failure> failure = commitPicture(picture);
    if (failure)
        if (const QString stays = old.putBack(); !stays.isEmpty())
            failure->message += QStringLiteral(" Прежний файл параметров остался в «%1».")
                                    .arg(QDir::toNativeSeparators(stays));
    return failure;
}

} // namespace divograf::cli
