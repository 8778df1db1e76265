#include "host/commands/abort_progress.h"

#include "platform/pf_effect.h"

int32_t render_abort_progress(void* inData, int32_t current, int32_t total) {
    // A stand-in host may render without input data or callbacks: nothing to ask.
    const PF_InData* in = static_cast<const PF_InData*>(inData);
    if (in == nullptr) return PF_Err_NONE;
    if (in->inter.abort != nullptr) {
        const PF_Err answer = in->inter.abort(in->effect_ref);
        if (answer != PF_Err_NONE) return answer;
    }
    if (in->inter.progress != nullptr) in->inter.progress(in->effect_ref, current, total);
    return PF_Err_NONE;
}
