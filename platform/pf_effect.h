// Our declarations of the host's effect interface: the records of a call, the
// pixel buffer, the parameter record and the callbacks reached through them.
//
// These records cross the module boundary: the host passes its own, laid out as
// its published interface lays them out (natural alignment on every target), so
// every field stands at the host's offset. Places the effect never reads are
// reserved members of the right width, named after their offset; places in a
// function table the effect never calls are reserved slots. The offsets in the
// comments are pinned, with every size, slot and signature, by the build's check
// against the host's measured layout (platform/abi/).
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

// The host's 8-bit boolean: unsigned on macOS, signed on Windows.
#if defined(_WIN32)
typedef char PF_Boolean;
#else
typedef uint8_t PF_Boolean;
#endif

// A place in a host function table that the effect never calls.
typedef void (*PF_ReservedSlot)(void);

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

typedef struct PF_Point {
    int32_t h;
    int32_t v;
} PF_Point;

// A pixel buffer: interleaved A, R, G, B channels; rowbytes may be negative.
typedef struct PF_LayerDef {
    void* reserved0;                     // 0
    void* reserved1;                     // 8
    int32_t world_flags;                 // 16
    int32_t reserved_at_20;
    void* data;                          // 24
    int32_t rowbytes;                    // 32
    int32_t width;                       // 36
    int32_t height;                      // 40
    PF_UnionableRect extent_hint;        // 44
    int32_t reserved_at_60;
    void* platform_ref;                  // 64
    void* reserved_at_72[2];
    PF_RationalScale pix_aspect_ratio;   // 88
    int32_t reserved_at_96[2];
    int32_t origin_x;                    // 104
    int32_t origin_y;                    // 108
    int32_t reserved_at_112;
    int32_t dephault;                    // 116: layer parameter default (PF_LayerDefault_*)
} PF_LayerDef;

typedef PF_LayerDef PF_EffectWorld;

enum { PF_LayerDefault_MYSELF = -1, PF_LayerDefault_NONE = 0 };

typedef struct PF_SliderDef {
    int32_t value;                       // 0
    char reserved_at_4[64];
    int32_t valid_min, valid_max;        // 68, 72
    int32_t slider_min, slider_max;      // 76, 80
    int32_t dephault;                    // 84
} PF_SliderDef;

typedef struct PF_FixedSliderDef {
    PF_Fixed value;                      // 0
    char value_str[32];                  // 4
    char value_desc[32];                 // 36
    PF_Fixed valid_min, valid_max;       // 68, 72
    PF_Fixed slider_min, slider_max;     // 76, 80
    PF_Fixed dephault;                   // 84
    int16_t precision;                   // 88
    int16_t display_flags;               // 90
} PF_FixedSliderDef;

typedef struct PF_FloatSliderDef {
    double value;                        // 0
    double phase;                        // 8
    char reserved_at_16[32];
    float valid_min, valid_max;          // 48, 52
    float slider_min, slider_max;        // 56, 60
    float dephault;                      // 64
    int16_t precision;                   // 68
    int16_t display_flags;               // 70
    uint32_t fs_flags;                   // 72
    float curve_tolerance;               // 76
    PF_Boolean useExponent;              // 80
    char reserved_at_81[3];
    float exponent;                      // 84
} PF_FloatSliderDef;

typedef struct PF_AngleDef {
    PF_Fixed value;                      // 0
    PF_Fixed dephault;                   // 4
    PF_Fixed valid_min, valid_max;       // 8, 12
} PF_AngleDef;

typedef struct PF_CheckBoxDef {
    int32_t value;                       // 0
    PF_Boolean dephault;                 // 4
    char reserved;                       // 5
    int16_t reserved1;                   // 6
    union {
        const char* nameptr;             // 8
    } u;
} PF_CheckBoxDef;

typedef struct PF_PopupDef {
    int32_t value;                       // 0: 1-based
    int16_t num_choices;                 // 4
    int16_t dephault;                    // 6
    union {
        const char* namesptr;            // 8: the items, separated by '|'
    } u;
} PF_PopupDef;

typedef struct PF_ArbitraryDef {
    int16_t id;                          // 0
    int16_t pad;                         // 2
    int32_t reserved_at_4;
    PF_Handle dephault;                  // 8
    PF_Handle value;                     // 16
    void* refconPV;                      // 24
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
    } uu;                                // 0
    int32_t ui_flags;                    // 4
    int16_t ui_width;                    // 8
    int16_t ui_height;                   // 10
    int32_t param_type;                  // 12
    char name[32];                       // 16
    int32_t flags;                       // 48
    int32_t unused;                      // 52
    PF_ParamDefUnion u;                  // 56
} PF_ParamDef;

typedef PF_ParamDef* PF_ParamList[];

typedef struct _PF_CustomUIInfo PF_CustomUIInfo;

