// Layer access at other times than the current one, for effects that look at
// neighbouring frames: a frame-skip snap of a time, layer checkouts at a time or
// frame offset with a choice of what happens past the layer's ends, and the
// smart-render pixel checkout and check-in that pair with them.
//
// Nothing in this effect calls these; they are built into the Linux module only.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"
#include "platform/pf_smart_render.h"

// What a time beyond the layer's ends becomes. Other values leave it as is.
enum EdgeMode : int32_t {
    kEdgeClamp = 0,   // held at the first or last frame
    kEdgeLoop = 1,    // repeats from the start
    kEdgeMirror = 2,  // runs back and forth
};

// Snaps time toward zero onto a grid of (frameSkip + 1) frames, with a resolution
// of a tenth of a frame. A skip of 0 or NaN, or a grid that comes to nothing,
// leaves the time unchanged.
int32_t GetFrameSkipTime(int32_t time, double frameSkip, int32_t timeStep);

// t under edgeMode for a layer of the given duration and frame length.
int32_t applyEdgeMode(int32_t t, int32_t edgeMode, int32_t duration, int32_t timeStep);

// Asks for layer parameter paramId at the current time plus offset (seconds, or
// time units when offsetInTimeUnits is non-zero), snapped by frameSkip and
// brought within the layer by edgeMode (duration in_data->total_time). With a
// pre-render extra, the layer is requested under checkoutId and *layer is left
// alone; without, it is checked out into param and *layer points at its buffer.
// Returns 0; a host failure is thrown as its code.
PF_Err checkoutLayer(int32_t paramId, int32_t checkoutId, double offset, int32_t offsetInTimeUnits,
                     int32_t edgeMode, double frameSkip, const PF_InData* in_data, PF_LayerDef** layer,
                     PF_ParamDef* param, PF_PreRenderExtra* extra);

// The same at frameOffset frames from the current time, without frame skip.
PF_Err checkoutLayerFrameOffset(int32_t paramId, int32_t checkoutId, int32_t frameOffset, int32_t edgeMode,
                                const PF_InData* in_data, PF_LayerDef** layer, PF_ParamDef* param,
                                PF_PreRenderExtra* extra);

// The pixels pre-render requested under checkoutId; null when the host has none.
// A host failure is thrown as its code.
PF_LayerDef* checkoutLayerPixels(int32_t checkoutId, const PF_InData* in_data, PF_SmartRenderExtra* extra);

// Gives back what one of the checkouts above took: the pixels under checkoutId
// when extra is given, else the parameter record. Returns the host's code.
PF_Err checkinLayer(int32_t checkoutId, PF_ParamDef* param, const PF_InData* in_data, PF_SmartRenderExtra* extra);
