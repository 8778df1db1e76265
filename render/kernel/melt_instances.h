// The 48 named instances of the melt kernel: every combination of pixel depth,
// intensity sources (none, velocity, spread, both), Wrap and Shading. Each name
// refers to meltScanlines with those switches (render/kernel/melt_paths.h).
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"
#include "render/param_values.h"
#include "render/sources/table_index_source.h"

// Asked before lines 7, 15, 23, ...: a non-zero answer stops the render at once.
using AbortProgress = int32_t (*)(void* inData, int32_t current, int32_t total);

template <class Channel>
using MeltKernel = int32_t(Channel* dstPixels, int32_t dstPitch, const Channel* srcPixels,
                           int32_t srcPitch, int32_t srcWidth, int32_t srcHeight, int32_t dstWidth,
                           int32_t dstHeight, float scale, ParamValues params,
                           SourceLayerArgs<Channel> velocitySource, SourceLayerArgs<Channel> spreadSource,
                           AbortProgress abortProgress, PF_InData* inData);

// Without shading.
extern MeltKernel<uint8_t> &meltScanlinesWrap8, &meltScanlines8;
extern MeltKernel<uint8_t> &meltScanlinesVelSrcWrap8, &meltScanlinesVelSrc8;
extern MeltKernel<uint8_t> &meltScanlinesSpreadSrcWrap8, &meltScanlinesSpreadSrc8;
extern MeltKernel<uint8_t> &meltScanlinesBothSrcWrap8, &meltScanlinesBothSrc8;
extern MeltKernel<uint16_t> &meltScanlinesWrap16, &meltScanlines16;
extern MeltKernel<uint16_t> &meltScanlinesVelSrcWrap16, &meltScanlinesVelSrc16;
extern MeltKernel<uint16_t> &meltScanlinesSpreadSrcWrap16, &meltScanlinesSpreadSrc16;
extern MeltKernel<uint16_t> &meltScanlinesBothSrcWrap16, &meltScanlinesBothSrc16;
extern MeltKernel<float> &meltScanlinesWrap32, &meltScanlines32;
extern MeltKernel<float> &meltScanlinesVelSrcWrap32, &meltScanlinesVelSrc32;
extern MeltKernel<float> &meltScanlinesSpreadSrcWrap32, &meltScanlinesSpreadSrc32;
extern MeltKernel<float> &meltScanlinesBothSrcWrap32, &meltScanlinesBothSrc32;

// With shading.
extern MeltKernel<uint8_t> &meltScanlinesShadeWrap8, &meltScanlinesShade8;
extern MeltKernel<uint8_t> &meltScanlinesShadeVelSrcWrap8, &meltScanlinesShadeVelSrc8;
extern MeltKernel<uint8_t> &meltScanlinesShadeSpreadSrcWrap8, &meltScanlinesShadeSpreadSrc8;
extern MeltKernel<uint8_t> &meltScanlinesShadeBothSrcWrap8, &meltScanlinesShadeBothSrc8;
extern MeltKernel<uint16_t> &meltScanlinesShadeWrap16, &meltScanlinesShade16;
extern MeltKernel<uint16_t> &meltScanlinesShadeVelSrcWrap16, &meltScanlinesShadeVelSrc16;
extern MeltKernel<uint16_t> &meltScanlinesShadeSpreadSrcWrap16, &meltScanlinesShadeSpreadSrc16;
extern MeltKernel<uint16_t> &meltScanlinesShadeBothSrcWrap16, &meltScanlinesShadeBothSrc16;
extern MeltKernel<float> &meltScanlinesShadeWrap32, &meltScanlinesShade32;
extern MeltKernel<float> &meltScanlinesShadeVelSrcWrap32, &meltScanlinesShadeVelSrc32;
extern MeltKernel<float> &meltScanlinesShadeSpreadSrcWrap32, &meltScanlinesShadeSpreadSrc32;
extern MeltKernel<float> &meltScanlinesShadeBothSrcWrap32, &meltScanlinesShadeBothSrc32;