// Interact callbacks: parameters, abort and progress; 22 slots.
typedef struct PF_InteractCallbacks {
    PF_Err (*checkout_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, int32_t what_time,
                             int32_t time_step, uint32_t time_scale, PF_ParamDef* param);  // slot 0
    PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef* param);                    // 1
    PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDef* def);     // 2
    PF_Err (*abort)(PF_ProgPtr effect_ref);                                                // 3
    PF_Err (*progress)(PF_ProgPtr effect_ref, int32_t current, int32_t total);             // 4
    PF_Err (*register_ui)(PF_ProgPtr effect_ref, PF_CustomUIInfo* cust_info);              // 5
    PF_ReservedSlot reserved_slots_6_21[16];
} PF_InteractCallbacks;

// The C library functions the host offers; 20 slots.
typedef struct PF_ANSICallbacks {
    PF_ReservedSlot reserved_slots_0_14[15];
    int32_t (*sprintf)(char* buffer, const char* format, ...);  // slot 15
    char* (*strcpy)(char* dest, const char* src);               // 16
    PF_ReservedSlot reserved_slots_17_19[3];
} PF_ANSICallbacks;

// Utility callbacks: handles and, in the ANSI table, string helpers; 69 slots.
typedef struct PF_UtilCallbacks {
    PF_ReservedSlot reserved_slots_0_19[20];
    PF_Handle (*host_new_handle)(uint64_t size);                       // slot 20
    void* (*host_lock_handle)(PF_Handle h);                            // 21
    void (*host_unlock_handle)(PF_Handle h);                           // 22
    void (*host_dispose_handle)(PF_Handle h);                          // 23
    PF_ReservedSlot reserved_slots_24_25[2];
    PF_ANSICallbacks ansi;                                             // 208: slots 26 to 45
    PF_ReservedSlot reserved_slots_46_54[9];
    uint64_t (*host_get_handle_size)(PF_Handle h);                     // 55
    PF_ReservedSlot reserved_slots_56_57[2];
    PF_Err (*host_resize_handle)(uint64_t new_size, PF_Handle* handle);  // 58
    PF_ReservedSlot reserved_slots_59_68[10];
} PF_UtilCallbacks;

typedef struct SPBasicSuite SPBasicSuite;

typedef struct PF_SpecVersion {
    int16_t major;
    int16_t minor;
} PF_SpecVersion;

// What the host tells the effect on every call.
typedef struct PF_InData {
    PF_InteractCallbacks inter;          // 0
    PF_UtilCallbacks* utils;             // 176
    PF_ProgPtr effect_ref;               // 184
    int32_t quality;                     // 192
    PF_SpecVersion version;              // 196
    int32_t serial_num;                  // 200
    int32_t appl_id;                     // 204
    int32_t num_params;                  // 208
    int32_t reserved;                    // 212
    int32_t reserved_at_216[2];
    int32_t current_time;                // 224
    int32_t time_step;                   // 228
    int32_t total_time;                  // 232
    int32_t local_time_step;             // 236
    uint32_t time_scale;                 // 240
    int32_t reserved_at_244[2];
    int32_t width;                       // 252
    int32_t height;                      // 256
    PF_LRect extent_hint;                // 260
    int32_t output_origin_x;             // 276
    int32_t output_origin_y;             // 280
    PF_RationalScale downsample_x;       // 284
    PF_RationalScale downsample_y;       // 292
    PF_RationalScale pixel_aspect_ratio; // 300
    int32_t in_flags;                    // 308
    PF_Handle global_data;               // 312
    PF_Handle sequence_data;             // 320
    PF_Handle frame_data;                // 328
    void* reserved_at_336[6];
    SPBasicSuite* pica_basicP;           // 384
    void* reserved_at_392[2];
} PF_InData;

// What the effect tells the host.
typedef struct PF_OutData {
    uint32_t my_version;                 // 0
    char name[32];                       // 4
    PF_Handle global_data;               // 40
    int32_t num_params;                  // 48
    PF_Handle sequence_data;             // 56
    int32_t flat_sdata_size;             // 64
    PF_Handle frame_data;                // 72
    int32_t width;                       // 80
    int32_t height;                      // 84
    PF_Point origin;                     // 88
    int32_t out_flags;                   // 96
    char return_msg[256];                // 100
    int32_t reserved_at_356[11];
    int32_t out_flags2;                  // 400
    int32_t reserved_at_404;
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
    PF_Cmd_NUM_CMDS = 34,  // one past the host's last command
};

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(PF_LayerDef) == 120, "PF_LayerDef");
static_assert(sizeof(PF_ParamDef) == 176, "PF_ParamDef");
static_assert(sizeof(PF_InteractCallbacks) == 176, "PF_InteractCallbacks");
static_assert(sizeof(PF_UtilCallbacks) == 552, "PF_UtilCallbacks");
static_assert(sizeof(PF_InData) == 408, "PF_InData");
static_assert(sizeof(PF_OutData) == 408, "PF_OutData");
#endif
