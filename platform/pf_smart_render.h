// Stand-in records of the host's two-pass rendering: the pre-render pass, in
// which the effect says what it needs and how far its output reaches, and the
// smart render pass, in which it checks out pixels and renders.
#pragma once

#include <stdint.h>

#include "platform/pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

// What the host asks of the effect's output, or the effect of one of its inputs.
typedef struct PF_RenderRequest {
    PF_LRect rect;  // in layer coordinates; right and bottom exclusive
    int32_t field;
    int32_t channel_mask;
    uint8_t preserve_rgb_of_zero_alpha;
    uint8_t unused[3];
    int32_t reserved[4];
} PF_RenderRequest;

// What the host will deliver for a checked-out input.
typedef struct PF_CheckoutResult {
    PF_LRect result_rect;
    PF_LRect max_result_rect;
    PF_RationalScale par;
    int32_t solid;
    int32_t reserved;
    int32_t ref_width;
    int32_t ref_height;
    int32_t reserved2[6];
} PF_CheckoutResult;

// Called by the host with the pre-render data once it is done with the frame.
typedef void (*PF_DeletePreRenderDataFunc)(void* pre_render_data);

typedef struct PF_PreRenderInput {
    PF_RenderRequest output_request;
    int16_t bitdepth;
    int16_t reserved;
    int32_t reserved2;
} PF_PreRenderInput;

typedef struct PF_PreRenderOutput {
    PF_LRect result_rect;
    PF_LRect max_result_rect;
    uint8_t solid;
    uint8_t reserved;
    int16_t flags;
    int32_t reserved2;
    void* pre_render_data;
    PF_DeletePreRenderDataFunc delete_pre_render_data_func;
} PF_PreRenderOutput;

typedef struct PF_PreRenderCallbacks {
    PF_Err (*checkout_layer)(PF_ProgPtr effect_ref, PF_ParamIndex index, int32_t checkout_id,
                             const PF_RenderRequest* req, int32_t what_time, int32_t time_step,
                             uint32_t time_scale, PF_CheckoutResult* checkout_result);
} PF_PreRenderCallbacks;

// The extra record of PF_Cmd_SMART_PRE_RENDER.
typedef struct PF_PreRenderExtra {
    PF_PreRenderInput* input;
    PF_PreRenderOutput* output;
    PF_PreRenderCallbacks* cb;
} PF_PreRenderExtra;

typedef struct PF_SmartRenderInput {
    PF_RenderRequest output_request;
    int16_t bitdepth;
    int16_t reserved;
    int32_t reserved2;
    void* pre_render_data;  // what pre-render stored for this frame
} PF_SmartRenderInput;

typedef struct PF_SmartRenderCallbacks {
    // The buffer stays valid until checked in or until the command ends; null when
    // the host has nothing to give.
    PF_Err (*checkout_layer_pixels)(PF_ProgPtr effect_ref, int32_t checkout_id, PF_EffectWorld** pixels);
    PF_Err (*checkin_layer_pixels)(PF_ProgPtr effect_ref, int32_t checkout_id);
    PF_Err (*checkout_output)(PF_ProgPtr effect_ref, PF_EffectWorld** output);
} PF_SmartRenderCallbacks;

// The extra record of PF_Cmd_SMART_RENDER.
typedef struct PF_SmartRenderExtra {
    PF_SmartRenderInput* input;
    PF_SmartRenderCallbacks* cb;
} PF_SmartRenderExtra;

#ifdef __cplusplus
}
#endif
