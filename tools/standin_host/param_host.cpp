#include "tools/standin_host/param_host.h"

#include <cstring>

namespace standin {

ParamHost::ParamHost() {
    preRender_.cb.checkout_layer = &ParamHost::checkoutLayer;
    preRender_.extra = PF_PreRenderExtra{&preRender_.input, &preRender_.output, &preRender_.cb};
    smartRender_.cb.checkout_layer_pixels = &ParamHost::checkoutLayerPixels;
    smartRender_.cb.checkin_layer_pixels = &ParamHost::checkinLayerPixels;
    smartRender_.cb.checkout_output = &ParamHost::checkoutOutput;
    smartRender_.extra = PF_SmartRenderExtra{&smartRender_.input, &smartRender_.cb};
}

void ParamHost::install(PF_InData* in_data) {
    in_data->effect_ref = this;
    in_data->inter.add_param = &ParamHost::addParam;
    in_data->inter.register_ui = &ParamHost::registerUI;
    in_data->inter.checkout_param = &ParamHost::checkoutParam;
    in_data->inter.checkin_param = &ParamHost::checkinParam;
}

ParamHost* ParamHost::from(PF_ProgPtr effect_ref) { return static_cast<ParamHost*>(effect_ref); }

PF_ParamDef** ParamHost::paramArray() {
    paramPointers_.clear();
    for (PF_ParamDef& def : params) paramPointers_.push_back(&def);
    return paramPointers_.data();
}

void ParamHost::paramsFromRegistration() {
    params.assign(1, PF_ParamDef{});  // the input layer
    params[0].param_type = PF_Param_LAYER;
    for (const PF_ParamDef& def : added) params.push_back(def);
}

void ParamHost::clearRegistration() {
    added.clear();
    addedPopupItems.clear();
    addIndices.clear();
    registeredUI.clear();
    registeredUIAfter.clear();
}

void ParamHost::setLayer(PF_ParamIndex index, void* pixels) {
    PF_LayerDef& layer = params.at(size_t(index)).u.ld;
    layer.data = pixels;
    layer.width = 1;
    layer.height = 1;
    layer.rowbytes = 4;
}

PF_Err ParamHost::addParam(PF_ProgPtr ref, PF_ParamIndex index, PF_ParamDef* def) {
    ParamHost* host = from(ref);
    host->calls.push_back({"add_param", def->uu.id, 0});
    const auto failure = host->failAddParamForId.find(def->uu.id);
    if (failure != host->failAddParamForId.end()) return failure->second;
    host->added.push_back(*def);
    host->addIndices.push_back(index);
    const bool popup = def->param_type == PF_Param_POPUP && def->u.pd.namesptr != nullptr;
    host->addedPopupItems.push_back(popup ? def->u.pd.namesptr : "");
    return PF_Err_NONE;
}

PF_Err ParamHost::registerUI(PF_ProgPtr ref, PF_CustomUIInfo* info) {
    ParamHost* host = from(ref);
    const int32_t call = int32_t(host->registeredUI.size());
    host->calls.push_back({"register_ui", int32_t(host->added.size()), 0});
    host->registeredUI.push_back(*info);
    host->registeredUIAfter.push_back(int32_t(host->added.size()));
    const auto failure = host->failRegisterUIAt.find(call);
    return failure == host->failRegisterUIAt.end() ? PF_Err_NONE : failure->second;
}

PF_Err ParamHost::checkoutParam(PF_ProgPtr ref, PF_ParamIndex index, int32_t what_time, int32_t,
                                uint32_t, PF_ParamDef* param) {
    ParamHost* host = from(ref);
    host->calls.push_back({"checkout_param", index, what_time});
    const auto failure = host->failCheckoutParamAt.find(index);
    if (failure != host->failCheckoutParamAt.end()) return failure->second;
    if (index < 0 || size_t(index) >= host->params.size()) return PF_Err_INVALID_INDEX;
    *param = host->params[size_t(index)];
    host->outstandingParams_[param] = index;
    return PF_Err_NONE;
}

PF_Err ParamHost::checkinParam(PF_ProgPtr ref, PF_ParamDef* param) {
    ParamHost* host = from(ref);
    const auto out = host->outstandingParams_.find(param);
    host->calls.push_back({"checkin_param", out == host->outstandingParams_.end() ? -1 : out->second, 0});
    if (out == host->outstandingParams_.end()) {
        ++host->badCheckins;
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    host->outstandingParams_.erase(out);
    return PF_Err_NONE;
}

PF_Err ParamHost::checkoutLayer(PF_ProgPtr ref, PF_ParamIndex index, int32_t checkout_id,
                                const PF_RenderRequest* req, int32_t what_time, int32_t, uint32_t,
                                PF_CheckoutResult* result) {
    ParamHost* host = from(ref);
    host->calls.push_back({"checkout_layer", index, what_time});
    host->layerRequests.push_back(*req);
    host->layerCheckoutIds.push_back(checkout_id);
    const auto failure = host->failCheckoutLayerAt.find(index);
    if (failure != host->failCheckoutLayerAt.end()) return failure->second;
    // A layer as large as the request, so a caller that widened its output by it
    // would show.
    result->result_rect = req->rect;
    result->max_result_rect = req->rect;
    return PF_Err_NONE;
}

PF_Err ParamHost::checkoutLayerPixels(PF_ProgPtr ref, int32_t checkout_id, PF_EffectWorld** pixels) {
    ParamHost* host = from(ref);
    host->calls.push_back({"checkout_layer_pixels", checkout_id, 0});
    const auto failure = host->failCheckoutPixelsAt.find(checkout_id);
    if (failure != host->failCheckoutPixelsAt.end()) return failure->second;
    const auto found = host->pixelsFor.find(checkout_id);
    *pixels = found == host->pixelsFor.end() ? nullptr : found->second;
    host->outstandingPixels_.insert(checkout_id);
    return PF_Err_NONE;
}

PF_Err ParamHost::checkinLayerPixels(PF_ProgPtr ref, int32_t checkout_id) {
    ParamHost* host = from(ref);
    host->calls.push_back({"checkin_layer_pixels", checkout_id, 0});
    const auto out = host->outstandingPixels_.find(checkout_id);
    if (out == host->outstandingPixels_.end()) {
        ++host->pixelCheckinsWithoutCheckout;
    } else {
        host->outstandingPixels_.erase(out);
    }
    return PF_Err_NONE;
}

PF_Err ParamHost::checkoutOutput(PF_ProgPtr ref, PF_EffectWorld** output) {
    ParamHost* host = from(ref);
    host->calls.push_back({"checkout_output", -1, 0});
    *output = host->output;
    return host->failCheckoutOutput;
}

}  // namespace standin
