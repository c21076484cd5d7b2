// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/files/parameters.h"

#include <algorithm>

namespace divograf {

namespace {

// How records 1 to 9 tie a variable to its control: control value = offset + sign * variable.
struct VariableRecord
{
    StoredInt FractalVars::*variable;
    Control control;
    int offset;
    int sign;
};

constexpr VariableRecord VariableRecords[] = {
    {&FractalVars::SizeFactor, Control::Slider3, 0, 1},
    {&FractalVars::Squarings, Control::QWA, 0, 1},
    {&FractalVars::Cube, Control::KUB, 0, 1},
    {&FractalVars::UseMoivre, Control::MUA, 0, 1},
    {&FractalVars::Axes, Control::MM, 0, 1},
    {&FractalVars::Coef, Control::KFS, 10, -1},
    {&FractalVars::RedCorr, Control::Rc, 200, -1},
    {&FractalVars::GreenCorr, Control::Gc, 200, -1},
    {&FractalVars::BlueCorr, Control::Bc, 200, -1},
};

// Records 10 to 13: the spinner, its Stored variable.
struct SpinnerRecord
{
    Pair pair;
    StoredInt Model::*stored;
};

constexpr SpinnerRecord SpinnerRecords[] = {
    {Pair::Num, &Model::StoredNum},
    {Pair::Scal, &Model::StoredScale},
    {Pair::L, &Model::StoredDistance},
    {Pair::Ampl, &Model::StoredAmplitude},
};

static_assert(std::size(VariableRecords) + std::size(SpinnerRecords) == RecordCount);

} // namespace

ParameterRecords takeParameters(Model &model)
{
    ParameterRecords records;
    int i = 0;
    for (const VariableRecord &r : VariableRecords)
        records[i++] = model.fractal.vars.*r.variable;
    for (const SpinnerRecord &r : SpinnerRecords) {
        (model.*r.stored).set32(model.interference.value(r.pair));
        records[i++] = model.*r.stored;
    }
    return records;
}

void applyParameters(Model &model, const ParameterRecords &records)
{
    int i = 0;
    for (const VariableRecord &r : VariableRecords) {
        const ControlSpec &control = spec(r.control);
        const int low = r.sign > 0 ? control.min : r.offset - control.max;
        const int high = r.sign > 0 ? control.max : r.offset - control.min;
        StoredInt &variable = model.fractal.vars.*r.variable;
        variable = {std::clamp(records[i].value, low, high), records[i].width};
        model.fractal.setValue(r.control, r.offset + r.sign * variable.value);
        ++i;
    }
    for (const SpinnerRecord &r : SpinnerRecords) {
        model.*r.stored = records[i++];
        // The text box wraps and clamps what it reads, as it does with typed text.
        model.interference.setText(
            r.pair, numberText(std::int64_t{(model.*r.stored).value} - spec(r.pair).textOffset));
    }
}

} // namespace divograf
