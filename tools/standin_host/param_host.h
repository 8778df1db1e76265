// The stand-in host's side of parameters and layers: it records what the effect
// registers, holds the parameter array (index 0 the input layer), hands values and
// layers out and takes them back, counts what is still out, and fails on request.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/pf_custom_ui.h"
#include "platform/pf_effect.h"
#include "platform/pf_smart_render.h"
#include "tools/standin_host/call_log.h"

namespace standin {

// One call the effect made of the parameter or layer callbacks.
struct ParamCall {
    std::string name;  // "checkout_param", "checkin_param", "checkout_layer", ...
    int32_t index;     // host index or checkout id; -1 where the call has none
    int32_t time;      // what_time of a checkout, 0 otherwise
    bool operator==(const ParamCall& other) const {
        return name == other.name && index == other.index && time == other.time;
    }
};

// One at a time: the callbacks reach the live one. The callbacks may come from
// several render threads at once; the records are read once the calls are done.
class ParamHost {
public:
    ParamHost();
    ~ParamHost();
    ParamHost(const ParamHost&) = delete;
    ParamHost& operator=(const ParamHost&) = delete;

    // Points in_data's parameter callbacks straight at this host (a full stand-in
    // host routes them here itself, logging each).
    void install(PF_InData* in_data);
    PF_PreRenderExtra* preRenderExtra() { return &preRender_.extra; }
    PF_SmartRenderExtra* smartRenderExtra() { return &smartRender_.extra; }

    // --- registration (add_param, register_ui)
    std::vector<PF_ParamDef> added;           // every definition handed over, in order
    std::vector<std::string> addedPopupItems;  // namesptr of each, "" where none
    std::vector<PF_ParamIndex> addIndices;
    std::vector<PF_CustomUIInfo> registeredUI;
    std::vector<int32_t> registeredUIAfter;   // number of definitions added before each
    void clearRegistration();  // forgets every definition and custom UI recorded
    std::map<int32_t, PF_Err> failAddParamForId;  // by uu.id of the definition
    std::map<int32_t, PF_Err> failRegisterUIAt;   // by 0-based register_ui call

    // --- values: the parameter array the host would pass, index 0 the input layer
    std::vector<PF_ParamDef> params;
    PF_ParamDef** paramArray();
    // Builds params with one record per host index from the latest registration:
    // every value at its default, every layer parameter without a layer.
    void paramsFromRegistration();
    // Gives the layer parameter at index a layer whose pixels are pixels.
    void setLayer(PF_ParamIndex index, void* pixels);

    std::map<PF_ParamIndex, PF_Err> failCheckoutParamAt;
    std::map<int32_t, PF_Err> failCheckoutLayerAt;        // pre-render, by host index
    std::map<int32_t, PF_Err> failCheckoutPixelsAt;       // smart render, by checkout id
    std::map<int32_t, PF_EffectWorld*> pixelsFor;         // smart render, by checkout id
    PF_EffectWorld* output = nullptr;                     // what checkout_output hands out
    PF_Err failCheckoutOutput = PF_Err_NONE;

    // --- accounting
    // When set, the pre-render and smart-render callbacks also go into this log
    // (the interact callbacks are logged by whoever routes them here).
    CallLog* log = nullptr;
    std::vector<ParamCall> calls;
    int32_t paramsCheckedOut() const;
    int32_t pixelsCheckedOut() const;
    int32_t badCheckins = 0;  // parameter check-ins of something not checked out
    int32_t pixelCheckinsWithoutCheckout = 0;  // harmless to the host, but counted
    std::vector<PF_RenderRequest> layerRequests;  // the request of each checkout_layer
    std::vector<int32_t> layerCheckoutIds;        // and its checkout id

    // The interact callbacks' answers.
    PF_Err addParam(PF_ParamIndex index, PF_ParamDef* def);
    PF_Err registerUI(PF_CustomUIInfo* info);
    PF_Err checkoutParam(PF_ParamIndex index, int32_t what_time, PF_ParamDef* param);
    PF_Err checkinParam(PF_ParamDef* param);
    // The pre-render and smart-render callbacks' answers.
    PF_Err checkoutLayer(PF_ParamIndex index, int32_t checkout_id, const PF_RenderRequest* req,
                         int32_t what_time, PF_CheckoutResult* result);
    PF_Err checkoutLayerPixels(int32_t checkout_id, PF_EffectWorld** pixels);
    PF_Err checkinLayerPixels(int32_t checkout_id);
    PF_Err checkoutOutput(PF_EffectWorld** world);

private:
    // Render threads call back concurrently.
    mutable std::mutex mutex_;

    struct PreRender {
        PF_PreRenderInput input{};
        PF_PreRenderOutput output{};
        PF_PreRenderCallbacks cb{};
        PF_PreRenderExtra extra{};
    } preRender_;
    struct SmartRender {
        PF_SmartRenderInput input{};
        PF_SmartRenderCallbacks cb{};
        PF_SmartRenderExtra extra{};
    } smartRender_;
    std::vector<PF_ParamDef*> paramPointers_;
    std::map<const PF_ParamDef*, PF_ParamIndex> outstandingParams_;
    std::multiset<int32_t> outstandingPixels_;
};

}  // namespace standin
