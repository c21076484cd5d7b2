// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

// divograf-render: draws one of the program's pictures into an image file, headless.

#include "cli/options.h"
#include "cli/progress.h"
#include "cli/stopping.h"
#include "core/qttexts.h"

#include <QCoreApplication>
#include <QTextStream>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    divograf::installQtRussian(app); // the parser's headings and complaints
    QTextStream err(stderr);
    QTextStream out(stdout);
    const divograf::cli::Parsed parsed
        = divograf::cli::parseArguments(QCoreApplication::arguments());
    if (const auto *help = std::get_if<divograf::cli::Help>(&parsed)) {
        out << help->text;
        return 0;
    }
    if (const auto *error = std::get_if<divograf::cli::Error>(&parsed)) {
        err << "divograf-render: " << error->message << '\n';
        return 2;
    }
    const divograf::cli::Job &job = std::get<divograf::cli::Job>(parsed);
    divograf::cli::StopSignals stops;
    divograf::cli::ProgressLine line(!job.quiet && isatty(STDERR_FILENO) == 1);
    const divograf::cli::Watch watch{[&](divograf::cli::Stage stage, double done,
                                         double megabytes) { line.update(stage, done, megabytes); },
        [] { return divograf::cli::StopSignals::received() != 0; }};
    const auto failure = divograf::cli::runJob(job, watch);
    line.clear();
    if (divograf::cli::StopSignals::received() != 0)
        stops.endBySignal();
    if (failure) {
        err << "divograf-render: " << failure->message << '\n';
        return 1;
    }
    return 0;
}
