// One frame's worth of host on the render road: the records of smart pre-render,
// smart render and the render command, the frame's worlds, what the host answers
// (scripted rectangles, buffers or none, failures, abort) and the accounting of
// everything checked out. Each frame has its own FrameHost, reached through
// effect_ref, so frames can render on several threads at once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/pf_effect.h"
#include "platform/pf_entry.h"
#include "platform/pf_smart_render.h"
#include "tools/standin_host/call_log.h"

namespace standin {

class FrameHost {
public:
    // base: the host's input data of the instance (suites, utilities, host id,
    // version, time). params: the host's parameter array (index 0 the input layer).
    FrameHost(const PF_InData& base, const std::vector<PF_ParamDef>& params, CallLog& log);
    FrameHost(const FrameHost&) = delete;
    FrameHost& operator=(const FrameHost&) = delete;

    PF_InData in_data{};
    PF_OutData out_data{};
    std::vector<PF_ParamDef> params;
    PF_ParamDef** paramArray();

    // --- the frame's commands, sent through the module's EffectMain. smartRender
    // hands the effect what its pre-render stored; finishFrame calls the delete
    // function the effect handed over, as a host does once the frame is done.
    PF_Err smartPreRender(PF_FilterProc effectMain);
    PF_Err smartRender(PF_FilterProc effectMain);
    void finishFrame();
    PF_Err render(PF_FilterProc effectMain);

    // --- the frame's buffers: the input layer, the output, and source layers by
    // host index (checked out as parameters, or as pixels under that checkout id)
    PF_EffectWorld* input = nullptr;
    PF_EffectWorld* output = nullptr;
    std::map<int32_t, PF_EffectWorld*> layers;
    // Layers that a parameter checkout at one time hands out instead, by (host
    // index, time).
    std::map<std::pair<int32_t, int32_t>, PF_EffectWorld*> layersAtTime;

    // Every checkout_param and checkout_layer with the time values it was given
    // (checkoutId -1 for a parameter checkout).
    struct TimedCheckout {
        int32_t index;
        int32_t checkoutId;
        int32_t what_time;
        int32_t time_step;
        uint32_t time_scale;
    };
    std::vector<TimedCheckout> timedCheckouts;

    // --- smart pre-render
    PF_PreRenderExtra* preRenderExtra() { return &preRender_.extra; }
    PF_PreRenderOutput& preRenderOutput() { return preRender_.output; }
    const PF_PreRenderOutput& preRenderOutput() const { return preRender_.output; }
    PF_RenderRequest& outputRequest() { return preRender_.input.output_request; }
    // What checkout_layer writes into the checkout result, by host index; an index
    // without an entry gets the request's rectangle for both.
    std::map<int32_t, PF_CheckoutResult> checkoutResults;
    std::map<int32_t, PF_Err> failCheckoutLayer;  // by host index
    std::vector<PF_RenderRequest> layerRequests;   // the request of each checkout_layer

    // --- smart render
    PF_SmartRenderExtra* smartRenderExtra() { return &smartRender_.extra; }
    std::map<int32_t, PF_Err> failCheckoutPixels;  // by checkout id
    std::map<int32_t, PF_Err> failCheckinPixels;   // by checkout id, after the check-in
    PF_Err checkoutOutputCode = PF_Err_NONE;       // handed back with the output

    // --- parameters (pre-render and the render command)
    std::map<PF_ParamIndex, PF_Err> failCheckoutParam;

    // --- abort and progress: abort answers abortCode from its abortAtCall-th call on
    // (counted from 1; 0 never); onProgress hears every progress call.
    int32_t abortAtCall = 0;
    PF_Err abortCode = PF_Interrupt_CANCEL;
    PF_Err progressCode = PF_Err_NONE;
    std::function<bool()> abortRequested;  // checked besides abortAtCall when set
    std::function<void(int32_t, int32_t)> onProgress;
    std::vector<std::pair<int32_t, int32_t>> progressCalls;

    // --- accounting
    int32_t paramsOut() const { return int32_t(paramsOut_.size()); }
    int32_t pixelsOut() const { return int32_t(pixelsOut_.size()); }
    int32_t unmatchedCheckins = 0;  // check-ins of something not checked out

private:
    static FrameHost& from(PF_ProgPtr ref) { return *static_cast<FrameHost*>(ref); }
    void log(const std::string& entry) { log_.add(entry); }

    static PF_Err checkoutParam(PF_ProgPtr ref, PF_ParamIndex index, int32_t what_time, int32_t time_step,
                                uint32_t time_scale, PF_ParamDef* param);
    static PF_Err checkinParam(PF_ProgPtr ref, PF_ParamDef* param);
    static PF_Err abort(PF_ProgPtr ref);
    static PF_Err progress(PF_ProgPtr ref, int32_t current, int32_t total);
    static PF_Err checkoutLayer(PF_ProgPtr ref, PF_ParamIndex index, int32_t checkout_id,
                                const PF_RenderRequest* req, int32_t what_time, int32_t time_step,
                                uint32_t time_scale, PF_CheckoutResult* result);
    static PF_Err checkoutLayerPixels(PF_ProgPtr ref, int32_t checkout_id, PF_EffectWorld** pixels);
    static PF_Err checkinLayerPixels(PF_ProgPtr ref, int32_t checkout_id);
    static PF_Err checkoutOutput(PF_ProgPtr ref, PF_EffectWorld** output);

    CallLog& log_;
    int32_t abortCalls_ = 0;
    std::vector<PF_ParamDef*> paramPointers_;
    std::map<const PF_ParamDef*, PF_ParamIndex> paramsOut_;
    std::multiset<int32_t> pixelsOut_;
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
};

}  // namespace standin
