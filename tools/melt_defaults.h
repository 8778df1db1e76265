// The parameter values a freshly applied effect renders with, as the renderer
// receives them: the starting point of the tools, the benchmark and the tests.
#pragma once

#include "render/param_values.h"

// Every field at its registered default, both intensity-source slots empty.
ParamValues defaultParamValues();
