// Flag words of the host's effect interface: what the effect reports in global
// setup, and how parameters are registered and shown.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// out_flags (PF_OutFlag_DISPLAY_ERROR_MESSAGE stands with the core records).
enum {
    PF_OutFlag_CUSTOM_UI = 1 << 15,
    PF_OutFlag_DEEP_COLOR_AWARE = 1 << 25,
    PF_OutFlag_SEND_UPDATE_PARAMS_UI = 1 << 26,
};

// out_flags2
enum {
    PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG = 1 << 3,
    PF_OutFlag2_I_AM_THREADSAFE = 1 << 4,
    PF_OutFlag2_SUPPORTS_SMART_RENDER = 1 << 10,
    PF_OutFlag2_FLOAT_COLOR_AWARE = 1 << 12,
    PF_OutFlag2_SUPPORTS_GET_FLATTENED_SEQUENCE_DATA = 1 << 23,
    PF_OutFlag2_SUPPORTS_THREADED_RENDERING = 1 << 27,
};

// PF_ParamDef.flags
enum {
    PF_ParamFlag_CANNOT_TIME_VARY = 0x02,
    PF_ParamFlag_CANNOT_INTERP = 0x04,
    PF_ParamFlag_COLLAPSE_TWIRLY = 0x20,
    PF_ParamFlag_START_COLLAPSED = 0x20,
    PF_ParamFlag_SUPERVISE = 0x40,
};

// PF_ParamDef.ui_flags: which areas of a parameter the effect draws itself.
enum {
    PF_PUI_TOPIC = 0x01,
    PF_PUI_CONTROL = 0x02,
};

// display_flags of the slider definitions.
enum {
    PF_ValueDisplayFlag_NONE = 0,
    PF_ValueDisplayFlag_PERCENT = 1,
};

#ifdef __cplusplus
}
#endif
