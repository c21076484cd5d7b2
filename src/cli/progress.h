// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

#include <chrono>
#include <cstdio>

namespace divograf::cli {

// The two stages of a run that take long.
enum class Stage { Drawing, Writing };

// What the progress line says: the stage, the percent done, the time since the run began and
// an estimate of the time the stage still takes, made from the time it has taken so far, as
// "Рисую: 25 %, прошло 20 с, осталось около 1 мин 00 с". `done` below 0 means the share is
// not known (a PNG being written): then the megabytes written stand in its place.
QString progressText(
    Stage stage, double done, double megabytes, double runSeconds, double stageSeconds);

// One line on a terminal that shows how far a run has come, written over in place. It shows
// nothing in the run's first second, nothing more often than a few times a second, and
// nothing at all when not `shown` (standard error not a terminal, or --quiet). `clear` takes
// it away before any other line is written.
class ProgressLine
{
public:
    using Clock = std::chrono::steady_clock;

    ProgressLine(bool shown, std::FILE *terminal = stderr);
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void update(Stage stage, double done, double megabytes = 0);
    void clear();

private:
    void write(const QString &text);

    bool shown_;
    std::FILE *terminal_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point stageStart_ = start_;
    Clock::time_point last_{};
    Stage stage_ = Stage::Drawing;
    qsizetype width_ = 0; // of the line now on the terminal, in characters
};

} // namespace divograf::cli
