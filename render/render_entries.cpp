#include "render/render_entries.h"

#include "host/commands/abort_progress.h"
#include "render/kernel/melt_instances.h"

namespace {

// The kernels of one depth by "Shading" (off, on) and source mode (bit 0 velocity
// layer present, bit 1 spread layer present), each with and without Wrap.
template <class Channel>
struct KernelPair {
    MeltKernel<Channel>* wrap;
    MeltKernel<Channel>* noWrap;
};

template <class Channel>
using KernelTable = KernelPair<Channel>[2][4];

template <class Channel>
SourceLayerArgs<Channel> sourceLayerArgs(const PF_LayerDef* layer, int pitchShift, const PF_LayerDef& output) {
    if (!layerPresent(layer)) return {};
    return {static_cast<const Channel*>(layer->data), layer->width, layer->height,
            layer->rowbytes >> pitchShift, output.origin_x, output.origin_y};
}

// Pitches reach the kernel in channels: row bytes shifted right by pitchShift
// (an arithmetic shift keeps a negative pitch negative).
template <class Channel>
int32_t render(const KernelTable<Channel>& kernels, int pitchShift, PF_LayerDef* input,
               PF_LayerDef* output, const ParamValues& params, float scale, PF_InData* inData) {
    if (output == nullptr || output->data == nullptr) return PF_Err_NONE;
    const SourceLayerArgs<Channel> velocity = sourceLayerArgs<Channel>(params.velocitySourceLayer, pitchShift, *output);
    const SourceLayerArgs<Channel> spread = sourceLayerArgs<Channel>(params.spreadSourceLayer, pitchShift, *output);
    const int sourceMode = (velocity.pixels ? 1 : 0) | (spread.pixels ? 2 : 0);
    const KernelPair<Channel>& pair = kernels[params.shading != 0 ? 1 : 0][sourceMode];
    MeltKernel<Channel>* kernel = params.wrap != 0 ? pair.wrap : pair.noWrap;

    // An input without pixels reads as transparent, as the parts of a smaller input
    // outside it do.
    const bool hasInput = input != nullptr && input->data != nullptr;
    return kernel(static_cast<Channel*>(output->data), output->rowbytes >> pitchShift,
                  hasInput ? static_cast<const Channel*>(input->data) : nullptr,
                  hasInput ? input->rowbytes >> pitchShift : 0, hasInput ? input->width : 0,
                  hasInput ? input->height : 0, output->width, output->height, scale, params, velocity,
                  spread, render_abort_progress, inData);
}

}  // namespace

int32_t renderARGB8(PF_LayerDef* input, PF_LayerDef* output, ParamValues params, float scale,
                    PF_InData* inData) {
    const KernelTable<uint8_t> kernels{{
        {&meltScanlinesWrap8, &meltScanlines8},
        {&meltScanlinesVelSrcWrap8, &meltScanlinesVelSrc8},
        {&meltScanlinesSpreadSrcWrap8, &meltScanlinesSpreadSrc8},
        {&meltScanlinesBothSrcWrap8, &meltScanlinesBothSrc8},
    }, {
        {&meltScanlinesShadeWrap8, &meltScanlinesShade8},
        {&meltScanlinesShadeVelSrcWrap8, &meltScanlinesShadeVelSrc8},
        {&meltScanlinesShadeSpreadSrcWrap8, &meltScanlinesShadeSpreadSrc8},
        {&meltScanlinesShadeBothSrcWrap8, &meltScanlinesShadeBothSrc8},
    }};
    return render(kernels, 0, input, output, params, scale, inData);
}

int32_t renderARGB16(PF_LayerDef* input, PF_LayerDef* output, ParamValues params, float scale,
                     PF_InData* inData) {
    const KernelTable<uint16_t> kernels{{
        {&meltScanlinesWrap16, &meltScanlines16},
        {&meltScanlinesVelSrcWrap16, &meltScanlinesVelSrc16},
        {&meltScanlinesSpreadSrcWrap16, &meltScanlinesSpreadSrc16},
        {&meltScanlinesBothSrcWrap16, &meltScanlinesBothSrc16},
    }, {
        {&meltScanlinesShadeWrap16, &meltScanlinesShade16},
        {&meltScanlinesShadeVelSrcWrap16, &meltScanlinesShadeVelSrc16},
        {&meltScanlinesShadeSpreadSrcWrap16, &meltScanlinesShadeSpreadSrc16},
        {&meltScanlinesShadeBothSrcWrap16, &meltScanlinesShadeBothSrc16},
    }};
    return render(kernels, 1, input, output, params, scale, inData);
}

int32_t renderARGB32(PF_LayerDef* input, PF_LayerDef* output, ParamValues params, float scale,
                     PF_InData* inData) {
    const KernelTable<float> kernels{{
        {&meltScanlinesWrap32, &meltScanlines32},
        {&meltScanlinesVelSrcWrap32, &meltScanlinesVelSrc32},
        {&meltScanlinesSpreadSrcWrap32, &meltScanlinesSpreadSrc32},
        {&meltScanlinesBothSrcWrap32, &meltScanlinesBothSrc32},
    }, {
        {&meltScanlinesShadeWrap32, &meltScanlinesShade32},
        {&meltScanlinesShadeVelSrcWrap32, &meltScanlinesShadeVelSrc32},
        {&meltScanlinesShadeSpreadSrcWrap32, &meltScanlinesShadeSpreadSrc32},
        {&meltScanlinesShadeBothSrcWrap32, &meltScanlinesShadeBothSrc32},
    }};
    return render(kernels, 2, input, output, params, scale, inData);
}
