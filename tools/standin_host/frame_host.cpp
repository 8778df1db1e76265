#include "tools/standin_host/frame_host.h"

#include "tools/standin_host/unused_slots.h"

namespace standin {

FrameHost::FrameHost(const PF_InData& base, const std::vector<PF_ParamDef>& hostParams, CallLog& log)
    : in_data(base), params(hostParams), log_(log) {
    in_data.effect_ref = this;
    in_data.inter.checkout_param = &FrameHost::checkoutParam;
    in_data.inter.checkin_param = &FrameHost::checkinParam;
    in_data.inter.abort = &FrameHost::abort;
    in_data.inter.progress = &FrameHost::progress;
    fillUnusedSlots(preRender_.cb);
    preRender_.cb.checkout_layer = &FrameHost::checkoutLayer;
    preRender_.input.output_request.rect = PF_LRect{0, 0, base.width, base.height};
    preRender_.extra = PF_PreRenderExtra{&preRender_.input, &preRender_.output, &preRender_.cb};
    fillUnusedSlots(smartRender_.cb);
    smartRender_.cb.checkout_layer_pixels = &FrameHost::checkoutLayerPixels;
    smartRender_.cb.checkin_layer_pixels = &FrameHost::checkinLayerPixels;
    smartRender_.cb.checkout_output = &FrameHost::checkoutOutput;
    smartRender_.extra = PF_SmartRenderExtra{&smartRender_.input, &smartRender_.cb};
}

PF_Err FrameHost::smartPreRender(PF_FilterProc effectMain) {
    log("EffectMain smart pre-render");
    return effectMain(PF_Cmd_SMART_PRE_RENDER, &in_data, &out_data, nullptr, nullptr, preRenderExtra());
}

PF_Err FrameHost::smartRender(PF_FilterProc effectMain) {
    log("EffectMain smart render");
    smartRender_.input.pre_render_data = preRender_.output.pre_render_data;
    return effectMain(PF_Cmd_SMART_RENDER, &in_data, &out_data, paramArray(), nullptr, smartRenderExtra());
}

void FrameHost::finishFrame() {
    PF_PreRenderOutput& out = preRender_.output;
    if (out.delete_pre_render_data_func != nullptr && out.pre_render_data != nullptr) {
        out.delete_pre_render_data_func(out.pre_render_data);
    }
    out.pre_render_data = nullptr;
    out.delete_pre_render_data_func = nullptr;
    smartRender_.input.pre_render_data = nullptr;
}

PF_Err FrameHost::render(PF_FilterProc effectMain) {
    log("EffectMain render");
    return effectMain(PF_Cmd_RENDER, &in_data, &out_data, paramArray(), output, nullptr);
}

PF_ParamDef** FrameHost::paramArray() {
    paramPointers_.clear();
    for (PF_ParamDef& def : params) paramPointers_.push_back(&def);
    return paramPointers_.data();
}

PF_Err FrameHost::checkoutParam(PF_ProgPtr ref, PF_ParamIndex index, int32_t what_time, int32_t time_step,
                                uint32_t time_scale, PF_ParamDef* param) {
    FrameHost& host = from(ref);
    const bool failing = host.log_.failing("checkout_param " + std::to_string(index) + " at " + std::to_string(what_time));
    if (failing) return host.log_.failureCode();
    host.timedCheckouts.push_back(TimedCheckout{index, -1, what_time, time_step, time_scale});
    const auto failure = host.failCheckoutParam.find(index);
    if (failure != host.failCheckoutParam.end()) return failure->second;
    if (index < 0 || size_t(index) >= host.params.size()) return PF_Err_INVALID_INDEX;
    *param = host.params[size_t(index)];
    // A layer parameter hands out the layer's buffer, or a layer without pixels.
    const PF_EffectWorld* world = index == 0 ? host.input : nullptr;
    const auto layer = host.layers.find(index);
    if (layer != host.layers.end()) world = layer->second;
    const auto timed = host.layersAtTime.find({index, what_time});
    if (timed != host.layersAtTime.end()) world = timed->second;
    if (param->param_type == PF_Param_LAYER) {
        param->u.ld = world != nullptr ? *world : PF_LayerDef{};
    }
    host.paramsOut_[param] = index;
    return PF_Err_NONE;
}

PF_Err FrameHost::checkinParam(PF_ProgPtr ref, PF_ParamDef* param) {
    FrameHost& host = from(ref);
    const auto out = host.paramsOut_.find(param);
    const bool matched = out != host.paramsOut_.end();
    // A failing check-in still takes the parameter back.
    const bool failing = host.log_.failing(matched ? "checkin_param " + std::to_string(out->second) : "checkin_param ?");
    PF_Err err = PF_Err_NONE;
    if (matched) {
        host.paramsOut_.erase(out);
    } else {
        ++host.unmatchedCheckins;
        err = PF_Err_BAD_CALLBACK_PARAM;
    }
    return failing ? host.log_.failureCode() : err;
}

PF_Err FrameHost::abort(PF_ProgPtr ref) {
    FrameHost& host = from(ref);
    if (host.log_.failing("abort")) return host.log_.failureCode();
    ++host.abortCalls_;
    const bool scripted = host.abortAtCall > 0 && host.abortCalls_ >= host.abortAtCall;
    const bool requested = host.abortRequested && host.abortRequested();
    return scripted || requested ? host.abortCode : PF_Err_NONE;
}

PF_Err FrameHost::progress(PF_ProgPtr ref, int32_t current, int32_t total) {
    FrameHost& host = from(ref);
    const bool failing = host.log_.failing("progress " + std::to_string(current) + " " + std::to_string(total));
    host.progressCalls.emplace_back(current, total);
    if (host.onProgress) host.onProgress(current, total);
    return failing ? host.log_.failureCode() : host.progressCode;
}

PF_Err FrameHost::checkoutLayer(PF_ProgPtr ref, PF_ParamIndex index, int32_t checkout_id,
                                const PF_RenderRequest* req, int32_t what_time, int32_t time_step,
                                uint32_t time_scale, PF_CheckoutResult* result) {
    FrameHost& host = from(ref);
    if (host.log_.failing("checkout_layer " + std::to_string(index) + " id " + std::to_string(checkout_id) + " at " +
                          std::to_string(what_time))) {
        return host.log_.failureCode();
    }
    host.timedCheckouts.push_back(TimedCheckout{index, checkout_id, what_time, time_step, time_scale});
    host.layerRequests.push_back(*req);
    const auto failure = host.failCheckoutLayer.find(index);
    if (failure != host.failCheckoutLayer.end()) return failure->second;
    const auto scripted = host.checkoutResults.find(index);
    if (scripted != host.checkoutResults.end()) {
        *result = scripted->second;
    } else {
        result->result_rect = req->rect;
        result->max_result_rect = req->rect;
    }
    return PF_Err_NONE;
}

PF_Err FrameHost::checkoutLayerPixels(PF_ProgPtr ref, int32_t checkout_id, PF_EffectWorld** pixels) {
    FrameHost& host = from(ref);
    if (host.log_.failing("checkout_layer_pixels " + std::to_string(checkout_id))) return host.log_.failureCode();
    const auto failure = host.failCheckoutPixels.find(checkout_id);
    if (failure != host.failCheckoutPixels.end()) return failure->second;
    if (checkout_id == 0) {
        *pixels = host.input;
    } else {
        const auto layer = host.layers.find(checkout_id);
        *pixels = layer == host.layers.end() ? nullptr : layer->second;
    }
    host.pixelsOut_.insert(checkout_id);
    return PF_Err_NONE;
}

PF_Err FrameHost::checkinLayerPixels(PF_ProgPtr ref, int32_t checkout_id) {
    FrameHost& host = from(ref);
    // A failing check-in still takes the pixels back.
    const bool failing = host.log_.failing("checkin_layer_pixels " + std::to_string(checkout_id));
    const auto out = host.pixelsOut_.find(checkout_id);
    if (out == host.pixelsOut_.end()) {
        ++host.unmatchedCheckins;
    } else {
        host.pixelsOut_.erase(out);
    }
    if (failing) return host.log_.failureCode();
    const auto failure = host.failCheckinPixels.find(checkout_id);
    return failure == host.failCheckinPixels.end() ? PF_Err_NONE : failure->second;
}

PF_Err FrameHost::checkoutOutput(PF_ProgPtr ref, PF_EffectWorld** output) {
    FrameHost& host = from(ref);
    if (host.log_.failing("checkout_output")) return host.log_.failureCode();
    *output = host.output;
    return host.checkoutOutputCode;
}

}  // namespace standin
