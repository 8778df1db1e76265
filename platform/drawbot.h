// Our declarations of the host's drawing interface: opaque references to the
// host's drawing objects, one type for each kind, and the four suites that make
// and draw images.
#pragma once

#include <stdint.h>

#include "platform/pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _DRAWBOT_OpaqueDrawRef* DRAWBOT_DrawRef;
typedef struct _DRAWBOT_OpaqueObjectRef* DRAWBOT_ObjectRef;  // any object, as ReleaseObject takes it
typedef struct _DRAWBOT_OpaqueSupplierRef* DRAWBOT_SupplierRef;
typedef struct _DRAWBOT_OpaqueSurfaceRef* DRAWBOT_SurfaceRef;
typedef struct _DRAWBOT_OpaqueImageRef* DRAWBOT_ImageRef;
typedef struct _DRAWBOT_OpaquePathRef* DRAWBOT_PathRef;

typedef struct DRAWBOT_PointF32 {
    float x;
    float y;
} DRAWBOT_PointF32;

typedef int32_t DRAWBOT_PixelLayout;
enum {
    kDRAWBOT_PixelLayout_32BGRA_Straight = 6,  // B, G, R, A bytes; alpha not premultiplied
};

#define kDRAWBOT_DrawSuite "DRAWBOT Draw Suite"
#define kDRAWBOT_DrawSuite_Version1 1
#define kDRAWBOT_SupplierSuite "DRAWBOT Supplier Suite"
#define kDRAWBOT_SupplierSuite_Version1 1
#define kDRAWBOT_SurfaceSuite "DRAWBOT Surface Suite"
#define kDRAWBOT_SurfaceSuite_Version2 2
#define kDRAWBOT_PathSuite "DRAWBOT Path Suite"
#define kDRAWBOT_PathSuite_Version1 1

// 2 slots.
typedef struct DRAWBOT_DrawbotSuite1 {
    PF_Err (*GetSupplier)(DRAWBOT_DrawRef draw_ref, DRAWBOT_SupplierRef* supplier);  // slot 0
    PF_Err (*GetSurface)(DRAWBOT_DrawRef draw_ref, DRAWBOT_SurfaceRef* surface);     // 1
} DRAWBOT_DrawbotSuite1;

// 13 slots.
typedef struct DRAWBOT_SupplierSuite1 {
    PF_ReservedSlot reserved_slots_0_4[5];
    // The host reads the pixels while drawing; they must outlive the image.
    PF_Err (*NewImageFromBuffer)(DRAWBOT_SupplierRef supplier, int32_t width, int32_t height,
                                 int32_t row_bytes, DRAWBOT_PixelLayout layout, const void* pixels,
                                 DRAWBOT_ImageRef* image);  // slot 5
    PF_ReservedSlot reserved_slots_6_11[6];
    PF_Err (*ReleaseObject)(DRAWBOT_ObjectRef object);  // 12
} DRAWBOT_SupplierSuite1;

// 17 slots.
typedef struct DRAWBOT_SurfaceSuite2 {
    PF_ReservedSlot reserved_slots_0_9[10];
    PF_Err (*DrawImage)(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image,
                        const DRAWBOT_PointF32* origin, float opacity);  // slot 10
    PF_ReservedSlot reserved_slots_11_16[6];
} DRAWBOT_SurfaceSuite2;

// 6 slots. Acquired with the others so that a drawing has the full set; the
// effect draws no paths.
typedef struct DRAWBOT_PathSuite1 {
    PF_Err (*MoveTo)(DRAWBOT_PathRef path, float x, float y);  // slot 0
    PF_Err (*LineTo)(DRAWBOT_PathRef path, float x, float y);  // 1
    PF_ReservedSlot reserved_slots_2_5[4];
} DRAWBOT_PathSuite1;

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(DRAWBOT_SupplierSuite1) == 104, "DRAWBOT_SupplierSuite1");
static_assert(sizeof(DRAWBOT_SurfaceSuite2) == 136, "DRAWBOT_SurfaceSuite2");
#endif
