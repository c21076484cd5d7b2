// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/progress.h"
#include "core/files/failure.h"
#include "core/model.h"

#include <QString>
#include <QStringList>

class QSaveFile;

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace divograf::cli {

// What the command line changes before the drawing, applied in its order as a user would:
// a control of the fractal panel moved to a whole number (--set), a text typed into an
// interference text box (--set), or a parameter file loaded (--params).
struct ControlSetting
{
    Control control;
    int value;
};
struct TextSetting
{
    Pair textBox;
    QString text;
};
struct ParameterFileSetting
{
    QString path;
};
using Setting = std::variant<ControlSetting, TextSetting, ParameterFileSetting>;

struct Job
{
    Drawing drawing = Drawing::Fractal;
    std::vector<Setting> settings; // in command-line order
    int scale = 1;
    int cell = 0;    // --cell in surface units; 0: as the detail level says
    int threads = 1; // --threads: all processors unless given
    bool quiet = false;
    QString output;
    QByteArray format;      // "BMP" or "PNG", from the output's extension
    QString saveParameters; // --save-params: written after the drawing, as Save writes
};

// What the command line asks for: a job, a text to print (the help, or the version), or an
// error line.
struct Help
{
    QString text;
};
struct Error
{
    QString message;
};
using Parsed = std::variant<Job, Help, Error>;

// Parses `arguments` (program name first). It reads no file; it looks only at where the two
// files to write would land, to refuse one place for both.
Parsed parseArguments(const QStringList &arguments);

// Applies one setting to a started-up model. Fails only on a parameter file that cannot be
// loaded, and then leaves the model unchanged.
std::optional<Failure> apply(Model &model, const Setting &setting);

// What a run tells its caller as it goes, and asks it: how far it has come (the share done, or
// -1 when it is not known, and the megabytes written), and whether to stop.
struct Watch
{
    std::function<void(Stage stage, double done, double megabytes)> progress
        = [](Stage, double, double) {};
    std::function<bool()> stopping = [] { return false; };
};

// Starts up a model, applies the settings, runs the drawing once from idle to its end on the
// job's threads and writes the parameter file (if asked) and the raster, both in full before
// either is put in place: a failure at any step leaves every file as it was. So does a stop
// asked for while it draws (the drawing ends within a block) or writes (the writing is given
// up); a stop asked for once the files are going in place lets them go.
std::optional<Failure> runJob(const Job &job, const Watch &watch = {});

// The last step of a job: puts the prepared parameter file (if any) in place, then the
// picture. When the picture cannot be, the parameter file goes back to what it was: an old
// one from a second name (a hard link) kept beside it until the end, a new one removed.
std::optional<Failure> putInPlace(QSaveFile *parameters, QSaveFile &picture);

} // namespace divograf::cli
