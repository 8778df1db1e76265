// The renderer's outward face: one entry per pixel depth. Each picks the melt
// kernel instance for the frame and returns its code (0, or the abort answer).
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"
#include "render/param_values.h"

int32_t renderARGB8(PF_LayerDef* input, PF_LayerDef* output, ParamValues params, float scale,
                    PF_InData* inData);
int32_t renderARGB16(PF_LayerDef* input, PF_LayerDef* output, ParamValues params, float scale,
                     PF_InData* inData);
int32_t renderARGB32(PF_LayerDef* input, PF_LayerDef* output, ParamValues params, float scale,
                     PF_InData* inData);
