#pragma once

#include "app/model.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

namespace divograf::cli {

// One --set NAME=VALUE, applied as a user would: a control of the fractal panel moved to a
// whole number, or, when `textBox` is set, the text typed into that interference text box.
struct Setting
{
    Control control;
    int value;
    std::optional<Pair> textBox = std::nullopt; // control and value are unused then
    QString text = {};
};

struct Job
{
    Drawing drawing = Drawing::Fractal;
    std::vector<Setting> settings; // in command-line order
    int scale = 1;
    QString output;
    QByteArray format; // "BMP" or "PNG", from the output's extension
};

// What the command line asks for: a job, the help text to print, or an error line.
struct Help { QString text; };
struct Error { QString message; };
using Parsed = std::variant<Job, Help, Error>;

// Parses `arguments` (program name first) without touching the disk.
Parsed parseArguments(const QStringList &arguments);

// Applies one setting to a started-up model.
void apply(Model &model, const Setting &setting);

// Starts up a model, applies the settings, runs the drawing once from idle to its end and
// writes the raster. Returns an empty string or the error; on error no file is left behind.
QString runJob(const Job &job);

} // namespace divograf::cli
