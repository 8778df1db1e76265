// Our declarations of the effect's own drawing in the host's effect-controls
// panel: the registration of a custom-drawn parameter, the event record of
// PF_Cmd_EVENT and the suite that turns an event's context into a drawing.
#pragma once

#include <stdint.h>

#include "platform/drawbot.h"
#include "platform/pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

// PF_CustomUIInfo.events: where the effect wants events.
enum {
    PF_CustomEFlag_NONE = 0,
    PF_CustomEFlag_COMP = 0x01,
    PF_CustomEFlag_LAYER = 0x02,
    PF_CustomEFlag_EFFECT = 0x04,
    PF_CustomEFlag_PREVIEW = 0x08,
};

enum {
    PF_UIAlignment_NONE = 0,
    PF_UIAlignment_TOP = 1,
    PF_UIAlignment_LEFT = 2,
    PF_UIAlignment_BOTTOM = 4,
    PF_UIAlignment_RIGHT = 8,
};

struct _PF_CustomUIInfo {
    int32_t reserved;                    // 0
    int32_t events;                      // 4
    int32_t comp_ui_width;               // 8
    int32_t comp_ui_height;              // 12
    int32_t comp_ui_alignment;           // 16
    int32_t layer_ui_width;              // 20
    int32_t layer_ui_height;             // 24
    int32_t layer_ui_alignment;          // 28
    int32_t preview_ui_width;            // 32
    int32_t preview_ui_height;           // 36
    int32_t preview_ui_alignment;        // 40
};

// The host's drawing context of one event.
typedef struct PF_Context PF_Context;
typedef PF_Context** PF_ContextH;

typedef int32_t PF_EventType;
enum {
    PF_Event_NEW_CONTEXT = 0,
    PF_Event_ACTIVATE = 1,
    PF_Event_DO_CLICK = 2,
    PF_Event_DRAG = 3,
    PF_Event_DRAW = 4,
};

// effect_win.area: which part of a parameter's row the event is for.
typedef int32_t PF_EffectArea;
enum {
    PF_EA_NONE = 0,
    PF_EA_PARAM_TITLE = 1,
    PF_EA_CONTROL = 2,
};

enum {
    PF_EO_NONE = 0,
    PF_EO_HANDLED_EVENT = 1,
};

typedef struct PF_DoClickEventInfo {
    uint32_t when;                       // 0: the host's ticks
    PF_Point screen_point;               // 4
    int32_t num_clicks;                  // 12
    int32_t modifiers;                   // 16
    int32_t reserved_at_20;
    void* reserved_at_24[5];
} PF_DoClickEventInfo;

typedef struct PF_DrawEventInfo {
    PF_UnionableRect update_rect;        // 0
    int32_t depth;                       // 16
} PF_DrawEventInfo;

typedef union PF_EventUnion {
    PF_DoClickEventInfo do_click;
    PF_DrawEventInfo draw;
} PF_EventUnion;

typedef struct PF_EffectWindowInfo {
    PF_ParamIndex index;                 // 0: host index of the parameter the event is for
    PF_EffectArea area;                  // 4
    PF_UnionableRect current_frame;      // 8
    PF_UnionableRect param_title_frame;  // 24
    int32_t horiz_offset;                // 40
} PF_EffectWindowInfo;

// The extra record of PF_Cmd_EVENT.
typedef struct PF_EventExtra {
    PF_ContextH contextH;                // 0
    PF_EventType e_type;                 // 8
    int32_t reserved_at_12;
    PF_EventUnion u;                     // 16
    PF_EffectWindowInfo effect_win;      // 80
    int32_t reserved_at_124;
    void* reserved_at_128[9];
    int32_t reserved_at_200;
    int32_t evt_out_flags;               // 204
} PF_EventExtra;

// The extra record of PF_Cmd_USER_CHANGED_PARAM.
typedef struct PF_UserChangedParamExtra {
    PF_ParamIndex param_index;           // 0
} PF_UserChangedParamExtra;

#define kPFEffectCustomUISuite "PF Effect Custom UI Suite"
#define kPFEffectCustomUISuiteVersion1 1

// 1 slot.
typedef struct PF_EffectCustomUISuite1 {
    PF_Err (*PF_GetDrawingReference)(PF_ContextH context, DRAWBOT_DrawRef* draw_ref);  // slot 0
} PF_EffectCustomUISuite1;

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(PF_CustomUIInfo) == 44, "PF_CustomUIInfo");
static_assert(sizeof(PF_EventExtra) == 208, "PF_EventExtra");
#endif
