#include "host/layers/layer_checkout.h"

#include <cmath>
#include <cstdlib>

#include "host/params/param_map.h"
#include "render/float_convert.h"

namespace {

int32_t saturate(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return int32_t(v);
}

bool skipsFrames(double frameSkip) { return frameSkip != 0.0 && !std::isnan(frameSkip); }

// Snaps t toward zero onto a grid given in tenths of a time unit. Taken in 64 bits,
// so that ten times a late time cannot overflow; a grid of 0 snaps nothing.
int32_t snapToGrid(int32_t t, int32_t grid) {
    if (grid == 0) return t;
    const int64_t t10 = int64_t(t) * 10;
    return int32_t((t10 - t10 % grid) / 10);
}

// Two reflections, at 0 and at the start of the last frame, repeat with this
// period; the remainder says where within one back-and-forth the time falls.
int32_t mirror(int32_t t, int32_t duration, int32_t timeStep) {
    if (t >= 0 && t < duration) return t;
    const int64_t lastFrame = int64_t(duration) - timeStep;
    if (lastFrame <= 0) return 0;  // a single frame: nothing to run back and forth over
    const int64_t period = 2 * lastFrame;
    const int64_t v = std::llabs(int64_t(t));
    if (duration > period) {
        // Shorter than two frames: the end reflects every time back inside the
        // layer, so no time comes to rest on a reflection off the end; times fall
        // into the last `period` units before the end.
        const int64_t lowest = duration - period;
        return int32_t(v < duration ? v : lowest + (v - lowest) % period);
    }
    const int64_t u = v % period;
    return int32_t(u < duration ? u : period - u);
}

int32_t loop(int32_t t, int32_t duration) {
    if (duration <= 0) return 0;  // a layer without length has only its start
    const int32_t r = t % duration;
    return r < 0 ? r + duration : r;  // before the start the loop runs on backward
}

PF_Err checkoutAtTime(int32_t paramId, int32_t checkoutId, int32_t t, int32_t edgeMode, const PF_InData* in_data,
                      PF_LayerDef** layer, PF_ParamDef* param, PF_PreRenderExtra* extra) {
    t = applyEdgeMode(t, edgeMode, in_data->total_time, in_data->time_step);
    const PF_ParamIndex index = getParamIndexFromId(paramId);
    if (extra != nullptr) {
        PF_CheckoutResult discarded{};
        const PF_Err err =
            extra->cb->checkout_layer(in_data->effect_ref, index, checkoutId, &extra->input->output_request, t,
                                      in_data->time_step, in_data->time_scale, &discarded);
        if (err != PF_Err_NONE) throw err;
        return PF_Err_NONE;
    }
    const PF_Err err =
        in_data->inter.checkout_param(in_data->effect_ref, index, t, in_data->time_step, in_data->time_scale, param);
    if (err != PF_Err_NONE) throw err;
    *layer = &param->u.ld;
    return PF_Err_NONE;
}

}  // namespace

int32_t GetFrameSkipTime(int32_t time, double frameSkip, int32_t timeStep) {
    if (!skipsFrames(frameSkip)) return time;
    const float grid = (float(frameSkip) + 1.0f) * (float(timeStep) * 10.0f);
    return snapToGrid(time, truncateToInt32(grid));
}

int32_t applyEdgeMode(int32_t t, int32_t edgeMode, int32_t duration, int32_t timeStep) {
    switch (edgeMode) {
    case kEdgeClamp:
        if (t < 0) t = 0;
        return t >= duration ? saturate(int64_t(duration) - timeStep) : t;
    case kEdgeLoop:
        return t == 0 ? 0 : loop(t, duration);
    case kEdgeMirror:
        return mirror(t, duration, timeStep);
    default:
        return t;
    }
}

PF_Err checkoutLayer(int32_t paramId, int32_t checkoutId, double offset, int32_t offsetInTimeUnits,
                     int32_t edgeMode, double frameSkip, const PF_InData* in_data, PF_LayerDef** layer,
                     PF_ParamDef* param, PF_PreRenderExtra* extra) {
    const double units = offsetInTimeUnits != 0 ? offset : offset * double(in_data->time_scale);
    int32_t t = saturate(int64_t(in_data->current_time) + truncateToInt32(units));
    if (skipsFrames(frameSkip)) {
        const float grid = (float(frameSkip) * 10.0f + 10.0f) * float(in_data->time_step);
        t = snapToGrid(t, truncateToInt32(grid));
    }
    return checkoutAtTime(paramId, checkoutId, t, edgeMode, in_data, layer, param, extra);
}

PF_Err checkoutLayerFrameOffset(int32_t paramId, int32_t checkoutId, int32_t frameOffset, int32_t edgeMode,
                                const PF_InData* in_data, PF_LayerDef** layer, PF_ParamDef* param,
                                PF_PreRenderExtra* extra) {
    const int32_t t = saturate(int64_t(frameOffset) * in_data->time_step + in_data->current_time);
    return checkoutAtTime(paramId, checkoutId, t, edgeMode, in_data, layer, param, extra);
}

PF_LayerDef* checkoutLayerPixels(int32_t checkoutId, const PF_InData* in_data, PF_SmartRenderExtra* extra) {
    PF_EffectWorld* pixels = nullptr;
    const PF_Err err = extra->cb->checkout_layer_pixels(in_data->effect_ref, checkoutId, &pixels);
    if (err != PF_Err_NONE) throw err;
    return pixels;
}

PF_Err checkinLayer(int32_t checkoutId, PF_ParamDef* param, const PF_InData* in_data, PF_SmartRenderExtra* extra) {
    if (extra != nullptr) return extra->cb->checkin_layer_pixels(in_data->effect_ref, checkoutId);
    return in_data->inter.checkin_param(in_data->effect_ref, param);
}
