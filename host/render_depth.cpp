#include "host/render_depth.h"

#include "host/covered_input.h"
#include "render/render_entries.h"

float downsampleFactor(const PF_InData* in_data) {
    const PF_RationalScale& ratio = in_data->downsample_x;
    const uint32_t den = ratio.den != 0 ? ratio.den : 1u;
    return float(ratio.num) / float(den);
}

PF_Err renderAtDepth(RenderDepth depth, PF_LayerDef* input, PF_LayerDef* output,
                     const ParamValues& params, float scale, PF_InData* in_data) {
    switch (depth) {
    case RenderDepth::k8: {
        CoveredInput covered(input, *output, 4);
        return renderARGB8(covered.layer(), output, params, scale, in_data);
    }
    case RenderDepth::k16: {
        CoveredInput covered(input, *output, 8);
        return renderARGB16(covered.layer(), output, params, scale, in_data);
    }
    case RenderDepth::k32: {
        CoveredInput covered(input, *output, 16);
        return renderARGB32(covered.layer(), output, params, scale, in_data);
    }
    }
    return PF_Err_UNRECOGNIZED_PARAM_TYPE;
}
