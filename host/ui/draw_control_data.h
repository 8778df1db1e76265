// One custom-drawn graph of the effect-controls panel: which parameter's control
// area it fills, the image size, the function that paints it and the parameter
// ids that function reads.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"

struct drawControlData;

// Fills width x height 32-bit pixels (rows of width pixels); 1 when drawn, 0 when
// it could not be (the caller then draws nothing). A failing parameter checkout
// throws the host's code.
using DrawControlFunc = int32_t (*)(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params,
                                    drawControlData* record);

// Which extra curves a graph draws, as a bit mask; nothing of this effect sets one.
using CurveMaskFunc = int32_t (*)(PF_InData* in_data, PF_ParamDef** params, int32_t what);

struct drawControlData {
    int32_t paramIndex;  // host index of the parameter whose control area this draws
    int32_t width;
    int32_t height;
    DrawControlFunc drawFunc;
    CurveMaskFunc curveMaskFunc;  // may be null
    int32_t paramIds[10];         // effect parameter ids, meaning per draw function
};
