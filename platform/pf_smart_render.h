// Our declarations of the host's two-pass rendering: the pre-render pass, in which
// the effect says what it needs and how far its output reaches, and the smart
// render pass, in which it checks out pixels and renders.
#pragma once

#include <stdint.h>

#include "platform/pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

// What the host asks of the effect's output, or the effect of one of its inputs.
typedef struct PF_RenderRequest {
    PF_LRect rect;                           // 0: in layer coordinates; right and bottom exclusive
    int32_t field;                           // 16
    int32_t channel_mask;                    // 20
    PF_Boolean preserve_rgb_of_zero_alpha;   // 24
    char unused[3];                          // 25
    int32_t reserved[4];                     // 28
} PF_RenderRequest;

// What the host will deliver for a checked-out input.
typedef struct PF_CheckoutResult {
    PF_LRect result_rect;                    // 0
    PF_LRect max_result_rect;                // 16
    PF_RationalScale par;                    // 32
    PF_Boolean solid;                        // 40
    char reserved_at_41[3];
    int32_t ref_width;                       // 44
    int32_t ref_height;                      // 48
    int32_t reserved[6];                     // 52
} PF_CheckoutResult;

// Called by the host with the pre-render data once it is done with the frame.
typedef void (*PF_DeletePreRenderDataFunc)(void* pre_render_data);

typedef struct PF_PreRenderInput {
    PF_RenderRequest output_request;         // 0
    int16_t bitdepth;                        // 44
    int16_t reserved_at_46;
    void* reserved_at_48[2];
} PF_PreRenderInput;

typedef struct PF_PreRenderOutput {
    PF_LRect result_rect;                    // 0
    PF_LRect max_result_rect;                // 16
    PF_Boolean solid;                        // 32
    PF_Boolean reserved;                     // 33
    int16_t flags;                           // 34
    int32_t reserved_at_36;
    void* pre_render_data;                   // 40
    PF_DeletePreRenderDataFunc delete_pre_render_data_func;  // 48
} PF_PreRenderOutput;

// 2 slots.
typedef struct PF_PreRenderCallbacks {
    PF_Err (*checkout_layer)(PF_ProgPtr effect_ref, PF_ParamIndex index, int32_t checkout_id,
                             const PF_RenderRequest* req, int32_t what_time, int32_t time_step,
                             uint32_t time_scale, PF_CheckoutResult* checkout_result);  // slot 0
    PF_ReservedSlot reserved_slot_1;
} PF_PreRenderCallbacks;

// The extra record of PF_Cmd_SMART_PRE_RENDER.
typedef struct PF_PreRenderExtra {
    PF_PreRenderInput* input;                // 0
    PF_PreRenderOutput* output;              // 8
    PF_PreRenderCallbacks* cb;               // 16
} PF_PreRenderExtra;

typedef struct PF_SmartRenderInput {
    PF_RenderRequest output_request;         // 0
    int16_t bitdepth;                        // 44
    int16_t reserved_at_46;
    void* pre_render_data;                   // 48: what pre-render stored for this frame
    void* reserved_at_56[2];
} PF_SmartRenderInput;

// 3 slots.
typedef struct PF_SmartRenderCallbacks {
    // The buffer stays valid until checked in or until the command ends; null when
    // the host has nothing to give.
    PF_Err (*checkout_layer_pixels)(PF_ProgPtr effect_ref, int32_t checkout_id,
                                    PF_EffectWorld** pixels);                     // slot 0
    PF_Err (*checkin_layer_pixels)(PF_ProgPtr effect_ref, int32_t checkout_id);  // 1
    PF_Err (*checkout_output)(PF_ProgPtr effect_ref, PF_EffectWorld** output);   // 2
} PF_SmartRenderCallbacks;

// The extra record of PF_Cmd_SMART_RENDER.
typedef struct PF_SmartRenderExtra {
    PF_SmartRenderInput* input;              // 0
    PF_SmartRenderCallbacks* cb;             // 8
} PF_SmartRenderExtra;

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(PF_CheckoutResult) == 76, "PF_CheckoutResult");
static_assert(sizeof(PF_PreRenderInput) == 64, "PF_PreRenderInput");
static_assert(sizeof(PF_SmartRenderInput) == 72, "PF_SmartRenderInput");
#endif
