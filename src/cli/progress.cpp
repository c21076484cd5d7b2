// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "cli/progress.h"

#include <QLocale>

#include <cmath>

namespace divograf::cli {

namespace {

constexpr double QuietSeconds = 1;    // a run shorter than this shows no line at all
constexpr double EverySeconds = 0.25; // the line changes at most this often

// "42 с" under a minute, "3 мин 07 с" above.
QString duration(double seconds)
{
    const long whole = std::lround(std::max(seconds, 0.0));
    if (whole < 60)
        return QStringLiteral("%1 с").arg(whole);
    return QStringLiteral("%1 мин %2 с").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString progressText(
    Stage stage, double done, double megabytes, double runSeconds, double stageSeconds)
{
    QString text
        = stage == Stage::Drawing ? QStringLiteral("Рисую: ") : QStringLiteral("Записываю файл: ");
    if (done < 0)
        return text
            + QStringLiteral("%1 МБ, прошло %2")
                  .arg(QLocale(QLocale::Russian).toString(megabytes, 'f', 1), duration(runSeconds));
    text += QStringLiteral("%1 %, прошло %2")
                .arg(static_cast<int>(std::floor(100 * std::min(done, 1.0))))
                .arg(duration(runSeconds));
    if (done > 0 && done < 1)
        text += QStringLiteral(", осталось около ") + duration(stageSeconds * (1 - done) / done);
    return text;
}

ProgressLine::ProgressLine(bool shown, std::FILE *terminal)
    : shown_(shown)
    , terminal_(terminal)
{
}

void ProgressLine::update(Stage stage, double done, double megabytes)
{
    if (!shown_)
        return;
    const Clock::time_point now = Clock::now();
    const bool newStage = stage != stage_;
    if (newStage) {
        stage_ = stage;
        stageStart_ = now;
    }
    const auto seconds = [now](Clock::time_point since) {
        return std::chrono::duration<double>(now - since).count();
    };
    if (seconds(start_) < QuietSeconds || (!newStage && seconds(last_) < EverySeconds))
        return;
    last_ = now;
    write(progressText(stage, done, megabytes, seconds(start_), seconds(stageStart_)));
}

void ProgressLine::clear()
{
    if (width_ == 0)
        return;
    write(QString());
    std::fputc('\r', terminal_);
    std::fflush(terminal_);
}

void ProgressLine::write(const QString &text)
{
    // Back to the start of the line, and blanks over whatever of a longer line was there.
    const QString line = QLatin1Char('\r') + text.leftJustified(width_);
    width_ = text.size();
    std::fputs(line.toUtf8().constData(), terminal_);
    std::fflush(terminal_);
}

} // namespace divograf::cli
