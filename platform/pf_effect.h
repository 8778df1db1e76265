// Stand-in declarations of the host's effect interface: the records of a call,
// the pixel buffer, the parameter record and the callbacks reached through them.
// Written for this project; laid out with fixed-width types so that every record
// has the same layout in the Linux build (natural alignment) and the Windows
// build (ParamValues packed to 4), with no hidden padding.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t PF_Err;
typedef int32_t PF_Fixed;  // 16.16 fixed point
typedef void* PF_ProgPtr;  // the host's reference to one effect instance
typedef void** PF_Handle;  // a handle: its value stays put when the block moves
typedef int32_t PF_ParamIndex;

enum {
    PF_Err_NONE = 0,
    PF_Err_OUT_OF_MEMORY = 4,
    PF_Err_INTERNAL_STRUCT_DAMAGED = 512,
    PF_Err_INVALID_INDEX = 513,
    PF_Err_UNRECOGNIZED_PARAM_TYPE = 514,
    PF_Err_INVALID_CALLBACK = 515,
    PF_Err_BAD_CALLBACK_PARAM = 516,
    PF_Interrupt_CANCEL = 517,
};

typedef struct PF_LRect {
    int32_t left, top, right, bottom;
} PF_LRect;

typedef PF_LRect PF_UnionableRect;

typedef struct PF_RationalScale {
    int32_t num;
    uint32_t den;
} PF_RationalScale;

// A pixel buffer: interleaved A, R, G, B channels; rowbytes may be negative.
typedef struct PF_LayerDef {
    void* reserved0;
    void* reserved1;
    int32_t world_flags;
    int32_t reserved2;
    void* data;
    int32_t rowbytes;
    int32_t width;
    int32_t height;
    PF_UnionableRect extent_hint;
    int32_t reserved3;
    void* platform_ref;
    PF_RationalScale pix_aspect_ratio;
    int32_t origin_x;
    int32_t origin_y;
    int32_t dephault;  // layer parameter default (PF_LayerDefault_NONE ...)
    int32_t reserved4;
} PF_LayerDef;

typedef PF_LayerDef PF_EffectWorld;

enum { PF_LayerDefault_MYSELF = -1, PF_LayerDefault_NONE = 0 };

typedef struct PF_SliderDef {
    int32_t value;
    int32_t valid_min, valid_max;
    int32_t slider_min, slider_max;
    int32_t dephault;
} PF_SliderDef;

typedef struct PF_FixedSliderDef {
    PF_Fixed value;
    PF_Fixed valid_min, valid_max;
    PF_Fixed slider_min, slider_max;
    PF_Fixed dephault;
    int16_t precision;
    int16_t display_flags;
    char value_str[32];
    char value_desc[32];
} PF_FixedSliderDef;

typedef struct PF_FloatSliderDef {
    double value;
    double phase;
    float valid_min, valid_max;
    float slider_min, slider_max;
    float dephault;
    int16_t precision;
    int16_t display_flags;
    uint32_t fs_flags;
    float curve_tolerance;
    int32_t useExponent;
    float exponent;
} PF_FloatSliderDef;

typedef struct PF_AngleDef {
    PF_Fixed value;
    PF_Fixed dephault;
    PF_Fixed valid_min, valid_max;
} PF_AngleDef;

typedef struct PF_CheckBoxDef {
    int32_t value;
    int32_t dephault;
    int32_t reserved;
    int32_t reserved1;
    const char* nameptr;
} PF_CheckBoxDef;

typedef struct PF_PopupDef {
    int32_t value;
    int16_t num_choices;
    int16_t dephault;
    const char* namesptr;
} PF_PopupDef;

typedef struct PF_ArbitraryDef {
    int16_t id;
    int16_t pad;
    int32_t dephault_reserved;
    PF_Handle dephault;
    PF_Handle value;
    void* refconPV;
} PF_ArbitraryDef;

typedef union PF_ParamDefUnion {
    PF_LayerDef ld;
    PF_SliderDef sd;
    PF_FixedSliderDef fd;
    PF_FloatSliderDef fs_d;
    PF_AngleDef ad;
    PF_CheckBoxDef bd;
    PF_PopupDef pd;
    PF_ArbitraryDef arb_d;
    uint64_t reserved[15];  // fixes the union at 120 bytes in every build
} PF_ParamDefUnion;

enum {
    PF_Param_LAYER = 0,
    PF_Param_SLIDER = 1,
    PF_Param_FIX_SLIDER = 2,
    PF_Param_ANGLE = 3,
    PF_Param_CHECKBOX = 4,
    PF_Param_COLOR = 5,
    PF_Param_POINT = 6,
    PF_Param_POPUP = 7,
    PF_Param_CUSTOM = 8,
    PF_Param_NO_DATA = 9,
    PF_Param_FLOAT_SLIDER = 10,
    PF_Param_ARBITRARY_DATA = 11,
    PF_Param_PATH = 12,
    PF_Param_GROUP_START = 13,
    PF_Param_GROUP_END = 14,
    PF_Param_BUTTON = 15,
};

