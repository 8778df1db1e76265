#include "tools/standin_host/param_host.h"

#include <cstring>

namespace standin {

namespace {

ParamHost* currentHost = nullptr;

PF_Err addParamCallback(PF_ProgPtr, PF_ParamIndex index, PF_ParamDef* def) {
    return currentHost->addParam(index, def);
}
PF_Err registerUICallback(PF_ProgPtr, PF_CustomUIInfo* info) { return currentHost->registerUI(info); }
PF_Err checkoutParamCallback(PF_ProgPtr, PF_ParamIndex index, int32_t what_time, int32_t, uint32_t,
                             PF_ParamDef* param) {
    return currentHost->checkoutParam(index, what_time, param);
}
PF_Err checkinParamCallback(PF_ProgPtr, PF_ParamDef* param) { return currentHost->checkinParam(param); }
PF_Err checkoutLayerCallback(PF_ProgPtr, PF_ParamIndex index, int32_t checkout_id,
                             const PF_RenderRequest* req, int32_t what_time, int32_t, uint32_t,
                             PF_CheckoutResult* result) {
    return currentHost->checkoutLayer(index, checkout_id, req, what_time, result);
}
PF_Err checkoutLayerPixelsCallback(PF_ProgPtr, int32_t checkout_id, PF_EffectWorld** pixels) {
    return currentHost->checkoutLayerPixels(checkout_id, pixels);
}
PF_Err checkinLayerPixelsCallback(PF_ProgPtr, int32_t checkout_id) {
    return currentHost->checkinLayerPixels(checkout_id);
}
PF_Err checkoutOutputCallback(PF_ProgPtr, PF_EffectWorld** output) {
    return currentHost->checkoutOutput(output);
}

}  // namespace

ParamHost::ParamHost() {
    currentHost = this;
    preRender_.cb.checkout_layer = checkoutLayerCallback;
    preRender_.extra = PF_PreRenderExtra{&preRender_.input, &preRender_.output, &preRender_.cb};
    smartRender_.cb.checkout_layer_pixels = checkoutLayerPixelsCallback;
    smartRender_.cb.checkin_layer_pixels = checkinLayerPixelsCallback;
    smartRender_.cb.checkout_output = checkoutOutputCallback;
    smartRender_.extra = PF_SmartRenderExtra{&smartRender_.input, &smartRender_.cb};
}

ParamHost::~ParamHost() { currentHost = nullptr; }

void ParamHost::install(PF_InData* in_data) {
    in_data->inter.add_param = addParamCallback;
    in_data->inter.register_ui = registerUICallback;
    in_data->inter.checkout_param = checkoutParamCallback;
    in_data->inter.checkin_param = checkinParamCallback;
}

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

int32_t ParamHost::paramsCheckedOut() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return int32_t(outstandingParams_.size());
}

int32_t ParamHost::pixelsCheckedOut() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return int32_t(outstandingPixels_.size());
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

PF_Err ParamHost::addParam(PF_ParamIndex index, PF_ParamDef* def) {
    std::lock_guard<std::mutex> guard(mutex_);
    calls.push_back({"add_param", def->uu.id, 0});
    const auto failure = failAddParamForId.find(def->uu.id);
    if (failure != failAddParamForId.end()) return failure->second;
    added.push_back(*def);
    addIndices.push_back(index);
    const bool popup = def->param_type == PF_Param_POPUP && def->u.pd.namesptr != nullptr;
    addedPopupItems.push_back(popup ? def->u.pd.namesptr : "");
    return PF_Err_NONE;
}

PF_Err ParamHost::registerUI(PF_CustomUIInfo* info) {
    std::lock_guard<std::mutex> guard(mutex_);
    const int32_t call = int32_t(registeredUI.size());
    calls.push_back({"register_ui", int32_t(added.size()), 0});
    registeredUI.push_back(*info);
    registeredUIAfter.push_back(int32_t(added.size()));
    const auto failure = failRegisterUIAt.find(call);
    return failure == failRegisterUIAt.end() ? PF_Err_NONE : failure->second;
}

PF_Err ParamHost::checkoutParam(PF_ParamIndex index, int32_t what_time, PF_ParamDef* param) {
    std::lock_guard<std::mutex> guard(mutex_);
    calls.push_back({"checkout_param", index, what_time});
    const auto failure = failCheckoutParamAt.find(index);
    if (failure != failCheckoutParamAt.end()) return failure->second;
    if (index < 0 || size_t(index) >= params.size()) return PF_Err_INVALID_INDEX;
    *param = params[size_t(index)];
    outstandingParams_[param] = index;
    return PF_Err_NONE;
}

PF_Err ParamHost::checkinParam(PF_ParamDef* param) {
    std::lock_guard<std::mutex> guard(mutex_);
    const auto out = outstandingParams_.find(param);
    calls.push_back({"checkin_param", out == outstandingParams_.end() ? -1 : out->second, 0});
    if (out == outstandingParams_.end()) {
        ++badCheckins;
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    outstandingParams_.erase(out);
    return PF_Err_NONE;
}

PF_Err ParamHost::checkoutLayer(PF_ParamIndex index, int32_t checkout_id, const PF_RenderRequest* req,
                                int32_t what_time, PF_CheckoutResult* result) {
    std::lock_guard<std::mutex> guard(mutex_);
    calls.push_back({"checkout_layer", index, what_time});
    if (log) log->add("checkout_layer " + std::to_string(index) + " " + std::to_string(checkout_id));
    layerRequests.push_back(*req);
    layerCheckoutIds.push_back(checkout_id);
    const auto failure = failCheckoutLayerAt.find(index);
    if (failure != failCheckoutLayerAt.end()) return failure->second;
    // A layer as large as the request, so a caller that widened its output by it
    // would show.
    result->result_rect = req->rect;
    result->max_result_rect = req->rect;
    return PF_Err_NONE;
}

PF_Err ParamHost::checkoutLayerPixels(int32_t checkout_id, PF_EffectWorld** pixels) {
    std::lock_guard<std::mutex> guard(mutex_);
    calls.push_back({"checkout_layer_pixels", checkout_id, 0});
    if (log) log->add("checkout_layer_pixels " + std::to_string(checkout_id));
    const auto failure = failCheckoutPixelsAt.find(checkout_id);
    if (failure != failCheckoutPixelsAt.end()) return failure->second;
    const auto found = pixelsFor.find(checkout_id);
    *pixels = found == pixelsFor.end() ? nullptr : found->second;
    outstandingPixels_.insert(checkout_id);
    return PF_Err_NONE;
}

PF_Err ParamHost::checkinLayerPixels(int32_t checkout_id) {
    std::lock_guard<std::mutex> guard(mutex_);
    calls.push_back({"checkin_layer_pixels", checkout_id, 0});
    if (log) log->add("checkin_layer_pixels " + std::to_string(checkout_id));
    const auto out = outstandingPixels_.find(checkout_id);
    if (out == outstandingPixels_.end()) {
        ++pixelCheckinsWithoutCheckout;
    } else {
        outstandingPixels_.erase(out);
    }
    return PF_Err_NONE;
}

PF_Err ParamHost::checkoutOutput(PF_EffectWorld** world) {
    std::lock_guard<std::mutex> guard(mutex_);
    calls.push_back({"checkout_output", -1, 0});
    if (log) log->add("checkout_output");
    *world = output;
    return failCheckoutOutput;
}

}  // namespace standin
