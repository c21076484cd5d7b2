// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The drawings the benchmarks time, each described once as the panel settings a user would
// make, so that the headless runs and the runs in the window draw exactly the same picture.

#include "cli/options.h"

#include <iterator>
#include <vector>

namespace divograf::bench {

// The four detail levels, coarsest first: the option that selects each and its cell side in
// surface units.
inline constexpr int DetailLevels = 4;
inline constexpr Control DetailOption[DetailLevels]
    = {Control::Option1, Control::Option2, Control::Option3, Control::Option4};
inline constexpr int DetailUnits[DetailLevels] = {100, 50, 20, 10};
inline constexpr int HighestDetail = DetailLevels - 1;

// The most a whole drawing may take in the window: `factor` times the headless time and
// `plusMs` more. What the window adds (the yields, the passes of the event loop, the repaints)
// must stay small beside the drawing, on any machine.
struct Target
{
    double factor;
    double plusMs;
};
// At the coarser details, where a drawing is short and what the window adds weighs more.
inline constexpr Target CoarserDetailTarget{1.5, 20};

struct Scenario
{
    const char *name;
    Drawing drawing;
    bool heavy;    // the fractal with QWA 5, KUB, MUA and MM 7 instead of the start-up values
    int holes;     // the text typed into numt; 0 leaves it
    bool animated; // the rainbow: the detail level does not change it, and the display paces it
    Target target; // at the highest detail
};

inline constexpr Scenario Scenarios[] = {
    {"fractal", Drawing::Fractal, false, 0, false, {1.3, 20}},
    {"fractal heavy", Drawing::Fractal, true, 0, false, {1.2, 0}},
    {"2-D interference N=7", Drawing::Interference, false, 7, false, {1.3, 20}},
    {"2-D interference N=20", Drawing::Interference, false, 20, false, {1.3, 20}},
    {"3-D interference N=7", Drawing::Interference3D, false, 7, false, {1.3, 20}},
    {"rainbow", Drawing::Rainbow, false, 0, true, {}},
};
inline constexpr int ScenarioCount = static_cast<int>(std::size(Scenarios));

// An animation shows one pass per frame of the display: the rainbow's 200 passes at 60 Hz take
// 3.3 s, whatever the machine.
inline constexpr double AnimationMinSeconds = 3.0;
inline constexpr double AnimationMaxSeconds = 3.6;

// Input must be handled this soon while any drawing runs: the 95th percentile and the worst.
inline constexpr double InputTargetP95Ms = 2;
inline constexpr double InputTargetMaxMs = 20;
// The view repaints at about the display's rate (60 Hz) while a drawing runs, never once an
// element; the upper bound leaves room for the scatter of a few intervals measured.
inline constexpr double RepaintsMinPerSecond = 50;
inline constexpr double RepaintsMaxPerSecond = 61;

// The settings that make `scenario` at detail level `detail` (an index into DetailOption), in
// the order a user would make them. Every fractal setting is given, the start-up values too,
// so that a window reused from scenario to scenario draws the same as a fresh model.
std::vector<cli::Setting> settingsFor(const Scenario &scenario, int detail);

// A started-up model with the settings applied as the renderer applies its --set options.
void configure(Model &model, const std::vector<cli::Setting> &settings);

// Runs `drawing` once from idle to its end in `model` (whose yield does nothing) and returns
// the time it took in seconds.
double drawHeadless(Model &model, Drawing drawing);

// The value below which `percent` % of `values` lie (nearest rank); 0 for none.
double percentile(std::vector<double> values, int percent);
double median(std::vector<double> values);

} // namespace divograf::bench
