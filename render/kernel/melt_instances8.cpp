// The names of the 8-bit melt kernels, each the kernel's entry with its switches.
#include "render/kernel/melt_paths.h"

MeltKernel<uint8_t>& meltScanlinesWrap8 = meltScanlines<Channel8, true, false, false, false>;
MeltKernel<uint8_t>& meltScanlines8 = meltScanlines<Channel8, false, false, false, false>;
MeltKernel<uint8_t>& meltScanlinesVelSrcWrap8 = meltScanlines<Channel8, true, true, false, false>;
MeltKernel<uint8_t>& meltScanlinesVelSrc8 = meltScanlines<Channel8, false, true, false, false>;
MeltKernel<uint8_t>& meltScanlinesSpreadSrcWrap8 = meltScanlines<Channel8, true, false, true, false>;
MeltKernel<uint8_t>& meltScanlinesSpreadSrc8 = meltScanlines<Channel8, false, false, true, false>;
MeltKernel<uint8_t>& meltScanlinesBothSrcWrap8 = meltScanlines<Channel8, true, true, true, false>;
MeltKernel<uint8_t>& meltScanlinesBothSrc8 = meltScanlines<Channel8, false, true, true, false>;

// With shading.
MeltKernel<uint8_t>& meltScanlinesShadeWrap8 = meltScanlines<Channel8, true, false, false, true>;
MeltKernel<uint8_t>& meltScanlinesShade8 = meltScanlines<Channel8, false, false, false, true>;
MeltKernel<uint8_t>& meltScanlinesShadeVelSrcWrap8 = meltScanlines<Channel8, true, true, false, true>;
MeltKernel<uint8_t>& meltScanlinesShadeVelSrc8 = meltScanlines<Channel8, false, true, false, true>;
MeltKernel<uint8_t>& meltScanlinesShadeSpreadSrcWrap8 = meltScanlines<Channel8, true, false, true, true>;
MeltKernel<uint8_t>& meltScanlinesShadeSpreadSrc8 = meltScanlines<Channel8, false, false, true, true>;
MeltKernel<uint8_t>& meltScanlinesShadeBothSrcWrap8 = meltScanlines<Channel8, true, true, true, true>;
MeltKernel<uint8_t>& meltScanlinesShadeBothSrc8 = meltScanlines<Channel8, false, true, true, true>;
