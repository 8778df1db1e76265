#include "host/commands/render_command.h"

#include "host/commands/render_depth.h"
#include "host/params/param_loading.h"
#include "host/suites/host_ids.h"
#include "host/suites/scoped_suite.h"
#include "platform/pf_flags.h"
#include "platform/pf_suites.h"
#include "render/param_values.h"

namespace {

// The intensity-source parameters that LoadParamValues checked out, checked back in
// on every way out, a thrown code included.
class CheckedOutSources {
public:
    CheckedOutSources(PF_InData* in_data, PF_ParamDef** params, ParamValues* record)
        : in_data_(in_data), params_(params), record_(record) {}
    ~CheckedOutSources() { checkin(); }
    CheckedOutSources(const CheckedOutSources&) = delete;
    CheckedOutSources& operator=(const CheckedOutSources&) = delete;

    void checkin() {
        if (done_) return;
        done_ = true;
        CleanupLayerParams(in_data_, params_, nullptr, record_);
    }

private:
    PF_InData* in_data_;
    PF_ParamDef** params_;
    ParamValues* record_;
    bool done_ = false;
};

// The input layer, checked out as parameter 0 at the frame's time and checked back
// in after a successful checkout, on every way out.
class InputParam {
public:
    explicit InputParam(PF_InData* in_data) : in_data_(in_data) {
        err_ = in_data->inter.checkout_param(in_data->effect_ref, 0, in_data->current_time, in_data->time_step,
                                             in_data->time_scale, &param_);
        checkedOut_ = err_ == PF_Err_NONE;
    }
    ~InputParam() { checkin(); }
    InputParam(const InputParam&) = delete;
    InputParam& operator=(const InputParam&) = delete;

    PF_Err checkoutError() const { return err_; }
    PF_LayerDef* layer() { return &param_.u.ld; }

    void checkin() {
        if (!checkedOut_) return;
        checkedOut_ = false;
        in_data_->inter.checkin_param(in_data_->effect_ref, &param_);
    }

private:
    PF_InData* in_data_;
    PF_ParamDef param_{};
    PF_Err err_;
    bool checkedOut_;
};

bool depthOfPremiereFormat(PrPixelFormat format, RenderDepth* depth) {
    switch (format) {
    case PrPixelFormat_ARGB_4444_8u: *depth = RenderDepth::k8; return true;
    case PrPixelFormat_ARGB_4444_16u: *depth = RenderDepth::k16; return true;
    case PrPixelFormat_ARGB_4444_32f: *depth = RenderDepth::k32; return true;
    default: return false;
    }
}

}  // namespace

PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output) {
    if (in_data->appl_id != kApplIdPremierePro) return PF_Err_NONE;

    // The record's slots point into itself, so it outlives the render below.
    ParamValues record;
    LoadParamValues(in_data, params, nullptr, &record);
    CheckedOutSources sources(in_data, params, &record);
    ScopedSuite<PF_PixelFormatSuite1> formats(in_data, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, out_data);

    InputParam input(in_data);
    PF_Err result = input.checkoutError();
    // A host that hands no output buffer gets nothing rendered, as in smart render.
    if (result == PF_Err_NONE && output != nullptr) {
        const float scale = downsampleFactor(in_data);
        PrPixelFormat format = PrPixelFormat_ARGB_4444_8u;
        formats->GetPixelFormat(output, &format);
        RenderDepth depth;
        result = depthOfPremiereFormat(format, &depth)
                     ? renderAtDepth(depth, input.layer(), output, record, scale, in_data)
                     : PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    sources.checkin();
    input.checkin();
    return result;
}
