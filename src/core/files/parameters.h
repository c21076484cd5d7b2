// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "core/model.h"
#include "core/files/paramfile.h"

namespace divograf {

// The records Save writes: the nine fractal variables as their handlers last assigned them,
// then the spinner values of num, scal, l and ampl, each first kept in its Stored variable as
// a 32-bit value.
ParameterRecords takeParameters(Model &model);

// Load: each record in order into its variable, then at once into its control through the
// control's own change handling (the text boxes get the number text and set their spinners).
// A value beyond what its control can show is first brought within it, as the control would.
void applyParameters(Model &model, const ParameterRecords &records);

} // namespace divograf
