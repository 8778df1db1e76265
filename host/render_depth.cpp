#include "host/render_depth.h"

#include <cstdlib>

#include "host/covered_input.h"
#include "render/render_entries.h"

namespace {

int32_t bytesPerPixel(RenderDepth depth) {
    switch (depth) {
    case RenderDepth::k8: return 4;
    case RenderDepth::k16: return 8;
    case RenderDepth::k32: return 16;
    }
    return 16;
}

// The output is taken to be of the depth the format names; a buffer whose rows
// cannot hold its width at that depth, or that has no pixels, is not written.
bool outputHoldsDepth(const PF_LayerDef& output, int32_t pixelBytes) {
    if (output.width <= 0 || output.height <= 0) return true;  // nothing will be written
    return output.data != nullptr && std::llabs(int64_t(output.rowbytes)) >= int64_t(output.width) * pixelBytes;
}

}  // namespace

float downsampleFactor(const PF_InData* in_data) {
    const PF_RationalScale& ratio = in_data->downsample_x;
    const uint32_t den = ratio.den != 0 ? ratio.den : 1u;
    return float(ratio.num) / float(den);
}

PF_Err renderAtDepth(RenderDepth depth, PF_LayerDef* input, PF_LayerDef* output,
                     const ParamValues& params, float scale, PF_InData* in_data) {
    if (!outputHoldsDepth(*output, bytesPerPixel(depth))) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    CoveredInput covered(input, *output, bytesPerPixel(depth));
    switch (depth) {
    case RenderDepth::k8: return renderARGB8(covered.layer(), output, params, scale, in_data);
    case RenderDepth::k16: return renderARGB16(covered.layer(), output, params, scale, in_data);
    case RenderDepth::k32: return renderARGB32(covered.layer(), output, params, scale, in_data);
    }
    return PF_Err_UNRECOGNIZED_PARAM_TYPE;
}
