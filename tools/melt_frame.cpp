#include "tools/melt_frame.h"

#include <stdexcept>

#include "render/render_entries.h"
#include "tools/standin_host/unused_slots.h"

namespace {

PF_Err neverAbort(PF_ProgPtr) { return PF_Err_NONE; }
PF_Err ignoreProgress(PF_ProgPtr, int32_t, int32_t) { return PF_Err_NONE; }

}  // namespace

PF_InData quietInData() {
    PF_InData inData{};
    standin::fillUnusedSlots(inData.inter);
    inData.inter.abort = neverAbort;
    inData.inter.progress = ignoreProgress;
    return inData;
}

int32_t meltFrame(ArgbBuffer& input, ArgbBuffer& output, const ParamValues& params, float scale,
                  PF_InData* inData) {
    if (input.depth() != output.depth()) throw std::invalid_argument("input and output differ in depth");
    PF_InData quiet = quietInData();
    if (inData == nullptr) inData = &quiet;
    switch (output.depth()) {
        case PixelDepth::k8: return renderARGB8(input.layer(), output.layer(), params, scale, inData);
        case PixelDepth::k16: return renderARGB16(input.layer(), output.layer(), params, scale, inData);
        case PixelDepth::k32: break;
    }
    return renderARGB32(input.layer(), output.layer(), params, scale, inData);
}
