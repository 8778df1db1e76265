#include "tools/standin_host/drawbot_host.h"

#include <cassert>
#include <cstring>
#include <string>

#include "tools/standin_host/unused_slots.h"

namespace standin {

namespace {

DrawbotHost* current = nullptr;

PF_Err callGetDrawingReference(PF_ContextH context, DRAWBOT_DrawRef* draw_ref) {
    return current->getDrawingReference(context, draw_ref);
}
PF_Err callGetSupplier(DRAWBOT_DrawRef draw_ref, DRAWBOT_SupplierRef* supplier) {
    return current->getSupplier(draw_ref, supplier);
}
PF_Err callGetSurface(DRAWBOT_DrawRef draw_ref, DRAWBOT_SurfaceRef* surface) {
    return current->getSurface(draw_ref, surface);
}
PF_Err callNewImageFromBuffer(DRAWBOT_SupplierRef supplier, int32_t width, int32_t height, int32_t row_bytes,
                              DRAWBOT_PixelLayout layout, const void* pixels, DRAWBOT_ImageRef* image) {
    return current->newImageFromBuffer(supplier, width, height, row_bytes, layout, pixels, image);
}
PF_Err callDrawImage(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image, const DRAWBOT_PointF32* origin,
                     float opacity) {
    return current->drawImage(surface, image, origin, opacity);
}
PF_Err callReleaseObject(DRAWBOT_ObjectRef object) { return current->releaseObject(object); }

// The effect draws no paths; a call would be a fault worth seeing in the log.
PF_Err pathCall(DRAWBOT_PathRef, float, float) { return DrawbotHost::kDrawbotError; }

template <typename Ref>
Ref refTo(char& object) {
    return reinterpret_cast<Ref>(&object);
}

}  // namespace

DrawbotHost::DrawbotHost(CallLog& log) : log_(log) {
    assert(current == nullptr && "one stand-in host at a time");
    current = this;
    fillUnusedSlots(customUiSuite_);
    fillUnusedSlots(drawSuite_);
    fillUnusedSlots(supplierSuite_);
    fillUnusedSlots(surfaceSuite_);
    fillUnusedSlots(pathSuite_);
    customUiSuite_.PF_GetDrawingReference = callGetDrawingReference;
    drawSuite_.GetSupplier = callGetSupplier;
    drawSuite_.GetSurface = callGetSurface;
    supplierSuite_.NewImageFromBuffer = callNewImageFromBuffer;
    supplierSuite_.ReleaseObject = callReleaseObject;
    surfaceSuite_.DrawImage = callDrawImage;
    pathSuite_.MoveTo = pathCall;
    pathSuite_.LineTo = pathCall;
}

DrawbotHost::~DrawbotHost() {
    for (const Image* image : live_) delete image;
    current = nullptr;
}

void DrawbotHost::provideTo(SuiteRegistry& suites) const {
    suites.provide(kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1, &customUiSuite_);
    suites.provide(kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1, &drawSuite_);
    suites.provide(kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1, &supplierSuite_);
    suites.provide(kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version2, &surfaceSuite_);
    suites.provide(kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1, &pathSuite_);
}

PF_ContextH DrawbotHost::context() const {
    return reinterpret_cast<PF_ContextH>(const_cast<char*>(&context_));
}

bool DrawbotHost::failing(DrawbotCall call, const std::string& entry, PF_Err* code) {
    if (log_.failing(entry)) {
        *code = log_.failureCode();
        return true;
    }
    const auto found = failures_.find(call);
    if (found == failures_.end()) {
        return false;
    }
    *code = found->second;
    return true;
}

PF_Err DrawbotHost::foreign() {
    ++foreignReferences_;
    log_.add("foreign reference");
    return kDrawbotError;
}

PF_Err DrawbotHost::getDrawingReference(PF_ContextH context, DRAWBOT_DrawRef* draw_ref) {
    PF_Err code = PF_Err_NONE;
    if (failing(DrawbotCall::GetDrawingReference, "PF_GetDrawingReference", &code)) return code;
    if (context != this->context()) return foreign();
    *draw_ref = refTo<DRAWBOT_DrawRef>(drawRef_);
    return PF_Err_NONE;
}

PF_Err DrawbotHost::getSupplier(DRAWBOT_DrawRef draw_ref, DRAWBOT_SupplierRef* supplier) {
    PF_Err code = PF_Err_NONE;
    if (failing(DrawbotCall::GetSupplier, "GetSupplier", &code)) return code;
    if (draw_ref != refTo<DRAWBOT_DrawRef>(drawRef_)) return foreign();
    *supplier = refTo<DRAWBOT_SupplierRef>(supplier_);
    return PF_Err_NONE;
}

PF_Err DrawbotHost::getSurface(DRAWBOT_DrawRef draw_ref, DRAWBOT_SurfaceRef* surface) {
    PF_Err code = PF_Err_NONE;
    if (failing(DrawbotCall::GetSurface, "GetSurface", &code)) return code;
    if (draw_ref != refTo<DRAWBOT_DrawRef>(drawRef_)) return foreign();
    *surface = refTo<DRAWBOT_SurfaceRef>(surface_);
    return PF_Err_NONE;
}

PF_Err DrawbotHost::newImageFromBuffer(DRAWBOT_SupplierRef supplier, int32_t width, int32_t height,
                                       int32_t row_bytes, DRAWBOT_PixelLayout layout, const void* pixels,
                                       DRAWBOT_ImageRef* image) {
    PF_Err code = PF_Err_NONE;
    const std::string entry = "NewImageFromBuffer " + std::to_string(width) + "x" + std::to_string(height);
    if (failing(DrawbotCall::NewImageFromBuffer, entry, &code)) return code;
    if (supplier != refTo<DRAWBOT_SupplierRef>(supplier_)) return foreign();
    const Image* made = new Image{width, height, row_bytes, layout, static_cast<const uint8_t*>(pixels)};
    live_.insert(made);
    ++imagesMade_;
    *image = reinterpret_cast<DRAWBOT_ImageRef>(const_cast<Image*>(made));
    return PF_Err_NONE;
}

PF_Err DrawbotHost::drawImage(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image, const DRAWBOT_PointF32* origin,
                              float opacity) {
    PF_Err code = PF_Err_NONE;
    const std::string entry = "DrawImage at " + std::to_string(int(origin->x)) + "," + std::to_string(int(origin->y));
    if (failing(DrawbotCall::DrawImage, entry, &code)) return code;
    const Image* drawnImage = reinterpret_cast<const Image*>(image);
    if (surface != refTo<DRAWBOT_SurfaceRef>(surface_) || live_.count(drawnImage) == 0) return foreign();
    DrawnImage record;
    record.width = drawnImage->width;
    record.height = drawnImage->height;
    record.rowBytes = drawnImage->rowBytes;
    record.layout = drawnImage->layout;
    const size_t bytes = size_t(drawnImage->rowBytes) * size_t(drawnImage->height);
    record.pixels.assign(drawnImage->pixels, drawnImage->pixels + bytes);
    record.origin = *origin;
    record.opacity = opacity;
    drawn.push_back(std::move(record));
    return PF_Err_NONE;
}

PF_Err DrawbotHost::releaseObject(DRAWBOT_ObjectRef object) {
    PF_Err code = PF_Err_NONE;
    const Image* image = reinterpret_cast<const Image*>(object);
    if (live_.count(image) == 0) {
        log_.add("ReleaseObject");
        return foreign();
    }
    // A release that fails still lets go of the image, as a host does.
    live_.erase(image);
    delete image;
    ++imagesReleased_;
    if (failing(DrawbotCall::ReleaseObject, "ReleaseObject", &code)) return code;
    return PF_Err_NONE;
}

}  // namespace standin
