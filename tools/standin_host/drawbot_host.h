// The stand-in host's drawing: the custom UI suite that turns an event's context
// into a drawing reference, and the four Drawbot suites. It keeps what each
// drawn image showed (size, pixels, place), counts the images made and released,
// and fails any call on request.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/drawbot.h"
#include "platform/pf_custom_ui.h"
#include "tools/standin_host/call_log.h"
#include "tools/standin_host/suite_registry.h"

namespace standin {

enum class DrawbotCall {
    GetDrawingReference,
    GetSupplier,
    GetSurface,
    NewImageFromBuffer,
    DrawImage,
    ReleaseObject,
};

struct DrawnImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0;
    DRAWBOT_PixelLayout layout = 0;
    std::vector<uint8_t> pixels;  // copied when drawn: the effect may free its buffer after
    DRAWBOT_PointF32 origin{};
    float opacity = 0.0f;
};

// One at a time, like the rest of the stand-in host: the suites' functions reach
// the live one.
class DrawbotHost {
public:
    // What a failing call answers unless a test says otherwise.
    static constexpr PF_Err kDrawbotError = 1001;

    explicit DrawbotHost(CallLog& log);
    ~DrawbotHost();
    DrawbotHost(const DrawbotHost&) = delete;
    DrawbotHost& operator=(const DrawbotHost&) = delete;

    // Offers the custom UI suite and the four Drawbot suites through suites.
    void provideTo(SuiteRegistry& suites) const;

    // The context a host hands the effect with every event.
    PF_ContextH context() const;

    // The call answers code instead of doing its work.
    void fail(DrawbotCall call, PF_Err code = kDrawbotError) { failures_[call] = code; }

    std::vector<DrawnImage> drawn;
    int imagesMade() const { return imagesMade_; }
    int imagesReleased() const { return imagesReleased_; }
    int liveImages() const { return int(live_.size()); }
    // References the effect handed back that this host never gave out.
    int foreignReferences() const { return foreignReferences_; }

    PF_Err getDrawingReference(PF_ContextH context, DRAWBOT_DrawRef* draw_ref);
    PF_Err getSupplier(DRAWBOT_DrawRef draw_ref, DRAWBOT_SupplierRef* supplier);
    PF_Err getSurface(DRAWBOT_DrawRef draw_ref, DRAWBOT_SurfaceRef* surface);
    PF_Err newImageFromBuffer(DRAWBOT_SupplierRef supplier, int32_t width, int32_t height, int32_t row_bytes,
                              DRAWBOT_PixelLayout layout, const void* pixels, DRAWBOT_ImageRef* image);
    PF_Err drawImage(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image, const DRAWBOT_PointF32* origin,
                     float opacity);
    PF_Err releaseObject(DRAWBOT_ObjectRef object);

private:
    struct Image {
        int32_t width, height, rowBytes;
        DRAWBOT_PixelLayout layout;
        const uint8_t* pixels;
    };

    // Logs the call; true when a failure is scheduled for it, with its code.
    bool failing(DrawbotCall call, const std::string& entry, PF_Err* code);
    PF_Err foreign();

    CallLog& log_;
    std::map<DrawbotCall, PF_Err> failures_;
    std::set<const Image*> live_;
    int imagesMade_ = 0;
    int imagesReleased_ = 0;
    int foreignReferences_ = 0;
    char context_ = 0, drawRef_ = 0, supplier_ = 0, surface_ = 0;  // addresses stand for the host's objects
    PF_EffectCustomUISuite1 customUiSuite_{};
    DRAWBOT_DrawbotSuite1 drawSuite_{};
    DRAWBOT_SupplierSuite1 supplierSuite_{};
    DRAWBOT_SurfaceSuite2 surfaceSuite_{};
    DRAWBOT_PathSuite1 pathSuite_{};
};

}  // namespace standin
