// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "scenarios.h"

#include <algorithm>
#include <chrono>

namespace divograf::bench {

std::vector<cli::Setting> settingsFor(const Scenario &scenario, int detail)
{
    std::vector<cli::Setting> settings{cli::ControlSetting{DetailOption[detail], 1}};
    if (scenario.drawing == Drawing::Fractal) {
        const int on = scenario.heavy ? 1 : 0;
        settings.insert(settings.end(),
            {cli::ControlSetting{Control::QWA, scenario.heavy ? 5 : spec(Control::QWA).design},
                cli::ControlSetting{Control::KUB, on}, cli::ControlSetting{Control::MUA, on},
                cli::ControlSetting{Control::MM, 7}});
    }
    if (scenario.holes > 0)
        settings.push_back(cli::TextSetting{Pair::Num, QString::number(scenario.holes)});
    return settings;
}

void configure(Model &model, const std::vector<cli::Setting> &settings)
{
    model.startUp();
    for (const cli::Setting &s : settings)
        cli::apply(model, s);
}

double drawHeadless(Model &model, Drawing drawing)
{
    const auto start = std::chrono::steady_clock::now();
    model.startStop(drawing);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double percentile(std::vector<double> values, int percent)
{
    if (values.empty())
        return 0;
    const std::size_t rank
        = std::min(values.size() - 1, values.size() * static_cast<std::size_t>(percent) / 100);
    std::nth_element(
        values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank), values.end());
    return values[rank];
}

double median(std::vector<double> values) { return percentile(std::move(values), 50); }

} // namespace divograf::bench