// One parameter as the host registers, checks out and hands it over.
typedef struct PF_ParamDef {
    union {
        int32_t id;
        int32_t change_flags;
    } uu;
    int32_t ui_flags;
    int16_t ui_width;
    int16_t ui_height;
    int32_t param_type;
    char name[32];
    int32_t flags;
    int32_t unused;
    PF_ParamDefUnion u;
} PF_ParamDef;

typedef PF_ParamDef* PF_ParamList[];

typedef struct PF_CustomUIInfo PF_CustomUIInfo;

// Interact callbacks: parameters, abort and progress.
typedef struct PF_InteractCallbacks {
    PF_Err (*checkout_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, int32_t what_time,
                             int32_t time_step, uint32_t time_scale, PF_ParamDef* param);
    PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef* param);
    PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDef* def);
    PF_Err (*abort)(PF_ProgPtr effect_ref);
    PF_Err (*progress)(PF_ProgPtr effect_ref, int32_t current, int32_t total);
    PF_Err (*register_ui)(PF_ProgPtr effect_ref, PF_CustomUIInfo* cust_info);
} PF_InteractCallbacks;

typedef struct PF_ANSICallbacks {
    int32_t (*sprintf)(char* buffer, const char* format, ...);
    char* (*strcpy)(char* dest, const char* src);
} PF_ANSICallbacks;

// Utility callbacks: handles and string helpers.
typedef struct PF_UtilCallbacks {
    PF_Handle (*host_new_handle)(uint64_t size);
    void* (*host_lock_handle)(PF_Handle h);
    void (*host_unlock_handle)(PF_Handle h);
    void (*host_dispose_handle)(PF_Handle h);
    uint64_t (*host_get_handle_size)(PF_Handle h);
    PF_Err (*host_resize_handle)(uint64_t new_size, PF_Handle* handle);
    PF_ANSICallbacks ansi;
} PF_UtilCallbacks;

typedef struct SPBasicSuite SPBasicSuite;

typedef struct PF_SpecVersion {
    int16_t major;
    int16_t minor;
} PF_SpecVersion;

// What the host tells the effect on every call.
typedef struct PF_InData {
    PF_InteractCallbacks inter;
    PF_UtilCallbacks* utils;
    PF_ProgPtr effect_ref;
    int32_t quality;
    PF_SpecVersion version;
    int32_t serial_num;
    int32_t appl_id;
    int32_t num_params;
    int32_t reserved;
    int32_t current_time;
    int32_t time_step;
    int32_t total_time;
    int32_t local_time_step;
    uint32_t time_scale;
    int32_t width;
    int32_t height;
    PF_LRect extent_hint;
    int32_t output_origin_x;
    int32_t output_origin_y;
    PF_RationalScale downsample_x;
    PF_RationalScale downsample_y;
    PF_RationalScale pixel_aspect_ratio;
    int32_t in_flags;
    PF_Handle global_data;
    PF_Handle sequence_data;
    PF_Handle frame_data;
    SPBasicSuite* pica_basicP;
} PF_InData;

// What the effect tells the host.
typedef struct PF_OutData {
    uint32_t my_version;
    char name[32];
    PF_Handle global_data;
    int32_t num_params;
    PF_Handle sequence_data;
    int32_t flat_sdata_size;
    PF_Handle frame_data;
    int32_t width;
    int32_t height;
    int32_t origin_x;
    int32_t origin_y;
    int32_t out_flags;
    char return_msg[256];
    int32_t out_flags2;
} PF_OutData;

enum {
    PF_OutFlag_DISPLAY_ERROR_MESSAGE = 1 << 8,
};

typedef int32_t PF_Cmd;

enum {
    PF_Cmd_ABOUT = 0,
    PF_Cmd_GLOBAL_SETUP = 1,
    PF_Cmd_UNUSED_0 = 2,
    PF_Cmd_GLOBAL_SETDOWN = 3,
    PF_Cmd_PARAMS_SETUP = 4,
    PF_Cmd_SEQUENCE_SETUP = 5,
    PF_Cmd_SEQUENCE_RESETUP = 6,
    PF_Cmd_SEQUENCE_FLATTEN = 7,
    PF_Cmd_SEQUENCE_SETDOWN = 8,
    PF_Cmd_DO_DIALOG = 9,
    PF_Cmd_FRAME_SETUP = 10,
    PF_Cmd_RENDER = 11,
    PF_Cmd_FRAME_SETDOWN = 12,
    PF_Cmd_USER_CHANGED_PARAM = 13,
    PF_Cmd_UPDATE_PARAMS_UI = 14,
    PF_Cmd_EVENT = 15,
    PF_Cmd_SMART_PRE_RENDER = 23,
    PF_Cmd_SMART_RENDER = 24,
    PF_Cmd_GET_FLATTENED_SEQUENCE_DATA = 28,
    PF_Cmd_NUM_CMDS = 29,  // commands above the last one the effect knows
};

#ifdef __cplusplus
}
#endif
