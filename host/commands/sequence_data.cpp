#include "host/commands/sequence_data.h"

#include <algorithm>
#include <cstring>

#include "host/suites/aegp_suite_handler.h"
#include "host/suites/handle_lock.h"
#include "host/suites/messages.h"
#include "render/param_values.h"

namespace {

constexpr uint64_t kBlockSize = sizeof(ParamValues);

PF_Err createBlock(PF_InData* in_data, PF_OutData* out_data) {
    PF_Handle block = in_data->utils->host_new_handle(kBlockSize);
    out_data->sequence_data = block;
    if (block == nullptr) {
        in_data->utils->ansi.strcpy(out_data->return_msg, messages::kInternalError);
        out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    out_data->flat_sdata_size = int32_t(kBlockSize);
    if (*block != nullptr) std::memset(*block, 0, kBlockSize);
    return PF_Err_NONE;
}

enum class OldBlock { Dispose, Keep };

// A block can be shorter than a record: written by the other build, or left so by
// a resize that failed. The copy takes what it holds and zeros the rest.
PF_Err copyBlock(PF_InData* in_data, PF_OutData* out_data, OldBlock old) {
    AEGP_SuiteHandler suites(in_data->pica_basicP);
    const PF_Handle block = in_data->sequence_data;
    if (block == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
    if (*block == nullptr) return PF_Err_NONE;
    const PF_HandleSuite1* handles = suites.HandleSuite();
    const PF_Handle copy = handles->host_new_handle(kBlockSize);
    if (copy == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
    {
        HandleLock locked(handles, copy);
        if (locked.data() == nullptr) {
            handles->host_dispose_handle(copy);
            return PF_Err_NONE;
        }
        const uint64_t held = std::min(in_data->utils->host_get_handle_size(block), kBlockSize);
        std::memcpy(locked.data(), *block, size_t(held));
        std::memset(static_cast<char*>(locked.data()) + held, 0, size_t(kBlockSize - held));
        if (old == OldBlock::Dispose) handles->host_dispose_handle(block);
        out_data->sequence_data = copy;
    }
    return PF_Err_NONE;
}

}  // namespace

PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data) {
    if (in_data->sequence_data == nullptr) return createBlock(in_data, out_data);
    if (in_data->utils->host_get_handle_size(in_data->sequence_data) != kBlockSize) {
        in_data->utils->host_resize_handle(kBlockSize, &in_data->sequence_data);
    }
    return PF_Err_NONE;
}

PF_Err SequenceResetup(PF_InData* in_data, PF_OutData* out_data) {
    if (in_data->sequence_data != nullptr) return PF_Err_NONE;
    return createBlock(in_data, out_data);
}

PF_Err SequenceFlatten(PF_InData* in_data, PF_OutData* out_data) {
    return copyBlock(in_data, out_data, OldBlock::Dispose);
}

PF_Err GetFlattenedSequenceData(PF_InData* in_data, PF_OutData* out_data) {
    return copyBlock(in_data, out_data, OldBlock::Keep);
}

PF_Err SequenceSetdown(PF_InData* in_data, PF_OutData* out_data) {
    if (in_data->sequence_data == nullptr) return PF_Err_NONE;
    in_data->utils->host_dispose_handle(in_data->sequence_data);
    out_data->sequence_data = nullptr;
    in_data->sequence_data = nullptr;
    return PF_Err_NONE;
}
