#include "host/commands/smart_pre_render.h"

#include <atomic>

#include "host/commands/rect_utils.h"
#include "host/params/param_loading.h"
#include "host/suites/handle_lock.h"
#include "host/suites/scoped_suite.h"
#include "platform/pf_suites.h"
#include "platform/sp_basic_suite.h"
#include "render/param_values.h"

namespace {

// The delete function receives nothing but the handle, at a time when no command
// hands it a basic suite. The host's basic suite lives as long as the host process,
// so the last one a pre-render saw is kept to reach the handle suite then.
std::atomic<const SPBasicSuite*> basicSuiteForDelete{nullptr};

// Owns a new pre-render handle until the host takes it over, so that a code thrown
// while the values load does not leak it.
class NewHandle {
public:
    NewHandle(const PF_HandleSuite1* handles, PF_Handle handle) : handles_(handles), handle_(handle) {}
    ~NewHandle() {
        if (handle_ != nullptr) handles_->host_dispose_handle(handle_);
    }
    NewHandle(const NewHandle&) = delete;
    NewHandle& operator=(const NewHandle&) = delete;

    PF_Handle get() const { return handle_; }
    PF_Handle handOver() {
        PF_Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    const PF_HandleSuite1* handles_;
    PF_Handle handle_;
};

}  // namespace

void DeletePreRenderData(void* pre_render_data) {
    const SPBasicSuite* basic = basicSuiteForDelete.load(std::memory_order_acquire);
    if (pre_render_data == nullptr || basic == nullptr) return;
    // Acquired as ScopedSuite does, but nothing may be thrown into the host here.
    const void* suite = nullptr;
    if (basic->AcquireSuite(kPFHandleSuite, kPFHandleSuiteVersion1, &suite) != kSPNoError || suite == nullptr) {
        return;
    }
    static_cast<const PF_HandleSuite1*>(suite)->host_dispose_handle(static_cast<PF_Handle>(pre_render_data));
    basic->ReleaseSuite(kPFHandleSuite, kPFHandleSuiteVersion1);
}

PF_Err SmartPreRender(PF_InData* in_data, PF_OutData* out_data, PF_PreRenderExtra* extra) {
    if (extra == nullptr || extra->input == nullptr || extra->output == nullptr || extra->cb == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const PF_RenderRequest request = extra->input->output_request;
    ScopedSuite<PF_HandleSuite1> handles(in_data, kPFHandleSuite, kPFHandleSuiteVersion1, out_data);

    NewHandle handle(handles.get(), handles->host_new_handle(sizeof(ParamValues)));
    if (handle.get() == nullptr) return PF_Err_OUT_OF_MEMORY;
    HandleLock lock(handles.get(), handle.get());
    if (lock.data() == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;

    LoadParamValues(in_data, nullptr, extra, static_cast<ParamValues*>(lock.data()));

    basicSuiteForDelete.store(in_data->pica_basicP, std::memory_order_release);
    extra->output->pre_render_data = handle.handOver();
    extra->output->delete_pre_render_data_func = DeletePreRenderData;

    // A failing checkout leaves the result as the host left it: zero it first and
    // widen the output only from what a successful checkout wrote.
    PF_CheckoutResult input{};
    const PF_Err err = extra->cb->checkout_layer(in_data->effect_ref, 0, 0, &request, in_data->current_time,
                                                 in_data->time_step, in_data->time_scale, &input);
    if (err == PF_Err_NONE) {
        UnionLRect(input.result_rect, extra->output->result_rect);
        UnionLRect(input.max_result_rect, extra->output->max_result_rect);
    }
    return err;
}
