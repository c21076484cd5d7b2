// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// A started-up model whose yield counts drawn elements, records what a view would show after
// each, and runs what is planned for an element (a command "pressed" at element k).

#include "core/model.h"

#include <functional>
#include <map>
#include <vector>

struct Seen
{
    QString caption;
    bool running;
    int drawWidth;
    std::uint64_t revision; // changes when something is drawn
};

struct ScriptedModel
{
    explicit ScriptedModel(bool coarse = false) // coarse: Detail 100, 50 columns of 50 map cells
    {
        model.startUp();
        if (coarse)
            model.fractal.setValue(divograf::Control::Option1, 1);
        model.run.yield = [this] {
            const divograf::Run &r = model.run;
            trace.push_back({r.status.caption(), r.Running, model.surface.DrawWidth(),
                model.surface.revision()});
            if (auto it = plan.find(++elements); it != plan.end())
                it->second();
        };
    }

    const Seen &at(int n) const { return trace.at(n - 1); } // seen after element n (1-based)

    divograf::Model model;
    int elements = 0;
    std::vector<Seen> trace;
    std::map<int, std::function<void()>> plan;
};
