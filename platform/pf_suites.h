// Our declarations of the host suites the effect acquires by name and version
// through the basic suite: handles, worlds, pixel formats and utilities.
#pragma once

#include <stdint.h>

#include "platform/pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

// Pixel formats as the world suite reports them; the bytes in memory read the
// letters in reverse, "argb", "ae16", "ae32".
typedef int32_t PF_PixelFormat;
enum {
    PF_PixelFormat_ARGB32 = 0x62677261,
    PF_PixelFormat_ARGB64 = 0x36316561,
    PF_PixelFormat_ARGB128 = 0x32336561,
    PF_PixelFormat_INVALID = 0x66646162,  // "badf"
};

// Pixel formats of the editing host's render command ("argb", "Argb", "ARgb"). The
// host may report a code not listed here; in C++ the fixed underlying type makes
// every 32-bit code a value the effect can hold and compare.
#ifdef __cplusplus
typedef enum : int32_t {
#else
typedef enum {
#endif
    PrPixelFormat_ARGB_4444_8u = 0x62677261,
    PrPixelFormat_ARGB_4444_16u = 0x62677241,
    PrPixelFormat_ARGB_4444_32f = 0x62675241,
} PrPixelFormat;

#define kPFHandleSuite "PF Handle Suite"
#define kPFHandleSuiteVersion1 2

// 6 slots.
typedef struct PF_HandleSuite1 {
    PF_Handle (*host_new_handle)(uint64_t size);                         // slot 0
    void* (*host_lock_handle)(PF_Handle h);                              // 1
    void (*host_unlock_handle)(PF_Handle h);                             // 2
    void (*host_dispose_handle)(PF_Handle h);                            // 3
    uint64_t (*host_get_handle_size)(PF_Handle h);                       // 4
    PF_Err (*host_resize_handle)(uint64_t new_size, PF_Handle* handle);  // 5
} PF_HandleSuite1;

#define kPFWorldSuite "PF World Suite"
#define kPFWorldSuiteVersion2 2

// 3 slots.
typedef struct PF_WorldSuite2 {
    PF_Err (*PF_NewWorld)(PF_ProgPtr effect_ref, int32_t width, int32_t height, PF_Boolean clear_pix,
                          PF_PixelFormat format, PF_EffectWorld* world);                     // slot 0
    PF_Err (*PF_DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* world);                 // 1
    PF_Err (*PF_GetPixelFormat)(const PF_EffectWorld* world, PF_PixelFormat* format);        // 2
} PF_WorldSuite2;

#define kPFPixelFormatSuite "PF Pixel Format Suite"
#define kPFPixelFormatSuiteVersion1 1

// 8 slots.
typedef struct PF_PixelFormatSuite1 {
    PF_Err (*AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PrPixelFormat format);  // slot 0
    PF_Err (*ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);                     // 1
    PF_ReservedSlot reserved_slots_2_3[2];
    PF_Err (*GetPixelFormat)(const PF_EffectWorld* world, PrPixelFormat* format);    // 4
    PF_ReservedSlot reserved_slots_5_7[3];
} PF_PixelFormatSuite1;

#define kPFUtilitySuite "PF Utility Suite"
#define kPFUtilitySuiteVersion4 4

// 13 slots; the effect calls the last.
typedef struct PF_UtilitySuite4 {
    PF_ReservedSlot reserved_slots_0_11[12];
    PF_Err (*EffectWantsCheckedOutFramesToMatchRenderPixelFormat)(PF_ProgPtr effect_ref);  // slot 12
} PF_UtilitySuite4;

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(PF_PixelFormatSuite1) == 64, "PF_PixelFormatSuite1");
static_assert(sizeof(PF_UtilitySuite4) == 104, "PF_UtilitySuite4");
#endif
