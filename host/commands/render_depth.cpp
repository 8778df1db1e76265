#include "host/commands/render_depth.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

#include "host/commands/covered_layer.h"
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

// The output is taken to be of the depth the format names; a buffer without
// pixels, whose stride is no whole number of channels or whose rows cannot hold its
// width at that depth, is not written.
bool outputHoldsDepth(const PF_LayerDef& output, int32_t pixelBytes) {
    if (output.width <= 0 || output.height <= 0) return true;  // nothing will be written
    return output.data != nullptr && output.rowbytes % (pixelBytes / 4) == 0 &&
           std::llabs(int64_t(output.rowbytes)) >= int64_t(output.width) * pixelBytes;
}

// A copy of a layer needs rows the host's stride type can express.
bool coverable(int32_t width, int32_t pixelBytes) { return int64_t(width) * pixelBytes <= INT32_MAX; }

// An intensity-source layer, read over its own extent.
class CoveredSource {
public:
    CoveredSource(PF_LayerDef*& slot, int32_t pixelBytes) {
        if (!layerPresent(slot)) return;
        slot = covered_.emplace(slot, slot->width, slot->height, pixelBytes).layer();
    }

private:
    std::optional<CoveredLayer> covered_;
};

}  // namespace

float downsampleFactor(const PF_InData* in_data) {
    const PF_RationalScale& ratio = in_data->downsample_x;
    const uint32_t den = ratio.den != 0 ? ratio.den : 1u;
    return float(ratio.num) / float(den);
}

PF_Err renderAtDepth(RenderDepth depth, PF_LayerDef* input, PF_LayerDef* output,
                     const ParamValues& params, float scale, PF_InData* in_data) {
    const int32_t pixelBytes = bytesPerPixel(depth);
    if (!outputHoldsDepth(*output, pixelBytes)) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    for (const PF_LayerDef* source : {params.velocitySourceLayer, params.spreadSourceLayer}) {
        if (layerPresent(source) && !coverable(source->width, pixelBytes)) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    CoveredLayer covered(input, output->width, output->height, pixelBytes);
    ParamValues record = params;
    const CoveredSource velocity(record.velocitySourceLayer, pixelBytes);
    const CoveredSource spread(record.spreadSourceLayer, pixelBytes);
    switch (depth) {
    case RenderDepth::k8: return renderARGB8(covered.layer(), output, record, scale, in_data);
    case RenderDepth::k16: return renderARGB16(covered.layer(), output, record, scale, in_data);
    case RenderDepth::k32: return renderARGB32(covered.layer(), output, record, scale, in_data);
    }
    return PF_Err_UNRECOGNIZED_PARAM_TYPE;
}
