// One drawing into the host's effect-controls panel for one event: the Drawbot
// suites, the drawing reference of the event's context, its supplier and surface,
// and at most one image made from a buffer of 32-bit BGRA pixels with straight
// alpha. The first failing host call's code is kept and skips every later call
// that needs its result.
#pragma once

#include <cstdint>

#include "host/suites/aefx_suites.h"
#include "platform/drawbot.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_effect.h"

class DrawbotDrawing {
public:
    // Acquires the suites and obtains the supplier and surface of context; the
    // custom UI suite is only held while the drawing reference is fetched.
    DrawbotDrawing(const PF_InData* in_data, PF_OutData* out_data, PF_ContextH context);
    // On a thrown code: releases the image and the suites held.
    ~DrawbotDrawing();
    DrawbotDrawing(const DrawbotDrawing&) = delete;
    DrawbotDrawing& operator=(const DrawbotDrawing&) = delete;

    PF_Err code() const { return code_; }
    // Keeps err as the result unless an earlier call already failed.
    void fail(PF_Err err);

    // Unless a call has failed: an image of width x height pixels (rows of
    // 4 x width bytes), drawn unscaled and opaque with its top-left corner at
    // origin. The pixels must stay until finish().
    void drawImage(int32_t width, int32_t height, const uint8_t* pixels, const PF_UnionableRect& frame);

    // Releases the image and the suites and, when nothing failed, marks the
    // event handled. Returns the first failure's code, or 0.
    PF_Err finish(PF_EventExtra* extra);

private:
    void releaseImage();

    ScopedDrawbotSuites drawbot_;
    PF_Err code_ = PF_Err_NONE;
    DRAWBOT_SupplierRef supplier_ = nullptr;
    DRAWBOT_SurfaceRef surface_ = nullptr;
    DRAWBOT_ImageRef image_ = nullptr;
};
