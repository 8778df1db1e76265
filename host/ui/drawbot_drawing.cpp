#include "host/ui/drawbot_drawing.h"

namespace {

PF_Err drawingReference(const PF_InData* in_data, PF_OutData* out_data, PF_ContextH context,
                        DRAWBOT_DrawRef* draw_ref) {
    const void* suite = nullptr;
    const PF_Err acquired = AEFX_AcquireSuite(in_data, out_data, kPFEffectCustomUISuite,
                                              kPFEffectCustomUISuiteVersion1, nullptr, &suite);
    if (suite == nullptr) {
        return acquired;
    }
    const PF_Err err = static_cast<const PF_EffectCustomUISuite1*>(suite)->PF_GetDrawingReference(context, draw_ref);
    AEFX_ReleaseSuite(in_data, out_data, kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1, nullptr);
    return err;
}

}  // namespace

DrawbotDrawing::DrawbotDrawing(const PF_InData* in_data, PF_OutData* out_data, PF_ContextH context)
    : drawbot_(in_data, out_data) {
    code_ = drawbot_.acquire();
    DRAWBOT_DrawRef draw_ref = nullptr;
    if (code_ == PF_Err_NONE) {
        code_ = drawingReference(in_data, out_data, context, &draw_ref);
    }
    if (code_ == PF_Err_NONE) {
        code_ = drawbot_.suites().drawbot_suiteP->GetSupplier(draw_ref, &supplier_);
    }
    if (code_ == PF_Err_NONE) {
        code_ = drawbot_.suites().drawbot_suiteP->GetSurface(draw_ref, &surface_);
    }
}

DrawbotDrawing::~DrawbotDrawing() { releaseImage(); }

void DrawbotDrawing::fail(PF_Err err) {
    if (code_ == PF_Err_NONE) {
        code_ = err;
    }
}

void DrawbotDrawing::drawImage(int32_t width, int32_t height, const uint8_t* pixels, const PF_UnionableRect& frame) {
    if (code_ != PF_Err_NONE) {
        return;
    }
    // Only an image the host reports as made is ours to release.
    DRAWBOT_ImageRef image = nullptr;
    code_ = drawbot_.suites().supplier_suiteP->NewImageFromBuffer(
        supplier_, width, height, 4 * width, kDRAWBOT_PixelLayout_32BGRA_Straight, pixels, &image);
    if (code_ != PF_Err_NONE) {
        return;
    }
    image_ = image;
    const DRAWBOT_PointF32 origin{float(frame.left), float(frame.top)};
    code_ = drawbot_.suites().surface_suiteP->DrawImage(surface_, image_, &origin, 1.0f);
}

void DrawbotDrawing::releaseImage() {
    if (image_ != nullptr) {
        const PF_Err err = drawbot_.suites().supplier_suiteP->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(image_));
        image_ = nullptr;
        fail(err);
    }
}

PF_Err DrawbotDrawing::finish(PF_EventExtra* extra) {
    releaseImage();
    fail(drawbot_.release());
    if (code_ == PF_Err_NONE) {
        extra->evt_out_flags = PF_EO_HANDLED_EVENT;
    }
    return code_;
}
