// Melting a whole buffer through the render entry of its depth, the way a host's
// render call does, for the tools and the benchmark.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"
#include "render/param_values.h"
#include "tools/argb_buffer.h"

// Host input data whose abort callback never asks to stop and whose progress
// callback listens to nothing: a render through it always runs to the end.
PF_InData quietInData();

// Input and output must share a depth. Returns the render entry's code; with a
// null inData the render runs with quietInData().
int32_t meltFrame(ArgbBuffer& input, ArgbBuffer& output, const ParamValues& params, float scale = 1.0f,
                  PF_InData* inData = nullptr);
