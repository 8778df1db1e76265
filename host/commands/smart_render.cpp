#include "host/commands/smart_render.h"

#include "host/commands/render_depth.h"
#include "host/params/param_loading.h"
#include "host/suites/handle_lock.h"
#include "host/suites/scoped_suite.h"
#include "platform/pf_suites.h"
#include "render/param_values.h"

namespace {

// The input's pixels under checkout id 0, checked back in on every way out once the
// host has handed them out.
class InputPixels {
public:
    InputPixels(PF_InData* in_data, PF_SmartRenderExtra* extra) : in_data_(in_data), extra_(extra) {
        err_ = extra->cb->checkout_layer_pixels(in_data->effect_ref, kInputCheckoutId, &world_);
        checkedOut_ = err_ == PF_Err_NONE;
    }
    ~InputPixels() { checkin(); }
    InputPixels(const InputPixels&) = delete;
    InputPixels& operator=(const InputPixels&) = delete;

    PF_Err checkoutError() const { return err_; }
    PF_EffectWorld* world() const { return world_; }

    PF_Err checkin() {
        if (!checkedOut_) return PF_Err_NONE;
        checkedOut_ = false;
        return extra_->cb->checkin_layer_pixels(in_data_->effect_ref, kInputCheckoutId);
    }

private:
    static constexpr int32_t kInputCheckoutId = 0;
    PF_InData* in_data_;
    PF_SmartRenderExtra* extra_;
    PF_EffectWorld* world_ = nullptr;
    PF_Err err_;
    bool checkedOut_;
};

// The two intensity-source layers, handed back through CleanupLayerParams once
// loading them has begun, also when loading throws part of the way.
class SourceLayers {
public:
    SourceLayers(PF_InData* in_data, PF_ParamDef** params, PF_SmartRenderExtra* extra, ParamValues* record)
        : in_data_(in_data), params_(params), extra_(extra), record_(record) {
        try {
            LoadLayerParamsAE(in_data, extra, record);
        } catch (...) {
            cleanup();
            throw;
        }
    }
    ~SourceLayers() { cleanup(); }
    SourceLayers(const SourceLayers&) = delete;
    SourceLayers& operator=(const SourceLayers&) = delete;

    void cleanup() {
        if (!loaded_) return;
        loaded_ = false;
        CleanupLayerParams(in_data_, params_, extra_, record_);
    }

private:
    PF_InData* in_data_;
    PF_ParamDef** params_;
    PF_SmartRenderExtra* extra_;
    ParamValues* record_;
    bool loaded_ = true;
};

bool depthOfWorldFormat(PF_PixelFormat format, RenderDepth* depth) {
    switch (format) {
    case PF_PixelFormat_ARGB32: *depth = RenderDepth::k8; return true;
    case PF_PixelFormat_ARGB64: *depth = RenderDepth::k16; return true;
    case PF_PixelFormat_ARGB128: *depth = RenderDepth::k32; return true;
    default: return false;
    }
}

}  // namespace

PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_SmartRenderExtra* extra) {
    if (extra == nullptr || extra->input == nullptr || extra->cb == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    ScopedSuite<PF_HandleSuite1> handles(in_data, kPFHandleSuite, kPFHandleSuiteVersion1, out_data);
    HandleLock lock(handles.get(), static_cast<PF_Handle>(extra->input->pre_render_data));
    if (lock.data() == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
    ParamValues* record = static_cast<ParamValues*>(lock.data());

    InputPixels input(in_data, extra);
    if (input.checkoutError() != PF_Err_NONE) return input.checkoutError();
    PF_EffectWorld* output = nullptr;
    const PF_Err outputErr = extra->cb->checkout_output(in_data->effect_ref, &output);
    if (input.world() == nullptr || output == nullptr) return outputErr;

    // The guard below must exist before loading begins, so it loads in its constructor.
    SourceLayers sources(in_data, params, extra, record);
    const float scale = downsampleFactor(in_data);
    ScopedSuite<PF_WorldSuite2> worlds(in_data, kPFWorldSuite, kPFWorldSuiteVersion2, out_data);

    PF_PixelFormat format = PF_PixelFormat_INVALID;
    if (outputErr == PF_Err_NONE) {
        worlds->PF_GetPixelFormat(input.world(), &format);
    }
    RenderDepth depth;
    const PF_Err renderErr = depthOfWorldFormat(format, &depth)
                                 ? renderAtDepth(depth, input.world(), output, *record, scale, in_data)
                                 : PF_Err_UNRECOGNIZED_PARAM_TYPE;

    sources.cleanup();
    const PF_Err checkinErr = input.checkin();
    lock.unlock();
    return renderErr != PF_Err_NONE ? renderErr : checkinErr;
}
