// Stand-in declarations of the host's drawing interface: opaque references to the
// host's drawing objects and the four suites that make and draw images.
#pragma once

#include <stdint.h>

#include "platform/pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct DRAWBOT_OpaqueDraw* DRAWBOT_DrawRef;
typedef struct DRAWBOT_OpaqueObject* DRAWBOT_ObjectRef;
typedef DRAWBOT_ObjectRef DRAWBOT_SupplierRef;
typedef DRAWBOT_ObjectRef DRAWBOT_SurfaceRef;
typedef DRAWBOT_ObjectRef DRAWBOT_ImageRef;
typedef DRAWBOT_ObjectRef DRAWBOT_PathRef;

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

typedef struct DRAWBOT_DrawbotSuite1 {
    PF_Err (*GetSupplier)(DRAWBOT_DrawRef draw_ref, DRAWBOT_SupplierRef* supplier);
    PF_Err (*GetSurface)(DRAWBOT_DrawRef draw_ref, DRAWBOT_SurfaceRef* surface);
} DRAWBOT_DrawbotSuite1;

typedef struct DRAWBOT_SupplierSuite1 {
    // The host reads the pixels while drawing; they must outlive the image.
    PF_Err (*NewImageFromBuffer)(DRAWBOT_SupplierRef supplier, int32_t width, int32_t height,
                                 int32_t row_bytes, DRAWBOT_PixelLayout layout, const void* pixels,
                                 DRAWBOT_ImageRef* image);
    PF_Err (*ReleaseObject)(DRAWBOT_ObjectRef object);
} DRAWBOT_SupplierSuite1;

typedef struct DRAWBOT_SurfaceSuite2 {
    PF_Err (*DrawImage)(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image,
                        const DRAWBOT_PointF32* origin, float opacity);
} DRAWBOT_SurfaceSuite2;

// Acquired with the others so that a drawing has the full set; the effect draws
// no paths.
typedef struct DRAWBOT_PathSuite1 {
    PF_Err (*MoveTo)(DRAWBOT_PathRef path, float x, float y);
    PF_Err (*LineTo)(DRAWBOT_PathRef path, float x, float y);
} DRAWBOT_PathSuite1;

#ifdef __cplusplus
}
#endif
