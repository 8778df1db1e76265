// What both render commands share once they know the frame's depth: the
// downsample factor and the call of the render entry of that depth.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"
#include "render/param_values.h"

enum class RenderDepth { k8, k16, k32 };

// The horizontal downsample ratio, in single precision; the renderer applies it in
// every direction. A denominator of 0 counts as 1.
float downsampleFactor(const PF_InData* in_data);

// Renders output from input through renderARGB8, renderARGB16 or renderARGB32 and
// returns the entry's code. An input that does not cover the output at this depth,
// and an intensity-source layer that does not cover itself, are read only as far as
// their rows reach (see CoveredLayer). An output whose stride is no whole number of
// channels or whose rows cannot hold its width at this depth is not written, nor is
// anything when a source layer is too wide to copy: 514.
PF_Err renderAtDepth(RenderDepth depth, PF_LayerDef* input, PF_LayerDef* output,
                     const ParamValues& params, float scale, PF_InData* in_data);
